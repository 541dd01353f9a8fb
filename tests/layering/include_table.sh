#!/bin/bash
# Prints how often each folder of src/ includes a header of another folder, as a table: a row for
# the including folder, a column for the included one, "!" where the arrows forbid it.
#   bash tests/layering/include_table.sh [SRC_DIR]          the table
#   bash tests/layering/include_table.sh --check [SRC_DIR]  every forbidden include; fails if any
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mode=table
if [[ ${1:-} == --check ]]; then mode=check; shift; fi
src=${1:-$here/../../src}
cd "$src"

grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[A-Za-z0-9_]+/' . |
awk -v mode="$mode" -v arrows="$here/arrows.txt" '
BEGIN {
    while ((getline line < arrows) > 0) {
        sub(/#.*/, "", line)
        if (line !~ /:/) continue
        split(line, side, ":")
        from = side[1]; gsub(/[[:space:]]/, "", from)
        known[from] = 1
        n = split(side[2], below, /[[:space:]]+/)
        for (i = 1; i <= n; ++i) if (below[i] != "") allowed[from, below[i]] = 1
    }
}
{
    # ./folder/file.cpp:12:#include "other/header.h"
    split($0, part, ":")
    file = substr(part[1], 3)
    from = file; sub(/\/.*/, "", from)
    target = $0; sub(/^[^"]*"/, "", target); sub(/".*$/, "", target)
    to = target; sub(/\/.*/, "", to)
    if (from == to || file !~ /\//) next
    folders[from] = 1; folders[to] = 1
    count[from, to]++
    if (!((from, to) in allowed)) {
        bad[from, to] = 1
        if (mode == "check") { printf "%s:%s: %s may not include %s\n", file, part[2], from, target; ++broken }
    }
}
END {
    if (mode == "check") {
        if (broken) { printf "%d includes cross the arrows of %s\n", broken, arrows; exit 1 }
        exit 0
    }
    nf = 0
    for (f in folders) list[++nf] = f
    for (i = 2; i <= nf; ++i) {  # insertion sort: mawk has no asort
        for (j = i; j > 1 && list[j] < list[j - 1]; --j) {
            t = list[j]; list[j] = list[j - 1]; list[j - 1] = t
        }
    }
    printf "%-12s", "from \\ to"
    for (j = 1; j <= nf; ++j) printf " %11s", list[j]
    printf "\n"
    for (i = 1; i <= nf; ++i) {
        printf "%-12s", list[i]
        for (j = 1; j <= nf; ++j) {
            cell = ((list[i], list[j]) in count) ? count[list[i], list[j]] ((list[i], list[j]) in bad ? "!" : "") : "."
            printf " %11s", cell
        }
        printf "\n"
    }
    printf "Counts are include lines; \"!\" marks those the arrows in %s forbid.\n", "tests/layering/arrows.txt"
}'
