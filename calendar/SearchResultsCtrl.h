#pragma once

#include "calendar/CalendarList.h"
#include "calendar/PagedRowList.h"
#include "search/SearchHit.h"
#include "store/DateTime.h"
#include "ui/DateTimeFormat.h"
#include "ui/ImageStrip.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CDesktopServices;
class CMeetingCommands;
class CMeetingStore;

// The meetings a search found, newest first: each row the meeting's icon, title, date and
// venue as the store holds them, and the passage that matched with the words marked. The list
// asks for a page of hits at a time and for the next page when its last row comes into view.
// Enter or a double click previews the marked meeting; Escape asks to leave the results.
class CSearchResultsCtrl : public CPagedRowList, public CCalendarList {
    Q_OBJECT

public:
    // Hits for `words`, at most `limit` of them; nothing when the answer comes later (the
    // list is then refreshed).
    using Source = std::function<std::optional<std::vector<CSearchHit>>(std::string_view words,
                                                                        std::size_t limit)>;
    static constexpr std::size_t pageSize = 200;

    CSearchResultsCtrl(CMeetingStore& store, CMeetingCommands& commands, QWidget* parent = nullptr);

    void SetSource(Source source);
    // A new search: the first page of hits for `words`, the first row marked.
    void Search(const QString& words);
    QString GetWords() const { return m_words; }

    QWidget* GetWidget() override { return this; }
    // Asks again for as many hits as are shown, keeping the marked meeting and the scroll.
    void Fill(const CDateTime& date) override;
    void Refresh() override;

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    std::string GetMeetingId(int row) const;
    std::string GetMarkedMeetingId() const { return GetMeetingId(GetSelectionMark()); }

    struct CShownRow {
        QString title;
        QString details; // date and time, then the venue
        QString snippet; // the passage without its marks
    };
    CShownRow GetShownRow(int row) const;

signals:
    void leaveRequested();

protected:
    int ItemCount() const override { return GetRowCount(); }
    QRect ItemRect(int row) const override;
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    void PaintEmpty(QPainter& painter) const override;
    void ActivateItem(int row) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct CRow {
        std::string id;
        std::string title;
        std::string venue;
        CDateTime date;
        std::int32_t icon = 0;
        std::string snippet;
    };

    // Asks the source for `m_limit` hits and keeps those whose meeting the store holds; false,
    // the rows shown kept, when the answer comes later.
    bool Query();
    // A new search's rows: from the top, the first marked.
    void ShowFromTop();
    void LoadMore() override;

    CMeetingStore& m_store;
    CMeetingCommands& m_commands;
    Source m_source;
    QString m_words;
    std::size_t m_limit = pageSize;
    // An answer is awaited; for a new search when m_fromTop.
    bool m_pending = false;
    bool m_fromTop = false;
    std::vector<CRow> m_rows;
    CDateTimeFormat m_format;
    CImageStrip m_icons;
};
