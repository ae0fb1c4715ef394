#!/usr/bin/env bash
# Installs what is missing, builds, verifies the sample batch and prints what it found.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

brevo_build brevo-verify

# Work on a copy so that the reports do not land in the checkout.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$BREVO_ROOT/samples/source" "$BREVO_ROOT/samples/target" "$work/"

echo
echo "== brevo-verify --source-dir source --overwrite target/*.txt"
status=0
(cd "$work" && "$BREVO_BUILD/src/brevo-verify" --source-dir source --overwrite target/*.txt) || status=$?
echo "== exit status: $status (0 clean, 1 findings, 2 some file not verified, 3 stopped)"

for report in "$work"/target/*.CMP; do
    [ -e "$report" ] || continue
    echo
    echo "== report $(basename "$report")"
    tr -d '\r' < "$report" | iconv -f CP1252 -t UTF-8
done
