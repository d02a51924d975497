#pragma once

#include <filesystem>

// The user's cache folder for this program: $XDG_CACHE_HOME (when it is an absolute path),
// else ~/.cache, then "tavelin".
std::filesystem::path SearchCacheFolder();

// The index file of the working directory `canonicalFolder` inside `cacheFolder`: named after
// a hash of the folder's path, never inside the working directory itself.
std::filesystem::path IndexFileFor(const std::filesystem::path& cacheFolder,
                                   const std::filesystem::path& canonicalFolder);
