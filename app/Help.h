#pragma once

#include <QString>
#include <QStringList>

class CDesktopServices;
class QWidget;

// The compiled help file that lies beside the program file.
inline QString HelpFileName() {
    return QStringLiteral("keshelp40.chm");
}

// The folder of the running program followed by `fileName`.
QString GetModuleFolderPath(const QString& fileName);

// The folder part of `programFilePath` (everything up to and including its last separator)
// followed by `fileName`; the program's path may hold blanks or any other character.
QString ModuleFolderPathFor(const QString& programFilePath, const QString& fileName);

// Opens the help file with the desktop's viewer for it when the file is there and the desktop
// has a viewer; otherwise shows the same pages in the program's own help window. Says
// nothing when anything fails.
void ShowHelp(CDesktopServices& services, QWidget* parent = nullptr);
