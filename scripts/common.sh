# Shared by the scripts: package installation and the build folders.
# shellcheck shell=bash

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages every build needs, and the ones only some scripts need.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
                nlohmann-json3-dev fonts-dejavu-core)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
BENCH_PACKAGES=(libbenchmark-dev libinih-dev)
DISPLAY_PACKAGES=(xvfb xauth)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# ensure_packages PKG...: installs the packages that are missing, and only those.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
}

# configure_and_build DIR [cmake args...]: configures DIR with Ninja and builds it (only the
# targets named in BUILD_TARGETS when that is set).
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$repo_root" -B "$repo_root/$dir" -G Ninja "$@" >/dev/null
    local targets=()
    if [ -n "${BUILD_TARGETS:-}" ]; then
        # shellcheck disable=SC2206
        targets=(--target ${BUILD_TARGETS})
    fi
    cmake --build "$repo_root/$dir" --parallel "$(nproc)" "${targets[@]}"
}
