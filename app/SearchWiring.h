#pragma once

#include "app/FrameRoom.h"
#include "search/OpenTodo.h"
#include "search/SearchHit.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

class CFrameMeetingCommands;

// The toolbar's search field and the search index wired to the calendar's found lists (the
// search results and the open todos), and the status bar's word while the index catches up.
class CSearchWiring : public QObject, public CFrameRoom {
    Q_OBJECT

public:
    CSearchWiring(CFrameParts& parts, CFrameMeetingCommands& meetings);
    ~CSearchWiring() override;

    // The field at the toolbar's right end, with its keys.
    void CreateSearchField();

    // What SetSearchKeeper hands the search results and the open todos: the keeper's search and
    // open todos as functions. Without them the search and todo commands are disabled.
    using SearchFunction = std::function<std::optional<std::vector<CSearchHit>>(
        std::string_view words, std::size_t limit)>;
    using OpenTodosFunction =
        std::function<std::vector<COpenTodo>(const COpenTodo* after, std::size_t limit)>;
    void SetSearchFunctions(SearchFunction search, OpenTodosFunction openTodos);
    // The search index of the working directory (null: none); the status bar shows it
    // catching up.
    void SetSearchKeeper(CSearchKeeper* keeper);
    // The index changed: the search results or the open todos on show ask again.
    void RefreshFoundLists();
    // The toolbar's search field asked for `words`: the results in the calendar's place, or,
    // for no words, the view shown before them.
    void Search(const QString& words);
    // Find Meeting: the field, its words selected.
    void FindMeeting();
    // Show Todos: the open todos in the calendar's place.
    void ShowTodos();

private:
    CFrameMeetingCommands& m_meetings;
};
