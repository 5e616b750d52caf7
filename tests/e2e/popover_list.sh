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

source "$here/lib/e2e.sh"
if ! /usr/bin/python3 -c "import pyatspi" 2>/dev/null; then
    echo "e2e: pyatspi is missing; install python3-pyatspi and at-spi2-core (scripts/setup)" >&2
    exit 1
fi
e2e_begin "$@"
# Qt speaks to the accessibility bus only when asked to (no desktop here turns it on).
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0

title="Water the plants before noon"
mkdir -p "$(dirname "$E2E_STORE")"
now=$(date +%s)
e2e_sql <<SQL
CREATE TABLE CDReminder (pk INTEGER PRIMARY KEY, completionDate REAL, dueDate REAL,
    identifier TEXT, isCompleted INTEGER NOT NULL DEFAULT 0 CHECK (isCompleted IN (0, 1)),
    startDate REAL, title TEXT);
CREATE INDEX CDReminder_identifier ON CDReminder (identifier);
PRAGMA user_version = 1;
INSERT INTO CDReminder (identifier, title, startDate, dueDate)
    VALUES ('e2e-popover-1', '$title', $((now - 60)), $((now + 7200)));
SQL

completed() {
    [[ $(e2e_sql "SELECT completionDate IS NOT NULL FROM CDReminder WHERE identifier = 'e2e-popover-1'" 2>/dev/null) == 1 ]]
}
not_completed() {
    [[ $(e2e_sql "SELECT completionDate IS NULL FROM CDReminder WHERE identifier = 'e2e-popover-1'" 2>/dev/null) == 1 ]]
}
popover_shown() { e2e_shown "^Tidemark$"; }
popover_hidden() { e2e_hidden "^Tidemark$"; }
row=""
row_listed() { row=$(/usr/bin/python3 "$here/atspi_find.py" "$title" 2>/dev/null); }

# The accessibility bus first, so that the program finds it as it starts.
/usr/bin/python3 "$here/atspi_find.py" "" >/dev/null 2>&1 || true

# As at login, so that the popover waits for the click.
e2e_start app "$app" --launched-at-login
pid=$E2E_PID
e2e_wait_for_status_bar "$pid"
popover_shown && e2e_fail "the popover is open before the click"

# The status item stands at the right end of the status bar.
bar=$(e2e_windows "^Tidemark status bar$" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$bar")"
icon_x=$((X + WIDTH - 14))
icon_y=$((Y + HEIGHT / 2))
xdotool mousemove "$icon_x" "$icon_y" click 1
e2e_wait 30 "the popover opening on a click on the icon" popover_shown
e2e_wait 60 "a row named \"$title\" over AT-SPI" row_listed
echo "e2e: row listed at $row"

# The header's action menu takes the keyboard without closing the panel.
button=""
button_found() { button=$(/usr/bin/python3 "$here/atspi_find.py" "Actions" 2>/dev/null); }
# The menu is one more window on screen.
shown_windows() { xdotool search --onlyvisible --name "" 2>/dev/null | wc -l; }
before_menu=$(shown_windows)
menu_open() { (($(shown_windows) > before_menu)); }
menu_closed() { (($(shown_windows) == before_menu)); }
e2e_wait 30 "a button named \"Actions\" over AT-SPI" button_found
read -r button_x button_y button_w button_h <<<"$button"
xdotool mousemove $((button_x + button_w / 2)) $((button_y + button_h / 2)) click 1
e2e_wait 30 "a click on \"Actions\" opening its menu" menu_open
xdotool key Escape
e2e_wait 30 "Escape closing the action menu" menu_closed
popover_shown || e2e_fail "opening the action menu closed the popover"
echo "e2e: the action menu opened and closed, the popover stayed"

# A click on the row's time selects it (the title would open its field).
read -r row_x row_y row_w row_h <<<"$row"
xdotool mousemove $((row_x + 24)) $((row_y + 10)) click 1
xdotool key Delete
e2e_wait 30 "Delete completing the reminder in the store" completed
echo "e2e: Delete completed the reminder"
xdotool key ctrl+z
e2e_wait 30 "Ctrl+Z bringing the reminder back" not_completed
echo "e2e: Ctrl+Z brought it back"
xdotool key ctrl+shift+z
e2e_wait 30 "Ctrl+Shift+Z completing the reminder again" completed
echo "e2e: Ctrl+Shift+Z completed it again"

# Elsewhere: another program's window. Without a window manager nothing gives it the
# keyboard on a click, so the click is followed by what a click-to-focus manager does.
e2e_start xmessage xmessage -geometry 300x100+100+500 "another program"
other_pid=$E2E_PID
other_shown() { other=$(xdotool search --onlyvisible --class "^Xmessage$" 2>/dev/null | head -n 1); [[ -n $other ]]; }
other=""
e2e_wait 30 "the other program's window" other_shown
xdotool mousemove 150 520 click 1
xdotool windowfocus "$other" || true
e2e_wait 30 "a click elsewhere closing the popover" popover_hidden
kill "$other_pid" 2>/dev/null || true
echo "e2e: a click elsewhere closed the popover"

kill -TERM "$pid"
wait "$pid" || true
pid=""
