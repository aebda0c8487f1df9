#!/usr/bin/env bash
# Installs what building and running the program needs (and only that),
# builds the program and flowtest-report into build-run/, and starts the
# program; an argument names a test file to open.
#   scripts/run.sh [FILE.oft]
#   scripts/run.sh --xvfb [FILE.oft]   on a machine without a display: installs
#                                      Xvfb and starts the program on a virtual screen
set -euo pipefail
xvfb=
if [ "${1:-}" = --xvfb ]; then
    xvfb=yes
    shift
fi
# File arguments are relative to where the command was typed.
args=()
for a in "$@"; do
    case "$a" in /*) args+=("$a") ;; *) args+=("$PWD/$a") ;; esac
done
cd "$(dirname "$0")/.."
if [ -z "$xvfb" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] &&
    [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: the program needs a graphical desktop. Without one, start it on a" >&2
    echo "virtual screen: $0 --xvfb $*" >&2
    exit 1
fi
extra=()
[ -n "$xvfb" ] && extra=(xvfb)
scripts/install-deps.sh --program-only "${extra[@]}"
# A folder of its own, without the tests: the test command's build/ stays
# as it was, and nothing is built that the program does not need.
FLOWTEST_BUILD_DIR=build-run scripts/build.sh -DFLOWTEST_BUILD_TESTS=OFF -DFLOWTEST_FUZZ=OFF \
    -- OstrelFlowTest flowtest-report
if [ -n "$xvfb" ]; then
    display=:${FLOWTEST_XVFB_DISPLAY:-98}
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    screen=$!
    trap 'kill $screen 2>/dev/null' EXIT
    sleep 1
    echo "The program runs on the virtual screen $display (take a picture of it with" \
        "'DISPLAY=$display import -window root shot.png'); stop it with Ctrl+C."
    DISPLAY=$display build-run/app/OstrelFlowTest "${args[@]}"
    exit
fi
exec build-run/app/OstrelFlowTest "${args[@]}"
