#include "app/IndexingProgress.h"

#include "search/SearchKeeper.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <climits>

CIndexingProgress::CIndexingProgress(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("indexingProgress"));
    // As wide as its text and bar, so that the two stay together at the prompt's end.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_label = new QLabel(QStringLiteral("Indexing meetings..."), this);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    m_bar->setFixedWidth(120);
    m_bar->setMaximumHeight(m_label->sizeHint().height());
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    hide();
}

void CIndexingProgress::Watch(CSearchKeeper* keeper) {
    if (m_keeper) {
        disconnect(m_keeper, nullptr, this, nullptr);
    }
    m_keeper = keeper;
    hide();
    if (keeper == nullptr) {
        return;
    }
    connect(keeper, &CSearchKeeper::progress, this, &CIndexingProgress::ShowProgress);
    connect(keeper, &CSearchKeeper::upToDate, this, &QWidget::hide);
    connect(keeper, &CSearchKeeper::writeFailed, this, &CIndexingProgress::ShowWriteFailure);
}

void CIndexingProgress::ShowWriteFailure(const QString& reason) {
    m_label->setText(QStringLiteral("The search index could not be saved (%1); trying again later.")
                         .arg(reason));
    m_bar->hide();
    show();
}

void CIndexingProgress::ShowProgress(std::size_t done, std::size_t total) {
    // A progress bar counts in int; a folder beyond that is shown to scale.
    const std::size_t scale = std::max<std::size_t>(1, total / INT_MAX + 1);
    m_bar->setRange(0, static_cast<int>(total / scale));
    m_bar->setValue(static_cast<int>(std::min(done, total) / scale));
    m_label->setText(QStringLiteral("Indexing meetings..."));
    m_bar->show();
    show();
}
