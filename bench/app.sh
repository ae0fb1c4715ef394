#!/usr/bin/env bash
# Benchmarks the desktop app's window, driven offscreen by brevo-app-bench, against
# `brevo-verify --jobs 1` on the same files with the same answers (overwrite every report):
#   1. a batch of PAIRS pairs: the app's batch, from the click on Verify to the idle page, may
#      take no longer than the command line's whole run; the results list, saved, must be the
#      command line's results lines and its summary the command line's last lines;
#   2. one pair of SIZE_MB: the window repaints within 100 ms throughout.
#
#   bench/app.sh                    # 320 pairs of about 20 KB, a 50 MB pair, best of 5
#   RUNS=2 SIZE_MB=10 bench/app.sh  # a quick look
set -euo pipefail

source "$(dirname "$0")/common.sh"
PAIRS=${PAIRS:-320}
PAIR_KB=${PAIR_KB:-20}
SIZE_MB=${SIZE_MB:-50}
RUNS=${RUNS:-5}

build_bench brevo-verify brevo-generate brevo-app-bench
VERIFY=$BUILD/src/brevo-verify
GENERATE=$BUILD/bench/brevo-generate
APP=$BUILD/bench/brevo-app-bench
export QT_QPA_PLATFORM=offscreen
echo "Machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"

# The results lines without the date and time of the run, with LF line ends.
without_date() { tr -d '\r' <"$1" | grep -v -E '^(Mon|Tue|Wed|Thu|Fri|Sat|Sun)[a-z]*day, '; }

batch=$WORK/batch
"$GENERATE" --out "$batch" --files "$PAIRS" --size "${PAIR_KB}K" --seed 7 --change-tags 2 \
    >/dev/null
sync
files=("$batch"/target/*.txt)
cli_best="" app_best=""
# Taken in turns, so that a busy moment of the machine falls on both.
for ((run = 1; run <= RUNS; run++)); do
    start=$(now_ns)
    set +e
    "$VERIFY" --jobs 1 --overwrite --source-dir "$batch/source" "${files[@]}" >"$WORK/cli.out"
    set -e
    end=$(now_ns)
    cli=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    app=$("$APP" --runs 1 --source-dir "$batch/source" --results "$WORK/app.txt" \
        --summary "$WORK/summary.txt" "${files[@]}" 2>/dev/null | awk '$1 == "batch" { print $2 }')
    printf '  run %d: brevo-verify --jobs 1 %s s, app %s s\n' "$run" "$cli" "$app"
    cli_best=$(best "$cli" "$cli_best")
    app_best=$(best "$app" "$app_best")
done
without_date "$WORK/app.txt" >"$WORK/app.lines"
cat "$WORK/summary.txt" >>"$WORK/app.lines"
echo >>"$WORK/app.lines"
without_date "$WORK/cli.out" >"$WORK/cli.lines"

pair=$WORK/pair
"$GENERATE" --out "$pair" --size "${SIZE_MB}M" --seed 7 --change-tags 2 >/dev/null
sync
"$APP" --runs 1 --source-dir "$pair/source" "$pair"/target/*.txt 2>/dev/null >"$WORK/pair.out"
read -r _ pair_seconds < <(grep '^batch ' "$WORK/pair.out")
read -r _ worst average < <(grep '^repaint ' "$WORK/pair.out")
echo "  ${SIZE_MB} MB pair: ${pair_seconds} s; repaint worst ${worst} ms, average ${average} ms"

echo "Goals:"
check "$PAIRS pairs: app ${app_best} s <= brevo-verify --jobs 1 ${cli_best} s" \
    "$app_best <= $cli_best"
if cmp -s "$WORK/app.lines" "$WORK/cli.lines"; then
    check "$PAIRS pairs: saved results and summary are brevo-verify's output" 1
else
    diff "$WORK/cli.lines" "$WORK/app.lines" | head -5
    check "$PAIRS pairs: saved results and summary are brevo-verify's output" 0
fi
check "${SIZE_MB} MB pair: every repaint within 100 ms (worst ${worst} ms)" "$worst <= 100"
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $((FAILURES > 0))
