#!/usr/bin/env bash
# Installs the distribution packages that are missing, and only those (a
# warm machine skips apt-get update):
#   scripts/install-deps.sh [EXTRA...]                 what the tests need too
#   scripts/install-deps.sh --program-only [EXTRA...]  what building and running
#                                                      the program and the tool need
set -euo pipefail

# The compiler, CMake, Qt with its platform plugins, libjpeg, libharu and the
# fonts: enough to build and run the program and flowtest-report.
program=(build-essential cmake qt6-base-dev qt6-qpa-plugins libjpeg-dev libhpdf-dev
    fonts-liberation2 fonts-dejavu-core fonts-droid-fallback)
# poppler reads PDFs back in the tests; clang with llvm builds the fuzz
# targets and symbolizes their reports (its sanitizer and libFuzzer runtime
# follow below, for the clang the release has); locales lets localedef
# compile the decimal-comma locale the number fuzzer runs under;
# desktop-file-utils, shared-mime-info, appstream and mandoc check the
# installed menu entry, file type, software-centre listing and manual pages.
tests=(poppler-utils libpoppler-cpp-dev pkg-config clang llvm locales desktop-file-utils
    shared-mime-info appstream mandoc)

packages=("${program[@]}")
if [ "${1:-}" = --program-only ]; then
    shift
else
    packages+=("${tests[@]}")
fi
packages+=("$@")

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
updated=
install() { # packages...
    local missing=()
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ ${#sudo_cmd[@]} -gt 0 ] && ! command -v sudo >/dev/null; then
        echo "Run as root or install sudo to add: ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if [ -z "$updated" ]; then
        "${sudo_cmd[@]}" apt-get update -qq
        updated=yes
    fi
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install "${packages[@]}"

# The runtime of the clang that `clang` is: libclang-rt-14-dev on Debian 12,
# libclang-rt-19-dev on Debian 13.
if command -v clang >/dev/null && [[ " ${packages[*]} " == *" clang "* ]]; then
    version=$(clang --version | sed -n 's/.*clang version \([0-9][0-9]*\).*/\1/p' | head -1)
    runtime="libclang-rt-${version}-dev"
    if [ -z "$version" ]; then
        echo "warning: cannot tell the version of clang; the fuzz targets may not link" >&2
    elif apt-cache show "$runtime" >/dev/null 2>&1 ||
        { [ -z "$updated" ] && "${sudo_cmd[@]}" apt-get update -qq && updated=yes &&
            apt-cache show "$runtime" >/dev/null 2>&1; }; then
        install "$runtime"
    else
        echo "warning: this release has no $runtime for clang $version; the fuzz targets" \
            "cannot link" >&2
    fi
fi
