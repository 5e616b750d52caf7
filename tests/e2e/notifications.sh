#!/usr/bin/env bash
# A reminder falls due: its notification shows with the eight snooze actions in their
# order, and a snooze moves the reminder's due time in the store to the moment of the snooze
# plus its length plus one second.
#
#   tests/e2e/notifications.sh PATH_TO_TIDEMARK
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"
app=$1

e2e_notification_server
e2e_settings_notifying
e2e_make_store "$app"
due=$(awk -v now="$(e2e_now)" 'BEGIN { printf "%.3f", now + 8 }')
e2e_seed_reminder e2e-water "Water the plants" "$due"

e2e_start tidemark "$app"
pid=$E2E_PID
e2e_wait_for_status_bar "$pid"
e2e_shot started
e2e_wait 90 "the notification of the reminder that fell due" e2e_notification_shown "Water the plants"
e2e_shot notified
id=$(e2e_notification_id "Water the plants")
snoozes=$(e2e_notification_actions "$id" | tr ' ' '\n' | grep '^snooze' | tr '\n' ' ' | sed 's/ $//')
expected="snooze1Min snooze5Min snooze15Min snooze30Min snooze1Hour snooze2Hour snooze4Hour snooze12Hour"
[[ $snoozes == "$expected" ]] || e2e_fail "the snooze actions are \"$snoozes\", not \"$expected\""

before=$(e2e_now)
e2e_invoke_action "$id" snooze5Min
moved() { [[ $(e2e_due_of e2e-water) != "$due" ]]; }
e2e_wait 60 "the snoozed due time in the store" moved
after=$(e2e_now)
e2e_shot snoozed
snoozed=$(e2e_due_of e2e-water)
# The due time is taken when the program handles the snooze, between the two readings, and
# kept as date components, to the whole second.
low=$(awk -v t="$before" 'BEGIN { printf "%.3f", int(t) + 301 }')
high=$(awk -v t="$after" 'BEGIN { printf "%.3f", t + 301 }')
e2e_float_between "$snoozed" "$low" "$high" ||
    e2e_fail "snoozed to $snoozed, not 5 minutes and 1 second after the snooze ($low … $high)"
e2e_running "$pid" || e2e_fail "the program ended"
e2e_stop "$pid"
e2e_say "the notification offered the eight snoozes and snooze5Min moved the reminder to $snoozed"
