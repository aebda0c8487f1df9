#!/usr/bin/env bash
# Opens, scrolls, saves and reopens a test of 100,000 outlet rows and 10 MB
# of notes in the real window (offscreen) and prints times and peak memory.
# Usage: scripts/bench-large.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target largetest >/dev/null
export APPDATA=$(mktemp -d)
trap 'rm -rf "$APPDATA"' EXIT
echo "== notes as 100,000 lines of 100 characters"
"$build/bench/largetest" 2>/dev/null
echo "== notes as one 10 MB paragraph"
LARGETEST_ONE_PARAGRAPH=1 "$build/bench/largetest" 2>/dev/null
