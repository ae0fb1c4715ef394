#!/usr/bin/env bash
# Cross-builds the core, brevo-verify and the unit tests for 64-bit Windows with MinGW-w64 into
# build-windows, runs the tests under Wine, then verifies the sample batch with the Windows
# program under Wine and with the Linux one: the exit statuses, the results lines and the reports
# must be the same, with "\" in the Windows names where Linux has "/".
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

brevo_install_missing g++-mingw-w64-x86-64-posix wine64 googletest
brevo_build brevo-verify

windows_build="${BREVO_WINDOWS_BUILD:-$BREVO_ROOT/build-windows}"
mkdir -p "$windows_build"
# The header-only libraries come from the build machine: the cross toolchain has none.
host_headers="$windows_build/host-headers"
mkdir -p "$host_headers"
ln -sfn /usr/include/nlohmann "$host_headers/nlohmann"
ln -sfn /usr/include/CLI "$host_headers/CLI"

# A Wine of its own for the build, quiet, and without offers to install .NET or a browser.
export WINEPREFIX="$windows_build/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

cmake -S "$BREVO_ROOT" -B "$windows_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$BREVO_ROOT/cmake/mingw-w64.cmake" -DBREVO_BUILD_APP=OFF \
    -DBREVO_BUILD_TESTS=ON -DBREVO_WERROR=ON -DBREVO_HOST_HEADERS="$host_headers"
cmake --build "$windows_build" -j"$(nproc)"

echo "== the unit tests under Wine"
ctest --test-dir "$windows_build" --output-on-failure

echo "== the sample batch on Linux and under Wine"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
wine_program="$(sed -n 's/^BREVO_WINE:FILEPATH=//p' "$windows_build/CMakeCache.txt")"
files=(target/guide.txt target/manual.txt target/notes.txt target/release.txt)
for system in linux windows; do
    mkdir -p "$work/$system"
    cp -r "$BREVO_ROOT/samples/source" "$BREVO_ROOT/samples/target" "$work/$system/"
done
linux_status=0
(cd "$work/linux" && "$BREVO_BUILD/src/brevo-verify" --source-dir source --overwrite "${files[@]}" \
    >../linux.out) || linux_status=$?
windows_status=0
(cd "$work/windows" && "$wine_program" "$windows_build/src/brevo-verify.exe" --source-dir source \
    --overwrite "${files[@]}" >../windows.out) || windows_status=$?

# The time of the run differs; a Windows console ends its lines with CR LF; the names of the
# batch's files are written with "\" there.
normalise() {
    LC_ALL=C sed -E -e 's/[A-Z][a-z]+day, [A-Z][a-z]+ [0-9]{2}, [0-9]{4}, [0-9]{2}:[0-9]{2}:[0-9]{2}/<time>/'
}
as_on_windows() {
    LC_ALL=C sed -e 's#\(source\|target\)/#\1\\#g' | normalise
}
failures=0
same() {  # same WHAT EXPECTED ACTUAL
    if cmp -s "$2" "$3"; then
        echo "same: $1"
    else
        echo "DIFFERENT: $1"
        diff <(LC_ALL=C cat -v "$2") <(LC_ALL=C cat -v "$3") | head -20 || true
        failures=$((failures + 1))
    fi
}
echo "exit status: $linux_status on Linux, $windows_status under Wine"
[ "$linux_status" = "$windows_status" ] || failures=$((failures + 1))
as_on_windows <"$work/linux.out" >"$work/linux.expected"
tr -d '\r' <"$work/windows.out" | normalise >"$work/windows.actual"
same "results lines" "$work/linux.expected" "$work/windows.actual"
reports=0
for report in "$work"/linux/target/*.CMP; do
    [ -e "$report" ] || continue
    name="$(basename "$report")"
    reports=$((reports + 1))
    as_on_windows <"$report" >"$work/$name.expected"
    normalise <"$work/windows/target/$name" >"$work/$name.actual" 2>/dev/null || true
    same "report $name" "$work/$name.expected" "$work/$name.actual"
done
windows_reports="$(find "$work/windows/target" -name '*.CMP' | wc -l)"
[ "$reports" -gt 0 ] && [ "$reports" = "$windows_reports" ] || {
    echo "DIFFERENT: $reports reports on Linux, $windows_reports under Wine"
    failures=$((failures + 1))
}
if [ "$failures" -gt 0 ]; then
    echo "The Windows program differs from the Linux one in $failures place(s)."
    exit 1
fi
echo "The Windows program verified the sample batch as the Linux one does."
