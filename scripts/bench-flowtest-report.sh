#!/usr/bin/env bash
# Times flowtest-report --json: one file, whole process (best of 20 runs), and
# 200 files in one call (best of 5). Builds nothing.
#
#   scripts/bench-flowtest-report.sh [BUILD_DIR]     (default: build/)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
tool=$build/cli/flowtest-report
if [[ ! -x $tool ]]; then
    echo "no $tool: build first (cmake --build $build --target flowtest-report)" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# An empty options folder, so the user's own options file plays no part.
export APPDATA=$work/appdata

examples=("$root"/examples/*.oft)
files=()
for i in $(seq 0 199); do
    cp "${examples[i % ${#examples[@]}]}" "$work/test-$i.oft"
    files+=("$work/test-$i.oft")
done

# Best wall time of N runs, in milliseconds with three decimals.
best_of() {
    local runs=$1 best= start end took
    shift
    for ((r = 0; r < runs; r++)); do
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        took=$((end - start))
        if [[ -z $best || $took -lt $best ]]; then best=$took; fi
    done
    printf '%d.%03d ms' $((best / 1000000)) $(((best / 1000) % 1000))
}

"$tool" --json "${files[@]}" >/dev/null # warm the file cache

if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 3 --runs 20 "$tool --json ${files[0]}"
    hyperfine -N --warmup 1 --runs 5 "$tool --json ${files[*]}"
else
    echo "one file, best of 20:             $(best_of 20 "$tool" --json "${files[0]}")"
    echo "200 files in one call, best of 5: $(best_of 5 "$tool" --json "${files[@]}")"
fi
