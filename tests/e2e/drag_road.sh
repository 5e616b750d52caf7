#!/usr/bin/env bash
# The drag road of the real program on a virtual X display with its own session bus, in a
# fresh home whose settings say onboarding was seen:
#   1. press on the icon, pull 100 px down in steps, release, type "Buy milk" at once and
#      Return: Tidemark.sqlite holds "Buy milk" with due − start = 600 s and a start within
#      the test, the strip widens with the countdown, and both overlays are unmapped again;
#   2. a 15 px pull creates nothing;
#   3. a pull let go with Escape creates nothing;
#   4. a click beside the open card reaches the window beneath it.
# Every wait is for a condition, with a generous limit (CI may have two loaded cores).
#
#   tests/e2e/drag_road.sh PATH_TO_TIDEMARK
set -euo pipefail

app=${1:?usage: drag_road.sh PATH_TO_TIDEMARK}

source "$(dirname "$0")/lib/e2e.sh"
e2e_require xwininfo xev
E2E_SCREEN=1920x1080x24
e2e_begin "$@"

# _alive_and COMMAND…: COMMAND, quietly; the scenario fails at once if the program has ended.
_alive_and() {
    e2e_running "$app_pid" || e2e_fail "the application ended while waiting"
    "$@" >/dev/null 2>&1
}
# wait_for LIMIT_SECONDS DESCRIPTION COMMAND…: polls COMMAND while the program runs.
wait_for() {
    local limit=$1 what=$2
    shift 2
    e2e_wait "$limit" "$what" _alive_and "$@"
}

# Onboarding was seen (and what's new with it): the program starts with its icon alone.
mkdir -p "$(dirname "$E2E_SETTINGS")"
cp "$(dirname "$0")/onboarding_seen.json" "$E2E_SETTINGS"

e2e_start app "$app"
app_pid=$E2E_PID

bar_window() { e2e_windows "^Tidemark status bar$" | head -n 1; }
wait_for 30 'status bar window' e2e_status_bar_shown
bar=$(bar_window)
bar_width() {
    xwininfo -id "$bar" | awk '/Width:/ { print $2 }'
}
e2e_locate_icon
width_at_rest=$(bar_width)
echo "e2e: status bar $bar; icon at $E2E_ICON_X,$E2E_ICON_Y"

overlays_unmapped() { e2e_hidden "^Tidemark drag$" && e2e_hidden "^Tidemark reminder$"; }
rows() { e2e_sql "SELECT count(*) FROM CDReminder" 2>/dev/null || echo 0; }

# 1. A pull of 100 px, the title typed right after the release, Return.
started=$(date +%s.%N)
e2e_pull 100 pulled-100
xdotool type --delay 20 "Buy milk"
xdotool key Return
saved_row() {
    [[ $(e2e_sql "SELECT count(*) FROM CDReminder WHERE title = 'Buy milk'") == 1 ]]
}
wait_for 30 'row titled "Buy milk" in Tidemark.sqlite' saved_row
ended=$(date +%s.%N)
read -r start due < <(e2e_sql -separator ' ' \
    "SELECT startDate, dueDate FROM CDReminder WHERE title = 'Buy milk'")
echo "e2e: saved \"Buy milk\": start $start, due $due (test ran $started … $ended)"
"$E2E_PYTHON" - "$start" "$due" "$started" "$ended" <<'EOF' || e2e_fail "the saved times are wrong"
import sys
start, due, began, ended = map(float, sys.argv[1:])
assert abs((due - start) - 600) < 1e-3, f"due - start = {due - start}, not 600"
assert began - 1 <= start <= ended, f"start {start} outside the test's {began}…{ended}"
EOF
wait_for 30 'unmapped overlays after the save' overlays_unmapped
wider() { (($(bar_width) > width_at_rest)); }
wait_for 30 "strip wider than $width_at_rest px with the countdown" wider
echo "e2e: the strip widened from $width_at_rest to $(bar_width) px; overlays unmapped"

# 2. A pull of 15 px makes no reminder.
e2e_pull 15
wait_for 30 'unmapped overlays after the short pull' overlays_unmapped
[[ $(rows) == 1 ]] || e2e_fail "a 15 px pull created a reminder"
echo "e2e: a 15 px pull created nothing"

# 4. With the card open, a click beside it reaches the window beneath. Without a compositing
# manager the front window is shaped to what it paints: its shape is the card once shown.
e2e_start xev xev -geometry 500x500+1250+40 -event button
xev_window() { e2e_shown "^Event Tester$"; }
wait_for 30 'window beneath (xev)' xev_window
e2e_pull 100
card_extents() {
    local front
    front=$(e2e_windows "^Tidemark reminder$" | head -n 1)
    [[ -n $front ]] || return 1
    xwininfo -shape -id "$front" | awk '/Window shape extents:/ { print $4 }'
}
card_shown() {
    local e
    e=$(card_extents)
    [[ $e =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && ((BASH_REMATCH[1] >= 200 && BASH_REMATCH[2] >= 100))
}
wait_for 30 'card in the front window' card_shown
[[ $(card_extents) =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]
card_x=${BASH_REMATCH[3]} card_y=${BASH_REMATCH[4]}
echo "e2e: card shown at $(card_extents)"
xdotool mousemove $((card_x - 40)) $((card_y + 60)) click 1
clicked() { grep -q ButtonPress "$E2E_HOME/xev.out"; }
wait_for 30 'click on the window beneath, beside the open card' clicked
echo "e2e: a click beside the open card reached the window beneath"

# 3. Escape lets the reminder go.
xdotool key Escape
wait_for 30 'unmapped overlays after Escape' overlays_unmapped
[[ $(rows) == 1 ]] || e2e_fail "Escape saved the reminder"
echo "e2e: Escape created nothing"

e2e_stop "$app_pid"
echo "e2e: the drag road works end to end"
