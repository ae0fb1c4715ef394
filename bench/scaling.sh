#!/usr/bin/env bash
# Counts the instructions brevo-verify executes (valgrind's callgrind) on each kind of pair at
# one size and at twice that size. Counts do not move with the load of the machine, so they
# show whether the cost is linear where wall-clock times on a shared machine are too noisy.
#
#   bench/scaling.sh               # 4 MB and 8 MB sources
#   SIZE_MB=2 bench/scaling.sh
set -euo pipefail

source "$(dirname "$0")/common.sh"
SIZE_MB=${SIZE_MB:-4}
SEED=${SEED:-7}

command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 2; }
build_bench brevo-verify brevo-generate

# instructions DIR FILE...: the instructions of one verification of the pairs.
instructions() {
    local dir=$1
    shift
    rm -f "$dir"/target/*.CMP
    valgrind --tool=callgrind --callgrind-out-file="$WORK/callgrind.out" \
        "$BUILD/src/brevo-verify" --jobs 1 --source-dir "$dir/source" --overwrite "$@" \
        >/dev/null 2>"$WORK/valgrind.log" || true
    awk '/^summary:/ { print $2 }' "$WORK/callgrind.out"
}

declare -A COUNT
printf '%-16s %16s %16s %8s\n' case "${SIZE_MB} MB" "$((2 * SIZE_MB)) MB" ratio
for kind in clean lost-ext-50% moved-int-50% changed-10% added-50% rtf-clean; do
    case $kind in
        clean) args=() ;;
        lost-ext-50%) args=(--lose-external 50) ;;
        moved-int-50%) args=(--move-internal 50) ;;
        changed-10%) args=(--change-tags 10) ;;
        added-50%) args=(--add-marked 50) ;;
        rtf-clean) args=(--format rtf) ;;
    esac
    for size in "$SIZE_MB" "$((2 * SIZE_MB))"; do
        dir=$WORK/$kind-$size
        "$BUILD/bench/brevo-generate" --out "$dir" --size "${size}M" --seed "$SEED" "${args[@]}" \
            >/dev/null
        COUNT[$kind-$size]=$(instructions "$dir" "$dir"/target/book.*)
        rm -rf "$dir"
    done
    single=${COUNT[$kind-$SIZE_MB]}
    double=${COUNT[$kind-$((2 * SIZE_MB))]}
    ratio=$(awk -v a="$single" -v b="$double" 'BEGIN { printf "%.3f", b / a }')
    printf '%-16s %16s %16s %8s\n' "$kind" "$single" "$double" "$ratio"
    # Twice the input, twice the work: at most 1% more than linear.
    if ! awk -v r="$ratio" 'BEGIN { exit !(r <= 2.02) }'; then FAILURES=$((FAILURES + 1)); fi
done
echo
for kind in lost-ext-50% moved-int-50% changed-10% added-50%; do
    for size in "$SIZE_MB" "$((2 * SIZE_MB))"; do
        ratio=$(awk -v a="${COUNT[clean-$size]}" -v b="${COUNT[$kind-$size]}" \
            'BEGIN { printf "%.3f", b / a }')
        printf '%-16s %4s MB: %s x the instructions of the clean pair\n' "$kind" "$size" "$ratio"
        # Instructions include producing and writing the report's lines, not the kernel's copy.
        if ! awk -v r="$ratio" 'BEGIN { exit !(r <= 1.5) }'; then FAILURES=$((FAILURES + 1)); fi
    done
done
echo "$FAILURES goal(s) missed"
exit $((FAILURES > 0))
