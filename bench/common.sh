# The set-up the benchmark scripts share; each sources it after `set -euo pipefail`.
# ROOT, BUILD (BUILD_DIR or build-bench), a scratch WORK directory removed at exit, and:
#   build_bench TARGET...   a Release build of the targets with the benchmarks
#   check TEXT CONDITION    prints ok or FAIL for an awk condition; FAIL counts in FAILURES
#   best A B                the smaller of two numbers, B may be empty
#   now_ns                  the clock in nanoseconds

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD_DIR:-$ROOT/build-bench}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/brevo-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
FAILURES=0

build_bench() {
    echo "Building Release into $BUILD ..."
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBREVO_BENCH=ON >/dev/null
    cmake --build "$BUILD" -j2 --target "$@" >/dev/null
}

check() {
    if awk "BEGIN { exit !($2) }"; then
        printf '  ok    %s\n' "$1"
    else
        printf '  FAIL  %s\n' "$1"
        FAILURES=$((FAILURES + 1))
    fi
}

best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
now_ns() { date +%s%N; }
