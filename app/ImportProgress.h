#pragma once

#include <QPointer>

#include <cstddef>
#include <memory>
#include <stop_token>

class QProgressDialog;
class QWidget;

// What the window shows while an import stores its meetings: "Importing meetings... N of M"
// once storing takes longer than the loading window waits, with a Cancel that stops the import
// after the chunk at hand. The dialog is modal to the window, so nothing else acts on the store
// meanwhile; it is made at the first report, so that it never stands beside the dialog of the
// files being read.
class CImportProgress {
public:
    explicit CImportProgress(QWidget* parent);
    ~CImportProgress();
    CImportProgress(const CImportProgress&) = delete;
    CImportProgress& operator=(const CImportProgress&) = delete;

    void Report(std::size_t stored, std::size_t total);
    std::stop_token GetStopToken() const { return m_stop.get_token(); }

private:
    QPointer<QWidget> m_parent;
    std::stop_source m_stop;
    std::unique_ptr<QProgressDialog> m_dialog;
};
