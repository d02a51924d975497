#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Prints the runs as usual and keeps the median of each benchmark's repetitions, so that a
// benchmark program can print its ratios against a floor measured in the same run.
class CMedianReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double wall = 0;
        double cpu = 0;
    };

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median") {
                const std::string name = run.run_name.function_name + "/" + run.run_name.args;
                m_medians[name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The medians of "name/arg", null when it did not run.
    const Times* Find(const std::string& name) const {
        const auto found = m_medians.find(name);
        return found == m_medians.end() ? nullptr : &found->second;
    }

private:
    std::map<std::string, Times> m_medians;
};
