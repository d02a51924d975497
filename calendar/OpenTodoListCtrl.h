#pragma once

#include "calendar/CalendarList.h"
#include "calendar/PagedRowList.h"
#include "search/OpenTodo.h"
#include "store/DateTime.h"
#include "ui/DateTimeFormat.h"
#include "ui/ImageStrip.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CDesktopServices;
class CMeetingStore;

// Every todo not yet done, of every meeting, highest priority first then by meeting date (the
// order the source gives): the done and priority pictures, the todo's text and its meeting's
// title and date. A click on the done picture, or Space on the marked row, marks that todo
// done in its meeting's todo file; a double click or Enter asks for the meeting's todo page.
// The list asks for a page of todos at a time and for the next page when its last row comes
// into view or is marked.
class COpenTodoListCtrl : public CPagedRowList, public CCalendarList {
    Q_OBJECT

public:
    // At most `limit` todos in the list's order, after `after` (the last todo an earlier answer
    // gave) or, for none, from the first.
    using Source = std::function<std::vector<COpenTodo>(const COpenTodo* after, std::size_t limit)>;
    static constexpr std::size_t pageSize = 500;

    COpenTodoListCtrl(CMeetingStore& store, CDesktopServices& services, QWidget* parent = nullptr);

    void SetSource(Source source);

    QWidget* GetWidget() override { return this; }
    // Asks the source again for as many todos as it gave so far; the mark stays on its row
    // number.
    void Fill(const CDateTime& date) override;
    void Refresh() override;

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    // The todo of a row; an empty todo outside the rows.
    COpenTodo GetTodo(int row) const;

    // Marks the todo of `row` done in its file and takes it off the list. A file changed since
    // the source saw it is left alone and the list asked for again; a file that cannot be
    // written, or that does not read back whole, is reported naming the file.
    void MarkDone(int row);

    struct CShownRow {
        QString text;
        QString meeting; // the meeting's title and date
    };
    CShownRow GetShownRow(int row) const;

signals:
    // Modify on the todo page of a meeting, with the todo at `position` of its file marked.
    void todoPageRequested(const std::string& meetingId, std::size_t position);

protected:
    int ItemCount() const override { return GetRowCount(); }
    QRect ItemRect(int row) const override;
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    void PaintEmpty(QPainter& painter) const override;
    void ActivateItem(int row) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Keeps the todos of `given` whose meeting the store holds, after the rows there are.
    void Append(std::vector<COpenTodo> given, std::size_t limit);
    void LoadMore() override;

    CMeetingStore& m_store;
    CDesktopServices& m_services;
    Source m_source;
    // The meeting's title and date are looked up when a row is painted: the list may hold a
    // todo of every meeting, of which a screen shows a few dozen.
    std::vector<COpenTodo> m_rows;
    // The next page starts after the last todo the source gave, shown or not.
    std::optional<COpenTodo> m_lastGiven;
    std::size_t m_givenCount = 0;
    CDateTimeFormat m_format;
    CImageStrip m_pictures;
};
