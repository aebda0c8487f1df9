#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test without a display:
#   1. the unit and GUI tests (build/);
#   2. the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer
#      (build-asan/);
#   3. each libFuzzer target for FUZZ_SECONDS seconds, 30 by default
#      (build-fuzz/, see scripts/fuzz.sh).
# Every build directory builds incrementally. All stages run even when one
# fails; the summary at the end repeats each stage's result, and the script
# fails when any stage did.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

run_ctest() { # build directory
    (cd "$1" && ctest --output-on-failure -j"$jobs") 2>&1 | tee "$1/ctest-summary.log"
}

unit_tests() {
    scripts/build.sh && run_ctest build
}

sanitizer_tests() {
    FLOWTEST_BUILD_DIR=build-asan scripts/build.sh -DFLOWTEST_SANITIZE=ON || return 1
    ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        run_ctest build-asan
}

fuzz_targets() {
    mkdir -p build-fuzz
    scripts/fuzz.sh all "${FUZZ_SECONDS:-30}" 2>&1 | tee build-fuzz/summary.log
}

# Results of an earlier run must not stand in for a stage that stops early.
rm -f build/ctest-summary.log build-asan/ctest-summary.log build-fuzz/summary.log
summary=()
failed=0
stage() { # title, function
    echo "=== $1"
    if "$2"; then
        summary+=("$1: passed")
    else
        summary+=("$1: FAILED")
        failed=1
    fi
}

stage "unit and GUI tests" unit_tests
stage "sanitizer build tests" sanitizer_tests
stage "fuzz targets" fuzz_targets

echo
echo "=== Summary"
grep -h -E 'tests passed|tests failed out of' build/ctest-summary.log 2>/dev/null | sed 's/^/unit and GUI tests: /'
grep -h -E 'tests passed|tests failed out of' build-asan/ctest-summary.log 2>/dev/null | sed 's/^/sanitizer build tests: /'
grep -h '^fuzz: ' build-fuzz/summary.log 2>/dev/null
printf '%s\n' "${summary[@]}"
exit "$failed"
