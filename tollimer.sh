#!/usr/bin/env bash
# Set-up, build, run and test Tollimer.
#   ./tollimer.sh demo [ARGS...]  install what is missing, build, start the program against the simulated eBay
#   ./tollimer.sh run [ARGS...]   install what is missing, build, start the program
#   ./tollimer.sh test            install what is missing, build, run the whole test suite
#   ./tollimer.sh build           install what is missing and build only
#   ./tollimer.sh sanitize        build with AddressSanitizer + UBSan into build-sanitize/ and run the whole suite
#   ./tollimer.sh fuzz [TARGET] [SECONDS]
#                                 build the libFuzzer targets with clang into build-fuzz/ and run each (or TARGET,
#                                 e.g. descodec) for SECONDS (default 600), niced; findings go to build-fuzz/findings/
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="${TOLLIMER_BUILD_DIR:-$here/build}"

packages=(build-essential cmake qtbase5-dev libqt5webkit5-dev libqt5sql5-sqlite qttools5-dev-tools qttools5-dev libqt5svg5
          xvfb xauth openssl python3-aiosmtpd dbus-daemon)
# Only when fuzzing is asked for: Debian's clang and its runtime, which carries libFuzzer.
fuzz_packages=(clang libclang-rt-14-dev)

setup() {
    local missing=()
    for p in "${packages[@]}" "$@"; do
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

# build [DIR [CMAKE OPTIONS...]]: configures and builds into DIR (the normal build directory by default).
build() {
    local dir="${1:-$build_dir}"
    [ $# -gt 0 ] && shift
    local launcher=()
    # A compiler cache, where the machine has one, makes rebuilds of several work trees cheap.
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)" ${build_target:+--target "$build_target"}
}

# The whole suite over code built with AddressSanitizer and UndefinedBehaviorSanitizer. Leak reports are on,
# less those of Qt's own listed in cmake/lsan-suppressions.txt. (Whole allocation stacks would name them more
# precisely, but make OpenSSL so slow that the mail tests' time-outs run out.)
sanitize() {
    local dir="$here/build-sanitize"
    build "$dir" -DTOLLIMER_SANITIZE=ON
    cd "$dir"
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_stack_use_after_return=1:abort_on_error=1}"
    export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/cmake/lsan-suppressions.txt:print_suppressions=0}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
    ctest --output-on-failure --parallel "$(nproc)"
}

# fuzz [TARGET] [SECONDS]: each fuzzer grows its own corpus under build-fuzz/corpus/ from the seeds in
# tests/fuzz/TARGET/ (which stay small: add a found input there by hand only when it is a regression input).
fuzz() {
    local only="${1:-}" seconds="${2:-600}"
    local dir="$here/build-fuzz"
    CXX=clang++ CC=clang build_target=fuzzers build "$dir" -DTOLLIMER_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
    local targets=()
    if [ -n "$only" ]; then
        targets=("$only")
    else
        for seeds in "$here"/tests/fuzz/*/; do
            targets+=("$(basename "$seeds")")
        done
    fi
    local status=0
    for target in "${targets[@]}"; do
        local binary="$dir/tests/fuzz/fuzz_$target"
        if [ ! -x "$binary" ]; then
            echo "no fuzz target $target (see tests/fuzz/)" >&2
            return 2
        fi
        mkdir -p "$dir/corpus/$target" "$dir/findings/$target"
        echo "fuzzing $target for $seconds s"
        # Leaks are checked too, less Qt's own (see sanitize). Crash, leak and timeout inputs, and whatever else
        # libFuzzer writes into its working directory, go to findings/, never into the work tree.
        (cd "$dir/findings/$target" &&
            LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/cmake/lsan-suppressions.txt:print_suppressions=0}" \
                nice -n 10 "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
                -artifact_prefix="$dir/findings/$target/" "$dir/corpus/$target" "$here/tests/fuzz/$target") || status=1
    done
    return "$status"
}

# The demo: tollimer-sandbox with the demo scenario (HTTP and SMTP on free loopback ports) and the program
# pointed at it, with data and settings of its own under the build directory, fresh on every start.
demo() {
    local demo_dir="$build_dir/demo"
    rm -rf "$demo_dir"
    mkdir -p "$demo_dir/data" "$demo_dir/config/Tollimer"

    local sandbox_out="$demo_dir/sandbox.out"
    : >"$sandbox_out" # exists before the background job opens it, so the port lines can be polled at once
    "$build_dir/sandbox/tollimer-sandbox" --port 0 --smtp-port 0 --scenario "$here/sandbox/scenarios/demo.json" \
        --log-file "$demo_dir/sandbox-log.json" >"$sandbox_out" 2>&1 &
    demo_sandbox_pid=$!
    demo_tail_pid=""
    demo_screens_pid=""
    trap demo_stop EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM

    local port="" smtp_port="" tries=0
    while [ -z "$smtp_port" ]; do
        if ! kill -0 "$demo_sandbox_pid" 2>/dev/null || [ $tries -ge 100 ]; then
            echo "tollimer-sandbox did not start:" >&2
            cat "$sandbox_out" >&2
            exit 1
        fi
        # The port lines are written together: once the second is there, so is the first.
        smtp_port="$(sed -n '2s/^smtp //p' "$sandbox_out")"
        tries=$((tries + 1))
        [ -n "$smtp_port" ] || sleep 0.1
    done
    port="$(sed -n 1p "$sandbox_out")"

    cat >"$demo_dir/config/Tollimer/eBay Auction Sniper.conf" <<CONF
[NotificationMail]
host=127.0.0.1
port=$smtp_port
connection=tcp
auth=login
sender=notify@tollimer.test
CONF

    cat <<TEXT
Tollimer demo: the simulated eBay runs on this machine; nothing goes to the internet.
  Status page (auctions, bids, winners, mails): http://127.0.0.1:$port/_sandbox/
  Demo users: sniper_uk / secret (ebay.co.uk)   sniper_de / geheim (ebay.de)
  Try item 110000000004 (ends in 8 minutes, a rival bids up to GBP 8.00: snipe GBP 10.00 to win),
  or 110000000001 (ends in 9 minutes, a rival raises to GBP 31.00 at the last minute: snipe GBP 28.00 to
  be outbid, GBP 35.00 to win). A snipe is taken up as soon as it is set; its row shows Placed, then Won, by itself.
  Mails go to the sandbox's SMTP port $smtp_port and show on the status page.
  Program data and settings: $demo_dir (started fresh each time)
What happens on the simulated eBay is printed below. Close the program or press Ctrl+C to stop.
TEXT
    tail -n +3 -f --pid="$demo_sandbox_pid" "$sandbox_out" > >(sed -u 's/^/[sandbox] /') &
    demo_tail_pid=$!

    local program=("$build_dir/src/tollimer" "$@")
    local status=0
    export TOLLIMER_SANDBOX="http://127.0.0.1:$port"
    export XDG_DATA_HOME="$demo_dir/data" XDG_CONFIG_HOME="$demo_dir/config"
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        mkdir -m 700 "$demo_dir/runtime" # Qt wants one and warns when a bare session has none
        export XDG_RUNTIME_DIR="$demo_dir/runtime"
    fi
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [[ "$demo_dir" == *" "* ]]; then
        # xvfb-run splits its server arguments at spaces, so the screen cannot be kept in such a directory.
        echo "No display: the program runs under xvfb-run on a virtual screen (no screenshots: the build path has a space)"
        xvfb-run -a "${program[@]}" || status=$?
    elif [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        local screens="$demo_dir/screenshots"
        mkdir -p "$screens/framebuffer"
        echo "No display: the program runs under xvfb-run on a virtual screen; screenshots go to $screens"
        # Xvfb keeps its screen in a file there; a new PNG is written every few seconds when the screen changed.
        (
            while kill -0 "$demo_sandbox_pid" 2>/dev/null; do
                [ -f "$screens/framebuffer/Xvfb_screen0" ] &&
                    /usr/bin/python3 "$here/tools/xwd2png.py" "$screens/framebuffer/Xvfb_screen0" "$screens" || true
                sleep 5
            done
        ) &
        demo_screens_pid=$!
        xvfb-run -a -s "-screen 0 1280x800x24 -fbdir $screens/framebuffer" "${program[@]}" || status=$?
    else
        "${program[@]}" || status=$?
    fi
    echo "The program ended (exit code $status); stopping the sandbox."
    return "$status"
}

# Stops the demo's sandbox (it writes its log file on SIGTERM) and the processes that show its output.
demo_stop() {
    if [ -n "${demo_sandbox_pid:-}" ] && kill -0 "$demo_sandbox_pid" 2>/dev/null; then
        kill -TERM "$demo_sandbox_pid" 2>/dev/null || true
        wait "$demo_sandbox_pid" 2>/dev/null || true
    fi
    for pid in ${demo_screens_pid:-} ${demo_tail_pid:-}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    demo_sandbox_pid=""
    echo "Sandbox stopped; its request log, bid ledger and mails are in $build_dir/demo/sandbox-log.json"
}

case "${1:-}" in
    demo)
        shift
        setup
        build
        demo "$@"
        ;;
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
    sanitize)
        setup
        sanitize
        ;;
    fuzz)
        shift
        setup "${fuzz_packages[@]}"
        fuzz "$@"
        ;;
    *)
        echo "usage: $0 demo|run|test|build|sanitize|fuzz [TARGET] [SECONDS]" >&2
        exit 2
        ;;
esac
