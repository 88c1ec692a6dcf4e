#pragma once

// The one line every benchmark program prints per figure, which
// scripts/bench.sh gathers into its table:
//
//   figure<TAB>name<TAB>value<TAB>unit<TAB>anchor<TAB>goal
//
// value and anchor are decimal numbers in unit; anchor is "-" when the goal is
// an absolute bound. goal is "<= N" or ">= N" on the value, or "ratio <= N" or
// "ratio >= N" on value / anchor. Other output lines are free text.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Milliseconds that one call of action takes, for each of runs calls.
inline std::vector<double> timeRuns(int runs, const std::function<void()>& action) {
    std::vector<double> milliseconds;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        action();
        const auto end = std::chrono::steady_clock::now();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return milliseconds;
}

inline void printFigure(const std::string& name, double value, const std::string& unit, std::optional<double> anchor,
                        const std::string& goal) {
    const std::string anchorText = anchor ? std::to_string(*anchor) : "-";
    std::printf("figure\t%s\t%.4f\t%s\t%s\t%s\n", name.c_str(), value, unit.c_str(), anchorText.c_str(), goal.c_str());
    std::fflush(stdout);
}

}  // namespace bench
