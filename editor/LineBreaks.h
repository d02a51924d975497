#pragma once

#include <QString>

#include <string>

// Stored texts break their lines with CR LF; Qt's text edits use a lone LF. A text goes into
// an edit through ToEditText and comes back through FromEditText, so a stored line break
// survives an edit that does not touch it.
QString ToEditText(const QString& stored);
QString FromEditText(const QString& edited);

// The bytes to store for a field: the record's own while the field still gives what it gave
// when the record was put in (its line breaks, a text that is not UTF-8, a non-breaking space
// an edit would make a blank), else the text typed.
std::string KeptOrTyped(const QString& now, const QString& shown, const std::string& stored);
