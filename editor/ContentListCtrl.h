#pragma once

#include "ui/ImageStrip.h"
#include "ui/ListBase.h"

#include <QColor>
#include <QString>

#include <string>

// The shared pattern of the meeting sheet's four content lists: a list knows the meeting it
// shows, reads that meeting's content file on Load, owns the records behind its rows, writes
// the whole file again on Save and paints every row itself. The marked row (the selection
// mark, -1 for none) is the one the page's Mod, Del, Up and Down act on.
class CContentListCtrl : public CListBase {
    Q_OBJECT

public:
    CContentListCtrl(std::string meetingId, int rowImageId, int rowImageWidth,
                     QWidget* parent = nullptr);

    const std::string& GetMeetingId() const { return m_meetingId; }
    int GetItemCount() const { return ItemCount(); }

    // Reads the content file afresh: a missing file gives an empty list, a file that ends
    // early gives the entries read before its end. No row is marked afterwards.
    virtual void Load() = 0;
    // Writes every row, top to bottom, to the content file; CFileError when that fails.
    virtual void Save() const = 0;

    // Removes the marked row; false when no row is marked.
    virtual bool DeleteMarked();

signals:
    // The rows' records changed (added, edited, moved, deleted, sorted or loaded).
    void ItemsChanged();
    // Enter or a double click on the marked row, and the Delete key: the page's Mod and Del.
    void ModifyRequested(int row);
    void DeleteRequested(int row);

protected:
    // Moves the marked row one place up or down with its record, the mark following it;
    // false at the top (bottom) or without a mark. Exposed by the lists kept in the user's
    // order.
    bool MoveUp();
    bool MoveDown();
    // The content page's Up and Down buttons and keys drive the moves.
    friend class CContentPage;

    void ActivateItem(int row) override;
    void DeleteItem(int row) override;
    // Enter with no row marked is the dialog's: it presses the default button (Next, OK).
    void keyPressEvent(QKeyEvent* event) override;

    // --- The records, kept by each list in its own container.
    virtual void SwapRecords(int first, int second) = 0;
    virtual void RemoveRecord(int row) = 0;

    // Called after the records changed: lays out again, repaints, tells the page.
    void RecordsChanged();

    // --- Rows: one height for every row, the width of the viewport; a list whose rows hold
    // more lines or another font than one line of its row font sets its own height.
    int RowHeight() const { return m_rowHeight; }
    void SetRowHeight(int height);
    QRect ItemRect(int row) const override;
    int HitTest(const QPoint& contentPos) const override;
    int ContentHeight() const override;
    CItemRange ItemsToPaint(int top, int bottom) const override;

    // Paints the row background in the marked or unmarked colours, the separator line and
    // image `image` of the row strip; returns the text colour.
    QColor PaintRowBase(QPainter& painter, int row, const QRect& rect, bool separator,
                        int image = 0) const;
    // One line of text in `rect`, vertically centred, elided at the right with "…".
    static void DrawRowText(QPainter& painter, const QRect& rect, const QString& text);
    // The font of the rows: the widget's font at 13 pixels (or `pixelSize`) and `weight`.
    QFont RowFont(QFont::Weight weight, int pixelSize = 13) const;
    const CImageStrip& RowImages() const { return m_rowImages; }

private:
    const std::string m_meetingId;
    CImageStrip m_rowImages;
    int m_rowHeight = 17;
};

// A record's text as one row shows it: bounded, with each line break shown as a blank.
QString ToRowText(const std::string& text);
