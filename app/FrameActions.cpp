#include "app/FrameActions.h"

#include "app/CalendarNavigation.h"
#include "app/CalendarSharing.h"
#include "app/CommandDispatch.h"
#include "app/DateToolBar.h"
#include "app/SearchField.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "calendar/CalendarView.h"
#include "calendar/MeetingListCtrl.h"
#include "store/MeetingStore.h"
#include "ui/CommandTable.h"
#include "ui/ImageStrip.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

namespace {

// The commands whose target is the calendar's marked row or the meeting on show.
constexpr int calendarCommands[] = {CommandId::modifyMeeting, CommandId::deleteMeeting,
                                    CommandId::viewMeeting, CommandId::addToQuickView,
                                    CommandId::printMeeting};

// The commands that act on the meeting the preview shows.
constexpr int previewCommands[] = {CommandId::printMeeting, CommandId::exportPdf,
                                   CommandId::exportMeetingCalendar};

} // namespace

QAction* CFrameActions::MakeAction(int id) {
    const CCommandInfo* info = FindCommand(id);
    auto* action = new QAction(m_window);
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
    QObject::connect(action, &QAction::triggered, m_window,
                     [this, id] { m_commands.OnCommand(id); });
    m_actions.insert(id, action);
    return action;
}

void CFrameActions::CreateToolBar() {
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
}

void CFrameActions::ScopeCalendarKeys() {
    // The commands that act on the calendar's marked or shown meeting answer their keys
    // only while the focus is in the calendar: a Delete pressed in the quick view pane is
    // the pane's own and must never reach a meeting the user is not in.
    for (const int id : calendarCommands) {
        QAction* action = m_actions.value(id);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_calendar->addAction(action);
    }
}

void CFrameActions::CreateDateActions() {
    const CImageStrip arrows = LoadImageStrip(PictureId::stepArrows, 16);
    const auto make = [this, &arrows](const char* name, const QString& text, int image,
                                      QKeySequence key) {
        auto* action = new QAction(text, m_window);
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
    QObject::connect(m_previousAction, &QAction::triggered, m_window,
                     [this] { m_navigation.StepCalendar(-1); });
    QObject::connect(m_nextAction, &QAction::triggered, m_window,
                     [this] { m_navigation.StepCalendar(1); });
    QObject::connect(m_todayAction, &QAction::triggered, m_window,
                     [this] { m_navigation.GoToToday(); });
    // The arrows stand right of the picker; their keys and Today's reach the picker too.
    m_toolBar->addAction(m_previousAction);
    m_toolBar->addAction(m_nextAction);
    m_toolBar->GetDatePicker()->addAction(m_todayAction);
}

bool CFrameActions::IsCalendarKey(const QKeySequence& pressed) const {
    for (const int id : calendarCommands) {
        if (m_actions.value(id)->shortcut().matches(pressed) == QKeySequence::ExactMatch) {
            return true;
        }
    }
    return false;
}

void CFrameActions::CreateMenus() {
    QMenu* file = m_window->menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    for (const int id : {CommandId::importCalendar, CommandId::exportMonthCalendar,
                         CommandId::exportAllCalendar}) {
        file->addAction(MakeAction(id));
    }
    file->addSeparator();
    file->addAction(MakeAction(CommandId::exit));

    QMenu* meeting = m_window->menuBar()->addMenu(QStringLiteral("&Meeting"));
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

    QMenu* view = m_window->menuBar()->addMenu(QStringLiteral("&View"));
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
    QObject::connect(m_toolBar, &QToolBar::visibilityChanged, toolBar, &QAction::setChecked);

    QMenu* tools = m_window->menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("toolsMenu"));
    tools->addAction(m_actions.value(CommandId::refresh));
    tools->addAction(m_actions.value(CommandId::synchronize));
    tools->addSeparator();
    tools->addAction(MakeAction(CommandId::syncNow));
    tools->addAction(MakeAction(CommandId::calendarServer));
    tools->addSeparator();
    tools->addAction(m_actions.value(CommandId::preference));

    QMenu* help = m_window->menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(m_actions.value(CommandId::help));
    help->addSeparator();
    help->addAction(m_actions.value(CommandId::about));

    // The toolbar-only Quick Add still answers its shortcut.
    m_window->addAction(m_actions.value(CommandId::quickAdd));
}

void CFrameActions::UpdateCommandStates() {
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
