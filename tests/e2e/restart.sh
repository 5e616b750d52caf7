#!/usr/bin/env bash
# A restart keeps everything: reminders, a snooze made through a notification, the settings
# and onboarding seen; after the restart the next due reminder is still announced.
#
#   tests/e2e/restart.sh PATH_TO_TIDEMARK
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"
app=$1

e2e_notification_server
e2e_settings_notifying
e2e_make_store "$app"
now=$(e2e_now)
at() { awk -v now="$now" -v later="$1" 'BEGIN { printf "%.3f", now + later }'; }
e2e_seed_reminder e2e-soon "Call the harbour" "$(at 8)"
e2e_seed_reminder e2e-later "Check the tide table" "$(at 3600)"
e2e_seed_reminder e2e-again "Moor the boat" "$(at 7200)"

e2e_start first "$app"
pid=$E2E_PID
e2e_wait_for_status_bar "$pid"
e2e_wait 90 "the notification of the first reminder" e2e_notification_shown "Call the harbour"
before_snooze=$(e2e_due_of e2e-soon)
e2e_invoke_action "$(e2e_notification_id "Call the harbour")" snooze1Min
moved() { [[ $(e2e_due_of e2e-soon) != "$before_snooze" ]]; }
e2e_wait 60 "the snooze in the store" moved
e2e_shot before-restart
e2e_stop "$pid"

rows() { e2e_sql "SELECT identifier, title, startDate, dueDate, isCompleted FROM CDReminder ORDER BY identifier"; }
stored=$(rows)
settings=$(cat "$E2E_SETTINGS")
[[ $(wc -l <<<"$stored") -eq 3 ]] || e2e_fail "the store holds $(wc -l <<<"$stored") reminders, not 3"

e2e_start second "$app"
pid=$E2E_PID
e2e_wait_for_status_bar "$pid"
e2e_popover_through_second_start "$app"
e2e_hidden "^Welcome to Tidemark$" || e2e_fail "the restart shows onboarding again"
e2e_shot after-restart
# The snoozed reminder falls due again a minute after its snooze, and is announced again.
shown_twice() { [[ $(grep -c "Call the harbour" "$E2E_NOTIFICATIONS") -ge 2 ]]; }
e2e_wait 120 "the snoozed reminder announced again after the restart" shown_twice
e2e_shot announced-again
e2e_stop "$pid"

[[ $(rows) == "$stored" ]] || e2e_fail "the reminders changed over the restart:
before: $stored
after:  $(rows)"
[[ $(cat "$E2E_SETTINGS") == "$settings" ]] || e2e_fail "the settings changed over the restart"
e2e_say "three reminders, a snooze and the settings were kept over the restart"
