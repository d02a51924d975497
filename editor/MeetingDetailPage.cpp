#include "editor/MeetingDetailPage.h"

#include "editor/LineBreaks.h"
#include "editor/MeetingIconDialog.h"
#include "store/MeetingStore.h"
#include "ui/DateTimeConversion.h"
#include "ui/DateTimeField.h"
#include "ui/DesktopServices.h"
#include "ui/ImageStrip.h"
#include "ui/TextConversion.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

#include <limits>

namespace {

constexpr int iconWidth = 32;

QLineEdit* MakeLine(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    // No text has a length limit; the edit's own would cut a long stored text on OK.
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

// The notes ask for a few lines and grow with the page: the page then fits beside the wizard's
// watermark without a gap under the picture.
class CNotesEdit : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    QSize sizeHint() const override { return {256, 80}; }
};

} // namespace

QString CleanMeetingTitle(const QString& title) {
    const QString trimmed = title.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("No Subject") : trimmed;
}

QString CMeetingDetailPage::QtDatePattern() {
    return CDateTimeField::ToQtPattern(QString::fromLatin1(datePattern));
}

CMeetingDetailPage::CMeetingDetailPage(CMeetingStore& store, CDesktopServices& services,
                                       std::string meetingId, QWidget* parent)
    : CMeetingSheetPage(store, services, std::move(meetingId), parent) {
    setObjectName(QStringLiteral("detailPage"));
    auto* form = new QFormLayout(this);
    m_title = MakeLine("titleEdit", this);
    m_reference = MakeLine("referenceEdit", this);
    m_date = new CDateTimeField(this);
    m_date->setObjectName(QStringLiteral("dateEdit"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QtDatePattern());
    m_venue = MakeLine("venueEdit", this);
    m_presidedBy = MakeLine("presidedByEdit", this);
    m_notes = new CNotesEdit(this);
    m_notes->setObjectName(QStringLiteral("notesEdit"));
    // Enter starts a new line; Tab still moves on to the icon.
    m_notes->setTabChangesFocus(true);
    m_icon = new QToolButton(this);
    m_icon->setObjectName(QStringLiteral("iconButton"));
    m_icon->setAutoRaise(true);
    m_icon->setToolTip(QStringLiteral("Select Meeting Icon"));

    form->addRow(QStringLiteral("Title"), m_title);
    form->addRow(QStringLiteral("Meeting Id"), m_reference);
    form->addRow(QStringLiteral("Date"), m_date);
    form->addRow(QStringLiteral("Venue"), m_venue);
    form->addRow(QStringLiteral("Presided By"), m_presidedBy);
    form->addRow(QStringLiteral("Notes"), m_notes);
    form->addRow(QStringLiteral("Icon"), m_icon);

    connect(m_icon, &QToolButton::clicked, this, &CMeetingDetailPage::ChooseIcon);
}

QString CMeetingDetailPage::Caption() const {
    return QStringLiteral("Meeting Detail");
}

void CMeetingDetailPage::Load() {
    m_record = m_store.GetMeeting(m_meetingId);
    // The picker shows minutes: a stored second would otherwise come back unseen.
    QDateTime when = ToQDateTime(m_record.date);
    if (when.isValid()) {
        when.setTime(QTime(when.time().hour(), when.time().minute(), 0));
        m_date->setDateTime(when);
    }
    m_title->setText(ToQString(m_record.title));
    m_reference->setText(ToQString(m_record.reference));
    m_venue->setText(ToQString(m_record.venue));
    m_presidedBy->setText(ToQString(m_record.presidedBy));
    m_notes->setPlainText(ToEditText(ToQString(m_record.notes)));
    ShowIcon();
    RememberShown();
}

void CMeetingDetailPage::RememberShown() {
    m_shown = {m_title->text(),
               m_reference->text(),
               m_venue->text(),
               m_presidedBy->text(),
               FromEditText(m_notes->toPlainText()),
               m_date->dateTime()};
}

CDateTime CMeetingDetailPage::DateToStore() const {
    const QDateTime picked = m_date->dateTime();
    // An untouched picker keeps the stored date, even one it cannot show; only seconds, which
    // it hides, are dropped.
    const bool hidesSeconds = m_record.date.IsValid() && m_record.date.GetSecond() != 0;
    return picked == m_shown.date && !hidesSeconds ? m_record.date : FromQDateTime(picked);
}

void CMeetingDetailPage::Save(SaveReason reason) {
    CMeeting record = m_record;
    const QString title =
        reason == SaveReason::next ? CleanMeetingTitle(m_title->text()) : m_title->text();
    record.title = KeptOrTyped(title, m_shown.title, m_record.title);
    record.reference = KeptOrTyped(m_reference->text(), m_shown.reference, m_record.reference);
    record.date = DateToStore();
    record.venue = KeptOrTyped(m_venue->text(), m_shown.venue, m_record.venue);
    record.presidedBy = KeptOrTyped(m_presidedBy->text(), m_shown.presidedBy, m_record.presidedBy);
    record.notes = KeptOrTyped(FromEditText(m_notes->toPlainText()), m_shown.notes, m_record.notes);
    m_store.ModifyMeeting(record);
    // Only a record that reached its file becomes the working copy; the cleaned title shows.
    m_record = record;
    if (title != m_title->text()) {
        m_title->setText(title);
    }
    RememberShown();
}

void CMeetingDetailPage::ChooseIcon() {
    CMeetingIconDialog dialog(m_record.icon, this);
    if (m_services.RunDialog(dialog) == QDialog::Accepted) {
        m_record.icon = dialog.GetIcon();
        ShowIcon();
    }
}

void CMeetingDetailPage::ShowIcon() {
    const CImageStrip strip = LoadImageStrip(PictureId::meetingIconStrip, iconWidth);
    const QPixmap picture = strip.GetPixmap(m_record.icon, devicePixelRatioF());
    m_icon->setIcon(QIcon(picture));
    m_icon->setIconSize(strip.GetImageSize());
}
