#!/usr/bin/env bash
# Starts the application under Xvfb and a private D-Bus session, waits for its status bar
# window, then sends SIGTERM (or the signal given) and expects a clean exit (status 0)
# within a few seconds.
#
#   tests/e2e/starts_and_quits.sh PATH_TO_TIDEMARK [TERM|INT|HUP]
set -euo pipefail

app=${1:?usage: starts_and_quits.sh PATH_TO_TIDEMARK [SIGNAL]}
signal=${2:-TERM}

if [[ -z ${TIDEMARK_E2E_INNER:-} ]]; then
    for tool in xvfb-run dbus-run-session xdotool; do
        if ! command -v "$tool" >/dev/null; then
            echo "e2e: $tool is missing; install xvfb, dbus and xdotool (scripts/setup)" >&2
            exit 1
        fi
    done
    export TIDEMARK_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1920x1080x24" dbus-run-session -- "$0" "$@"
fi

# A home of its own, so the test neither reads nor writes the user's settings.
home=$(mktemp -d)
cleanup() {
    [[ -n ${pid:-} ]] && kill -KILL "$pid" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state
export XDG_CACHE_HOME=$home/cache QT_QPA_PLATFORM=xcb
unset TIDEMARK_EXIT_WHEN_SHOWN TIDEMARK_RUNNING_FOR_PREVIEWS

"$app" >"$home/out.log" 2>&1 &
pid=$!

window=""
for _ in $(seq 1 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "e2e: the application ended before showing its status bar:" >&2
        cat "$home/out.log" >&2
        exit 1
    fi
    window=$(xdotool search --name "Tidemark status bar" 2>/dev/null | head -n 1 || true)
    [[ -n $window ]] && break
    sleep 0.1
done
if [[ -z $window ]]; then
    echo "e2e: no window named \"Tidemark status bar\" within 10 s" >&2
    cat "$home/out.log" >&2
    exit 1
fi
geometry=$(xdotool getwindowgeometry "$window" | tr '\n' ' ')
echo "e2e: status bar window $window: $geometry"

kill "-$signal" "$pid"
status=""
for _ in $(seq 1 50); do
    if ! kill -0 "$pid" 2>/dev/null; then
        set +e
        wait "$pid"
        status=$?
        set -e
        break
    fi
    sleep 0.1
done
if [[ -z $status ]]; then
    echo "e2e: still running 5 s after SIG$signal" >&2
    exit 1
fi
pid=""
if [[ $status -ne 0 ]]; then
    echo "e2e: exit status $status after SIG$signal:" >&2
    cat "$home/out.log" >&2
    exit 1
fi
echo "e2e: quit cleanly on SIG$signal"
