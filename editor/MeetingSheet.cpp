#include "editor/MeetingSheet.h"

#include "store/FileError.h"
#include "ui/DesktopServices.h"
#include "ui/ImageStrip.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWizard>
#include <QWizardPage>

namespace {

using SaveReason = CMeetingSheetPage::SaveReason;

// Puts the focus on the first control of `page` that Tab would reach, its text selected as
// Tab selects it, so that what the user types at once lands there and not on the tab bar.
void FocusFirstField(QWidget& page) {
    for (QWidget* widget = page.nextInFocusChain(); page.isAncestorOf(widget);
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
            widget->isVisibleTo(&page)) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

// One page of the wizard around a sheet page: loads it on the way in, saves it on Next and
// Finish; a page that cannot save keeps the wizard where it is.
class CWizardPageHost : public QWizardPage {
public:
    CWizardPageHost(CMeetingSheetPage& page, CDesktopServices& services, bool last)
        : m_page(page), m_services(services), m_last(last) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(&page);
        if (page.HeaderTitleId() != 0) {
            setTitle(LoadResString(page.HeaderTitleId()));
        }
        if (page.HeaderSubtitleId() != 0) {
            setSubTitle(LoadResString(page.HeaderSubtitleId()));
        }
    }

    void initializePage() override { m_page.EnsureLoaded(); }

    bool validatePage() override {
        return SaveMeetingPage(m_page, m_last ? SaveReason::finish : SaveReason::next, m_services,
                               wizard());
    }

private:
    CMeetingSheetPage& m_page;
    CDesktopServices& m_services;
    const bool m_last;
};

// The tabbed sheet: OK saves every page that has been shown, in page order, and stays open on
// the first that cannot save.
class CTabbedSheet : public QDialog {
public:
    CTabbedSheet(const std::vector<CMeetingSheetPage*>& pages, CDesktopServices& services,
                 QWidget* parent)
        : QDialog(parent), m_pages(pages), m_services(services) {
        setObjectName(QStringLiteral("modifyMeetingSheet"));
        setWindowTitle(QStringLiteral("Modify Meeting"));
        auto* layout = new QVBoxLayout(this);
        m_tabs = new QTabWidget(this);
        m_tabs->setObjectName(QStringLiteral("sheetTabs"));
        // Every page's tab in view: the sheet is as wide as its five captions.
        m_tabs->setUsesScrollButtons(false);
        for (CMeetingSheetPage* page : pages) {
            m_tabs->addTab(page, page->Caption());
        }
        layout->addWidget(m_tabs);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
        buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        // Only the pages the user opens load; the others keep their files as they are.
        connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
            if (index >= 0) {
                m_pages.at(index)->EnsureLoaded();
            }
        });
        if (!pages.empty()) {
            pages.front()->EnsureLoaded();
            FocusFirstField(*pages.front());
        }
    }

    void accept() override {
        for (std::size_t i = 0; i < m_pages.size(); ++i) {
            CMeetingSheetPage& page = *m_pages[i];
            if (!page.IsLoaded()) {
                continue;
            }
            if (!SaveMeetingPage(page, SaveReason::ok, m_services, this)) {
                m_tabs->setCurrentIndex(static_cast<int>(i));
                return;
            }
        }
        QDialog::accept();
    }

private:
    std::vector<CMeetingSheetPage*> m_pages;
    CDesktopServices& m_services;
    QTabWidget* m_tabs = nullptr;
};

// The header band picture widened to `width`: its white left end is carried on to the left and
// its hairline along the whole bottom. Drawn at the plain ratio, since the wizard lays the band
// out by its pixels whatever their ratio.
QPixmap WideHeaderBand(int width) {
    const QPixmap band = LoadPicture(PictureId::wizardHeader);
    if (band.isNull() || width <= band.width()) {
        return band;
    }
    QPixmap wide(width, band.height());
    wide.fill(Qt::white);
    QPainter painter(&wide);
    painter.drawPixmap(width - band.width(), 0, band);
    painter.fillRect(0, band.height() - 1, width - band.width(), 1, QColor(0xd5, 0xdb, 0xe4));
    return wide;
}

} // namespace

bool SaveMeetingPage(CMeetingSheetPage& page, CMeetingSheetPage::SaveReason reason,
                     CDesktopServices& services, QWidget* parent) {
    try {
        page.Save(reason);
        return true;
    } catch (const CFileError& error) {
        services.ReportError(FileErrorText(error), parent);
        return false;
    }
}

CMeetingSheet::CMeetingSheet(Mode mode, CMeetingStore& store, CDesktopServices& services,
                             std::string meetingId, const std::vector<MeetingPageMaker>& pages,
                             QWidget* parent)
    : m_mode(mode), m_services(services) {
    for (const MeetingPageMaker& make : pages) {
        m_pages.push_back(make(store, services, meetingId));
    }
    if (mode == Mode::add) {
        BuildWizard(parent);
    } else {
        BuildTabs(parent);
    }
}

CMeetingSheet::~CMeetingSheet() = default;

void CMeetingSheet::BuildWizard(QWidget* parent) {
    auto wizard = std::make_unique<QWizard>(parent);
    wizard->setObjectName(QStringLiteral("meetingWizard"));
    wizard->setWizardStyle(QWizard::ModernStyle);
    const qreal ratio = wizard->devicePixelRatio();
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        const bool last = i + 1 == m_pages.size();
        auto* host = new CWizardPageHost(*m_pages[i], m_services, last);
        host->setObjectName(QStringLiteral("wizardPage%1").arg(i + 1));
        // A page without a header band stands over the watermark.
        if (m_pages[i]->HeaderTitleId() == 0 && m_pages[i]->HeaderSubtitleId() == 0) {
            host->setPixmap(QWizard::WatermarkPixmap,
                            LoadPicture(PictureId::wizardWatermark, ratio));
        }
        wizard->addPage(host);
    }
    // The first page, beside the watermark, is the widest: the wizard keeps that width on every
    // page instead of shrinking under the user's pointer, and the header band is widened to it.
    wizard->restart();
    wizard->adjustSize();
    wizard->setMinimumWidth(wizard->width());
    wizard->setPixmap(QWizard::BannerPixmap, WideHeaderBand(wizard->width()));
    m_dialog = std::move(wizard);
}

void CMeetingSheet::BuildTabs(QWidget* parent) {
    m_dialog = std::make_unique<CTabbedSheet>(m_pages, m_services, parent);
}

void CMeetingSheet::OpenOnPage(int index) {
    auto* tabs = m_dialog->findChild<QTabWidget*>(QStringLiteral("sheetTabs"));
    if (m_mode == Mode::modify && tabs != nullptr && index >= 0 && index < tabs->count()) {
        tabs->setCurrentIndex(index);
        FocusFirstField(*m_pages.at(static_cast<std::size_t>(index)));
    }
}

CMeetingSheet::Result CMeetingSheet::Run() {
    const int result = m_services.RunDialog(*m_dialog);
    if (result != QDialog::Accepted) {
        return Result::cancelled;
    }
    return m_mode == Mode::add ? Result::finished : Result::saved;
}
