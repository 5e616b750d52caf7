#!/usr/bin/env bash
# The welcome and what's-new windows with the real program under Xvfb and a private D-Bus
# session, in a new home.
#
#   tests/e2e/onboarding_and_whats_new.sh PATH_TO_TIDEMARK
#
# 1. The first start shows "Welcome to Tidemark"; Get Started, Set Up Later three times and
#    Close end it, the popover opens, and the settings file holds the version the welcome
#    was shown for. A second start shows neither window.
# 2. With "1.2.4" stored as the versions last shown, a start shows "What's New in Tidemark"
#    and stores "1.2.5"; the start after that does not show it.
#
# Buttons are clicked with the pointer where the fixed 700 × 600 window lays them out; each
# click waits for the window's picture to change and come to rest before the next.
set -euo pipefail

app=${1:?usage: onboarding_and_whats_new.sh PATH_TO_TIDEMARK}

source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"

run=0
welcome="^Welcome to Tidemark$"
whats_new="^What's New in Tidemark$"
popover="^Tidemark$"

settings_files() { find "$XDG_CONFIG_HOME" -type f 2>/dev/null; }
# Whether the settings hold `version` as the version last shown of `what` (onboarding or
# whatsNew).
stored() {
    local what=$1 version=$2 file
    for file in $(settings_files); do
        "$E2E_PYTHON" - "$file" "$what" "$version" <<'EOF' && return 0
import json, sys
path, what, version = sys.argv[1:]
def find(node):
    if isinstance(node, dict):
        if isinstance(node.get(what), dict) and node[what].get("lastPresentedVersion") == version:
            return True
        return any(find(v) for v in node.values())
    if isinstance(node, str) and node.lstrip().startswith("{"):
        try:
            return find(json.loads(node))
        except ValueError:
            return False
    if isinstance(node, list):
        return any(find(v) for v in node)
    return False
try:
    sys.exit(0 if find(json.load(open(path))) else 1)
except ValueError:
    sys.exit(1)
EOF
    done
    return 1
}
# Replaces every version last shown with `version`.
store_versions() {
    local version=$1 file
    for file in $(settings_files); do
        "$E2E_PYTHON" - "$file" "$version" <<'EOF'
import json, sys
path, version = sys.argv[1:]
def change(node):
    if isinstance(node, dict):
        for key, value in node.items():
            if key in ("onboarding", "whatsNew") and isinstance(value, dict):
                value["lastPresentedVersion"] = version
            elif isinstance(value, str) and value.lstrip().startswith("{"):
                try:
                    node[key] = json.dumps(change(json.loads(value)))
                except ValueError:
                    pass
            else:
                change(value)
    elif isinstance(node, list):
        for value in node:
            change(value)
    return node
try:
    data = json.load(open(path))
except ValueError:
    sys.exit(0)
json.dump(change(data), open(path, "w"))
EOF
    done
}

start() {
    run=$((run + 1))
    e2e_start "run$run" "$app"
    pid=$E2E_PID
    e2e_wait_for_status_bar "$pid"
}
stop() {
    e2e_stop "$pid"
}

# The picture of a window's upper part (the page's header: the demonstration on the last
# page never holds still), as a checksum.
picture() { import -window "$1" -crop 700x200+0+0 rgb:- 2>/dev/null | md5sum | cut -d' ' -f1; }
# Waits until the window's picture differs from $2 (when given) and then holds still over
# three looks in a row.
settle() {
    local window=$1 before=${2:-} last="" same=0 now
    for _ in $(seq 1 300); do
        now=$(picture "$window")
        if [[ -n $before && $now == "$before" ]]; then
            sleep 0.1
            continue
        fi
        before=""
        if [[ $now == "$last" ]]; then
            same=$((same + 1))
            [[ $same -ge 2 ]] && return 0
        else
            same=0
            last=$now
        fi
        sleep 0.2
    done
    return 1
}
# Clicks at (x, y) inside the window.
click_at() {
    local window=$1 x=$2 y=$3 X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --sync $((X + x)) $((Y + y)) click 1
}
# Clicks and waits for the window to show the result.
click_in() {
    local window=$1 x=$2 y=$3 what=$4 before
    before=$(picture "$window")
    click_at "$window" "$x" "$y"
    settle "$window" "$before" || e2e_fail "the window did not change after $what"
}

# Where the controls stand: 10 in from the edges, buttons 28 high.
button_y=$((600 - 24))
leading_x=40
trailing_x=$((700 - 34))

# 1. The first start, in an empty home.
start
e2e_wait 30 "the first start showing \"Welcome to Tidemark\"" e2e_shown "$welcome"
e2e_hidden "$whats_new" || e2e_fail "a new home shows what's new"
onboarding=$(e2e_windows "$welcome" | head -n 1)
settle "$onboarding" || e2e_fail "the welcome window never came to rest"
click_in "$onboarding" $trailing_x $button_y "Get Started"
for page in 1 2 3; do
    click_in "$onboarding" $leading_x $button_y "Set Up Later ($page)"
done
click_at "$onboarding" $trailing_x $button_y # Close
e2e_wait 30 "Close ending the welcome" e2e_hidden "$welcome"
e2e_wait 30 "the popover opening after the welcome" e2e_shown "$popover"
e2e_wait 10 "the welcome's version in the settings" stored onboarding 1.2.5
stop

# A second start shows neither window; the popover opening by itself marks the end of the
# start's own presentations.
start
e2e_wait 30 "the second start opening its popover" e2e_shown "$popover"
e2e_hidden "$welcome" || e2e_fail "the second start showed the welcome again"
e2e_hidden "$whats_new" || e2e_fail "the second start showed what's new"
stop

# 2. An update from 1.2.4.
store_versions 1.2.4
stored whatsNew 1.2.4 || e2e_fail "could not store 1.2.4 as the version last shown"
start
e2e_wait 30 "an update from 1.2.4 showing \"What's New in Tidemark\"" e2e_shown "$whats_new"
e2e_hidden "$welcome" || e2e_fail "an update showed the welcome"
e2e_wait 10 "showing what's new storing 1.2.5" stored whatsNew 1.2.5
stop

start
e2e_wait 30 "the start after the update opening its popover" e2e_shown "$popover"
e2e_hidden "$whats_new" || e2e_fail "what's new showed a second time"
stop
echo "e2e: the welcome ran once, what's new showed once after an update from 1.2.4"
