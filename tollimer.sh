#!/usr/bin/env bash
# Set-up, build, run and test Tollimer.
#   ./tollimer.sh run [ARGS...]   install what is missing, build, start the program
#   ./tollimer.sh test            install what is missing, build, run the whole test suite
#   ./tollimer.sh build           install what is missing and build only
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="${TOLLIMER_BUILD_DIR:-$here/build}"

packages=(build-essential cmake qtbase5-dev libqt5webkit5-dev libqt5sql5-sqlite qttools5-dev-tools
          xvfb xauth openssl python3-aiosmtpd)

setup() {
    local missing=()
    for p in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

build() {
    local launcher=()
    # A compiler cache, where the machine has one, makes rebuilds of several work trees cheap.
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
    cmake --build "$build_dir" -j "$(nproc)"
}

case "${1:-}" in
    run)
        shift
        setup
        build
        if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
            exec xvfb-run -a "$build_dir/src/tollimer" "$@"
        fi
        exec "$build_dir/src/tollimer" "$@"
        ;;
    test)
        setup
        build
        cd "$build_dir"
        exec ctest --output-on-failure --parallel "$(nproc)"
        ;;
    build)
        setup
        build
        ;;
    *)
        echo "usage: $0 run|test|build" >&2
        exit 2
        ;;
esac
