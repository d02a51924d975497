#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/CalendarSharing.h"
#include "app/DateToolBar.h"
#include "app/Help.h"
#include "app/ImportProgress.h"
#include "app/IndexingProgress.h"
#include "app/KesApp.h"
#include "app/LeftListView.h"
#include "app/LoadingFeedback.h"
#include "app/PaneSplitter.h"
#include "app/PreferenceDlg.h"
#include "app/QuickSheet.h"
#include "app/RightListView.h"
#include "app/SearchField.h"
#include "app/Settings.h"
#include "app/SkippedFilesNotice.h"
#include "app/SyncLauncher.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "calendar/CalendarView.h"
#include "calendar/MeetingListCtrl.h"
#include "calendar/OpenTodoListCtrl.h"
#include "calendar/SearchResultsCtrl.h"
#include "editor/MeetingSheet.h"
#include "editor/MeetingSheetPages.h"
#include "editor/TodoPage.h"
#include "export/ExportFile.h"
#include "export/MeetingExport.h"
#include "export/MeetingPrintCommands.h"
#include "search/SearchKeeper.h"
#include "store/Clock.h"
#include "store/DateStep.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "ui/CommandTable.h"
#include "ui/DesktopServices.h"
#include "ui/ImageStrip.h"
#include "ui/StringTable.h"
#include "ui/TextConversion.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>

namespace {

// The commands whose target is the calendar's marked row or the meeting on show.
constexpr int calendarCommands[] = {CommandId::modifyMeeting, CommandId::deleteMeeting,
                                    CommandId::viewMeeting, CommandId::addToQuickView,
                                    CommandId::printMeeting};

// The commands that act on the meeting the preview shows.
constexpr int previewCommands[] = {CommandId::printMeeting, CommandId::exportPdf,
                                   CommandId::exportMeetingCalendar};

// The iCalendar files among dropped URLs.
QStringList DroppedCalendarFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && IsCalendarFileName(url.toLocalFile())) {
            files << url.toLocalFile();
        }
    }
    return files;
}

// The modes that show no date: a meeting just added is not to be seen in them.
bool ShowsNoDate(int mode) {
    return mode == CCalendarPage::previewMode || mode == CCalendarPage::searchMode ||
           mode == CCalendarPage::todosMode;
}

bool IsStored(const CMeetingStore& store, const std::string& id) {
    return !id.empty() && store.GetMap().Contains(id);
}

QString WorkingDirectoryText() {
    return QString::fromStdString(GetWorkingDirectory().string());
}

} // namespace

CMainFrame::CMainFrame(CMeetingStore& store, CDesktopServices& services, QWidget* parent)
    : QMainWindow(parent), m_store(store), m_services(services), m_sheetPages(MeetingSheetPages()) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(LoadResString(StringId::appTitle));
    setWindowIcon(QIcon(QStringLiteral(":/tavelin.svg")));
    setMinimumSize(640, 420);
    // iCalendar files dropped anywhere on the window are imported.
    setAcceptDrops(true);
    CreateClientArea();
    CreateToolBar();
    CreateMenus();
    ScopeCalendarKeys();
    CreateStatusBar();

    // The quick view pane's first fill: the pinned meetings and the bar positions saved at
    // the last exit.
    if (CKesApp* app = CKesApp::Instance()) {
        app->LoadQuickViewSettings(*this);
    }
    m_ready = true;
    m_splitter->SetReady(true);
    m_rightPane->Fill();
    SetPickerFormat();
    UpdateCommandStates();
    resize(m_clientSize.width(), m_clientSize.height() + 80);
    QTimer::singleShot(0, this, &CMainFrame::ReportSkippedFiles);
}

CMainFrame::~CMainFrame() {
    if (CKesApp* app = CKesApp::Instance()) {
        app->SaveSettings(*this);
    }
    // A keeper that is the window's own child goes after this body: it must not call back
    // into a window half taken down.
    if (m_searchKeeper != nullptr) {
        disconnect(m_searchKeeper, nullptr, this, nullptr);
    }
}

void CMainFrame::CreateClientArea() {
    LoadMeetingsShowingProgress(m_store);
    m_clientSize = QRect(0, 0, 995, 650);

    m_splitter = new CPaneSplitter(this);
    m_leftPane = new CLeftListView(m_splitter);
    m_calendar = new CCalendarView(m_store, m_services, *this, m_splitter);
    m_calendar->setMinimumWidth(350);
    m_rightPane = new CRightListView(m_quickView, m_services, m_splitter);
    m_splitter->addWidget(m_leftPane);
    m_splitter->addWidget(m_calendar);
    m_splitter->addWidget(m_rightPane);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({150, (m_clientSize.width() - m_clientSize.left()) * 5 / 7, 200});
    setCentralWidget(m_splitter);

    connect(m_leftPane, &CLeftListView::modeRequested, this, [this](int mode) {
        if (mode != CCalendarPage::todosMode || m_canSearch) {
            GetCalendarPage().ShowMode(mode);
        }
        UpdateCommandStates();
    });
    connect(m_rightPane, &CRightListView::helpRequested, this,
            [this] { ShowHelp(m_services, this); });
    connect(m_rightPane, &CRightListView::closeRequested, this, &QWidget::close);
    connect(m_rightPane, &CRightListView::viewRequested, this,
            [this](const std::string& id) { ViewMeeting(id); });
    connect(m_rightPane, &CRightListView::quickAddRequested, this, [this] {
        QuickAdd();
        UpdateCommandStates();
    });
    connect(m_rightPane, &CRightListView::exportRequested, this,
            &CMainFrame::ExportPreviewedMeeting);
    connect(m_rightPane, &CRightListView::exportCalendarRequested, this,
            &CMainFrame::ExportPreviewedMeetingCalendar);

    CMeetingListCtrl& list = GetCalendarPage().GetMeetingList();
    connect(&list, &CMeetingListCtrl::SelectionMarkChanged, this, &CMainFrame::UpdateCommandStates);
    connect(&GetCalendarPage().GetOpenTodos(), &COpenTodoListCtrl::todoPageRequested, this,
            &CMainFrame::OpenTodoPage);
    connect(&GetCalendarPage().GetSearchResults(), &CSearchResultsCtrl::SelectionMarkChanged, this,
            &CMainFrame::UpdateCommandStates);
    connect(&GetCalendarPage(), &CCalendarPage::DateChosen, this, [this](const CDateTime& date) {
        if (m_toolBar != nullptr) {
            m_toolBar->GetDatePicker()->SetDateTime(date);
        }
    });
}

QAction* CMainFrame::MakeAction(int id) {
    const CCommandInfo* info = FindCommand(id);
    auto* action = new QAction(this);
    const QString tooltip = CommandTooltip(id);
    action->setText(info != nullptr && *info->menuText ? QString::fromUtf8(info->menuText)
                                                       : tooltip);
    action->setIconText(tooltip);
    action->setToolTip(tooltip);
    action->setStatusTip(CommandPrompt(id));
    if (info != nullptr) {
        action->setObjectName(QString::fromUtf8(info->objectName));
        if (*info->shortcut) {
            action->setShortcut(QKeySequence(QString::fromUtf8(info->shortcut)));
        }
        if (info->image >= 0) {
            const CImageStrip strip = LoadImageStrip(PictureId::toolbarStrip, 16);
            QIcon icon;
            icon.addPixmap(strip.GetPixmap(info->image, 1.0));
            icon.addPixmap(strip.GetPixmap(info->image, 2.0));
            action->setIcon(icon);
        }
    }
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::CreateToolBar() {
    m_toolBar = new CDateToolBar(m_services, this);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    CreateDateActions();
    m_toolBar->addSeparator();
    for (const int id : {CommandId::addMeeting, CommandId::quickAdd, CommandId::modifyMeeting,
                         CommandId::deleteMeeting, CommandId::viewMeeting}) {
        m_toolBar->addAction(MakeAction(id));
    }
    m_toolBar->addSeparator();
    m_toolBar->addAction(MakeAction(CommandId::addToQuickView));
    m_toolBar->addSeparator();
    m_toolBar->addAction(MakeAction(CommandId::synchronize));
    m_toolBar->addSeparator();
    m_toolBar->addAction(MakeAction(CommandId::refresh));
    m_toolBar->addAction(MakeAction(CommandId::preference));
    m_toolBar->addSeparator();
    m_toolBar->addAction(MakeAction(CommandId::help));
    m_toolBar->addAction(MakeAction(CommandId::about));
    CreateSearchField();

    CToolbarDateCtrl* picker = m_toolBar->GetDatePicker();
    picker->SetFormat(LoadResString(StringId::dayPickerFormat));
    picker->setToolTip(QStringLiteral("Date shown in the calendar"));
    connect(picker, &CToolbarDateCtrl::pickedDateChanged, this, &CMainFrame::ShowPickedDate);
    // The picker sits in the toolbar beside those commands' buttons; their keys stay out of
    // it too.
    picker->installEventFilter(this);
}

void CMainFrame::ScopeCalendarKeys() {
    // The commands that act on the calendar's marked or shown meeting answer their keys
    // only while the focus is in the calendar: a Delete pressed in the quick view pane is
    // the pane's own and must never reach a meeting the user is not in.
    for (const int id : calendarCommands) {
        QAction* action = m_actions.value(id);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_calendar->addAction(action);
    }
}

void CMainFrame::CreateSearchField() {
    // At the toolbar's right end.
    auto* spacer = new QWidget(m_toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolBar->addWidget(spacer);
    m_searchField = new CSearchField(m_toolBar);
    m_toolBar->addWidget(m_searchField);
    // Like the date picker, the field keeps the calendar's command keys (Ctrl+Return, Ctrl+D
    // ...) out of it: they must never act on a meeting while the user types words.
    m_searchField->installEventFilter(this);

    connect(m_searchField, &CSearchField::searchRequested, this, &CMainFrame::Search);
    connect(m_searchField, &CSearchField::activateRequested, this, [this] {
        CCalendarPage& page = GetCalendarPage();
        if (page.GetMode() != CCalendarPage::searchMode) {
            return;
        }
        const CSearchResultsCtrl& results = page.GetSearchResults();
        const int mark = results.GetSelectionMark();
        const std::string id = results.GetMeetingId(mark >= 0 ? mark : 0);
        if (!id.empty()) {
            ViewMeeting(id);
        }
    });
    connect(m_searchField, &CSearchField::resultsRequested, this, [this] {
        CCalendarPage& page = GetCalendarPage();
        CSearchResultsCtrl& results = page.GetSearchResults();
        if (page.GetMode() != CCalendarPage::searchMode || results.GetRowCount() == 0) {
            return;
        }
        if (results.GetSelectionMark() < 0) {
            results.SetSelectionMark(0);
        }
        results.setFocus(Qt::TabFocusReason);
    });
    connect(m_searchField, &CSearchField::leaveRequested, this, [this] {
        m_searchField->Reset();
        GetCalendarPage().LeaveSearch();
        UpdateCommandStates();
    });
    connect(&GetCalendarPage(), &CCalendarPage::SearchLeft, this, [this] {
        m_searchField->Reset();
        UpdateCommandStates();
    });
}

void CMainFrame::CreateDateActions() {
    const CImageStrip arrows = LoadImageStrip(PictureId::stepArrows, 16);
    const auto make = [this, &arrows](const char* name, const QString& text, int image,
                                      QKeySequence key) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        action->setStatusTip(text);
        action->setToolTip(QStringLiteral("%1 (%2)").arg(QString(text).remove(QLatin1Char('&')),
                                                         key.toString(QKeySequence::NativeText)));
        if (image >= 0) {
            QIcon icon;
            icon.addPixmap(arrows.GetPixmap(image, 1.0));
            icon.addPixmap(arrows.GetPixmap(image, 2.0));
            action->setIcon(icon);
        }
        // Like the meeting commands, these keys belong to the calendar and to the date picker
        // beside it: the other panes keep their own Page Up and Page Down.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_calendar->addAction(action);
        return action;
    };
    m_previousAction = make("previousPeriodAction", QStringLiteral("Previous day, week or month"),
                            0, QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    m_nextAction = make("nextPeriodAction", QStringLiteral("Next day, week or month"), 1,
                        QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    m_todayAction =
        make("todayAction", QStringLiteral("To&day"), -1, QKeySequence(Qt::CTRL | Qt::Key_T));
    m_todayAction->setStatusTip(QStringLiteral("Show today in the calendar"));
    connect(m_previousAction, &QAction::triggered, this, [this] { StepCalendar(-1); });
    connect(m_nextAction, &QAction::triggered, this, [this] { StepCalendar(1); });
    connect(m_todayAction, &QAction::triggered, this, &CMainFrame::GoToToday);
    // The arrows stand right of the picker; their keys and Today's reach the picker too.
    m_toolBar->addAction(m_previousAction);
    m_toolBar->addAction(m_nextAction);
    m_toolBar->GetDatePicker()->addAction(m_todayAction);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && m_toolBar != nullptr &&
        (watched == m_toolBar->GetDatePicker() || watched == m_searchField)) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const int id : calendarCommands) {
            if (m_actions.value(id)->shortcut().matches(pressed) == QKeySequence::ExactMatch) {
                event->accept();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    for (const int id : {CommandId::importCalendar, CommandId::exportMonthCalendar,
                         CommandId::exportAllCalendar}) {
        file->addAction(MakeAction(id));
    }
    file->addSeparator();
    file->addAction(MakeAction(CommandId::exit));

    QMenu* meeting = menuBar()->addMenu(QStringLiteral("&Meeting"));
    meeting->setObjectName(QStringLiteral("meetingMenu"));
    for (const int id : {CommandId::addMeeting, CommandId::modifyMeeting, CommandId::deleteMeeting,
                         CommandId::viewMeeting}) {
        meeting->addAction(m_actions.value(id));
    }
    meeting->addSeparator();
    meeting->addAction(m_actions.value(CommandId::addToQuickView));
    meeting->addSeparator();
    for (const int id : previewCommands) {
        meeting->addAction(MakeAction(id));
    }
    meeting->addSeparator();
    meeting->addAction(MakeAction(CommandId::findMeeting));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    QAction* toolBar = MakeAction(CommandId::toggleToolBar);
    QAction* statusBarAction = MakeAction(CommandId::toggleStatusBar);
    for (QAction* toggle : {toolBar, statusBarAction}) {
        toggle->setCheckable(true);
        toggle->setChecked(true);
        view->addAction(toggle);
    }
    view->addSeparator();
    view->addAction(m_todayAction);
    view->addAction(MakeAction(CommandId::showTodos));
    connect(m_toolBar, &QToolBar::visibilityChanged, toolBar, &QAction::setChecked);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("toolsMenu"));
    tools->addAction(m_actions.value(CommandId::refresh));
    tools->addAction(m_actions.value(CommandId::synchronize));
    tools->addSeparator();
    tools->addAction(m_actions.value(CommandId::preference));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(m_actions.value(CommandId::help));
    help->addSeparator();
    help->addAction(m_actions.value(CommandId::about));

    // The toolbar-only Quick Add still answers its shortcut.
    addAction(m_actions.value(CommandId::quickAdd));
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
    m_indexingProgress = new CIndexingProgress(bar);
    bar->addPermanentWidget(m_indexingProgress);
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
    return m_calendar->GetPage();
}

int CMainFrame::GetFirstPercent() const {
    return m_splitter->GetFirstPercent();
}
int CMainFrame::GetSecondPercent() const {
    return m_splitter->GetSecondPercent();
}

void CMainFrame::SetPercentages(int first, int second) {
    m_splitter->SetPercentages(first, second);
}

// ---- meeting operations

bool CMainFrame::CanEditMeetings() const {
    return true;
}

void CMainFrame::SetSheetPages(std::vector<MeetingPageMaker> pages) {
    m_sheetPages = std::move(pages);
}

// The new meeting exists, as a record and a file, from before the wizard opens until it ends:
// its pages save under its id. A wizard that does not finish takes it away again, with every
// content file its pages wrote.
void CMainFrame::AddMeeting(const CDateTime& when) {
    std::string id;
    try {
        id = m_store.AddMeeting(CMeeting(when));
    } catch (const CFileError& error) {
        ReportFileError(error);
        return;
    }
    CMeetingSheet sheet(CMeetingSheet::Mode::add, m_store, m_services, id, m_sheetPages, this);
    if (sheet.Run() != CMeetingSheet::Result::finished) {
        try {
            m_store.DeleteMeeting(id);
        } catch (const CFileError& error) {
            ReportFileError(error);
        }
        return;
    }
    // The date as the wizard stored it: the user may have moved the meeting on its first page.
    CCalendarPage& page = GetCalendarPage();
    page.GoToDate(m_store.GetMeeting(id).date);
    if (ShowsNoDate(page.GetMode())) {
        page.ShowMode(CCalendarPage::agendaMode);
    }
    UpdateCommandStates();
}

void CMainFrame::ModifyMeeting(const std::string& id) {
    RunModifySheet(id, std::nullopt);
}

void CMainFrame::OpenTodoPage(const std::string& id, std::size_t position) {
    RunModifySheet(id, position);
}

void CMainFrame::RunModifySheet(const std::string& id, std::optional<std::size_t> todo) {
    if (!IsStored(m_store, id)) {
        return;
    }
    CMeetingSheet sheet(CMeetingSheet::Mode::modify, m_store, m_services, id, m_sheetPages, this);
    for (int index = 0; todo && index < sheet.GetPageCount(); ++index) {
        if (auto* todoPage = dynamic_cast<CTodoPage*>(&sheet.GetPage(index))) {
            sheet.OpenOnPage(index);
            todoPage->MarkTodo(*todo);
            break;
        }
    }
    if (sheet.Run() != CMeetingSheet::Result::saved) {
        return;
    }
    GetCalendarPage().GoToDate(GetPickerDateTime());
    RefreshQuickView();
    UpdateCommandStates();
}

void CMainFrame::DeleteMeeting(const std::string& id) {
    if (!IsStored(m_store, id) || !m_services.Ask(StringId::askDeleteMeeting, this)) {
        return;
    }
    try {
        m_store.DeleteMeeting(id);
    } catch (const CFileError& error) {
        ReportFileError(error);
        return;
    }
    GetCalendarPage().GoToDate(m_services.Now());
    RemoveFromQuickView(id);
}

void CMainFrame::ViewMeeting(const std::string& id) {
    CCalendarPage& page = GetCalendarPage();
    try {
        page.SetPreviewedMeetingId(id);
        page.ShowMode(CCalendarPage::previewMode);
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
    // Whether there is a meeting to modify or delete is known once the preview shows it.
    UpdateCommandStates();
}

void CMainFrame::QuickAdd() {
    CQuickSheet sheet(m_store, m_services, this);
    try {
        if (sheet.Run() != QDialog::Accepted) {
            return;
        }
    } catch (const CFileError& error) {
        ReportFileError(error);
        return;
    }
    // The calendar turns to the new meeting's day; a preview, the search results or the open
    // todos give way to that day's agenda.
    CCalendarPage& page = GetCalendarPage();
    page.GoToDate(sheet.GetRecord().date);
    if (ShowsNoDate(page.GetMode())) {
        page.ShowMode(CCalendarPage::agendaMode);
    }
}

void CMainFrame::ExportPreviewedMeeting() {
    CCalendarPage& page = GetCalendarPage();
    if (page.GetMode() != CCalendarPage::previewMode) {
        return;
    }
    ExportMeeting(m_store, page.GetShownMeetingId(), m_services, this);
}

void CMainFrame::ExportPreviewedMeetingCalendar() {
    const std::string id = PreviewedMeetingId();
    if (id.empty()) {
        return;
    }
    ShowExported(ExportCalendarFile(
        m_store, {id},
        ExportFileName(ToShownText(m_store.GetMeeting(id).title), QStringLiteral("ics")),
        m_services, this));
}

void CMainFrame::ShowExported(const std::optional<QString>& path) {
    // A file that is not opened afterwards is easily lost: the status bar says where it went.
    if (path) {
        statusBar()->showMessage(
            QStringLiteral("Exported to %1").arg(QDir::toNativeSeparators(*path)));
    }
}

void CMainFrame::ImportCalendar(const QStringList& files) {
    if (files.isEmpty()) {
        return;
    }
    CImportOutcome outcome;
    {
        // A big import takes a while: its progress counts the meetings stored, offers Cancel,
        // and goes before the summary shows.
        CImportProgress progress(this);
        outcome = ImportCalendarFiles(
            m_store, files,
            [&progress](std::size_t stored, std::size_t total) { progress.Report(stored, total); },
            progress.GetStopToken());
    }
    if (outcome.added > 0 && outcome.firstDate) {
        ShowCalendarDate(*outcome.firstDate);
    }
    const CImportSummary summary = SummarizeImport(outcome);
    if (summary.failed) {
        m_services.ReportError(summary.details.isEmpty()
                                   ? summary.text
                                   : summary.text + QStringLiteral("\n\n") + summary.details,
                               this);
    } else if (summary.details.isEmpty()) {
        m_services.Inform(summary.text, this);
    } else {
        m_services.Notify(summary.text, summary.details, this);
    }
    UpdateCommandStates();
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

void CMainFrame::AddToQuickView(const std::string& id) {
    if (id.empty()) {
        return;
    }
    const CMeeting* pinned = m_quickView.Find(id);
    if (pinned != nullptr && !pinned->id.empty()) {
        return;
    }
    try {
        m_quickView.SetAt(id, m_store.GetMeeting(id));
        m_rightPane->AddShortcut(id);
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
}

void CMainFrame::RefreshQuickView() {
    for (const std::string& key : m_quickView.GetKeys()) {
        m_quickView.SetAt(key, m_store.GetMeeting(key));
    }
    m_rightPane->RebuildShortcuts();
}

void CMainFrame::RemoveFromQuickView(const std::string& id) {
    if (m_quickView.IsEmpty()) {
        m_rightPane->RebuildShortcuts();
        return;
    }
    const CMeeting* pinned = m_quickView.Find(id);
    if (pinned == nullptr || pinned->id.empty()) {
        return;
    }
    m_quickView.RemoveKey(id);
    m_rightPane->RebuildShortcuts();
}

void CMainFrame::ClearQuickView() {
    m_quickView.RemoveAll();
}

CDateTime CMainFrame::GetPickerDateTime() const {
    if (m_toolBar == nullptr) {
        return m_services.Now();
    }
    return m_toolBar->GetDatePicker()->GetDateTime();
}

void CMainFrame::ShowPickedDate() {
    CCalendarPage& page = GetCalendarPage();
    page.SetSelectedDate(GetPickerDateTime());
    page.ShowMode(page.GetMode());
}

void CMainFrame::StepCalendar(int direction) {
    CCalendarPage& page = GetCalendarPage();
    DateStep step = DateStep::month;
    switch (page.GetMode()) {
    case CCalendarPage::dayMode:
        step = DateStep::day;
        break;
    case CCalendarPage::weekMode:
        step = DateStep::week;
        break;
    case CCalendarPage::previewMode:
    case CCalendarPage::searchMode:
    case CCalendarPage::todosMode:
        return;
    default:
        break;
    }
    ShowCalendarDate(StepDate(page.GetSelectedDate(), step, direction));
}

void CMainFrame::GoToToday() {
    ShowCalendarDate(m_services.Now());
}

void CMainFrame::ShowCalendarDate(const CDateTime& date) {
    try {
        GetCalendarPage().GoToDate(date);
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
    if (m_toolBar != nullptr) {
        m_toolBar->GetDatePicker()->SetDateTime(date);
    }
    UpdateCommandStates();
}

void CMainFrame::SetPickerFormat() {
    if (m_splitter == nullptr || m_calendar == nullptr || m_toolBar == nullptr) {
        return;
    }
    const int mode = GetCalendarPage().GetMode();
    const bool dayOrWeek = mode == CCalendarPage::dayMode || mode == CCalendarPage::weekMode;
    m_toolBar->GetDatePicker()->SetFormat(
        LoadResString(dayOrWeek ? StringId::dayPickerFormat : StringId::monthPickerFormat));
    // The calendar asks for the format whenever it enters a mode: the panes follow it.
    m_leftPane->SetCurrentMode(mode);
    if (mode != CCalendarPage::searchMode && mode != CCalendarPage::previewMode &&
        m_searchField != nullptr) {
        // The words stay only while the results, or a meeting opened from them, are on show.
        m_searchField->Reset();
    }
    UpdateCommandStates();
}

void CMainFrame::ShowExportItem() {
    if (m_rightPane == nullptr) {
        return;
    }
    m_rightPane->SetExportItemShown(true);
    m_rightPane->ShowExportItem();
}

void CMainFrame::HideExportItemIfShown() {
    if (!m_ready || m_rightPane == nullptr || !m_rightPane->IsExportItemShown()) {
        return;
    }
    m_rightPane->HideExportItem();
    m_rightPane->SetExportItemShown(false);
}

// ---- search

void CMainFrame::SetSearchKeeper(CSearchKeeper* keeper) {
    if (m_searchKeeper != nullptr) {
        disconnect(m_searchKeeper, nullptr, this, nullptr);
    }
    m_searchKeeper = keeper;
    m_indexingProgress->Watch(keeper);
    if (keeper == nullptr) {
        SetSearchFunctions({}, {});
        return;
    }
    connect(keeper, &CSearchKeeper::upToDate, this, &CMainFrame::RefreshFoundLists);
    connect(keeper, &CSearchKeeper::changed, this, &CMainFrame::RefreshFoundLists);
    connect(keeper, &QObject::destroyed, this, [this] {
        m_searchKeeper = nullptr;
        SetSearchFunctions({}, {});
    });
    SetSearchFunctions([keeper](std::string_view words,
                                std::size_t limit) { return keeper->Search(words, limit); },
                       [keeper](const COpenTodo* after, std::size_t limit) {
                           return keeper->OpenTodos(after, limit);
                       });
}

void CMainFrame::SetSearchFunctions(SearchFunction search, OpenTodosFunction openTodos) {
    CCalendarPage& page = GetCalendarPage();
    m_canSearch = search && openTodos;
    page.GetSearchResults().SetSource(std::move(search));
    page.GetOpenTodos().SetSource(std::move(openTodos));
    page.RefreshFoundLists();
    UpdateCommandStates();
}

void CMainFrame::RefreshFoundLists() {
    try {
        GetCalendarPage().RefreshFoundLists();
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
    UpdateCommandStates();
}

void CMainFrame::Search(const QString& words) {
    if (!m_canSearch) {
        return;
    }
    CCalendarPage& page = GetCalendarPage();
    if (words.trimmed().isEmpty()) {
        page.LeaveSearch();
    } else if (page.GetMode() == CCalendarPage::searchMode &&
               words.simplified() == page.GetSearchResults().GetWords().simplified()) {
        // A space typed between words asks nothing new: the results and their mark stay.
    } else {
        page.ShowSearch(words);
    }
    UpdateCommandStates();
}

// ---- commands

std::string CMainFrame::SelectedMeetingId() const {
    return GetCalendarPage().GetMeetingList().GetMarkedMeetingId();
}

std::string CMainFrame::PreviewedMeetingId() const {
    const CCalendarPage& page = GetCalendarPage();
    if (page.GetMode() != CCalendarPage::previewMode) {
        return {};
    }
    const std::string id = page.GetShownMeetingId();
    return IsStored(m_store, id) ? id : std::string();
}

void CMainFrame::UpdateCommandStates() {
    if (m_actions.isEmpty() || m_calendar == nullptr) {
        return;
    }
    CCalendarPage& page = GetCalendarPage();
    const int mode = page.GetMode();
    const bool marked =
        mode == CCalendarPage::agendaMode && page.GetMeetingList().GetSelectionMark() != -1;
    // A preview may show an id the store does not hold (a shortcut whose meeting has gone):
    // there is nothing to modify or delete then.
    const bool onMeeting = marked || (mode == CCalendarPage::previewMode &&
                                      IsStored(m_store, page.GetShownMeetingId()));
    m_actions.value(CommandId::addMeeting)->setEnabled(CanEditMeetings());
    m_actions.value(CommandId::modifyMeeting)->setEnabled(onMeeting && CanEditMeetings());
    m_actions.value(CommandId::deleteMeeting)->setEnabled(onMeeting);
    m_actions.value(CommandId::viewMeeting)->setEnabled(marked);
    m_actions.value(CommandId::addToQuickView)->setEnabled(marked);
    m_actions.value(CommandId::quickAdd)->setEnabled(true);
    const bool previewed = !PreviewedMeetingId().empty();
    for (const int id : previewCommands) {
        if (QAction* action = m_actions.value(id)) {
            action->setEnabled(previewed);
        }
    }
    if (QAction* month = m_actions.value(CommandId::exportMonthCalendar)) {
        month->setEnabled(MonthHasMeetings(m_store, page.GetSelectedDate()));
    }
    if (QAction* all = m_actions.value(CommandId::exportAllCalendar)) {
        all->setEnabled(!m_store.GetMap().IsEmpty());
    }
    // The frame may still be building its menus.
    for (const int id : {CommandId::findMeeting, CommandId::showTodos}) {
        if (QAction* action = m_actions.value(id)) {
            action->setEnabled(m_canSearch);
        }
    }
    if (m_searchField != nullptr) {
        m_searchField->setEnabled(m_canSearch);
    }
}

void CMainFrame::OnCommand(int id) {
    try {
        RunCommand(id);
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
    UpdateCommandStates();
}

void CMainFrame::ReportFileError(const CFileError& error) {
    m_services.ReportError(CKesApp::FileErrorText(error), this);
}

void CMainFrame::RunCommand(int id) {
    CCalendarPage& page = GetCalendarPage();
    const int mode = page.GetMode();
    switch (id) {
    case CommandId::addMeeting:
        AddMeeting(GetPickerDateTime());
        break;
    case CommandId::quickAdd:
        QuickAdd();
        break;
    case CommandId::modifyMeeting: {
        const std::string meeting = mode == CCalendarPage::previewMode  ? page.GetShownMeetingId()
                                    : mode == CCalendarPage::agendaMode ? SelectedMeetingId()
                                                                        : std::string();
        if (!meeting.empty()) {
            ModifyMeeting(meeting);
        }
        break;
    }
    case CommandId::deleteMeeting:
        if (mode == CCalendarPage::agendaMode) {
            const std::string meeting = SelectedMeetingId();
            if (!meeting.empty()) {
                DeleteMeeting(meeting);
            }
        } else if (mode == CCalendarPage::previewMode) {
            const std::string meeting = page.GetShownMeetingId();
            if (!IsStored(m_store, meeting)) {
                break;
            }
            DeleteMeeting(meeting);
            if (!IsStored(m_store, meeting)) {
                page.ShowMode(CCalendarPage::agendaMode);
            }
        }
        break;
    case CommandId::viewMeeting:
        if (mode == CCalendarPage::agendaMode && !SelectedMeetingId().empty()) {
            ViewMeeting(SelectedMeetingId());
        }
        break;
    case CommandId::addToQuickView:
        if (mode == CCalendarPage::agendaMode && !SelectedMeetingId().empty()) {
            AddToQuickView(SelectedMeetingId());
        }
        break;
    case CommandId::printMeeting:
        if (const std::string meeting = PreviewedMeetingId(); !meeting.empty()) {
            PrintMeeting(m_store, meeting, m_services, this);
        }
        break;
    case CommandId::exportPdf:
        if (const std::string meeting = PreviewedMeetingId(); !meeting.empty()) {
            ShowExported(ExportMeetingPdf(m_store, meeting, m_services, this));
        }
        break;
    case CommandId::exportMeetingCalendar:
        ExportPreviewedMeetingCalendar();
        break;
    case CommandId::importCalendar:
        ImportCalendar(m_services.PickOpenFiles(QStringLiteral("Import"), QString(),
                                                CalendarFileFilter(), this));
        break;
    case CommandId::exportMonthCalendar: {
        const CDateTime month = page.GetSelectedDate();
        const std::vector<std::string> ids = MonthMeetingIds(m_store, month);
        if (!ids.empty()) {
            ShowExported(ExportCalendarFile(m_store, ids,
                                            QStringLiteral("Meetings %1-%2.ics")
                                                .arg(month.GetYear(), 4, 10, QLatin1Char('0'))
                                                .arg(month.GetMonth(), 2, 10, QLatin1Char('0')),
                                            m_services, this));
        }
        break;
    }
    case CommandId::exportAllCalendar:
        if (!m_store.GetMap().IsEmpty()) {
            ShowExported(ExportCalendarFile(m_store, AllMeetingIds(m_store),
                                            QStringLiteral("All meetings.ics"), m_services, this));
        }
        break;
    case CommandId::findMeeting:
        if (m_canSearch) {
            m_toolBar->show();
            m_searchField->setFocus(Qt::ShortcutFocusReason);
            m_searchField->selectAll();
        }
        break;
    case CommandId::showTodos:
        if (m_canSearch) {
            page.ShowMode(CCalendarPage::todosMode);
        }
        break;
    case CommandId::refresh:
        ReloadStore();
        page.RefreshList();
        break;
    case CommandId::synchronize: {
        CSyncLauncher launcher(m_services);
        launcher.Launch();
        break;
    }
    case CommandId::preference:
        ChangeWorkingDirectory();
        break;
    case CommandId::help:
        ShowHelp(m_services, this);
        break;
    case CommandId::about: {
        CAboutDlg about(this);
        m_services.RunDialog(about);
        break;
    }
    case CommandId::exit:
        close();
        break;
    case CommandId::toggleToolBar:
        m_toolBar->setVisible(!m_toolBar->isVisible());
        break;
    case CommandId::toggleStatusBar:
        statusBar()->setVisible(!statusBar()->isVisible());
        break;
    default:
        break;
    }
}

void CMainFrame::ReloadStore() {
    try {
        LoadMeetingsShowingProgress(m_store);
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
    ReportSkippedFiles();
    // Files changed behind the program's back are read into the search index too.
    if (m_searchKeeper != nullptr) {
        m_searchKeeper->CatchUp();
    }
}

void CMainFrame::ReportSkippedFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& path : m_store.GetSkippedFiles()) {
        if (m_reportedSkips.insert(path).second) {
            files.push_back(path);
        }
    }
    if (files.empty()) {
        return;
    }
    const CSkippedFilesNotice notice = SkippedFilesNotice(files);
    m_services.Notify(notice.text, notice.details, this);
}

void CMainFrame::ChangeWorkingDirectory() {
    try {
        DoChangeWorkingDirectory();
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
}

void CMainFrame::DoChangeWorkingDirectory() {
    const QString remembered = WorkingDirectoryText();
    CPreferenceDlg dialog(m_services, this);
    dialog.SetMode(CPreferenceDlg::changeCurrent);
    dialog.SetChosenPath(remembered);
    if (dialog.Run() != QDialog::Accepted || !dialog.IsChanged()) {
        return;
    }
    const QString folder = dialog.GetMeetingFolder();
    if (folder == remembered) {
        return;
    }
    // The lock moves with the working directory; a folder another window has open is
    // refused, since the two would overwrite each other's changes.
    QDir().mkpath(folder);
    CKesApp* app = CKesApp::Instance();
    if (app != nullptr && !app->LockWorkingDirectory(folder.toStdString())) {
        m_services.Inform(CKesApp::FolderInUseText(folder.toStdString()) +
                              QStringLiteral(" The working directory stays %1.")
                                  .arg(QDir::toNativeSeparators(remembered)),
                          this);
        return;
    }
    SetWorkingDirectory(folder.toStdString());
    if (app != nullptr) {
        app->ResetSettings();
    }
    if (m_searchKeeper != nullptr) {
        m_searchKeeper->Open(GetWorkingDirectory());
    }
    ReloadStore();
    ShowPickedDate();
    ClearQuickView();
    m_rightPane->RebuildShortcuts();
}
