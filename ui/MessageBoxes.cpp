#include "ui/MessageBoxes.h"

#include "store/FileError.h"
#include "ui/StringTable.h"

#include <QDir>
#include <QFontMetrics>
#include <QPushButton>
#include <QTextEdit>

namespace {

QString Title() {
    return LoadResString(StringId::appTitle);
}

} // namespace

std::unique_ptr<QMessageBox> MakeQuestionBox(const QString& text, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, Title(), text,
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    return box;
}

std::unique_ptr<QMessageBox> MakeChoiceBox(const QString& text, const QString& accept,
                                           const QString& reject, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, Title(), text,
                                             QMessageBox::NoButton, parent);
    QPushButton* acceptButton = box->addButton(accept, QMessageBox::AcceptRole);
    QPushButton* rejectButton = box->addButton(reject, QMessageBox::RejectRole);
    box->setDefaultButton(acceptButton);
    box->setEscapeButton(rejectButton);
    return box;
}

std::unique_ptr<QMessageBox> MakeMessageBox(QMessageBox::Icon icon, const QString& text,
                                            QWidget* parent) {
    return std::make_unique<QMessageBox>(icon, Title(), text, QMessageBox::Ok, parent);
}

std::unique_ptr<QMessageBox> MakeNoticeBox(const QString& text, const QString& details,
                                           QWidget* parent) {
    auto box = MakeMessageBox(QMessageBox::Warning, text, parent);
    box->setObjectName(QStringLiteral("notice"));
    box->setDetailedText(details);
    // Show Details would otherwise take Enter for itself once it has been pressed.
    auto* ok = qobject_cast<QPushButton*>(box->button(QMessageBox::Ok));
    for (QPushButton* button : box->findChildren<QPushButton*>()) {
        button->setAutoDefault(button == ok);
    }
    box->setDefaultButton(ok);
    if (auto* area = box->findChild<QTextEdit*>()) {
        // A dozen lines of some eighty characters, rather than the few the box gives.
        const QFontMetrics metrics(area->font());
        area->setFixedSize(metrics.averageCharWidth() * 80, metrics.lineSpacing() * 12);
    }
    return box;
}

QString FileErrorText(const CFileError& error) {
    return QStringLiteral("The file %1 could not be changed: %2.")
        .arg(QDir::toNativeSeparators(QString::fromStdString(error.GetPath())),
             QString::fromStdString(error.GetReason()));
}
