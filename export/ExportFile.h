#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <optional>
#include <string_view>

class CDesktopServices;
class QWidget;

// Where an export goes: the file the user picked, with `extension` added when the name has
// none, after the user agreed to replace an existing file; answering No to that goes back to
// the file dialog for another name. nullopt when the user cancelled the dialog.
std::optional<QString> PickExportFile(CDesktopServices& services, const QString& filter,
                                      const QString& extension, QWidget* parent,
                                      const QString& suggestedName = QString());

// The name an export of one meeting proposes: its title, made safe for a file name (no folder
// separators, never empty or hidden), with `extension`.
QString ExportFileName(const QString& title, const QString& extension);

// Replaces `path` whole with `bytes` as a text editor saves: a link is written through to the
// file it names, the file keeps its mode, and the new contents take the old file's place
// atomically beside it. A file with other names (hard links) is rewritten in place instead,
// so that every name shows the export. Throws CFileError naming `path`; the old contents are
// then whole, unless an in-place rewrite failed after room for it was found.
void ReplaceExportTarget(const std::filesystem::path& path, std::string_view bytes);

// Replaces `path` whole with `bytes` (ReplaceExportTarget). A file that cannot be written keeps
// its old contents and is reported, naming it and the reason; false then.
bool WriteExportFile(const QString& path, const QByteArray& bytes, CDesktopServices& services,
                     QWidget* parent);
