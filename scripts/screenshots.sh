#!/usr/bin/env bash
# Makes the README's pictures in docs/: the main window with an example test,
# the results window beside it, the Options dialog, the report preview, and the report page as the PDF
# shows it. Runs the freshly built program on a virtual screen (Xvfb) with an
# options file of its own, so the user's settings play no part.
#
#   scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh xvfb xdotool imagemagick poppler-utils
scripts/build.sh >/dev/null

work=$(mktemp -d)
display=:93
cleanup() {
    [ -n "${program:-}" ] && kill "$program" 2>/dev/null || true
    [ -n "${screen:-}" ] && kill "$screen" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export APPDATA=$work/appdata QT_QPA_PLATFORM=xcb DISPLAY=$display
mkdir -p "$APPDATA/Ostrel/FlowTest"
printf 'TestBy = Springfield Fire Prevention Bureau\r\nTestBy = M. Chen, Inspector\r\nUnits = PSI\r\nShowExtraFlow = T\r\nExtraPress = 20\r\n' \
    >"$APPDATA/Ostrel/FlowTest/FlowTest20.INI"

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
screen=$!
sleep 1
build/app/OstrelFlowTest examples/us-three-outlets.oft >/dev/null 2>&1 &
program=$!

window() { # caption
    local id=
    for _ in $(seq 50); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "$id" ] || { echo "no window \"$1\"" >&2; exit 1; }
    echo "$id"
}
shoot() { # window id, file
    sleep 0.7
    import -window "$1" "$2"
    echo "wrote $2"
}
# Opens a menu of the main window by its title's position and picks an item
# with the arrow keys (an open menu takes the keyboard).
menu() { # x in the menu bar, keys...
    local x=$1
    shift
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove $((X + x)) $((Y + 10)) click 1
    sleep 0.4
    xdotool key "$@" Return
}

main=$(window "Ostrel Hydrant Flow Test 2.0")
shoot "$main" docs/main-window.png

# The results window beside the main window: the part of the screen that
# holds both.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 200)) $((Y + 200)) click 1
sleep 0.3
xdotool key F6
results=$(window "Flow Test Results")
sleep 0.7
left=$X top=$Y right=$((X + WIDTH)) bottom=$((Y + HEIGHT))
eval "$(xdotool getwindowgeometry --shell "$results")"
((X < left)) && left=$X
((Y < top)) && top=$Y
((X + WIDTH > right)) && right=$((X + WIDTH))
((Y + HEIGHT > bottom)) && bottom=$((Y + HEIGHT))
import -window root -crop "$((right - left + 8))x$((bottom - top + 8))+$((left - 4))+$((top - 4))" \
    +repage docs/results-window.png
echo "wrote docs/results-window.png"
xdotool key F6

menu 60 Up Up # Tools > Options
options=$(window "Options")
shoot "$options" docs/options-dialog.png
xdotool key Escape

menu 15 Down Down Down Down Down # File > Print Preview
preview=$(window "Report Preview")
shoot "$preview" docs/report-preview.png
xdotool key Escape

build/cli/flowtest-report --options "$APPDATA/Ostrel/FlowTest/FlowTest20.INI" \
    --pdf "$work/report.pdf" examples/us-three-outlets.oft
pdftoppm -png -r 80 -singlefile "$work/report.pdf" docs/report-page 2>/dev/null
echo "wrote docs/report-page.png"
