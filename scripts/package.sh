#!/usr/bin/env bash
# Builds the Debian packages brevo-verify and brevo-verifier with their -dbgsym packages (a
# Release build with the distribution's hardening flags in build-package/, cpack -G DEB) and
# checks them as a user would get them: lintian, then unpacked into a fresh tree, their files,
# Depends, man pages, the command's outputs, desktop entry and AppStream data; then
# `cmake --install`, whole and the cli component alone. Exits non-zero when any check fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

build="${BREVO_PACKAGE_BUILD:-$BREVO_ROOT/build-package}"

# What it builds with (dpkg-dev for dpkg-buildflags and dpkg-shlibdeps), then what the checks
# below use: the command's outputs are checked by tests/cli_outputs_test.py with
# python3-jsonschema and Vim's quickfix list.
brevo_install_missing cmake g++ ninja-build nlohmann-json3-dev libcli11-dev qt6-base-dev \
    dpkg-dev file man-db groff-base desktop-file-utils appstream lintian python3 \
    python3-jsonschema vim zsh

# The distribution's hardening flags, bindnow too, as its own packages are built. CMake reads
# no CPPFLAGS, where _FORTIFY_SOURCE is. -g gives the -dbgsym packages their symbols.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S "$BREVO_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DBREVO_BUILD_TESTS=OFF -DBREVO_BENCH=OFF -DBREVO_BUILD_APP=ON \
    -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS"
cmake --build "$build" -j"$(nproc)"
# Packages of an earlier version must not stand in for the new ones.
rm -f "$build"/*.deb "$build"/*.ddeb
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
cli_files=(
    bin/brevo-verify
    share/man/man1/brevo-verify.1.gz
    share/doc/brevo-verify/copyright
    share/doc/brevo-verify/changelog.Debian.gz
    share/lintian/overrides/brevo-verify
    share/brevo-verify/findings.schema.json
    share/bash-completion/completions/brevo-verify
    share/zsh/vendor-completions/_brevo-verify
)
app_id=invalid.brevo_verifier.BrevoVerifier
desktop_files=(
    bin/brevo-verifier
    share/man/man1/brevo-verifier.1.gz
    share/doc/brevo-verifier/copyright
    share/doc/brevo-verifier/changelog.Debian.gz
    share/lintian/overrides/brevo-verifier
    share/applications/$app_id.desktop
    share/brevo-verifier/brevo-verifier.html
    share/icons/hicolor/scalable/apps/brevo-verifier.svg
    share/metainfo/$app_id.metainfo.xml
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

# Info tags of lintian that these packages keep, each for a reason:
accepted_info_tags=(
    # The help page is the app's own: it opens it from /usr/share/brevo-verifier, and files
    # under /usr/share/doc may be left out of an installation (dpkg path-exclude).
    package-contains-documentation-outside-usr-share-doc
    # The doc directory of a -dbgsym package is a link to that of its package, on which it
    # depends at the exact version, as in Debian's own; lintian can only check that with the
    # source package at hand, and there is none.
    cannot-check-whether-usr-share-doc-symlink-points-to-foreign-package
)

# check_lintian PACKAGE_FILE: no error, no warning, and no info tag but the accepted ones.
check_lintian() {
    local deb="$1" name tags unexpected
    name="$(basename "$deb")"
    lintian --display-info --tag-display-limit 0 "$deb" 2>&1 |
        grep -v '^running with root privileges' >"$work/lintian.out" || true
    sed 's/^/        /' "$work/lintian.out"
    tags="$(sed -n 's/^\([EWIXP]\): [^ ]*: \([^ ]*\).*/\1 \2/p' "$work/lintian.out")"
    unexpected="$(grep -v '^I ' <<<"$tags" || true)"
    for tag in $(sed -n 's/^I //p' <<<"$tags" | sort -u); do
        [[ " ${accepted_info_tags[*]} " == *" $tag "* ]] || unexpected+=$'\n'"I $tag"
    done
    if [ -z "${unexpected//$'\n'/}" ] && ! grep -q '^[EW]: ' "$work/lintian.out"; then
        pass "lintian: $name has no error, no warning, no info tag but the accepted ones"
    else
        fail "lintian on $name:"$'\n'"$unexpected"
    fi
}

# check_man_page PAGE SECTION: man renders PAGE with SECTION in it, groff -ww without a warning.
check_man_page() {
    local page="$1" section="$2" what groff_warnings
    what="$(basename "$page" .gz)"
    if MANWIDTH=80 man -l "$page" >"$work/man.out" 2>"$work/man.err" &&
        [ ! -s "$work/man.err" ] && grep -q "^$section" "$work/man.out"; then
        pass "man -l renders the installed $what"
    else
        fail "man -l on the installed $what:"
        cat "$work/man.err"
    fi
    groff_warnings="$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1)"
    if [ -z "$groff_warnings" ]; then
        pass "groff -ww has no warnings on $what"
    else
        fail "groff -ww warns on $what:"
        echo "$groff_warnings"
    fi
}

# check_debug_apart DEB BINARY: BINARY in DEB is stripped and its symbols are in the -dbgsym
# package, under the build id the binary names.
check_debug_apart() {
    local deb="$1" binary="$2" name ddeb build_id
    name="$(dpkg-deb -f "$deb" Package)"
    ddeb="$(ls "$build/$name-dbgsym_"*.ddeb 2>/dev/null | head -n 1)"
    build_id="$(readelf -n "$binary" | sed -n 's/.*Build ID: \([0-9a-f]*\).*/\1/p')"
    if ! file -b "$binary" | grep -q ', stripped'; then
        fail "$name: $(basename "$binary") is not stripped"
    elif [ -z "$ddeb" ] || [ -z "$build_id" ]; then
        fail "$name: no -dbgsym package or no build id"
    elif dpkg-deb -c "$ddeb" | grep "usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug" \
        >/dev/null; then
        pass "$name: $(basename "$binary") stripped, its symbols in $(basename "$ddeb")"
        check_lintian "$ddeb"
    else
        fail "$name: $(basename "$ddeb") lacks the symbols of build id $build_id"
    fi
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
    check_lintian "$cli_deb"
    tree="$(unpacked "$cli_deb" brevo-verify)"
    check_files "$tree" usr/ "${cli_files[@]}"
    check_debug_apart "$cli_deb" "$tree/usr/bin/brevo-verify"

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

    check_man_page "$tree/usr/share/man/man1/brevo-verify.1.gz" 'EXIT STATUS'

    # The JSON, the SARIF log, --diagnostics read by Vim's quickfix list and --files-from, as
    # the tests check the built program.
    if quietly python3 "$BREVO_ROOT/tests/cli_outputs_test.py" "$program" "$BREVO_ROOT"; then
        pass "the packaged brevo-verify passes tests/cli_outputs_test.py"
    else
        fail "tests/cli_outputs_test.py on the packaged brevo-verify"
    fi

    schema="$(cd "$work/samples-packaged" &&
        "$program" --source-dir source --overwrite --json - target/guide.txt 2>/dev/null |
        sed -n 's|^  "\$schema": "file://\(.*\)",$|\1|p' || true)"
    if [ -n "$schema" ] && [ -f "$tree$schema" ]; then
        pass "the \$schema of the JSON names a file of the package: $schema"
    else
        fail "the \$schema of the JSON ($schema) is no file of the package"
    fi

    completed="$(cd "$work/samples-packaged" && bash -c '
        source "$1"
        COMP_WORDS=(brevo-verify --fail-on ""); COMP_CWORD=2; _brevo_verify
        echo "${COMPREPLY[*]}"' - "$tree/usr/share/bash-completion/completions/brevo-verify")"
    if [ "$completed" = "error alert warning never" ]; then
        pass "the installed bash completion completes --fail-on"
    else
        fail "the installed bash completion completes --fail-on with: $completed"
    fi
    if quietly zsh -n "$tree/usr/share/zsh/vendor-completions/_brevo-verify"; then
        pass "zsh reads the installed zsh completion"
    else
        fail "zsh -n on the installed zsh completion"
    fi
fi

# --- brevo-verifier: the desktop app and what a desktop needs to show it.
desktop_deb="$(deb_of brevo-verifier || true)"
if [ -z "$desktop_deb" ]; then
    fail "no brevo-verifier package in $build (was Qt 6 found?)"
else
    check_lintian "$desktop_deb"
    tree="$(unpacked "$desktop_deb" brevo-verifier)"
    check_files "$tree" usr/ "${desktop_files[@]}"
    check_debug_apart "$desktop_deb" "$tree/usr/bin/brevo-verifier"

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

    check_man_page "$tree/usr/share/man/man1/brevo-verifier.1.gz" 'SEE ALSO'

    if quietly desktop-file-validate "$tree/usr/share/applications/$app_id.desktop"; then
        pass "desktop-file-validate passes on the installed desktop entry"
    else
        fail "desktop-file-validate on the installed desktop entry"
    fi

    # Without an override: the id is a reverse domain name, the desktop file is named after
    # it, and every <binary> it provides is in the package.
    metainfo="$tree/usr/share/metainfo/$app_id.metainfo.xml"
    missing_binaries=""
    for binary in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo"); do
        [ -x "$tree/usr/bin/$binary" ] || missing_binaries+=" $binary"
    done
    if [ -n "$missing_binaries" ]; then
        fail "the AppStream data provides binaries the package lacks:$missing_binaries"
    fi
    if quietly appstreamcli validate --no-net "$metainfo" &&
        quietly appstreamcli validate-tree --no-net "$tree"; then
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
for deb in "$build"/*.deb "$build"/*.ddeb; do echo "  $deb"; done
if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed."
    exit 1
fi
echo "All checks passed."
