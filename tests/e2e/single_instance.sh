#!/usr/bin/env bash
# One instance per user session, tried with two real processes of the program under Xvfb
# and a private D-Bus session, in a new home.
#
#   tests/e2e/single_instance.sh PATH_TO_TIDEMARK second-start
#       A second start while the first runs exits 0 at once, and the first shows itself
#       (its log says it was asked, and its popover window comes on screen).
#   tests/e2e/single_instance.sh PATH_TO_TIDEMARK same-instant
#       Two starts in the same instant on a new home: one runs, the other exits 0, and the
#       store the one made is sound.
set -euo pipefail

app=${1:?usage: single_instance.sh PATH_TO_TIDEMARK second-start|same-instant}
mode=${2:?usage: single_instance.sh PATH_TO_TIDEMARK second-start|same-instant}

if [[ -z ${TIDEMARK_E2E_INNER:-} ]]; then
    for tool in xvfb-run dbus-run-session xdotool sqlite3; do
        if ! command -v "$tool" >/dev/null; then
            echo "e2e: $tool is missing; install xvfb, dbus, xdotool and sqlite3 (scripts/setup)" >&2
            exit 1
        fi
    done
    export TIDEMARK_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1920x1080x24" dbus-run-session -- "$0" "$@"
fi

home=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
    rm -rf "$home"
}
trap cleanup EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state
export XDG_CACHE_HOME=$home/cache XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset TIDEMARK_EXIT_WHEN_SHOWN TIDEMARK_RUNNING_FOR_PREVIEWS

fail() {
    echo "e2e: $*" >&2
    for log in "$home"/*.log; do
        echo "--- $(basename "$log")" >&2
        cat "$log" >&2
    done
    exit 1
}

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
    local tenths=$1
    shift
    for _ in $(seq 1 "$tenths"); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    return 1
}

windows_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
status_bar_shown() { [[ -n $(windows_named "^Tidemark status bar$") ]]; }
popover_shown() { [[ -n $(windows_named "^Tidemark$") ]]; }
asked_to_show() { grep -q "asked this instance to show itself" "$1"; }
ended() { ! kill -0 "$1" 2>/dev/null; }

# Ends the running instance with SIGTERM and expects status 0.
terminate() {
    local pid=$1
    kill -TERM "$pid"
    wait_for 100 ended "$pid" || fail "still running 10 s after SIGTERM"
    local status=0
    wait "$pid" || status=$?
    [[ $status -eq 0 ]] || fail "exit status $status after SIGTERM"
}

case $mode in
second-start)
    # As at login: a start by the user opens the popover by itself once the status item is
    # placed, and here the popover must wait for the second start to ask for it.
    "$app" --launched-at-login >"$home/first.log" 2>&1 &
    first=$!
    pids+=("$first")
    wait_for 300 status_bar_shown || fail "the first start showed no status bar within 30 s"
    popover_shown && fail "the popover is open before anything asked for it"

    status=0
    timeout 60 "$app" >"$home/second.log" 2>&1 || status=$?
    [[ $status -eq 0 ]] || fail "the second start ended with status $status"
    grep -q "running already" "$home/second.log" || fail "the second start did not say why it ended"
    ended "$first" && fail "the first start ended"

    wait_for 100 asked_to_show "$home/first.log" || fail "the first start was not asked to show itself"
    wait_for 100 popover_shown || fail "the first start did not show its popover"
    [[ $(windows_named "^Tidemark status bar$" | wc -l) -eq 1 ]] || fail "more than one status bar"
    terminate "$first"
    echo "e2e: the second start asked the first to show itself and ended with status 0"
    ;;
same-instant)
    "$app" >"$home/a.log" 2>&1 &
    a=$!
    "$app" >"$home/b.log" 2>&1 &
    b=$!
    pids+=("$a" "$b")
    one_ended() { ended "$a" || ended "$b"; }
    wait_for 600 one_ended || fail "neither start ended within 60 s"
    if ended "$a"; then gone=$a running=$b log=$home/b.log; else gone=$b running=$a log=$home/a.log; fi
    status=0
    wait "$gone" || status=$?
    [[ $status -eq 0 ]] || fail "the start that ended has status $status"
    wait_for 300 status_bar_shown || fail "the start that runs showed no status bar within 30 s"
    ended "$running" && fail "both starts ended"
    [[ $(windows_named "^Tidemark status bar$" | wc -l) -eq 1 ]] || fail "more than one status bar"
    wait_for 100 asked_to_show "$log" || fail "the start that runs was not asked to show itself"
    terminate "$running"

    store=$home/data/tidemark/Tidemark.sqlite
    [[ -f $store ]] || fail "no store was made"
    [[ $(sqlite3 "$store" "PRAGMA integrity_check") == ok ]] || fail "the store is damaged"
    [[ $(sqlite3 "$store" "PRAGMA user_version") == 1 ]] || fail "the store's schema was not made"
    [[ $(sqlite3 "$store" "SELECT COUNT(*) FROM CDReminder") == 0 ]] || fail "the store is not empty"
    echo "e2e: of two starts in the same instant one runs, the other ended with status 0"
    ;;
*)
    echo "usage: single_instance.sh PATH_TO_TIDEMARK second-start|same-instant" >&2
    exit 2
    ;;
esac
