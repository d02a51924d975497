#include "app/ImportProgress.h"

#include "app/LoadingFeedback.h"

#include <QProgressDialog>

CImportProgress::CImportProgress(QWidget* parent) : m_parent(parent) {}

CImportProgress::~CImportProgress() = default;

void CImportProgress::Report(std::size_t stored, std::size_t total) {
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(ImportingText(stored, total),
                                                     QStringLiteral("Cancel"), 0,
                                                     static_cast<int>(total), m_parent.data());
        m_dialog->setObjectName(QStringLiteral("calendarStoringProgress"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->setMinimumDuration(static_cast<int>(loadingWindowDelayMs));
        QObject::connect(m_dialog.get(), &QProgressDialog::canceled,
                         [this] { m_stop.request_stop(); });
    }
    m_dialog->setLabelText(ImportingText(stored, total));
    m_dialog->setValue(static_cast<int>(stored));
}
