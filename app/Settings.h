#pragma once

#include <QString>

// The per-user profile under "Brindleware" / the program name and version: the working directory,
// the quick view shortcuts and the two splitter positions.
namespace Settings {

QString ReadPath();
void WritePath(const QString& path);

// The shortcut ids joined with CR LF.
QString ReadItem();
void WriteItem(const QString& ids);

// The bars' percentages; defaultFirst and defaultSecond when none is stored.
int ReadFirst();
int ReadSecond();
void WriteFirst(int percent);
void WriteSecond(int percent);

constexpr int defaultFirst = 15;
constexpr int defaultSecond = 85;

// Where the synchronisation tool is, when the user named it ("Sync"/"Tool"); empty otherwise.
QString ReadSyncTool();

} // namespace Settings
