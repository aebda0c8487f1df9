#!/usr/bin/env bash
# Renders the program's icon (ui/appicon.cpp) to the PNG files that the
# package installs into the hicolor icon theme:
#   resources/icons/<N>x<N>/ostrel-flowtest.png   for N = 16, 32, 48, 256
# The PNGs are committed; run this again only after the drawing changes.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A throwaway program over the icon's own source: the sizes that appIcon()
# holds come from it, the others from the same drawing at that size.
cat >"$work/render.cpp" <<'CPP'
#include "ui/appicon.cpp"

#include <QGuiApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QIcon icon = appIcon();
    for (const int size : {16, 32, 48, 256}) {
        const QPixmap pixmap = icon.availableSizes().contains(QSize(size, size))
            ? icon.pixmap(size) : hydrant(size);
        const QString folder = QStringLiteral("%1/%2x%2").arg(out).arg(size);
        QDir().mkpath(folder);
        if (pixmap.width() != size || !pixmap.save(folder + QStringLiteral("/ostrel-flowtest.png"))) {
            std::fprintf(stderr, "cannot render the %d px icon\n", size);
            return 1;
        }
    }
    return 0;
}
CPP
cat >"$work/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(rendericons CXX)
set(CMAKE_CXX_STANDARD 20)
find_package(Qt6 REQUIRED COMPONENTS Gui)
add_executable(render render.cpp)
target_include_directories(render PRIVATE "$root")
target_link_libraries(render PRIVATE Qt6::Gui)
CMAKE
cmake -S "$work" -B "$work/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/build" >/dev/null
QT_QPA_PLATFORM=offscreen "$work/build/render" "$root/resources/icons"
find resources/icons -name '*.png' | sort
