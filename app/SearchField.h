#pragma once

#include <QLineEdit>
#include <QTimer>

// The toolbar's search field. Typing asks for a search once the keys queued so far are
// handled, so that a burst of keys makes one query; Enter asks for the pending search at once
// and then for the marked result, Down for the results, Escape to leave them.
class CSearchField : public QLineEdit {
    Q_OBJECT

public:
    explicit CSearchField(QWidget* parent = nullptr);

    // Empties the field without asking for a search.
    void Reset();

signals:
    // The words as typed; empty when the field was emptied.
    void searchRequested(const QString& words);
    void activateRequested();
    void resultsRequested();
    void leaveRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Sends the search the last keys asked for, if it has not gone yet.
    void SendPendingSearch();

    QTimer m_pending;
};
