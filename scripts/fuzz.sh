#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a while.
#   ./scripts/fuzz.sh [SECONDS] [TARGET...]     SECONDS per target (default 60);
#   TARGET is one of line_reader rtf_reader checks run (default all).
# Each target starts from its seeds in fuzz/corpus/TARGET (small files kept in the repository;
# the "run" seeds are an option byte, the source, 0xFF and the target). What a run finds grows
# in build-fuzz/corpus; inputs that fail land in build-fuzz/artifacts. CI runs this.
set -euo pipefail
BREVO_BUILD="${BREVO_FUZZ_BUILD:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build-fuzz}"
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(line_reader rtf_reader checks run)

brevo_install_missing cmake ninja-build clang-14 libclang-rt-14-dev
cmake -S "$BREVO_ROOT" -B "$BREVO_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DBREVO_FUZZ=ON -DBREVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$BREVO_BUILD" -j"$(nproc)"

options_of() {
    case "$1" in
        line_reader) echo "-max_len=20000 -dict=$BREVO_ROOT/fuzz/brx.dict" ;;
        rtf_reader) echo "-max_len=20000 -dict=$BREVO_ROOT/fuzz/rtf.dict" ;;
        checks) echo "-max_len=8192 -dict=$BREVO_ROOT/fuzz/brx.dict" ;;
        run) echo "-max_len=16384 -dict=$BREVO_ROOT/fuzz/brx.dict" ;;
    esac
}

failed=()
mkdir -p "$BREVO_BUILD/artifacts" "$BREVO_BUILD/logs"
for target in "${targets[@]}"; do
    binary="$BREVO_BUILD/fuzz/fuzz_$target"
    [ -x "$binary" ] || { echo "unknown fuzz target: $target" >&2; exit 64; }
    seeds="$BREVO_ROOT/fuzz/corpus/$target"
    corpus="$BREVO_BUILD/corpus/$target"
    mkdir -p "$corpus"
    log="$BREVO_BUILD/logs/$target.log"
    echo "== fuzz_$target for ${seconds}s (log: $log)"
    # shellcheck disable=SC2046
    if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$BREVO_BUILD/artifacts/$target-" \
        $(options_of "$target") "$corpus" "$seeds" >"$log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|new_units_added)' "$log" || true
    else
        echo "   FAILED; see $log and $BREVO_BUILD/artifacts/"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz fault|artifact_prefix)' "$log" | head -5 || true
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz targets with findings: ${failed[*]}"
    exit 1
fi
echo "no findings"
