#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (incrementally)
# and runs them, each for a bounded time:
#   scripts/fuzz.sh                      every target, FUZZ_SECONDS (30) each
#   scripts/fuzz.sh fuzz_testfile 600    one target for ten minutes
# Each run starts from the committed seeds in fuzz/corpus/<target> and keeps
# what it learns in build-fuzz/corpus/<target>; an input that breaks a target
# is written to build-fuzz/artifacts/ and can be replayed by passing its file
# to the target. Ends with "fuzz: N passed, N failed" and fails on a finding.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(fuzz_testfile fuzz_optionsfile fuzz_outletrow fuzz_numbertext fuzz_flowgraph
    fuzz_reportfiles)
choice="${1:-all}"
seconds="${2:-${FUZZ_SECONDS:-30}}"
if [ "$choice" = all ]; then
    targets=("${all_targets[@]}")
elif [[ " ${all_targets[*]} " == *" $choice "* ]]; then
    targets=("$choice")
else
    echo "Unknown target $choice; choose one of: ${all_targets[*]} (or all)" >&2
    exit 2
fi

build=build-fuzz
# Configured on every call: a configure that failed mends itself.
CC=clang CXX=clang++ cmake -S . -B "$build" -DFLOWTEST_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    >/dev/null
cmake --build "$build" --target fuzzers -j"$(nproc)"

# The number target runs under a decimal-comma C locale, as the program does
# for a user whose environment names one; compiled here, as none need be
# installed.
locales="$PWD/$build/locale"
if [ ! -d "$locales/de_DE.UTF-8" ]; then
    mkdir -p "$locales"
    localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8" >/dev/null 2>&1 ||
        echo "warning: no de_DE locale could be compiled; numbers are fuzzed under the C locale" >&2
fi

mkdir -p "$build/artifacts" "$build/logs"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
passed=0
failed=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus"
    dictionary=()
    [ -f "fuzz/$target.dict" ] && dictionary=(-dict="fuzz/$target.dict")
    # The report's seeds include a field longer than a PDF string may be.
    max_len=()
    [ "$target" = fuzz_reportfiles ] && max_len=(-max_len=200000)
    if LOCPATH="$locales" "$build/fuzz/$target" "${dictionary[@]}" "${max_len[@]}" \
        -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$target: passed, ${runs:-?} inputs in ${seconds} s, corpus $(find "$corpus" -type f | wc -l) files"
        passed=$((passed + 1))
    else
        echo "$target: FAILED (log: $log)"
        grep -E -A8 'Property violated|ERROR: |runtime error' "$log" | head -40 || tail -40 "$log"
        failed=$((failed + 1))
    fi
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
