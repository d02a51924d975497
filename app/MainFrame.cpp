#include "app/MainFrame.h"

#include "app/DateToolBar.h"
#include "app/FrameHost.h"
#include "app/Help.h"
#include "app/IndexingProgress.h"
#include "app/LeftListView.h"
#include "app/LoadingFeedback.h"
#include "app/PaneSplitter.h"
#include "app/RightListView.h"
#include "app/SearchField.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "calendar/CalendarView.h"
#include "calendar/MeetingListCtrl.h"
#include "calendar/OpenTodoListCtrl.h"
#include "calendar/SearchResultsCtrl.h"
#include "ui/StringTable.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

CMainFrame::CMainFrame(CMeetingStore& store, CDesktopServices& services, QWidget* parent)
    : QMainWindow(parent), m_parts(store, services, *this), m_quickViewCommands(m_parts),
      m_navigation(m_parts), m_meetingCommands(m_parts, m_navigation, m_quickViewCommands),
      m_share(m_parts, m_navigation), m_search(m_parts, m_meetingCommands),
      m_directory(m_parts, m_navigation, m_quickViewCommands),
      m_sync(m_parts, m_meetingCommands, m_quickViewCommands),
      m_commands(m_parts, m_meetingCommands, m_quickViewCommands, m_share, m_search, m_directory,
                 m_sync),
      m_actions(m_parts, m_commands, m_navigation, m_meetingCommands) {
    m_parts.updateCommandStates = [this] { m_actions.UpdateCommandStates(); };
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(LoadResString(StringId::appTitle));
    setWindowIcon(QIcon(QStringLiteral(":/tavelin.svg")));
    setMinimumSize(640, 420);
    // iCalendar files dropped anywhere on the window are imported.
    setAcceptDrops(true);
    CreateClientArea();
    CreateToolBar();
    m_actions.CreateMenus();
    m_actions.ScopeCalendarKeys();
    CreateStatusBar();

    // The quick view pane's first fill: the pinned meetings and the bar positions saved at
    // the last exit.
    if (CFrameHost* app = CFrameHost::Find()) {
        app->LoadQuickViewSettings(*this);
    }
    m_parts.ready = true;
    m_parts.splitter->SetReady(true);
    m_parts.rightPane->Fill();
    m_navigation.SetPickerFormat();
    UpdateCommandStates();
    resize(m_clientSize.width(), m_clientSize.height() + 80);
    QTimer::singleShot(0, this, [this] { m_directory.ReportSkippedFiles(); });
}

CMainFrame::~CMainFrame() {
    if (CFrameHost* app = CFrameHost::Find()) {
        app->SaveSettings(*this);
    }
}

void CMainFrame::CreateClientArea() {
    LoadMeetingsShowingProgress(m_parts.store);
    m_clientSize = QRect(0, 0, 995, 650);

    m_parts.splitter = new CPaneSplitter(this);
    m_parts.leftPane = new CLeftListView(m_parts.splitter);
    m_parts.calendar =
        new CCalendarView(m_parts.store, m_parts.services, m_meetingCommands, m_parts.splitter);
    m_parts.calendar->setMinimumWidth(350);
    m_parts.rightPane = new CRightListView(GetQuickView(), m_parts.services, m_parts.splitter);
    m_parts.splitter->addWidget(m_parts.leftPane);
    m_parts.splitter->addWidget(m_parts.calendar);
    m_parts.splitter->addWidget(m_parts.rightPane);
    m_parts.splitter->setStretchFactor(1, 1);
    m_parts.splitter->setSizes({150, (m_clientSize.width() - m_clientSize.left()) * 5 / 7, 200});
    setCentralWidget(m_parts.splitter);
    ConnectPanes();
}

void CMainFrame::ConnectPanes() {
    connect(m_parts.leftPane, &CLeftListView::modeRequested, this, [this](int mode) {
        if (mode != CCalendarPage::todosMode || m_parts.canSearch) {
            GetCalendarPage().ShowMode(mode);
        }
        UpdateCommandStates();
    });
    connect(m_parts.rightPane, &CRightListView::helpRequested, this,
            [this] { ShowHelp(m_parts.services, this); });
    connect(m_parts.rightPane, &CRightListView::closeRequested, this, &QWidget::close);
    connect(m_parts.rightPane, &CRightListView::viewRequested, this,
            [this](const std::string& id) { ViewMeeting(id); });
    connect(m_parts.rightPane, &CRightListView::quickAddRequested, this, [this] {
        QuickAdd();
        UpdateCommandStates();
    });
    connect(m_parts.rightPane, &CRightListView::exportRequested, this,
            [this] { ExportPreviewedMeeting(); });
    connect(m_parts.rightPane, &CRightListView::exportCalendarRequested, this,
            [this] { ExportPreviewedMeetingCalendar(); });

    CMeetingListCtrl& list = GetCalendarPage().GetMeetingList();
    connect(&list, &CMeetingListCtrl::SelectionMarkChanged, this,
            [this] { UpdateCommandStates(); });
    connect(&GetCalendarPage().GetOpenTodos(), &COpenTodoListCtrl::todoPageRequested, this,
            [this](const std::string& id, std::size_t position) { OpenTodoPage(id, position); });
    connect(&GetCalendarPage().GetSearchResults(), &CSearchResultsCtrl::SelectionMarkChanged, this,
            [this] { UpdateCommandStates(); });
    connect(&GetCalendarPage(), &CCalendarPage::DateChosen, this, [this](const CDateTime& date) {
        if (m_parts.toolBar != nullptr) {
            m_parts.toolBar->GetDatePicker()->SetDateTime(date);
        }
    });
}

void CMainFrame::CreateToolBar() {
    m_parts.toolBar = new CDateToolBar(m_parts.services, this);
    addToolBar(Qt::TopToolBarArea, m_parts.toolBar);
    m_actions.CreateToolBar();
    m_search.CreateSearchField();
    m_navigation.SetUpDatePicker();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && m_parts.toolBar != nullptr &&
        (watched == m_parts.toolBar->GetDatePicker() || watched == m_parts.searchField)) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        if (m_actions.IsCalendarKey(pressed)) {
            event->accept();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    const QString ready = LoadResString(StringId::ready);
    bar->showMessage(ready);
    connect(bar, &QStatusBar::messageChanged, bar, [bar, ready](const QString& message) {
        if (message.isEmpty()) {
            bar->showMessage(ready);
        }
    });
    // Beside the prompt while the search index catches up with the folder.
    m_parts.indexingProgress = new CIndexingProgress(bar);
    bar->addPermanentWidget(m_parts.indexingProgress);
    // How the calendar server's last sync went; it starts the first one.
    m_sync.Start(*bar);
    // The lock-key panes of the status bar. The desktop does not tell a program the lock
    // states, so they stay dimmed rather than claim a state.
    for (const int id :
         {StringId::capsIndicator, StringId::numIndicator, StringId::scrollIndicator}) {
        auto* indicator = new QLabel(LoadResString(id), bar);
        indicator->setObjectName(QStringLiteral("indicator%1").arg(id));
        indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(
            indicator->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        indicator->setEnabled(false);
        bar->addPermanentWidget(indicator);
    }
}

CCalendarPage& CMainFrame::GetCalendarPage() const {
    return m_parts.calendar->GetPage();
}

int CMainFrame::GetFirstPercent() const {
    return m_parts.splitter->GetFirstPercent();
}
int CMainFrame::GetSecondPercent() const {
    return m_parts.splitter->GetSecondPercent();
}

void CMainFrame::SetPercentages(int first, int second) {
    m_parts.splitter->SetPercentages(first, second);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedCalendarFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (!DroppedCalendarFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedCalendarFiles(event->mimeData());
    if (files.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    ImportCalendar(files);
}
