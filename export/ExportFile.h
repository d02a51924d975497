#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class CDesktopServices;
class QWidget;

// Where an export goes: the file the user picked, with `extension` added when the name has
// none, after the user agreed to replace an existing file. nullopt when the user cancelled
// either question.
std::optional<QString> PickExportFile(CDesktopServices& services, const QString& filter,
                                      const QString& extension, QWidget* parent,
                                      const QString& suggestedName = QString());

// Replaces `path` whole with `bytes`. A file that cannot be written keeps its old contents and
// is reported, naming it and the reason; false then.
bool WriteExportFile(const QString& path, const QByteArray& bytes, CDesktopServices& services,
                     QWidget* parent);
