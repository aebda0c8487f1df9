#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program; an optional
# argument names a test file to open.
set -euo pipefail
# File arguments are relative to where the command was typed.
args=()
for a in "$@"; do
    case "$a" in /*) args+=("$a") ;; *) args+=("$PWD/$a") ;; esac
done
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: the program needs a graphical desktop. Without one, start a virtual" >&2
    echo "screen first: Xvfb :99 & DISPLAY=:99 $0 $*" >&2
    exit 1
fi
scripts/install-deps.sh
scripts/build.sh
exec build/app/OstrelFlowTest "${args[@]}"
