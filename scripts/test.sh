#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then builds the tests once more with
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan and runs them there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

brevo_build
ctest --test-dir "$BREVO_BUILD" --output-on-failure -j"$(nproc)"

echo "== the tests under AddressSanitizer and UndefinedBehaviorSanitizer"
BREVO_BUILD="${BREVO_ASAN_BUILD:-$BREVO_ROOT/build-asan}"
brevo_build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBREVO_SANITIZE=ON
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1" \
    ctest --test-dir "$BREVO_BUILD" --output-on-failure -j"$(nproc)"
