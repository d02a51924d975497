#pragma once

#include <QString>

#include <string>
#include <string_view>

// Stored texts are bytes. They are shown as UTF-8, or as Windows-1252 when they are not valid
// UTF-8 (records written on older systems); text the user types is stored as UTF-8.
QString ToQString(std::string_view bytes);
std::string FromQString(const QString& text);
