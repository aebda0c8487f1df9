#!/usr/bin/env bash
# Configures and builds incrementally into build/ (or the folder named by
# FLOWTEST_BUILD_DIR), with the options given. Configure runs on every call,
# cheap once done, so a configure that failed mends itself once its cause is
# gone.
#   scripts/build.sh [CMAKE-OPTION...] [-- TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${FLOWTEST_BUILD_DIR:-build}
options=()
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
    --) shift; targets=("$@"); break ;;
    *) options+=("$1"); shift ;;
    esac
done
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
else
    cmake --build "$build" -j"$(nproc)"
fi
