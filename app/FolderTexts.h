#pragma once

#include <QString>

#include <filesystem>

// How a folder is named to the user, in the platform's own separators.
QString NativeText(const std::filesystem::path& path);
// The working directory as the settings keep it.
QString WorkingDirectoryText();
// Why `folder` cannot be opened: "The folder ... is already open in another Tavelin
// window.", or, when its lock file's name is taken by a folder, a link or a pipe, that and
// where.
QString FolderInUseText(const std::filesystem::path& folder);
