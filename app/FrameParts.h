#pragma once

#include <functional>

class CCalendarView;
class CDateToolBar;
class CDesktopServices;
class CIndexingProgress;
class CLeftListView;
class CMeetingStore;
class CPaneSplitter;
class CRightListView;
class CSearchField;
class CSearchKeeper;
class QMainWindow;

// What the main window's rooms share: the store, the services, the window (the parent of
// every dialog a command opens), its panes as they are made, and the state more than one room
// reads. The window owns it; each room sees it through CFrameRoom.
struct CFrameParts {
    CFrameParts(CMeetingStore& store, CDesktopServices& services, QMainWindow& window)
        : store(store), services(services), window(window) {}

    CMeetingStore& store;
    CDesktopServices& services;
    QMainWindow& window;
    CPaneSplitter* splitter = nullptr;
    CLeftListView* leftPane = nullptr;
    CCalendarView* calendar = nullptr;
    CRightListView* rightPane = nullptr;
    CDateToolBar* toolBar = nullptr;
    CSearchField* searchField = nullptr;
    CIndexingProgress* indexingProgress = nullptr;
    CSearchKeeper* searchKeeper = nullptr;
    // Whether the window has a search index to ask (the search and todo commands need one).
    bool canSearch = false;
    // The window is built: the quick view pane may change its items.
    bool ready = false;
    // Enables the commands for what the calendar shows now; every command ends with it.
    std::function<void()> updateCommandStates;
};
