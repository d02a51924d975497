#pragma once

#include "export/PreviewRows.h"

#include <QRect>
#include <QString>

// How one preview row is drawn: which texts go where, bold or not, and which small pictures
// stand before them. Horizontal positions are offsets from the row's left edge.
struct CPreviewRowLook {
    // The six state pictures, in the order of their strip.
    enum StateImage { highImage = 0, mediumImage, lowImage, doneImage, notDoneImage, bulletImage };
    static constexpr int noImage = -1;

    // Title and headings: one bold text centred between `firstX` and the right edge.
    bool centred = false;
    bool meetingIcon = false;
    // A single text over the whole row height (title, labels, attendees, headings); otherwise
    // the first line fills the upper half and the second line the lower half.
    bool wholeHeight = true;
    bool firstBold = false;

    // A label row, and the notes' first row, read as label and value: the label at `firstX`,
    // then its colon and the value (`firstLine`) in the columns of PreviewLabelColumns.
    // Empty for every other row.
    QString label;
    QString firstLine;
    QString secondLine;
    int firstX = 0;
    int secondX = 0;

    int stateImage = noImage;
    int stateImageX = 0;
    int doneMark = noImage;
    int doneMarkX = 0;
};

// Reads a row's text back into what its drawing shows; `isTitle` for the first row.
CPreviewRowLook LookOfPreviewRow(const CPreviewRow& row, bool isTitle);

// Where the labels' colons and their values stand, so that they line up whatever the widths
// of the label words: `widestLabel` is the width of the widest label in the row font.
// The values start no further left than the entries of the sections below.
struct CPreviewLabelColumns {
    int colonX = 0;
    int valueX = 0;
};
CPreviewLabelColumns PreviewLabelColumns(int widestLabel, int colonWidth);

// The box the title is centred in: about the centre the headings have, and clear of the
// meeting's icon at its left, so a long title is cut short before it rather than drawn over it.
QRect PreviewTitleBox(const QRect& row, int iconWidth);
