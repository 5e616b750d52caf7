#!/usr/bin/env bash
# The task lists synced with a CalDAV server, end to end: radicale on loopback holds one task
# list, "Groceries"; vdirsyncer keeps two vdir trees in step with it: the program's (under
# $XDG_DATA_HOME/calendars, pair "program") and a second one that todoman works on (pair
# "second"). The program runs with the task lists as its data source and that list chosen.
#   1. A reminder made by the drag road (a 100 px pull, a title, Return) reaches the server
#      and, synced down, the second tree: a VTODO with that SUMMARY, started within the test
#      and due 600 s after its start.
#   2. A task that todoman makes in the second tree, synced up and down again, shows in the
#      open popover of the running program (read over AT-SPI) without a restart.
#
#   tests/e2e/caldav_sync.sh PATH_TO_TIDEMARK
set -euo pipefail

app=${1:?usage: caldav_sync.sh PATH_TO_TIDEMARK}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/e2e.sh"

# Debian names todoman's command after the package; upstream calls it todo.
todoman=$(command -v todoman || command -v todo || true)
[[ -n $todoman ]] || e2e_require todoman
e2e_require radicale vdirsyncer
if ! "$E2E_PYTHON" -c "import icalendar" 2>/dev/null; then
    echo "e2e: python3-icalendar is missing (scripts/setup)" >&2
    exit 1
fi
e2e_require_atspi
e2e_begin "$@"

# Only loopback is reached, never through a proxy.
unset http_proxy https_proxy all_proxy HTTP_PROXY HTTPS_PROXY ALL_PROXY
export no_proxy=127.0.0.1,localhost NO_PROXY=127.0.0.1,localhost

drag_title="Call the plumber"
server_title="Pick up the parcel"
account=e2e-account
collection=groceries
program_list=$XDG_DATA_HOME/calendars/$account/$collection
second_root=$E2E_HOME/second
second_list=$second_root/$collection
server_user=tidemark

# --- The server -----------------------------------------------------------------------------

port_taken() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
free_port() {
    "$E2E_PYTHON" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Radicale on a free loopback port with a storage of its own. A port found free can be taken
# by another program before radicale binds it: then radicale ends, and another one is tried.
start_server() {
    for _ in 1 2 3 4 5; do
        port=$(free_port)
        cat >"$E2E_HOME/radicale.conf" <<CONF
[server]
hosts = 127.0.0.1:$port
[auth]
type = none
[rights]
type = owner_only
[storage]
filesystem_folder = $E2E_HOME/radicale
[web]
type = none
[logging]
level = warning
CONF
        e2e_start radicale radicale --config "$E2E_HOME/radicale.conf"
        server_pid=$E2E_PID
        _server_ready_or_ended() { port_taken "$port" || e2e_ended "$server_pid"; }
        e2e_wait 60 "radicale listening on port $port" _server_ready_or_ended
        if e2e_running "$server_pid"; then
            return 0
        fi
        wait "$server_pid" 2>/dev/null || true
    done
    e2e_fail "radicale did not start on loopback"
}

# server_request METHOD PATH [BODY]: one request with the test's user; prints the status.
server_request() {
    "$E2E_PYTHON" - "$port" "$server_user" "$@" <<'PY'
import base64, http.client, sys
port, user, method, path = sys.argv[1:5]
body = sys.argv[5].encode() if len(sys.argv) > 5 else None
connection = http.client.HTTPConnection("127.0.0.1", int(port), timeout=60)
headers = {"Authorization": "Basic " + base64.b64encode(f"{user}:{user}".encode()).decode()}
if body:
    headers["Content-Type"] = "application/xml; charset=utf-8"
connection.request(method, path, body=body, headers=headers)
print(connection.getresponse().status)
PY
}

start_server
status=$(server_request MKCALENDAR "/$server_user/$collection/" '<?xml version="1.0" encoding="utf-8"?>
<C:mkcalendar xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav">
  <D:set><D:prop>
    <D:displayname>Groceries</D:displayname>
    <C:supported-calendar-component-set><C:comp name="VTODO"/></C:supported-calendar-component-set>
  </D:prop></D:set>
</C:mkcalendar>')
[[ $status == 201 ]] || e2e_fail "the server did not make the list: status $status"

# --- The two trees and vdirsyncer -----------------------------------------------------------

export VDIRSYNCER_CONFIG=$E2E_HOME/vdirsyncer.conf
cat >"$VDIRSYNCER_CONFIG" <<CONF
[general]
status_path = "$E2E_HOME/vdirsyncer-status/"

[storage server]
type = "caldav"
url = "http://127.0.0.1:$port/$server_user/"
username = "$server_user"
password = "$server_user"
item_types = ["VTODO"]

[storage program_vdir]
type = "filesystem"
path = "$XDG_DATA_HOME/calendars/$account/"
fileext = ".ics"

[storage second_vdir]
type = "filesystem"
path = "$second_root/"
fileext = ".ics"

[pair program]
a = "program_vdir"
b = "server"
collections = ["from b"]
metadata = ["displayname"]

[pair second]
a = "second_vdir"
b = "server"
collections = ["from b"]
metadata = ["displayname"]
CONF

# vdirsyncer ARGUMENT…: with nobody to answer a question, so that one that asks fails.
vdirsyncer_run() {
    vdirsyncer "$@" </dev/null >>"$E2E_HOME/vdirsyncer.out" 2>&1 \
        || e2e_fail "vdirsyncer $* failed (see vdirsyncer.out)"
}

# Lists that exist on both sides: discovery asks nothing. The list's name comes down from
# the server into both trees.
mkdir -p "$program_list" "$second_list"
echo "E2E account" >"$XDG_DATA_HOME/calendars/$account/displayname"
vdirsyncer_run discover program
vdirsyncer_run discover second
vdirsyncer_run metasync
[[ $(cat "$program_list/displayname" 2>/dev/null) == Groceries ]] \
    || e2e_fail "the list's name did not come down from the server"

cat >"$E2E_HOME/todoman.py" <<PY
path = "$second_root/*"
date_format = "%Y-%m-%d"
time_format = "%H:%M"
cache_path = "$E2E_HOME/todoman-cache.sqlite3"
PY
todoman_run() { "$todoman" --config "$E2E_HOME/todoman.py" "$@" </dev/null 2>>"$E2E_HOME/todoman.out"; }

# --- The program, on the task lists with the list chosen ------------------------------------

e2e_grant_task_lists
mkdir -p "$(dirname "$E2E_SETTINGS")"
cat >"$E2E_SETTINGS" <<JSON
{"com.tidemark.Tidemark.settings": {
    "onboarding": {"lastPresentedVersion": "1.2.5"},
    "whatsNew": {"lastPresentedVersion": "1.2.5"},
    "reminders": {
        "automaticRemoval": {"isEnabled": false, "date": $(($(date +%s) - 978307200))},
        "dataSource": "appleReminders",
        "selectedList": {"id": "$account/$collection", "title": "Groceries"}}}}
JSON

e2e_start_atspi
e2e_start app "$app" --launched-at-login
app_pid=$E2E_PID
e2e_wait_for_status_bar "$app_pid"
e2e_shot started

# --- 1. A reminder by the drag road reaches the server and the second tree ------------------

# ics_with FOLDER TITLE: the first .ics file in FOLDER whose SUMMARY is TITLE (its lines may
# end in CR LF, as iCalendar's do).
ics_with() { grep -lsE "^SUMMARY:$2"$'\r'"?$" "$1"/*.ics | head -n 1; }
has_ics_with() { [[ -n $(ics_with "$@") ]]; }

began=$(date +%s)
e2e_pull 100
drag_card_shown() { e2e_shown "^Tidemark reminder$"; }
e2e_wait 60 "the reminder card after the pull" drag_card_shown
xdotool type --delay 40 "$drag_title"
e2e_keys Return
e2e_wait 60 "an .ics file titled \"$drag_title\" in the program's list" \
    has_ics_with "$program_list" "$drag_title"
ended=$(date +%s)
e2e_shot dragged
[[ $(e2e_sql "SELECT count(*) FROM CDReminder WHERE title = '$drag_title'" 2>/dev/null || echo 0) == 0 ]] \
    || e2e_fail "the dragged reminder went into the local store"

vdirsyncer_run sync program
vdirsyncer_run sync second
second_file=$(ics_with "$second_list" "$drag_title")
[[ -n $second_file ]] || e2e_fail "no task titled \"$drag_title\" in the second tree"
# Its start and due time, read by the calendar library todoman uses.
"$E2E_PYTHON" - "$second_file" "$drag_title" "$began" "$ended" <<'PY' || e2e_fail "the synced task is wrong"
import sys
import icalendar
path, title, began, ended = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
todos = [c for c in icalendar.Calendar.from_ical(open(path, "rb").read()).walk("VTODO")]
assert len(todos) == 1, f"{len(todos)} tasks in {path}"
todo = todos[0]
assert str(todo["SUMMARY"]) == title, todo["SUMMARY"]
start = int(todo["DTSTART"].dt.timestamp())
due = int(todo["DUE"].dt.timestamp())
print(f"e2e: synced \"{title}\": start {start}, due {due} (test ran {began} … {ended})")
assert due - start == 600, f"due - start = {due - start} s, not 600"
assert began - 1 <= start <= ended, f"start {start} outside the test's {began} … {ended}"
PY
todoman_lists() { todoman_run --porcelain list | grep -q "\"summary\": \"$1\""; }
e2e_wait 60 "todoman listing \"$drag_title\" in the second tree" todoman_lists "$drag_title"
e2e_say "the dragged reminder reached the server and the second tree, due 600 s after its start"

# --- 2. A task made on the other side shows in the open popover -----------------------------

e2e_open_popover
e2e_wait 90 "\"$drag_title\" listed in the popover" e2e_atspi "$drag_title"
e2e_not_atspi "$server_title" || e2e_fail "\"$server_title\" is listed before it was made"
e2e_shot popover-before

todoman_run new --list Groceries --due "$(date -d '+3 hours' '+%Y-%m-%d %H:%M')" "$server_title" \
    >/dev/null || e2e_fail "todoman could not make the task"
has_ics_with "$second_list" "$server_title" || e2e_fail "todoman wrote no .ics file"
vdirsyncer_run sync second
vdirsyncer_run sync program
has_ics_with "$program_list" "$server_title" || e2e_fail "the task did not come down"

e2e_popover_shown || e2e_fail "the popover closed during the sync"
e2e_wait 90 "\"$server_title\" listed in the open popover" e2e_atspi "$server_title"
e2e_atspi "$drag_title" || e2e_fail "\"$drag_title\" left the popover"
e2e_shot popover-after
e2e_say "the task made on the other side shows in the open popover"

e2e_stop "$app_pid"
