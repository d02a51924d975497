#pragma once

#include <filesystem>

// The user's cache folder for this program: $XDG_CACHE_HOME (when it is an absolute path),
// else ~/.cache, then "tavelin".
std::filesystem::path SearchCacheFolder();

// The index file of the working directory `canonicalFolder` inside `cacheFolder`: named after
// a hash of the folder's path, never inside the working directory itself.
std::filesystem::path IndexFileFor(const std::filesystem::path& cacheFolder,
                                   const std::filesystem::path& canonicalFolder);

// Makes the cache folder when it is missing and keeps it the user's alone (mode 0700, repaired
// when it is wider), so that no one else can plant a file or a link in it. False when it cannot
// be made, is no folder (a link, say) or belongs to another user: no index is kept then.
bool PrepareCacheFolder(const std::filesystem::path& cacheFolder);
