#pragma once

#include <QPointer>
#include <QWidget>

#include <cstddef>

class CSearchKeeper;
class QLabel;
class QProgressBar;

// The status bar's "Indexing meetings..." with a progress bar, shown while the search index
// catches up with the working directory and hidden once it holds the whole folder; in its
// place, why a write to the index failed until a later catch-up succeeds.
class CIndexingProgress : public QWidget {
    Q_OBJECT

public:
    explicit CIndexingProgress(QWidget* parent = nullptr);

    // Follows `keeper` (null: none, hidden).
    void Watch(CSearchKeeper* keeper);

private:
    void ShowProgress(std::size_t done, std::size_t total);
    void ShowWriteFailure(const QString& reason);

    QPointer<CSearchKeeper> m_keeper;
    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
};
