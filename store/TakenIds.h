#pragma once

#include <filesystem>
#include <string>
#include <unordered_set>

// The ids that some file of `folder` is named after: a meeting file or any of its four
// content files, the name's letters in any case. A new meeting must get none of them, or it
// would adopt a list left behind by another. Empty when the folder cannot be listed.
std::unordered_set<std::string> TakenMeetingIds(const std::filesystem::path& folder);
