// Feeds every file of fuzz/corpus/<target>/ to its target, so that an input that once made a
// reader crash is tried again by every test run. A target without corpus files fails.

#include "fuzz/FuzzTarget.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace {

std::map<std::string, FuzzFunction>& Targets() {
    static std::map<std::string, FuzzFunction> targets;
    return targets;
}

} // namespace

bool RegisterFuzzTarget(const char* name, FuzzFunction function) {
    Targets()[name] = function;
    return true;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    int failures = 0;
    for (const auto& [name, function] : Targets()) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / name;
        int count = 0;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            function(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++count;
        }
        std::printf("%-18s %d inputs\n", name.c_str(), count);
        if (count == 0) {
            std::fprintf(stderr, "no corpus for %s in %s\n", name.c_str(), folder.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
