#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program; an optional
# argument names a test file to open.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: set DISPLAY (for example start Xvfb :99 and export DISPLAY=:99) to see the window." >&2
    exit 1
fi
exec build/app/OstrelFlowTest "$@"
