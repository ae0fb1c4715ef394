#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the desktop app's under Qt Test on the
# offscreen platform); then builds the tests once more with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan and runs them there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

# The desktop app and its tests need Qt; they run on Qt's offscreen platform, without a display.
# The JSON and SARIF outputs are validated against their schemas with python3-jsonschema;
# --diagnostics is read by Vim's quickfix list.
brevo_install_missing qt6-base-dev fonts-dejavu-core python3-jsonschema vim
# A warning fails the build here, so that none comes in unnoticed.
BREVO_CMAKE_OPTIONS="-DBREVO_WERROR=ON" brevo_build
ctest --test-dir "$BREVO_BUILD" --output-on-failure -j"$(nproc)"

echo "== the tests under AddressSanitizer and UndefinedBehaviorSanitizer"
asan_build="${BREVO_ASAN_BUILD:-$BREVO_ROOT/build-asan}"
cmake -S "$BREVO_ROOT" -B "$asan_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBREVO_BUILD_TESTS=ON -DBREVO_SANITIZE=ON -DBREVO_WERROR=ON
cmake --build "$asan_build" -j"$(nproc)"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1" \
    ctest --test-dir "$asan_build" --output-on-failure -j"$(nproc)"
