#!/usr/bin/env bash
# The popover's list end to end, on a virtual X display with its own session and
# accessibility buses, in a new home: a reminder seeded in the local store is listed (its row
# found by its accessible name over AT-SPI) after a click on the status icon; Delete completes
# it in the store, Ctrl+Z brings it back, Ctrl+Shift+Z completes it again, and a click
# elsewhere closes the panel.
#
#   tests/e2e/popover_list.sh PATH_TO_TIDEMARK
set -euo pipefail

app=${1:?usage: popover_list.sh PATH_TO_TIDEMARK}
here=$(cd "$(dirname "$0")" && pwd)

if [[ -z ${TIDEMARK_E2E_INNER:-} ]]; then
    for tool in xvfb-run dbus-run-session xdotool sqlite3; do
        if ! command -v "$tool" >/dev/null; then
            echo "e2e: $tool is missing; install the packages of scripts/packages.txt (scripts/setup)" >&2
            exit 1
        fi
    done
    if ! /usr/bin/python3 -c "import pyatspi" 2>/dev/null; then
        echo "e2e: pyatspi is missing; install python3-pyatspi and at-spi2-core (scripts/setup)" >&2
        exit 1
    fi
    export TIDEMARK_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1440x900x24" dbus-run-session -- "$0" "$@"
fi

home=$(mktemp -d)
pid=""
cleanup() {
    [[ -n $pid ]] && kill -KILL "$pid" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state
export XDG_CACHE_HOME=$home/cache XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=xcb
# Qt speaks to the accessibility bus only when asked to (no desktop here turns it on).
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset TIDEMARK_EXIT_WHEN_SHOWN TIDEMARK_RUNNING_FOR_PREVIEWS

fail() {
    echo "e2e: $*" >&2
    echo "--- app.log" >&2
    cat "$home/app.log" >&2 || true
    exit 1
}

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
    local tenths=$1
    shift
    local deadline=$((SECONDS + (tenths + 9) / 10))
    while ((SECONDS <= deadline)); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    return 1
}

title="Water the plants before noon"
store=$home/data/tidemark/Tidemark.sqlite
mkdir -p "$(dirname "$store")"
now=$(date +%s)
sqlite3 "$store" <<SQL
CREATE TABLE CDReminder (pk INTEGER PRIMARY KEY, completionDate REAL, dueDate REAL,
    identifier TEXT, isCompleted INTEGER NOT NULL DEFAULT 0 CHECK (isCompleted IN (0, 1)),
    startDate REAL, title TEXT);
CREATE INDEX CDReminder_identifier ON CDReminder (identifier);
PRAGMA user_version = 1;
INSERT INTO CDReminder (identifier, title, startDate, dueDate)
    VALUES ('e2e-popover-1', '$title', $((now - 60)), $((now + 7200)));
SQL

completed() {
    [[ $(sqlite3 "$store" "SELECT completionDate IS NOT NULL FROM CDReminder WHERE identifier = 'e2e-popover-1'" 2>/dev/null) == 1 ]]
}
not_completed() {
    [[ $(sqlite3 "$store" "SELECT completionDate IS NULL FROM CDReminder WHERE identifier = 'e2e-popover-1'" 2>/dev/null) == 1 ]]
}
windows_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
status_bar_shown() { [[ -n $(windows_named "^Tidemark status bar$") ]]; }
popover_shown() { [[ -n $(windows_named "^Tidemark$") ]]; }
popover_hidden() { ! popover_shown; }
row=""
row_listed() { row=$(/usr/bin/python3 "$here/atspi_find.py" "$title" 2>/dev/null); }

# The accessibility bus first, so that the program finds it as it starts.
/usr/bin/python3 "$here/atspi_find.py" "" >/dev/null 2>&1 || true

# As at login, so that the popover waits for the click.
"$app" --launched-at-login >"$home/app.log" 2>&1 &
pid=$!
wait_for 600 status_bar_shown || fail "no status bar within 60 s"
popover_shown && fail "the popover is open before the click"

# The status item stands at the right end of the status bar.
bar=$(windows_named "^Tidemark status bar$" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$bar")"
icon_x=$((X + WIDTH - 14))
icon_y=$((Y + HEIGHT / 2))
xdotool mousemove "$icon_x" "$icon_y" click 1
wait_for 300 popover_shown || fail "a click on the icon did not open the popover"
wait_for 600 row_listed || fail "no row named \"$title\" over AT-SPI within 60 s"
echo "e2e: row listed at $row"

# The header's action menu takes the keyboard without closing the panel.
button=""
button_found() { button=$(/usr/bin/python3 "$here/atspi_find.py" "Actions" 2>/dev/null); }
# The menu is one more window on screen.
shown_windows() { xdotool search --onlyvisible --name "" 2>/dev/null | wc -l; }
before_menu=$(shown_windows)
menu_open() { (($(shown_windows) > before_menu)); }
menu_closed() { (($(shown_windows) == before_menu)); }
wait_for 300 button_found || fail "no button named \"Actions\" over AT-SPI"
read -r button_x button_y button_w button_h <<<"$button"
xdotool mousemove $((button_x + button_w / 2)) $((button_y + button_h / 2)) click 1
wait_for 300 menu_open || fail "a click on \"Actions\" did not open its menu"
xdotool key Escape
wait_for 300 menu_closed || fail "Escape did not close the action menu"
popover_shown || fail "opening the action menu closed the popover"
echo "e2e: the action menu opened and closed, the popover stayed"

# A click on the row's time selects it (the title would open its field).
read -r row_x row_y row_w row_h <<<"$row"
xdotool mousemove $((row_x + 24)) $((row_y + 10)) click 1
xdotool key Delete
wait_for 300 completed || fail "Delete did not complete the reminder in the store"
echo "e2e: Delete completed the reminder"
xdotool key ctrl+z
wait_for 300 not_completed || fail "Ctrl+Z did not bring the reminder back"
echo "e2e: Ctrl+Z brought it back"
xdotool key ctrl+shift+z
wait_for 300 completed || fail "Ctrl+Shift+Z did not complete the reminder again"
echo "e2e: Ctrl+Shift+Z completed it again"

# Elsewhere: another program's window. Without a window manager nothing gives it the
# keyboard on a click, so the click is followed by what a click-to-focus manager does.
xmessage -geometry 300x100+100+500 "another program" >/dev/null 2>&1 &
other_pid=$!
other_shown() { other=$(xdotool search --onlyvisible --class "^Xmessage$" 2>/dev/null | head -n 1); [[ -n $other ]]; }
other=""
wait_for 300 other_shown || fail "the other program's window did not come"
xdotool mousemove 150 520 click 1
xdotool windowfocus "$other" || true
wait_for 300 popover_hidden || fail "a click elsewhere did not close the popover"
kill "$other_pid" 2>/dev/null || true
echo "e2e: a click elsewhere closed the popover"

kill -TERM "$pid"
wait "$pid" || true
pid=""
