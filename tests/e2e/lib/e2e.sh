# Shared by the end-to-end scenarios: source it, then call e2e_begin "$@" first.
#
# Each scenario runs the real program on a virtual X display (xvfb-run) with a private
# session bus (dbus-run-session), in a temporary home of its own. Screenshots of each step
# go to $E2E_SHOTS (ctest sets it to a folder in the build tree) and stay there; the home,
# the program's output and log go away unless the scenario fails, when they are printed.
#
# Waits are for conditions, never fixed sleeps: `e2e_wait SECONDS what command…` polls the
# command until it succeeds, with limits generous enough for a loaded two-core machine.

E2E_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The system's Python, which has the Debian packages python3-dbus and python3-gi (a Python of
# the user's own earlier on PATH may not).
E2E_PYTHON=/usr/bin/python3
[[ -x $E2E_PYTHON ]] || E2E_PYTHON=python3

# e2e_require TOOL…: ends the scenario at once when a tool it needs is missing.
e2e_require() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "e2e: $tool is missing (scripts/setup installs what the tests need)" >&2
            exit 1
        fi
    done
}

# Re-runs the calling script inside Xvfb and a private session bus, unless it already is.
# Arguments: the script's own arguments. The screen is 1440x900 unless E2E_SCREEN names
# another (WIDTHxHEIGHTxDEPTH).
# The display comes from on_xvfb.sh beside this file.
e2e_begin() {
    if [[ -z ${TIDEMARK_E2E_INNER:-} ]]; then
        e2e_require Xvfb dbus-run-session dbus-send xdotool sqlite3 import
        if ! "$E2E_PYTHON" -c "import dbus, gi" 2>/dev/null; then
            echo "e2e: python3-dbus and python3-gi are missing (scripts/setup)" >&2
            exit 1
        fi
        XVFB_SCREEN=${E2E_SCREEN:-1440x900x24} TIDEMARK_E2E_INNER=1 \
            "$E2E_LIB/on_xvfb.sh" dbus-run-session -- "$0" "$@"
        exit
    fi
    E2E_HOME=$(mktemp -d)
    E2E_PIDS=()
    E2E_STEP=0
    E2E_NAME=$(basename "$0" .sh)
    E2E_SHOTS=${E2E_SHOTS:-$E2E_HOME/shots}
    mkdir -p "$E2E_SHOTS"
    rm -f "$E2E_SHOTS"/*.png
    trap e2e_end EXIT
    e2e_use_home "$E2E_HOME"
}

# Points every XDG place at `home`.
e2e_use_home() {
    local home=$1
    export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
    export XDG_STATE_HOME=$home/state XDG_CACHE_HOME=$home/cache XDG_RUNTIME_DIR=$home/runtime
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$XDG_CACHE_HOME"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    export QT_QPA_PLATFORM=xcb
    unset TIDEMARK_EXIT_WHEN_SHOWN TIDEMARK_RUNNING_FOR_PREVIEWS TIDEMARK_CALENDARS_DIR
    E2E_STORE=$XDG_DATA_HOME/tidemark/Tidemark.sqlite
    E2E_LOG=$XDG_STATE_HOME/tidemark/Tidemark.log
    E2E_SETTINGS=$XDG_CONFIG_HOME/tidemark/com.tidemark.Tidemark.settings.json
}

e2e_end() {
    local status=$?
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        { kill -KILL "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    if [[ $status -ne 0 ]]; then
        e2e_dump
    fi
    rm -rf "$E2E_HOME"
    exit $status
}

e2e_dump() {
    local file
    for file in "$E2E_HOME"/*.out "$E2E_HOME"/notifications "$XDG_STATE_HOME"/tidemark/*.log; do
        [[ -f $file ]] || continue
        echo "--- $file" >&2
        tail -n 80 "$file" >&2
    done
    echo "--- screenshots: $E2E_SHOTS" >&2
}

e2e_fail() {
    echo "e2e: $E2E_NAME: $*" >&2
    e2e_shot failure
    exit 1
}

e2e_say() {
    echo "e2e: $E2E_NAME: $*"
}

# e2e_wait SECONDS WHAT COMMAND…: polls COMMAND until it succeeds; fails naming WHAT after
# SECONDS.
e2e_wait() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    while ((SECONDS < deadline)); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    "$@" || e2e_fail "$what: not within $seconds s"
}

# A screenshot of the whole screen as the next numbered step.
e2e_shot() {
    E2E_STEP=$((E2E_STEP + 1))
    local file
    file=$(printf '%s/%02d-%s.png' "$E2E_SHOTS" "$E2E_STEP" "$1")
    import -window root "$file" 2>/dev/null || true
}

# --- The program ----------------------------------------------------------------------

# e2e_start NAME PROGRAM [ARGS…]: starts it with its output in $E2E_HOME/NAME.out; the
# process id is in E2E_PID.
e2e_start() {
    local name=$1
    shift
    "$@" >>"$E2E_HOME/$name.out" 2>&1 &
    E2E_PID=$!
    E2E_PIDS+=("$E2E_PID")
}

e2e_running() { kill -0 "$1" 2>/dev/null; }
e2e_ended() { ! kill -0 "$1" 2>/dev/null; }

# Ends the program with SIGTERM and expects status 0.
e2e_stop() {
    local pid=$1
    kill -TERM "$pid"
    e2e_wait 30 "the program ending after SIGTERM" e2e_ended "$pid"
    local status=0
    wait "$pid" || status=$?
    [[ $status -eq 0 ]] || e2e_fail "exit status $status after SIGTERM"
}

# Ends the program at once, as a crash or a power cut would.
e2e_kill() {
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# --- Windows, pointer and keys ----------------------------------------------------------

e2e_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
e2e_shown() { [[ -n $(e2e_windows "$1") ]]; }
e2e_hidden() { [[ -z $(e2e_windows "$1") ]]; }
e2e_status_bar_shown() { e2e_shown "^Tidemark status bar$"; }

# Waits for the status strip of a program that must keep running.
e2e_wait_for_status_bar() {
    local pid=$1
    _e2e_bar_or_end() { e2e_status_bar_shown || e2e_ended "$pid"; }
    e2e_wait 60 "the status bar" _e2e_bar_or_end
    e2e_running "$pid" || e2e_fail "the program ended before showing its status bar"
}

# e2e_click_at X Y: a left click at a point of the screen.
e2e_click_at() {
    xdotool mousemove --sync "$1" "$2" click 1
}

# e2e_click_in WINDOW_NAME X Y: a left click at a point of the first visible window so named.
e2e_click_in() {
    local window
    window=$(e2e_windows "$1" | head -n 1)
    [[ -n $window ]] || e2e_fail "no window named $1 to click in"
    xdotool mousemove --window "$window" --sync "$2" "$3" click 1
}

# e2e_keys KEY…: keys to whichever window has the keyboard focus.
e2e_keys() {
    xdotool key --delay 60 "$@"
}

# --- The store, the settings and the log ----------------------------------------------

e2e_sql() {
    sqlite3 -cmd ".timeout 10000" "$E2E_STORE" "$@"
}

# Seconds since 1970 as the store keeps them.
e2e_now() { date +%s.%N; }

# e2e_seed_reminder ID TITLE DUE_SECONDS: a reminder due at DUE_SECONDS (since 1970),
# written into a store the program made before.
e2e_seed_reminder() {
    local now
    now=$(e2e_now)
    e2e_sql "INSERT INTO CDReminder (identifier, title, startDate, dueDate, isCompleted)
             VALUES ('$1', '$2', $now, $3, 0)"
}

e2e_due_of() { e2e_sql "SELECT dueDate FROM CDReminder WHERE identifier = '$1'"; }

# Settings in which onboarding and what's new of this version were seen already.
e2e_settings_seen() {
    mkdir -p "$(dirname "$E2E_SETTINGS")"
    cat >"$E2E_SETTINGS" <<'JSON'
{"com.tidemark.Tidemark.settings": {
    "onboarding": {"lastPresentedVersion": "1.2.5"},
    "whatsNew": {"lastPresentedVersion": "1.2.5"}}}
JSON
}

e2e_log_has() { [[ -f $E2E_LOG ]] && grep -q -- "$1" "$E2E_LOG"; }

# --- The notification server ------------------------------------------------------------

# Starts the test's notification server on the private bus; Notify calls are recorded in
# $E2E_NOTIFICATIONS, one JSON object a line.
e2e_notification_server() {
    E2E_NOTIFICATIONS=$E2E_HOME/notifications
    : >"$E2E_NOTIFICATIONS"
    e2e_start notification-server "$E2E_PYTHON" "$E2E_LIB/notification_server.py" "$E2E_NOTIFICATIONS"
    E2E_SERVER_PID=$E2E_PID
    e2e_wait 30 "the notification server" test -f "$E2E_NOTIFICATIONS.ready"
}

# The id of the last notification shown whose summary or body holds TEXT ("" when none).
e2e_notification_id() {
    "$E2E_PYTHON" - "$E2E_NOTIFICATIONS" "$1" <<'PY'
import json, sys
found = ""
for line in open(sys.argv[1]):
    n = json.loads(line)
    if sys.argv[2] in n["summary"] or sys.argv[2] in n["body"]:
        found = n["id"]
print(found)
PY
}

e2e_notification_shown() { [[ -n $(e2e_notification_id "$1") ]]; }

# The action keys of notification ID, space-separated, in their order.
e2e_notification_actions() {
    "$E2E_PYTHON" - "$E2E_NOTIFICATIONS" "$1" <<'PY'
import json, sys
for line in open(sys.argv[1]):
    n = json.loads(line)
    if str(n["id"]) == sys.argv[2]:
        keys = [key for key, label in n["actions"]]
print(" ".join(keys))
PY
}

# What the user does on a notification: an action button.
e2e_invoke_action() {
    dbus-send --session --type=method_call --print-reply=literal \
        --dest=org.freedesktop.Notifications /org/freedesktop/Notifications \
        org.tidemark.E2E.InvokeAction "uint32:$1" "string:$2" >/dev/null
}

# Settings as after onboarding: seen, with notifications switched on.
e2e_settings_notifying() {
    mkdir -p "$(dirname "$E2E_SETTINGS")"
    cat >"$E2E_SETTINGS" <<'JSON'
{"com.tidemark.Tidemark.settings": {
    "notifications": {"isEnabled": true},
    "onboarding": {"lastPresentedVersion": "1.2.5"},
    "whatsNew": {"lastPresentedVersion": "1.2.5"}}}
JSON
}

# Starts the program once so that it makes its store, and ends it.
e2e_make_store() {
    e2e_start make-store "$1"
    local pid=$E2E_PID
    e2e_wait_for_status_bar "$pid"
    e2e_wait 30 "the reminder store" test -f "$E2E_STORE"
    e2e_stop "$pid"
}

# Asks the running program to show its popover through a second start, and waits for it:
# once it shows, the running program's event loop has handled everything queued before.
e2e_popover_through_second_start() {
    local status=0
    timeout 60 "$1" >>"$E2E_HOME/second-start.out" 2>&1 || status=$?
    [[ $status -eq 0 ]] || e2e_fail "the second start ended with status $status"
    e2e_wait 60 "the popover of the running program" e2e_shown "^Tidemark$"
}

# e2e_float_between VALUE LOW HIGH: LOW <= VALUE <= HIGH as decimal numbers.
e2e_float_between() {
    awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v + 0 >= lo + 0 && v + 0 <= hi + 0) }'
}

# --- The accessibility bus --------------------------------------------------------------

# Before e2e_begin: ends the scenario unless pyatspi is there, and asks Qt to speak to the
# accessibility bus (no desktop here turns it on).
e2e_require_atspi() {
    if [[ -z ${TIDEMARK_E2E_INNER:-} ]] && ! "$E2E_PYTHON" -c "import pyatspi" 2>/dev/null; then
        echo "e2e: pyatspi is missing; install python3-pyatspi and at-spi2-core (scripts/setup)" >&2
        exit 1
    fi
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
}

# After e2e_begin, before the program starts: the accessibility bus, so that the program
# finds it as it starts.
e2e_start_atspi() {
    "$E2E_PYTHON" "$E2E_LIB/../atspi_find.py" "" >/dev/null 2>&1 || true
}

# e2e_atspi TEXT [ROLE]: the first showing accessible object whose name starts with TEXT
# (ROLE narrows it), as "x y width height" in E2E_FOUND; fails when there is none.
E2E_FOUND=""
e2e_atspi() { E2E_FOUND=$("$E2E_PYTHON" "$E2E_LIB/../atspi_find.py" "$@" 2>/dev/null); }
e2e_not_atspi() { ! e2e_atspi "$@"; }

# A click in the middle of the accessible object named so, once it shows.
e2e_click_named() {
    e2e_wait 60 "an accessible \"$1\"" e2e_atspi "$@"
    local x y w h
    read -r x y w h <<<"$E2E_FOUND"
    e2e_click_at $((x + w / 2)) $((y + h / 2))
}

# --- The status icon and the popover -----------------------------------------------------

# The icon stands at the leading end of the status item, in the middle of its height (the
# countdown widens the item after it): E2E_ICON_X, E2E_ICON_Y.
e2e_locate_icon() {
    local bar X Y WIDTH HEIGHT SCREEN WINDOW
    bar=$(e2e_windows "^Tidemark status bar$" | head -n 1)
    [[ -n $bar ]] || e2e_fail "no status bar"
    eval "$(xdotool getwindowgeometry --shell "$bar")"
    E2E_ICON_X=$((X + 17))
    E2E_ICON_Y=$((Y + HEIGHT / 2))
}

e2e_popover_shown() { e2e_shown "^Tidemark$"; }
e2e_popover_hidden() { e2e_hidden "^Tidemark$"; }

e2e_open_popover() {
    e2e_popover_shown && return 0
    e2e_locate_icon
    e2e_click_at "$E2E_ICON_X" "$E2E_ICON_Y"
    e2e_wait 60 "the popover after a click on the icon" e2e_popover_shown
}

e2e_close_popover() {
    e2e_popover_shown || return 0
    e2e_keys Escape
    e2e_wait 60 "the popover closing on Escape" e2e_popover_hidden
}

# e2e_pull DY [SHOT]: presses on the icon, moves DY px down in steps of at most 10 px, takes
# the screenshot SHOT when named, releases.
e2e_pull() {
    local dy=$1 shot=${2:-} y=0 step
    e2e_locate_icon
    xdotool mousemove --sync "$E2E_ICON_X" "$E2E_ICON_Y" mousedown 1
    while ((y < dy)); do
        step=$((dy - y < 10 ? dy - y : 10))
        y=$((y + step))
        xdotool mousemove "$E2E_ICON_X" $((E2E_ICON_Y + y))
    done
    # A look at the pull as it stands, before the release.
    [[ -n $shot ]] && e2e_shot "$shot"
    xdotool mouseup 1
}

# --- The calendar task lists --------------------------------------------------------------

# Access to the task lists as a person granted it at an earlier start.
e2e_grant_task_lists() {
    mkdir -p "$XDG_STATE_HOME/tidemark"
    echo "reminders=fullAccess" >"$XDG_STATE_HOME/tidemark/eventstore-access"
}
