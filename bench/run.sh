#!/usr/bin/env bash
# Benchmarks brevo-verify on generated BRX pairs against a baseline measured in the same run on
# the same files: reading both files line by line with the verifier's own line reader.
#
#   bench/run.sh                 # the full set: 50 MB pairs, their doubles, a 20,000-file batch
#   SIZE_MB=5 RUNS=1 bench/run.sh  # a quick look
#
# Environment: SIZE_MB (source size of the single pairs, default 50), RUNS (best of, default 5),
# BATCH_FILES (default 20000), BATCH_KB (average source size of a batch file, default 10),
# JOBS (passed to --jobs for the batch; default: the verifier's own default), BUILD_DIR.
#
# Times are CPU time (user + system) of the process and its threads, which a busy machine moves
# less than wall-clock time; the batch is timed by the clock as well, as it runs on every core.
set -euo pipefail

source "$(dirname "$0")/common.sh"
SIZE_MB=${SIZE_MB:-50}
RUNS=${RUNS:-5}
BATCH_FILES=${BATCH_FILES:-20000}
BATCH_KB=${BATCH_KB:-10}
SEED=${SEED:-7}

build_bench brevo-verify brevo-generate brevo-read-lines
VERIFY=$BUILD/src/brevo-verify
GENERATE=$BUILD/bench/brevo-generate
READ_LINES=$BUILD/bench/brevo-read-lines

echo "Machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
echo

declare -A SECONDS_OF MB_OF WALL_OF CAT_OF

# CPU time from perf's task-clock, to the microsecond, where perf can count it; else from
# /usr/bin/time, to the hundredth of a second, too coarse for the baseline of a small pair.
if perf stat -x, -e task-clock -o /dev/null true >/dev/null 2>&1; then
    CPU_CLOCK=perf
else
    CPU_CLOCK=time
fi

# Runs the command once; sets RUN_SECONDS (CPU), RUN_WALL, RUN_RSS_MB and RUN_STATUS.
measure() {
    local rss_file=$WORK/rss cpu_file=$WORK/cpu start end
    local counted=("$@")
    [[ $CPU_CLOCK == perf ]] && counted=(perf stat -x, -e task-clock -o "$cpu_file" -- "$@")
    start=$(now_ns)
    set +e
    /usr/bin/time -f '%U %S %M' -o "$rss_file" "${counted[@]}" >/dev/null 2>&1
    RUN_STATUS=$?
    set -e
    end=$(now_ns)
    RUN_WALL=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    # After a failing command the file starts with a line about its exit status.
    if [[ $CPU_CLOCK == perf ]]; then
        RUN_SECONDS=$(awk -F, '$3 == "task-clock" { printf "%.3f", $1 / 1000 }' "$cpu_file")
    else
        RUN_SECONDS=$(tail -1 "$rss_file" | awk '{ printf "%.3f", $1 + $2 }')
    fi
    RUN_RSS_MB=$(tail -1 "$rss_file" | awk '{ printf "%.0f", $3 / 1024 }')
}


printf '%-22s %7s %7s %7s %7s %8s %7s %7s %7s %7s %5s\n' case MB cpu-s MB/s baseline "vs base" wall-s "cat-s" "RSS MB" \
    budget exit

# run_case NAME EXPECTED_STATUS DIR JOBS_ARGS...
run_case() {
    local name=$1 expected=$2 dir=$3
    shift 3
    # The generator's files go to the disk first: reports are synced to the disk, and a sync
    # waiting behind hundreds of megabytes of someone else's data measures the disk.
    sync
    local files=("$dir"/target/*.txt "$dir"/target/*.rtf)
    local existing=()
    for f in "${files[@]}"; do [[ -e $f ]] && existing+=("$f"); done
    local mb verify_best="" base_best="" wall_best="" cat_best=0 rss_peak=0 status=0
    # The directories, not the files one by one: a large batch has more names than a command
    # line takes. The target directory holds no report yet.
    find "$dir/target" -name '*.CMP' -delete
    mb=$(du -cb "$dir"/source "$dir"/target | awk 'END { printf "%.1f", $1 / 1048576 }')
    for ((run = 0; run < RUNS; run++)); do
        measure "$READ_LINES" --source-dir "$dir/source" "${existing[@]}"
        base_best=$(best "$RUN_SECONDS" "$base_best")
        find "$dir/target" -name '*.CMP' -delete
        measure "$VERIFY" --source-dir "$dir/source" --overwrite "$@" "${existing[@]}"
        verify_best=$(best "$RUN_SECONDS" "$verify_best")
        wall_best=$(best "$RUN_WALL" "$wall_best")
        status=$RUN_STATUS
        ((RUN_RSS_MB > rss_peak)) && rss_peak=$RUN_RSS_MB
    done
    # What writing the report's bytes costs by itself: cat of the reports into one file,
    # synced as the verifier syncs its reports.
    if compgen -G "$dir/target/*.CMP" >/dev/null; then
        cat_best=""
        for ((run = 0; run < RUNS; run++)); do
            rm -f "$WORK/report-copy"
            measure sh -c 'find "$1" -name "*.CMP" -exec cat {} + >"$0" && sync "$0"' \
                "$WORK/report-copy" "$dir/target"
            cat_best=$(best "$RUN_SECONDS" "$cat_best")
        done
        rm -f "$WORK/report-copy"
    fi
    local budget
    budget=$(awk -v m="$mb" 'BEGIN { printf "%.0f", 2 * m + 32 }')
    printf '%-22s %7s %7s %7.1f %7s %8.3f %7s %7s %7s %7s %5s\n' "$name" "$mb" "$verify_best" \
        "$(awk -v m="$mb" -v s="$verify_best" 'BEGIN { print m / s }')" "$base_best" \
        "$(awk -v b="$base_best" -v s="$verify_best" 'BEGIN { print b / s }')" \
        "$wall_best" "$cat_best" "$rss_peak" "$budget" "$status"
    SECONDS_OF[$name]=$verify_best
    WALL_OF[$name]=$wall_best
    CAT_OF[$name]=$cat_best
    MB_OF[$name]=$mb
    BASE_OF[$name]=$base_best
    RSS_OF[$name]=$rss_peak
    BUDGET_OF[$name]=$budget
    STATUS_OF[$name]=$status
    EXPECTED_OF[$name]=$expected
}
declare -A BASE_OF RSS_OF BUDGET_OF STATUS_OF EXPECTED_OF

# pair_case NAME EXPECTED_STATUS SIZE_MB GENERATOR_ARGS...
pair_case() {
    local name=$1 expected=$2 size=$3
    shift 3
    local dir=$WORK/$name
    "$GENERATE" --out "$dir" --size "${size}M" --seed "$SEED" "$@" >"$WORK/$name.stats"
    run_case "$name" "$expected" "$dir"
    rm -rf "$dir"
}

DOUBLE=$((2 * SIZE_MB))
for size in "$SIZE_MB" "$DOUBLE"; do
    pair_case "clean-$size" 0 "$size"
    pair_case "lost-ext-50%-$size" 1 "$size" --lose-external 50
    pair_case "moved-int-50%-$size" 1 "$size" --move-internal 50
    pair_case "changed-10%-$size" 1 "$size" --change-tags 10
    pair_case "added-50%-$size" 1 "$size" --add-marked 50
    pair_case "rtf-clean-$size" 0 "$size" --format rtf
done

batch_dir=$WORK/batch
"$GENERATE" --out "$batch_dir" --files "$BATCH_FILES" --size "${BATCH_KB}K" --seed "$SEED" \
    --name doc >"$WORK/batch.stats"
jobs_args=()
[[ -n ${JOBS:-} ]] && jobs_args=(--jobs "$JOBS")
run_case "batch-$BATCH_FILES" 0 "$batch_dir" "${jobs_args[@]}"
run_case "batch-$BATCH_FILES-jobs1" 0 "$batch_dir" --jobs 1
rm -rf "$batch_dir"
# Half the files: the batch's peak memory must not grow with the number of pairs.
"$GENERATE" --out "$batch_dir" --files "$((BATCH_FILES / 2))" --size "${BATCH_KB}K" \
    --seed "$SEED" --name doc >/dev/null
run_case "batch-$((BATCH_FILES / 2))" 0 "$batch_dir" "${jobs_args[@]}"
rm -rf "$batch_dir"
# One pair as large as the whole batch, on one core: the batch's yardstick.
"$GENERATE" --out "$WORK/one-pair" --seed "$SEED" \
    --size "$(awk -v n="$BATCH_FILES" -v k="$BATCH_KB" 'BEGIN { printf "%d", n * k }')K" >/dev/null
run_case "one-pair-as-batch" 0 "$WORK/one-pair" --jobs 1
rm -rf "$WORK/one-pair"
# Batches in which every file gets a report, written into the directory being looked up.
# Half the batch and the whole: twice as many names as the batch would not fit on a command line.
for files in "$((BATCH_FILES / 2))" "$BATCH_FILES"; do
    "$GENERATE" --out "$batch_dir" --files "$files" --size "${BATCH_KB}K" --seed "$SEED" \
        --name doc --change-tags 2 >/dev/null
    run_case "batch-$files-damaged" 1 "$batch_dir" "${jobs_args[@]}"
    rm -rf "$batch_dir"
done

echo
echo "Damage actually made (per generator):"
for name in lost-ext-50%-$SIZE_MB moved-int-50%-$SIZE_MB changed-10%-$SIZE_MB added-50%-$SIZE_MB; do
    printf '  %-22s %s\n' "$name" "$(tail -1 "$WORK/$name.stats")"
done

echo
echo "Goals:"
mapfile -t NAMES < <(printf '%s\n' "${!SECONDS_OF[@]}" | sort)
for name in "${NAMES[@]}"; do
    check "$name: exit status ${EXPECTED_OF[$name]}" "${STATUS_OF[$name]} == ${EXPECTED_OF[$name]}"
    check "$name: peak memory ${RSS_OF[$name]} MB <= 2 x ${MB_OF[$name]} MB + 32 MB" \
        "${RSS_OF[$name]} <= ${BUDGET_OF[$name]}"
done
for kind in clean rtf-clean; do
    for size in "$SIZE_MB" "$DOUBLE"; do
        check "$kind-$size at >= 0.4 of the baseline's speed" \
            "${BASE_OF[$kind-$size]} / ${SECONDS_OF[$kind-$size]} >= 0.4"
    done
done
for kind in clean lost-ext-50% moved-int-50% changed-10% added-50% rtf-clean; do
    single=${SECONDS_OF[$kind-$SIZE_MB]}
    double=${SECONDS_OF[$kind-$DOUBLE]}
    check "$kind: double size in ${double}s <= 2.3 x ${single}s" "$double <= 2.3 * $single"
done
for kind in lost-ext-50% moved-int-50% changed-10% added-50%; do
    for size in "$SIZE_MB" "$DOUBLE"; do
        damaged=${SECONDS_OF[$kind-$size]}
        clean=${SECONDS_OF[clean-$size]}
        report=${CAT_OF[$kind-$size]}
        check "$kind-$size: ${damaged}s <= 1.5 x clean ${clean}s + the report's cat ${report}s" \
            "$damaged <= 1.5 * $clean + $report"
    done
done
# The batch on every core against one pair of its size on one core, times the cores.
cores=$(nproc)
batch_wall=${WALL_OF[batch-$BATCH_FILES]}
one_cpu=${SECONDS_OF[one-pair-as-batch]}
check "batch-$BATCH_FILES: ${batch_wall}s on $cores cores <= one pair's ${one_cpu}s / $cores / 0.9" \
    "$batch_wall <= $one_cpu / $cores / 0.9"
check "batch: peak memory ${RSS_OF[batch-$BATCH_FILES]} MB with $BATCH_FILES files <= \
${RSS_OF[batch-$((BATCH_FILES / 2))]} MB with half of them + 2 MB" \
    "${RSS_OF[batch-$BATCH_FILES]} <= ${RSS_OF[batch-$((BATCH_FILES / 2))]} + 2"
single=${SECONDS_OF[batch-$((BATCH_FILES / 2))-damaged]}
double=${SECONDS_OF[batch-$BATCH_FILES-damaged]}
check "damaged batch: twice the files in ${double}s <= 2.3 x ${single}s" "$double <= 2.3 * $single"
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $((FAILURES > 0))
