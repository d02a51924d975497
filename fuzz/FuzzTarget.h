#pragma once

#include "store/DateTime.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// Each target is a libFuzzer entry point in the fuzz build. The corpus replay test links all
// of them into one program, so there each registers itself under its corpus folder's name.
#ifdef TAVELIN_FUZZ_REPLAY
using FuzzFunction = int (*)(const std::uint8_t*, std::size_t);
bool RegisterFuzzTarget(const char* name, FuzzFunction function);
#define TAVELIN_FUZZ_TARGET(name)                                                                  \
    static int name##_target(const std::uint8_t* data, std::size_t size);                          \
    [[maybe_unused]] static const bool name##_registered =                                         \
        RegisterFuzzTarget(#name, name##_target);                                                  \
    static int name##_target(const std::uint8_t* data, std::size_t size)
#else
#define TAVELIN_FUZZ_TARGET(name)                                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
#endif

inline std::string_view AsBytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A broken promise is a crash, so that the fuzzer keeps the input that showed it.
inline void FuzzCheck(bool holds, const char* promise) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

// Dates come straight from the file: every question a caller may ask of one must be safe.
inline long long TouchDate(const CDateTime& when) {
    long long sum = when.GetYear() + when.GetMonth() + when.GetDay() + when.GetHour() +
                    when.GetMinute() + when.GetSecond() + when.GetDayOfWeek();
    sum += when.ToSerialSeconds();
    sum += when.AddSeconds(1).GetSecond() + when.AddSeconds(-86400).GetDay();
    return sum;
}
