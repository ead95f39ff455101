# Sourced by ./run, ./test and ./bench: installs the Debian packages the build needs, once.
# Usage: ensure_deps PACKAGE...  (the build's own packages are always included)

# locales: a test reads the handheld's numbers under a German desktop, whose locale it makes.
QV_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
                   libgtest-dev libbenchmark-dev locales)

ensure_deps() {
    local wanted=("${QV_BUILD_PACKAGES[@]}" "$@") missing=() pkg
    for pkg in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}" >&2
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; return 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# Configures (once) and builds the Release tree in build/; extra CMake options come from
# QV_CMAKE_ARGS.
build_release() {
    local dir=${QV_BUILD_DIR:-build}
    # shellcheck disable=SC2086
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release ${QV_CMAKE_ARGS:-} >/dev/null
    cmake --build "$dir"
}
