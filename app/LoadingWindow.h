#pragma once

#include "app/LoadingText.h"

#include <QWidget>

#include <cstddef>

class QLabel;
class QProgressBar;

// The small window that says the meetings are being read while a large working directory
// loads at start-up or on Refresh, so that the program is visibly alive before its main
// window can show anything; an import of many meetings shows it too, with its own words.
class CLoadingWindow : public QWidget {
    Q_OBJECT

public:
    explicit CLoadingWindow(QWidget* parent = nullptr, ProgressText text = LoadingText);

    void SetProgress(std::size_t loaded, std::size_t total);
    QString GetText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_text = nullptr;
    QProgressBar* m_bar = nullptr;
    ProgressText m_words;
};
