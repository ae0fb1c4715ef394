#!/usr/bin/env bash
# Builds the Debian packages brevo-verify and brevo-verifier (a Release build in build-package/,
# cpack -G DEB) and checks them as a user would get them: unpacked into a fresh tree, their
# files, Depends, man page, desktop entry and AppStream data; then `cmake --install`, whole and
# the cli component alone. Exits non-zero when any check fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

build="${BREVO_PACKAGE_BUILD:-$BREVO_ROOT/build-package}"

# dpkg-dev for dpkg-shlibdeps; the rest for the checks below.
brevo_install_missing cmake g++ ninja-build qt6-base-dev dpkg-dev file man-db groff-base \
    desktop-file-utils appstream

cmake -S "$BREVO_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DBREVO_BUILD_TESTS=OFF -DBREVO_BENCH=OFF -DBREVO_BUILD_APP=ON
cmake --build "$build" -j"$(nproc)"
# Packages of an earlier version must not stand in for the new ones.
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
pass() { echo "ok:     $*"; }
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
# quietly COMMAND...: runs it, showing what it printed only when it fails.
quietly() {
    "$@" >"$work/quietly.out" 2>&1 && return 0
    local status=$?
    sed 's/^/        /' "$work/quietly.out"
    return $status
}

# The files each component installs, relative to the prefix. Anything more or less is a fault
# in the install rules: a file in the wrong component ends up in the wrong package.
cli_files=(bin/brevo-verify share/man/man1/brevo-verify.1.gz share/doc/brevo-verify/copyright)
desktop_files=(
    bin/brevo-verifier
    share/doc/brevo-verifier/copyright
    share/applications/brevo-verifier.desktop
    share/brevo-verifier/brevo-verifier.html
    share/icons/hicolor/scalable/apps/brevo-verifier.svg
    share/metainfo/brevo-verifier.metainfo.xml
)
icon_sizes=(16 32 48 64 128 256)
for size in "${icon_sizes[@]}"; do
    desktop_files+=("share/icons/hicolor/${size}x${size}/apps/brevo-verifier.png")
done

# check_files DIR PREFIX FILE...: DIR holds exactly PREFIX/FILE for each FILE.
check_files() {
    local dir="$1" prefix="$2" what
    shift 2
    what="$(basename "$dir")"
    local expected found
    expected="$(for f in "$@"; do echo "$prefix$f"; done | sort)"
    found="$(cd "$dir" && find . -type f -o -type l | sed 's|^\./||' | sort)"
    if [ "$expected" = "$found" ]; then
        pass "$what holds the expected $# files"
    else
        fail "$what: files differ from the expected ones (< expected, > found):"
        diff <(echo "$expected") <(echo "$found") | grep '^[<>]' || true
    fi
}

deb_of() {
    local debs=("$build/$1"_*.deb)
    [ -f "${debs[0]}" ] && echo "${debs[0]}"
}

# unpacked DEB NAME: the package's files under $work/NAME, whose path it prints.
unpacked() {
    mkdir "$work/$2"
    dpkg-deb -x "$1" "$work/$2"
    echo "$work/$2"
}

# --- brevo-verify: the command line and its man page, nothing of Qt.
cli_deb="$(deb_of brevo-verify || true)"
if [ -z "$cli_deb" ]; then
    fail "no brevo-verify package in $build"
else
    tree="$(unpacked "$cli_deb" brevo-verify)"
    check_files "$tree" usr/ "${cli_files[@]}"

    depends="$(dpkg-deb -f "$cli_deb" Depends)"
    if [ -z "$depends" ]; then
        fail "brevo-verify: empty Depends (did dpkg-shlibdeps run?)"
    elif grep -qi qt <<<"$depends"; then
        fail "brevo-verify depends on Qt: $depends"
    else
        pass "brevo-verify Depends has no Qt: $depends"
    fi

    program="$tree/usr/bin/brevo-verify"
    if "$program" --help >/dev/null; then
        pass "the packaged brevo-verify runs (--help)"
    else
        fail "the packaged brevo-verify --help exits with $?"
    fi

    # The stripped, packaged binary verifies the sample batch as the build tree's does.
    for who in packaged built; do
        mkdir "$work/samples-$who"
        cp -r "$BREVO_ROOT/samples/source" "$BREVO_ROOT/samples/target" "$work/samples-$who/"
    done
    status_packaged=0
    (cd "$work/samples-packaged" && "$program" --source-dir source --overwrite -j 1 \
        target/*.txt >/dev/null 2>&1) || status_packaged=$?
    status_built=0
    (cd "$work/samples-built" && "$build/src/brevo-verify" --source-dir source --overwrite \
        -j 1 target/*.txt >/dev/null 2>&1) || status_built=$?
    reports_differ=0
    # Reports carry the time they were written; the rest must be the same.
    diff -r -x '*.txt' -I '^Date/Time:' "$work/samples-built/target" \
        "$work/samples-packaged/target" >/dev/null || reports_differ=1
    if [ "$status_packaged" -ge 3 ]; then
        fail "the packaged brevo-verify stopped on the samples with exit status $status_packaged"
    elif [ "$status_packaged" -ne "$status_built" ] || [ "$reports_differ" -ne 0 ]; then
        fail "the packaged brevo-verify verifies the samples differently from the built one"
    else
        pass "the packaged brevo-verify verifies the samples as the built one does"
    fi

    page="$tree/usr/share/man/man1/brevo-verify.1.gz"
    if MANWIDTH=80 man -l "$page" >"$work/man.out" 2>"$work/man.err" &&
        [ ! -s "$work/man.err" ] && grep -q '^EXIT STATUS' "$work/man.out"; then
        pass "man -l renders the installed man page"
    else
        fail "man -l on the installed man page:"
        cat "$work/man.err"
    fi
    groff_warnings="$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1)"
    if [ -z "$groff_warnings" ]; then
        pass "groff -ww has no warnings on the man page"
    else
        fail "groff -ww warns on the man page:"
        echo "$groff_warnings"
    fi
fi

# --- brevo-verifier: the desktop app and what a desktop needs to show it.
desktop_deb="$(deb_of brevo-verifier || true)"
if [ -z "$desktop_deb" ]; then
    fail "no brevo-verifier package in $build (was Qt 6 found?)"
else
    tree="$(unpacked "$desktop_deb" brevo-verifier)"
    check_files "$tree" usr/ "${desktop_files[@]}"

    depends="$(dpkg-deb -f "$desktop_deb" Depends)"
    if grep -q libqt6widgets6 <<<"$depends" && ! grep -q brevo-verify <<<"$depends"; then
        pass "brevo-verifier depends on Qt and not on brevo-verify: $depends"
    else
        fail "brevo-verifier Depends: $depends"
    fi

    if ldd "$tree/usr/bin/brevo-verifier" | grep -q 'not found'; then
        fail "the packaged brevo-verifier needs libraries that are not found"
    else
        pass "the libraries of the packaged brevo-verifier are all found"
    fi

    # An icon of the wrong size in a size folder is scaled blurry by every icon theme.
    wrong_sizes=()
    for size in "${icon_sizes[@]}"; do
        icon="$tree/usr/share/icons/hicolor/${size}x${size}/apps/brevo-verifier.png"
        file -b "$icon" 2>/dev/null | grep -q "PNG image data, $size x $size," ||
            wrong_sizes+=("$size")
    done
    if [ ${#wrong_sizes[@]} -eq 0 ]; then
        pass "each icon is as large as its folder says"
    else
        fail "icons of the wrong size (or missing) for: ${wrong_sizes[*]}"
    fi

    if quietly desktop-file-validate "$tree/usr/share/applications/brevo-verifier.desktop"; then
        pass "desktop-file-validate passes on the installed desktop entry"
    else
        fail "desktop-file-validate on the installed desktop entry"
    fi

    # The id is the desktop file's name, as the window is known by it; AppStream would rather
    # have a reverse domain name and says so as a warning, which alone is no fault here.
    appstream=(--no-net --override=cid-desktopapp-is-not-rdns=info)
    metainfo="$tree/usr/share/metainfo/brevo-verifier.metainfo.xml"
    if quietly appstreamcli validate "${appstream[@]}" "$metainfo" &&
        quietly appstreamcli validate-tree "${appstream[@]}" "$tree"; then
        pass "appstreamcli validates the installed metainfo and its tree"
    else
        fail "appstreamcli validate on the installed metainfo"
    fi
fi

# --- cmake --install, the whole project and the command line alone.
cmake --install "$build" --prefix "$work/install-all" >/dev/null
check_files "$work/install-all" "" "${cli_files[@]}" "${desktop_files[@]}"
cmake --install "$build" --prefix "$work/install-cli" --component cli >/dev/null
check_files "$work/install-cli" "" "${cli_files[@]}"

echo
echo "Packages:"
for deb in "$build"/*.deb; do echo "  $deb"; done
if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed."
    exit 1
fi
echo "All checks passed."
