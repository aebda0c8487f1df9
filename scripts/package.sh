#!/usr/bin/env bash
# Builds the Debian package in one command: installs what is missing (with
# dpkg-dev and file, which CPack's dependency search uses), configures a
# Release build in build-package/ without the tests and benchmarks, builds
# only what the package holds, runs cpack and prints the path of the .deb.
# Install it with:  apt install ./build-package/ostrel-flowtest_2.0_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --program-only dpkg-dev file
build=build-package
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFLOWTEST_BUILD_TESTS=OFF -DFLOWTEST_FUZZ=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
deb=$(ls "$build"/*.deb)
echo "$PWD/$deb"
