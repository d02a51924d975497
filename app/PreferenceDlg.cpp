#include "app/PreferenceDlg.h"

#include "app/Help.h"
#include "ui/DesktopServices.h"
#include "ui/ImageStrip.h"
#include "ui/PictureButton.h"
#include "ui/StringTable.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace {

constexpr QSize fallbackSize(460, 210);

} // namespace

CPreferenceDlg::CPreferenceDlg(CDesktopServices& services, QWidget* parent)
    : QDialog(parent), m_services(services) {
    setObjectName(QStringLiteral("preferenceDialog"));
    setWindowTitle(QStringLiteral("Preference"));
    const QSize size = PictureSize(PictureId::preferenceBackground).isEmpty()
                           ? fallbackSize
                           : PictureSize(PictureId::preferenceBackground);
    setFixedSize(size);

    // The background picture carries the dialog's caption; the label keeps the text of the
    // mode for assistive tools and stays hidden.
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("captionLabel"));
    m_caption->hide();

    m_pathEdit = new QLineEdit(this);
    m_pathEdit->setObjectName(QStringLiteral("pathEdit"));
    m_pathEdit->setReadOnly(true);
    m_pathEdit->setGeometry(24, 96, size.width() - 48, 24);

    auto* change = new CPictureButton(PictureId::changeButton, QStringLiteral("Change"), this);
    auto* help = new CPictureButton(PictureId::helpButton, QStringLiteral("Help"), this);
    auto* ok = new CPictureButton(PictureId::okButton, QStringLiteral("Ok"), this);
    m_ok = ok;
    auto* cancel = new CPictureButton(PictureId::cancelButton, QStringLiteral("Cancel"), this);
    change->setObjectName(QStringLiteral("changeButton"));
    help->setObjectName(QStringLiteral("helpButton"));
    ok->setObjectName(QStringLiteral("okButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    // The pictures are placed; each button reaches a focus margin beyond its picture.
    const int m = CPictureButton::focusMargin;
    const int y = size.height() - 50 - m;
    const int w = change->width() - 2 * m;
    change->move(24 - m, y);
    help->move(24 + w + 8 - m, y);
    cancel->move(size.width() - 24 - w - m, y);
    ok->move(size.width() - 24 - 2 * w - 8 - m, y);
    connect(change, &QAbstractButton::clicked, this, &CPreferenceDlg::Change);
    connect(help, &QAbstractButton::clicked, this, &CPreferenceDlg::Help);
    connect(ok, &QAbstractButton::clicked, this, &CPreferenceDlg::Ok);
    connect(cancel, &QAbstractButton::clicked, this, &CPreferenceDlg::Cancel);
    setTabOrder(change, help);
    setTabOrder(help, ok);
    setTabOrder(ok, cancel);
    change->setFocus();
    m_ok->setEnabled(false);
    UpdateCaption();
}

void CPreferenceDlg::SetMode(int mode) {
    m_mode = mode;
    UpdateCaption();
}

QString CPreferenceDlg::GetMeetingFolder() const {
    return QDir(m_chosenPath).filePath(QStringLiteral("Meeting Files"));
}

void CPreferenceDlg::SetChosenPath(const QString& path) {
    m_chosenPath = path;
    m_pathEdit->setText(QDir::toNativeSeparators(path));
    m_ok->setEnabled(!m_chosenPath.isEmpty());
    if (m_ok->isEnabled()) {
        m_ok->setFocus(Qt::OtherFocusReason);
    }
}

QString CPreferenceDlg::GetCaptionText() const {
    switch (m_mode) {
    case firstSelection:
        return QStringLiteral("Select Working Directory");
    case changeCurrent:
        return QStringLiteral("Current Working Directory");
    default:
        return QStringLiteral("Selected Working Directory");
    }
}

void CPreferenceDlg::UpdateCaption() {
    m_caption->setText(GetCaptionText());
}

int CPreferenceDlg::Run() {
    return m_services.RunDialog(*this);
}

bool CPreferenceDlg::IsUsableFolder(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && info.isDir() && info.isWritable();
}

std::optional<QString> CPreferenceDlg::BrowseForFolder() {
    return m_services.PickFolder(QStringLiteral("Pick a Directory"), m_chosenPath, this);
}

void CPreferenceDlg::Change() {
    const std::optional<QString> folder = BrowseForFolder();
    if (!folder) {
        return;
    }
    const QString picked = QDir::cleanPath(*folder);
    if (IsUsableFolder(picked)) {
        m_chosenPath = picked;
        m_changed = true;
        SetMode(selected);
        // The folder the meeting files will be in, as Preferences shows it later on.
        m_pathEdit->setText(QDir::toNativeSeparators(GetMeetingFolder()));
        m_ok->setEnabled(true);
        m_ok->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_pathEdit->setText(QDir::toNativeSeparators(picked));
    m_services.Inform(LoadResString(StringId::directoryInvalid), this);
    SetChosenPath(QString());
}

void CPreferenceDlg::Help() {
    ShowHelp(m_services, this);
}

void CPreferenceDlg::Ok() {
    if (m_chosenPath.isEmpty()) {
        done(Rejected);
        return;
    }
    done(Accepted);
}

void CPreferenceDlg::Cancel() {
    done(Rejected);
}

void CPreferenceDlg::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->key() == Qt::Key_Enter && event->modifiers() == Qt::KeypadModifier);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // As in any dialog: Enter presses the focused button, and OK from anywhere else once
        // there is a folder to take. OK takes the focus whenever it is enabled, so the button
        // drawn as the default is the one Enter presses.
        auto* focused = qobject_cast<CPictureButton*>(focusWidget());
        CPictureButton* pressed = focused != nullptr && focused->isEnabled() ? focused : m_ok;
        if (pressed->isEnabled()) {
            pressed->click();
        }
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        Cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CPreferenceDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap background = LoadPicture(PictureId::preferenceBackground, devicePixelRatioF());
    if (!background.isNull()) {
        painter.drawPixmap(0, 0, background);
        return;
    }
    painter.fillRect(rect(), palette().window());
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    painter.setFont(font);
    painter.drawText(QRect(24, 0, width() - 48, 56), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Working Directory"));
}
