#include "export/ExportFile.h"

#include "store/FileError.h"
#include "store/FileIo.h"
#include "ui/DesktopServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

std::optional<QString> PickExportFile(CDesktopServices& services, const QString& filter,
                                      const QString& extension, QWidget* parent,
                                      const QString& suggestedName) {
    QString proposed = suggestedName;
    for (;;) {
        const std::optional<QString> picked =
            services.PickSaveFile(QStringLiteral("Save As"), proposed, filter, parent);
        if (!picked || picked->isEmpty()) {
            return std::nullopt;
        }
        const QString path = QFileInfo(*picked).suffix().isEmpty()
                                 ? *picked + QLatin1Char('.') + extension
                                 : *picked;
        if (!QFileInfo::exists(path) ||
            services.AskChoice(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                   .arg(QDir::toNativeSeparators(path)),
                               QStringLiteral("&Yes"), QStringLiteral("&No"), parent)) {
            return path;
        }
        // No keeps that file: the dialog comes back, at the name refused, for another one.
        proposed = path;
    }
}

QString ExportFileName(const QString& title, const QString& extension) {
    QString name = title.simplified();
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) {
        name = QStringLiteral("Meeting") + name;
    }
    return name + QLatin1Char('.') + extension;
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
