#!/usr/bin/env bash
# The sync settings end to end: a reminder in the local store and a task that another program
# (todoman, else a file written here) put in a task-list folder, with the task lists' access
# granted beforehand. Settings opened from the popover's "More" menu; the Sync tab's toggle
# switched on and the list picked: the popover lists the task and not the local reminder
# (read over AT-SPI) and the settings file stores the data source; a reminder made then by
# the drag road lands as an .ics file in the list (which todoman lists). Switched back off:
# the local reminder again.
#
#   tests/e2e/settings_sync.sh PATH_TO_TIDEMARK
set -euo pipefail

app=${1:?usage: settings_sync.sh PATH_TO_TIDEMARK}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/e2e.sh"

e2e_require_atspi
e2e_begin "$@"

local_title="Water the plants before noon"
task_title="Buy oat milk"
drag_title="Call the plumber"
lists=$XDG_DATA_HOME/calendars
list_dir=$lists/e2e-account/groceries

# --- The world before the start ---------------------------------------------------------

e2e_settings_seen
e2e_make_store "$app"
e2e_seed_reminder e2e-local-1 "$local_title" "$(($(date +%s) + 7200))"

e2e_grant_task_lists

mkdir -p "$list_dir"
echo "E2E account" >"$lists/e2e-account/displayname"
echo "Groceries" >"$list_dir/displayname"
# Debian names todoman's command after the package; upstream calls it todo.
todoman=$(command -v todoman || command -v todo || true)
if [[ -n $todoman ]]; then
    mkdir -p "$XDG_CONFIG_HOME/todoman"
    cat >"$XDG_CONFIG_HOME/todoman/config.py" <<PY
path = "$lists/*/*"
date_format = "%Y-%m-%d"
time_format = "%H:%M"
default_due = 0
PY
    "$todoman" new --list Groceries --due "$(date -d '+3 hours' '+%Y-%m-%d %H:%M')" "$task_title" \
        >"$E2E_HOME/todoman.out" 2>&1 || e2e_fail "todoman could not write the task"
else
    cat >"$list_dir/e2e-task-1.ics" <<ICS
BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//e2e//settings_sync//EN
BEGIN:VTODO
UID:e2e-task-1
DTSTAMP:$(date -u +%Y%m%dT%H%M%SZ)
SUMMARY:$task_title
DUE:$(date -u -d '+3 hours' +%Y%m%dT%H%M%SZ)
STATUS:NEEDS-ACTION
END:VTODO
END:VCALENDAR
ICS
fi
ls "$list_dir"/*.ics >/dev/null 2>&1 || e2e_fail "no .ics file in $list_dir"

# --- Helpers ----------------------------------------------------------------------------

# A menu or a combo box's list is one more window on screen: popup_open finds it (in
# $popup), popup_closed waits for it to go.
shown_windows() { xdotool search --onlyvisible --name "" 2>/dev/null | sort; }
before_click=""
popup=""
windows_before_click() { before_click=$(shown_windows); }
popup_open() { popup=$(comm -13 <(echo "$before_click") <(shown_windows) | head -n 1); [[ -n $popup ]]; }
popup_closed() { [[ $(shown_windows) == "$before_click" ]]; }


# stored reminders KEY: the stored settings' reminders.KEY, as JSON.
stored() {
    "$E2E_PYTHON" - "$E2E_SETTINGS" "$1" <<'PY' 2>/dev/null
import json, sys
print(json.dumps(json.load(open(sys.argv[1]))["com.tidemark.Tidemark.settings"]["reminders"][sys.argv[2]]))
PY
}
source_is() { [[ $(stored dataSource) == "\"$1\"" ]]; }
list_is() { [[ $(stored selectedList) == *"\"$1\""* ]]; }

settings_shown() { e2e_shown "^Tidemark [0-9]"; }

# The popover lists SHOWN and not HIDDEN (both read over AT-SPI).
expect_listed() {
    local shown=$1 hidden=$2
    e2e_open_popover
    e2e_wait 90 "\"$shown\" listed in the popover" e2e_atspi "$shown"
    e2e_wait 60 "\"$hidden\" gone from the popover" e2e_not_atspi "$hidden"
    e2e_shot "listed-$(tr ' ' '-' <<<"$shown")"
}

# --- The program --------------------------------------------------------------------------

e2e_start_atspi
e2e_start app "$app" --launched-at-login
app_pid=$E2E_PID
e2e_wait_for_status_bar "$app_pid"

expect_listed "$local_title" "$task_title"
e2e_say "the local reminder is listed, the task is not"

# Settings from the popover's "More" menu: its first item.
windows_before_click
e2e_click_named More push-button
e2e_wait 60 "the \"More\" menu" popup_open
menu=$popup
e2e_shot more-menu
eval "$(xdotool getwindowgeometry --shell "$menu")"
e2e_click_at $((X + WIDTH / 2)) $((Y + 12))
e2e_wait 60 "the settings window" settings_shown
e2e_shot settings

e2e_click_named Sync page-tab
toggle="Keep reminders in a calendar list"
e2e_click_named "$toggle" check-box
e2e_wait 60 "the stored data source becoming the task lists" source_is appleReminders
# The list, picked in the menu of the list picker (the pane's only combo box).
windows_before_click
e2e_click_named "" combo-box
e2e_wait 60 "the list picker's menu" popup_open
e2e_shot picker
e2e_click_named Groceries list-item
e2e_wait 60 "the list picker's menu closing" popup_closed
e2e_wait 60 "the stored list becoming \"Groceries\"" list_is e2e-account/groceries
e2e_shot sync-on
e2e_say "the sync pane switched to the task lists and picked \"Groceries\""

expect_listed "$task_title" "$local_title"
e2e_say "the popover lists the task and not the local reminder"
e2e_close_popover

# A reminder made by the drag road goes into the chosen list.
ics_count() { find "$list_dir" -maxdepth 1 -name '*.ics' | wc -l; }
before=$(ics_count)
e2e_pull 100
drag_card_shown() { e2e_shown "^Tidemark reminder$"; }
e2e_wait 60 "the reminder card after the pull" drag_card_shown
xdotool type --delay 40 "$drag_title"
e2e_keys Return
has_drag_file() { (($(ics_count) > before)) && grep -rqs "SUMMARY:$drag_title" "$list_dir"; }
e2e_wait 60 "an .ics file titled \"$drag_title\" in the list" has_drag_file
if [[ -n $todoman ]]; then
    todoman_lists() { "$todoman" list Groceries 2>/dev/null | grep -q "$drag_title"; }
    e2e_wait 60 "todoman listing \"$drag_title\"" todoman_lists
fi
[[ $(e2e_sql "SELECT count(*) FROM CDReminder WHERE title = '$drag_title'") == 0 ]] \
    || e2e_fail "the dragged reminder went into the local store as well"
e2e_say "the dragged reminder is an .ics file in the list${todoman:+ that todoman lists}"

# Back to the local store.
e2e_wait 60 "the settings window still open" settings_shown
e2e_click_named "$toggle" check-box
e2e_wait 60 "the stored data source becoming local again" source_is local
e2e_shot sync-off
expect_listed "$local_title" "$task_title"
e2e_say "switched back: the local reminder again, the task gone"

e2e_stop "$app_pid"
