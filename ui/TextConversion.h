#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

// Stored texts are bytes. They are shown as UTF-8, or as Windows-1252 when they are not valid
// UTF-8 (records written on older systems); text the user types is stored as UTF-8.
QString ToQString(std::string_view bytes);
std::string FromQString(const QString& text);

// Nothing bounds a stored text, yet a list or pane shows one line of it: this many bytes are
// more than the widest screen shows, and laying out more would cost time for nothing.
constexpr std::size_t shownTextLimit = 4096;

// The text as one line shows it: a longer text is decoded from a prefix of at most
// `shownTextLimit` bytes, cut at a character boundary, with "…" after it. Whether the prefix
// reads as UTF-8 or Windows-1252 is judged from the prefix alone.
QString ToShownText(std::string_view bytes);
