#pragma once

#include <string>
#include <string_view>

// The full-text query for the words a user typed: every word (a run of letters, digits and
// marks; anything else separates words) quoted and as a prefix, all required, so that
// "budg cut" finds "Budget cuts" and no quote, star, caret, parenthesis, colon or operator
// word the user types is read as query syntax. Empty when the text holds no word.
std::string MatchExpressionFor(std::string_view words);
