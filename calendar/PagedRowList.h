#pragma once

#include "ui/ListBase.h"

#include <QColor>
#include <QFont>

class QPainter;
class QRect;
class QString;

// A list of rows of one height that the search index hands over a page at a time. The next
// page is asked for when the last row comes into view or is marked, once control is back in
// the event loop: never while painting, and once however many triggers come before it.
class CPagedRowList : public CListBase {
    Q_OBJECT

public:
    // Whether the last answer filled its page, so that reaching the end asks for more.
    bool HasMore() const { return m_hasMore; }

protected:
    CPagedRowList(int rowHeight, QWidget* parent);

    // Asks the source for the page after the rows there are.
    virtual void LoadMore() = 0;
    void AskForMoreSoon();

    int HitTest(const QPoint& contentPos) const override;
    int ContentHeight() const override;
    CItemRange ItemsToPaint(int top, int bottom) const override;

    // The rows' common look.
    static QFont RowFont(const QFont& base, QFont::Weight weight);
    // One line of text, cut off with an ellipsis where `rect` ends.
    static void DrawLine(QPainter& painter, const QRect& rect, const QString& text);
    static inline const QColor markedBackground{233, 233, 233};
    static inline const QColor separatorColour{214, 214, 214};

    bool m_hasMore = false;

private:
    const int m_rowHeight;
    bool m_morePending = false;
};
