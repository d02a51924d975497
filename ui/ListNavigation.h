#pragma once

// Where a movement key takes the mark of a list laid out in reading order: items fill rows of
// `columns` from the left, a plain list being one column. Pure, so that every list moves alike.
namespace ListNavigation {

// What `MoveTarget` returns for a key that does not move the mark here (Left and Right in a
// single column, any key that is no movement key).
constexpr int notAMove = -2;

// The item the key moves the mark to from `mark` (-1 when nothing is marked), among `count`
// items with `rowsPerPage` rows on a page: Up and Down go one row, Left and Right one item,
// Page Up and Page Down a page of rows in the same column, Home and End to the first and the
// last item. Moves stop at the edges. Without a mark any move starts at the first item, End
// at the last. -1 when there are no items.
int MoveTarget(int key, int mark, int count, int columns, int rowsPerPage);

} // namespace ListNavigation
