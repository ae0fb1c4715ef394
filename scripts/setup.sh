# Shared set-up for the scripts: install what is missing, configure and build.
# Sourced, not run.

BREVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BREVO_BUILD="${BREVO_BUILD:-$BREVO_ROOT/build}"

brevo_packages=(cmake g++ ninja-build libgtest-dev nlohmann-json3-dev libcli11-dev)

brevo_install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# brevo_build [TARGET...]: configures (always with the tests) and builds the targets, or all.
# BREVO_CMAKE_OPTIONS adds options of the caller's.
brevo_build() {
    brevo_install_missing "${brevo_packages[@]}"
    # shellcheck disable=SC2086
    cmake -S "$BREVO_ROOT" -B "$BREVO_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DBREVO_BUILD_TESTS=ON ${BREVO_CMAKE_OPTIONS:-}
    local targets=()
    for target in "$@"; do targets+=(--target "$target"); done
    cmake --build "$BREVO_BUILD" -j"$(nproc)" "${targets[@]}"
}
