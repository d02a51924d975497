#include "app/FolderTexts.h"

#include "store/WorkingDirectory.h"
#include "store/WorkingDirectoryLock.h"

#include <QDir>

QString WorkingDirectoryText() {
    return QString::fromStdString(GetWorkingDirectory().string());
}

QString NativeText(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(QString::fromStdString(path.string()));
}

QString FolderInUseText(const std::filesystem::path& folder) {
    if (const std::optional<std::string> blocker = CWorkingDirectoryLock::BlockerOf(folder)) {
        return QStringLiteral("The folder “%1” cannot be locked against a second Tavelin window: "
                              "its lock file “%2” is %3. Remove it to open the folder.")
            .arg(NativeText(folder), NativeText(folder / CWorkingDirectoryLock::fileName),
                 QString::fromStdString(*blocker));
    }
    return QStringLiteral("The folder “%1” is already open in another Tavelin window.")
        .arg(NativeText(folder));
}
