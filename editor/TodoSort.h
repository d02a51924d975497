#pragma once

#include "store/TodoItem.h"

#include <array>

// The todo list's sorts and the header pictures that tell which sort is applied, as pure
// functions of plain data.
namespace TodoSort {

// Sort codes: two per column, the column's first order and its reverse.
enum Code : int {
    priorityHighFirst = 0,
    priorityLowFirst = 1,
    notDoneFirst = 2,
    doneFirst = 3,
    textAscending = 4,
    textDescending = 5,
};

constexpr int columnCount = 3;

// The header picture of each column: 3c sorted by column c, 3c + 1 sorted in reverse,
// 3c + 2 not sorted.
using CHeaderImages = std::array<int, columnCount>;
constexpr CHeaderImages initialHeaderImages = {2, 5, 6};

struct CHeaderClick {
    CHeaderImages images;
    int code = textAscending;
};
// The pictures after a click on `column`, and the sort code the click applies.
CHeaderClick ClickHeader(const CHeaderImages& images, int column);

// Negative when `a` goes before `b` under `code`, 0 when the sort leaves them as they are.
// Texts compare as the locale orders words; an unknown code compares everything equal.
int Compare(int code, const CTodoItem& a, const CTodoItem& b);

// What a click on a row's priority and done pictures makes of them.
std::int32_t NextPriority(std::int32_t priority);
std::int32_t ToggledDone(std::int32_t done);

} // namespace TodoSort
