#!/usr/bin/env bash
# Sets up what is missing, builds the benchmarks in build-release/ (Release),
# runs every benchmark program of devtools/ once and prints one table of their
# figures: value, the anchor measured in the same run, the ratio, the goal and
# whether it holds. Exits 0 whatever the figures: a benchmark is no test. The
# programs' own output is kept in build-release/bench.log.
#
# Usage: scripts/bench.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-packages.sh
source scripts/compiler-cache.sh
build=build-release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARO_BUILD_TESTS=OFF "${cache_launcher[@]}"
cmake --build "$build" --target tessaro-benchmarks

export QT_QPA_PLATFORM=offscreen
log=$build/bench.log
figures=$build/bench.figures
: > "$log"
: > "$figures"
for program in "$build"/bin/tessaro-bench-*; do
    echo "== $(basename "$program")" >> "$log"
    if ! "$program" > "$build/bench.out" 2>> "$log"; then
        echo "$(basename "$program") failed; see $log" >&2
    fi
    cat "$build/bench.out" >> "$log"
    grep -P '^figure\t' "$build/bench.out" >> "$figures" || true
done

# goal: "<= N" or ">= N" on the value, "ratio <= N" or "ratio >= N" on value / anchor.
awk -F'\t' '
    function cell(text, width) { return sprintf("%-" width "s", text) }
    BEGIN {
        printf "%s  %12s  %12s  %7s  %-14s  %s\n", cell("figure", 52), "value", "anchor", "ratio", "goal", "holds"
    }
    {
        name = $2; value = $3 + 0; unit = $4; anchor = $5; goal = $6
        ratio = "-"
        if (anchor != "-" && anchor + 0 != 0) ratio = sprintf("%.2f", value / anchor)
        split(goal, part, " ")
        if (part[1] == "ratio") { measured = ratio; op = part[2]; bound = part[3] }
        else { measured = value; op = part[1]; bound = part[2] }
        holds = "no"
        if (measured != "-" && ((op == "<=" && measured + 0 <= bound + 0) || (op == ">=" && measured + 0 >= bound + 0)))
            holds = "yes"
        shown_goal = part[1] == "ratio" ? goal : goal " " unit
        anchor_text = anchor == "-" ? "-" : sprintf("%.2f %s", anchor, unit)
        printf "%s  %12s  %12s  %7s  %-14s  %s\n", cell(name, 52), sprintf("%.2f %s", value, unit), anchor_text,
               ratio, shown_goal, holds
    }' "$figures"
exit 0
