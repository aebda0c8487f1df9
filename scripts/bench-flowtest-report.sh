#!/usr/bin/env bash
# Times flowtest-report against its goals: one file, whole process (best of
# 20 runs); 200 files in one call (best of 5, PDFs best of 3, with the peak
# memory); and, measured in the same run by reportbench, the floor under
# every PDF: the JPEG encoding of the graph's picture at 300 dpi, read as the
# PDF writer reads it and with the tool's memory settings, alone and 200
# times on as many threads as the tool uses. Builds nothing; the files go to
# a temporary folder under TMPDIR.
#
#   scripts/bench-flowtest-report.sh [BUILD_DIR]     (default: build/)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
tool=$build/cli/flowtest-report
jpegbench=$build/bench/reportbench
for program in "$tool" "$jpegbench"; do
    if [[ ! -x $program ]]; then
        echo "no $program: build first (cmake --build $build --target flowtest-report reportbench)" >&2
        exit 1
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# An empty options folder, so the user's own options file plays no part; no
# display, as on a server.
export APPDATA=$work/appdata
unset DISPLAY QT_QPA_PLATFORM

examples=("$root"/examples/*.oft)
files=()
for i in $(seq 0 199); do
    cp "${examples[i % ${#examples[@]}]}" "$work/test-$i.oft"
    files+=("$work/test-$i.oft")
done
out=$work/out

# Best wall time of N runs, in microseconds.
best_of() {
    local runs=$1 best= start end took
    shift
    for ((r = 0; r < runs; r++)); do
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        took=$(((end - start) / 1000))
        if [[ -z $best || $took -lt $best ]]; then best=$took; fi
    done
    echo "$best"
}

ms() { printf '%d.%01d ms' $(($1 / 1000)) $((($1 / 100) % 10)); }

row() { printf '%-44s %12s   %s\n' "$1" "$2" "$3"; }

"$tool" --json "${files[@]}" >/dev/null # warm the file cache
"$tool" --out-dir "$out" --force "${files[@]}"

one_json=$(best_of 20 "$tool" --json "${files[0]}")
all_json=$(best_of 5 "$tool" --json "${files[@]}")
one_csv=$(best_of 20 "$tool" --csv "${files[0]}")
all_csv=$(best_of 5 "$tool" --csv "${files[@]}")
one_pdf=$(best_of 20 "$tool" --pdf "$work/one.pdf" --force "${files[0]}")
all_pdf=$(best_of 3 "$tool" --out-dir "$out" --force "${files[@]}")
per_pdf=$((all_pdf / 200))
rss_kb=$(/usr/bin/time -f %M "$tool" --out-dir "$out" --force "${files[@]}" 2>&1 >/dev/null | tail -1)
floor=$(QT_QPA_PLATFORM=offscreen "$jpegbench" --jpeg-floor 200 2>/dev/null)
best_ms() { grep "$1" <<<"$floor" | sed -E 's/.*best +([0-9.]+) ms.*/\1/'; }
jpeg_one=$(best_ms 'one picture')
jpeg_all=$(best_ms '200 pictures')
floor_threads=$(grep -oE 'on [0-9]+ threads' <<<"$floor")

echo "flowtest-report, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
row "" "measured" "goal"
row "one file, --json, whole process" "$(ms "$one_json")" ""
row "200 files, --json, one call" "$(ms "$all_json")" ""
row "one file, --csv, whole process" "$(ms "$one_csv")" ""
row "200 files, --csv, one call" "$(ms "$all_csv")" "under 100 ms"
row "one file, --pdf, whole process" "$(ms "$one_pdf")" "under 40 ms"
row "200 files, --out-dir (PDF), one call" "$(ms "$all_pdf")" "under 2000 ms"
row "  per file" "$(ms "$per_pdf")" "at most $(ms $((one_pdf / 3))) (a third of one)"
row "  peak memory (max RSS)" "$((rss_kb / 1024)) MB" "under 100 MB"
row "JPEG encoding floor, one picture" "$jpeg_one ms" "(reportbench, 1830 x 824)"
row "  200 pictures $floor_threads" "$jpeg_all ms" ""
row "200 PDFs / their JPEG floor" \
    "$(awk -v p="$all_pdf" -v j="$jpeg_all" 'BEGIN { printf "%.2f x", p / 1000 / j }')" "within 1.25 x"
