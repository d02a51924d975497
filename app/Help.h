#pragma once

#include "Version.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The compiled help file that lies beside the program file.
inline QString HelpFileName() {
    return QStringLiteral(TAVELIN_HELP_FILE);
}

// The folder of the running program followed by `fileName`.
QString GetModuleFolderPath(const QString& fileName);

// The folder part of `programFilePath` (everything up to and including its last separator)
// followed by `fileName`; the program's path may hold blanks or any other character.
QString ModuleFolderPathFor(const QString& programFilePath, const QString& fileName);

// Opens the help file with the desktop's viewer for it when the file is there and the desktop
// has a viewer; otherwise shows the same pages in the program's own help window. Says
// nothing when anything fails.
void ShowHelp(QWidget* parent = nullptr);

namespace HelpTesting {
// While intercepted, ShowHelp takes `helpFile` as the help file and `hasViewer` as the
// desktop's answer, and records the file it would hand to the viewer instead of opening it.
// The help window itself is shown as usual.
void Intercept(const QString& helpFile, bool hasViewer);
void Stop();
bool IsIntercepted();
// Files handed to the desktop's viewer while intercepted, oldest first.
const QStringList& OpenedFiles();
} // namespace HelpTesting
