#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

brevo_build
ctest --test-dir "$BREVO_BUILD" --output-on-failure -j"$(nproc)"
