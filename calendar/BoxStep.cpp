#include "calendar/BoxStep.h"

#include <algorithm>

std::string CurrentOrFirst(const std::vector<std::string>& ids, const std::string& current) {
    if (std::find(ids.begin(), ids.end(), current) != ids.end()) {
        return current;
    }
    return ids.empty() ? std::string() : ids.front();
}

std::optional<std::string> SteppedBox(const std::vector<std::string>& ids, const std::string& from,
                                      int step) {
    const auto at = std::find(ids.begin(), ids.end(), from);
    if (at == ids.end()) {
        return std::nullopt;
    }
    const auto index = (at - ids.begin()) + step;
    if (index < 0 || index >= static_cast<long>(ids.size())) {
        return std::nullopt;
    }
    return ids[static_cast<std::size_t>(index)];
}
