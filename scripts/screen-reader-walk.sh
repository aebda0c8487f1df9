#!/usr/bin/env bash
# Reads the program as a screen reader such as Orca does, through AT-SPI: opens
# a test on a virtual screen, shows the results window (F6), prints the
# accessible tree of its windows, then presses keys in the outlet grid and
# clicks its cells, and prints every object that reports getting the focus.
#
#   scripts/screen-reader-walk.sh [test file]    (default: the U.S. example)
set -euo pipefail
# A file argument is relative to where the command was typed.
test_file=${1:+$(realpath "$1")}
cd "$(dirname "$0")/.."
test_file=${test_file:-$PWD/examples/us-three-outlets.oft}
scripts/install-deps.sh at-spi2-core python3-pyatspi dbus-x11 xvfb openbox xdotool
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target OstrelFlowTest >/dev/null

work=$(mktemp -d)
display=:97
cleanup() {
    [ -n "${screen:-}" ] && kill "$screen" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
screen=$!
sleep 1
kill -0 "$screen" 2>/dev/null || { echo "Xvfb could not start on $display" >&2; exit 1; }

# A session bus of its own, on which the accessibility bus starts; the
# system's Python, which has pyatspi. An options file of its own too.
DISPLAY=$display APPDATA=$work/appdata dbus-run-session -- \
    /usr/bin/python3 scripts/screen-reader-walk.py build/app/OstrelFlowTest "$test_file"
