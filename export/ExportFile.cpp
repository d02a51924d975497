#include "export/ExportFile.h"

#include "store/FileError.h"
#include "store/FileIo.h"
#include "ui/DesktopServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

std::optional<QString> PickExportFile(CDesktopServices& services, const QString& filter,
                                      const QString& extension, QWidget* parent,
                                      const QString& suggestedName) {
    const std::optional<QString> picked =
        services.PickSaveFile(QStringLiteral("Save As"), suggestedName, filter, parent);
    if (!picked || picked->isEmpty()) {
        return std::nullopt;
    }
    const QString path =
        QFileInfo(*picked).suffix().isEmpty() ? *picked + QLatin1Char('.') + extension : *picked;
    if (QFileInfo::exists(path) &&
        !services.AskChoice(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                .arg(QDir::toNativeSeparators(path)),
                            QStringLiteral("&Yes"), QStringLiteral("&No"), parent)) {
        return std::nullopt;
    }
    return path;
}

bool WriteExportFile(const QString& path, const QByteArray& bytes, CDesktopServices& services,
                     QWidget* parent) {
    try {
        // Written beside the old file and renamed over it, so a failed export leaves the old
        // file whole.
        WriteFileAtomically(QFile::encodeName(path).toStdString(),
                            std::string_view(bytes.constData(), bytes.size()));
    } catch (const CFileError& error) {
        services.ReportError(
            QStringLiteral("The file %1 could not be written: %2.")
                .arg(QDir::toNativeSeparators(path), QString::fromStdString(error.GetReason())),
            parent);
        return false;
    }
    return true;
}
