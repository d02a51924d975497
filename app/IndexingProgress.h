#pragma once

#include <QPointer>
#include <QWidget>

#include <cstddef>

class CSearchKeeper;
class QProgressBar;

// The status bar's "Indexing meetings..." with a progress bar, shown while the search index
// catches up with the working directory and hidden once it holds the whole folder.
class CIndexingProgress : public QWidget {
    Q_OBJECT

public:
    explicit CIndexingProgress(QWidget* parent = nullptr);

    // Follows `keeper` (null: none, hidden).
    void Watch(CSearchKeeper* keeper);

private:
    void ShowProgress(std::size_t done, std::size_t total);

    QPointer<CSearchKeeper> m_keeper;
    QProgressBar* m_bar = nullptr;
};
