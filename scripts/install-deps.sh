#!/usr/bin/env bash
# Installs the distribution packages the program and its tests need, and
# only when one of them is missing (a warm machine skips apt-get update).
set -euo pipefail

# clang with its sanitizer and libFuzzer runtimes builds the fuzz targets,
# llvm symbolizes their reports, and locales lets localedef compile the
# decimal-comma locale the number fuzzer runs under. desktop-file-utils,
# shared-mime-info, appstream and mandoc check the installed menu entry, file
# type, software-centre listing and manual pages.
packages=(build-essential cmake qt6-base-dev fonts-liberation2 libjpeg-dev libhpdf-dev
    fonts-dejavu-core fonts-droid-fallback poppler-utils libpoppler-cpp-dev pkg-config
    clang libclang-rt-14-dev llvm locales desktop-file-utils shared-mime-info appstream mandoc
    "$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root or install sudo to add: ${missing[*]}" >&2; exit 1; }
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
