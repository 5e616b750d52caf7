#!/usr/bin/env bash
# First start in a new home: the onboarding window shows, its buttons page on and back,
# "Set Up Later" passes each page to the last, whose Close ends it; a second start shows
# neither onboarding nor what's new.
#
#   tests/e2e/first_start.sh PATH_TO_TIDEMARK
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"
app=$1
onboarding="^Welcome to Tidemark$"

# A desktop has a notification server; onboarding asks to allow notifications through it.
e2e_notification_server
e2e_start first "$app"
pid=$E2E_PID
e2e_wait_for_status_bar "$pid"
e2e_wait 60 "the onboarding window on a first start" e2e_shown "$onboarding"
e2e_shot onboarding

# The window's main button stands at its lower right, "Back" left of it, "Set Up Later" at
# its lower left. Each press is followed by the change it makes to the window.
window=$(e2e_windows "$onboarding" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$window")"
picture() { import -window "$window" png:- 2>/dev/null | md5sum || true; }
press() { # press NAME X Y
    local name=$1 before
    before=$(picture)
    e2e_click_in "$onboarding" "$2" "$3"
    changed() { e2e_hidden "$onboarding" || [[ $(picture) != "$before" ]]; }
    e2e_wait 30 "a change of the onboarding window after $name" changed
    e2e_shot "onboarding-$name"
}
press get-started $((WIDTH - 50)) $((HEIGHT - 21))
press back $((WIDTH - 110)) $((HEIGHT - 21))
press get-started-again $((WIDTH - 50)) $((HEIGHT - 21))
# "Set Up Later" passes a page whose task is not done (notifications, sync, open at login);
# the last page's Close ends onboarding.
for page in notifications sync general; do
    e2e_shown "$onboarding" || e2e_fail "onboarding closed before its last page"
    press "set-up-later-on-$page" 45 $((HEIGHT - 21))
done
e2e_shown "$onboarding" || e2e_fail "onboarding closed before its last page"
press close $((WIDTH - 50)) $((HEIGHT - 21))
e2e_hidden "$onboarding" || e2e_fail "Close left onboarding on screen"
e2e_running "$pid" || e2e_fail "the program ended with its onboarding"
seen() { grep -q '"lastPresentedVersion"' "$E2E_SETTINGS" 2>/dev/null; }
e2e_wait 30 "onboarding recorded as seen in the settings" seen
e2e_stop "$pid"

e2e_start second "$app"
pid=$E2E_PID
e2e_wait_for_status_bar "$pid"
# What a start shows is decided as its settings are read, right after it starts. Another
# start asks this one to show its popover, which it does once its event loop has run what
# the start queued: by then onboarding or what's new would be on screen.
status=0
timeout 60 "$app" >>"$E2E_HOME/third.out" 2>&1 || status=$?
[[ $status -eq 0 ]] || e2e_fail "the start that asks the running one to show itself ended with $status"
e2e_wait 60 "the popover of the running start" e2e_shown "^Tidemark$"
e2e_hidden "$onboarding" || e2e_fail "the second start shows onboarding again"
e2e_hidden "^What.s New" || e2e_fail "the second start shows what's new"
e2e_shot second-start
e2e_stop "$pid"
e2e_say "onboarding showed once, was gone through and closed; the second start showed neither"
