#pragma once

#include <optional>
#include <string>
#include <vector>

// The meeting the keys act on in a crowded hour or cell: the one the user clicked or stepped to
// while it is still there, else the first.
std::string CurrentOrFirst(const std::vector<std::string>& ids, const std::string& current);

// The meeting `step` boxes on from `from` among `ids`; nullopt past either end or when `from`
// is not among them.
std::optional<std::string> SteppedBox(const std::vector<std::string>& ids, const std::string& from,
                                      int step);
