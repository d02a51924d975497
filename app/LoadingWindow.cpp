#include "app/LoadingWindow.h"

#include "ui/StringTable.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <unistd.h>

namespace {

// For the start-up bench: when set, the first paint of this window prints the moment (the
// system's monotonic clock, which the bench reads too) and ends the program at once.
void QuitIfStartIsTimed() {
    static const bool timed = qEnvironmentVariableIsSet("TAVELIN_QUIT_WHEN_LOADING_SHOWN");
    if (!timed) {
        return;
    }
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("loading window painted %lld.%09ld\n", static_cast<long long>(now.tv_sec),
                now.tv_nsec);
    std::fflush(stdout);
    ::_exit(0);
}

} // namespace

CLoadingWindow::CLoadingWindow(QWidget* parent, ProgressText text)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_words(text) {
    setObjectName(QStringLiteral("loadingWindow"));
    setWindowTitle(LoadResString(StringId::appTitle));
    setWindowIcon(QIcon(QStringLiteral(":/tavelin.svg")));
    // The panes' white, with the program's picture beside the words.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/tavelin.svg")).pixmap(48, 48));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("loadingText"));
    m_text->setStyleSheet(QStringLiteral("color: rgb(61, 110, 196); font-weight: bold;"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("loadingBar"));
    m_bar->setTextVisible(false);

    auto* words = new QVBoxLayout;
    words->addWidget(m_text);
    words->addWidget(m_bar);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 16);
    layout->setSpacing(14);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addLayout(words, 1);
    setFixedWidth(380);
    SetProgress(0, 0);
}

void CLoadingWindow::SetProgress(std::size_t loaded, std::size_t total) {
    m_text->setText(m_words(loaded, total, QLocale()));
    // The bar counts in ints; a count beyond that is scaled, which the eye cannot tell.
    const std::size_t top = std::max<std::size_t>(total, 1);
    const int steps = static_cast<int>(std::min<std::size_t>(top, 1'000'000));
    m_bar->setRange(0, steps);
    m_bar->setValue(
        static_cast<int>(std::min(loaded, top) * static_cast<std::size_t>(steps) / top));
}

void CLoadingWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QuitIfStartIsTimed();
}

QString CLoadingWindow::GetText() const {
    return m_text->text();
}
