#include "app/Help.h"

#include "app/HelpWindow.h"

#include "ui/DesktopServices.h"

#include <QCoreApplication>
#include <QFileInfo>

QString ModuleFolderPathFor(const QString& programFilePath, const QString& fileName) {
    const qsizetype separator = programFilePath.lastIndexOf(QLatin1Char('/'));
    return programFilePath.left(separator + 1) + fileName;
}

QString GetModuleFolderPath(const QString& fileName) {
    return ModuleFolderPathFor(QCoreApplication::applicationFilePath(), fileName);
}

void ShowHelp(CDesktopServices& services, QWidget* parent) {
    const QString file = GetModuleFolderPath(HelpFileName());
    // The viewer is asked for only when there is a file to show it.
    if (QFileInfo(file).isFile() && services.OpenFile(file)) {
        return;
    }
    CHelpWindow::ShowContents(parent);
}
