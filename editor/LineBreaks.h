#pragma once

#include <QString>

// Stored texts break their lines with CR LF; Qt's text edits use a lone LF. A text goes into
// an edit through ToEditText and comes back through FromEditText, so a stored line break
// survives an edit that does not touch it.
QString ToEditText(const QString& stored);
QString FromEditText(const QString& edited);
