#!/usr/bin/env bash
# `kill -9` while the program saves loses nothing it reported saved: many reminders are
# snoozed through their notifications as fast as the bus carries the clicks, the program is
# killed once its log reports the first saves, and every reminder the log names as saved
# holds its snoozed due time in the store; the store is sound and the next start uses it.
#
#   tests/e2e/kill_during_saves.sh PATH_TO_TIDEMARK
set -euo pipefail
source "$(dirname "$0")/lib/e2e.sh"
e2e_begin "$@"
app=$1
count=40

e2e_notification_server
e2e_settings_notifying
e2e_make_store "$app"
due=$(awk -v now="$(e2e_now)" 'BEGIN { printf "%.3f", now + 8 }')
for i in $(seq -w 1 $count); do
    e2e_seed_reminder "e2e-$i" "Buoy $i" "$due"
done

e2e_start tidemark "$app"
pid=$E2E_PID
e2e_wait_for_status_bar "$pid"
all_shown() { [[ $(wc -l <"$E2E_NOTIFICATIONS") -ge $count ]]; }
e2e_wait 120 "the notifications of all $count reminders" all_shown
e2e_shot notified

# The reminders the log names as saved, one a line.
saved() { { grep -o "Saved the reminder store: .*" "$E2E_LOG" 2>/dev/null || true; } | { grep -o "e2e-[0-9]*" || true; } | sort -u; }
baseline=$(saved | wc -l)
# Every click, one after another without waiting, and the kill once saves are under way.
(
    for i in $(seq -w 1 $count); do
        e2e_invoke_action "$(e2e_notification_id "Buoy $i")" snooze1Hour 2>/dev/null || true
    done
) &
clicks=$!
some_saved() { [[ $(saved | wc -l) -ge $((baseline + 3)) ]]; }
e2e_wait 120 "the first saves of the snoozes" some_saved
kill -KILL "$pid"
e2e_kill "$pid"
wait "$clicks" || true
e2e_shot killed

reported=$(saved)
[[ -n $reported ]] || e2e_fail "no save was reported before the kill"
[[ $(e2e_sql "PRAGMA integrity_check") == ok ]] || e2e_fail "the store is damaged"
lost=()
for id in $reported; do
    now_due=$(e2e_due_of "$id")
    # Snoozed by an hour: due an hour after the original time or later.
    awk -v d="$now_due" -v o="$due" 'BEGIN { exit !(d + 0 >= o + 3600) }' || lost+=("$id:$now_due")
done
((${#lost[@]} == 0)) || e2e_fail "reported saved but not in the store: ${lost[*]}"
[[ $(e2e_sql "SELECT COUNT(*) FROM CDReminder") -eq $count ]] || e2e_fail "reminders went missing"

# The next start uses the same store: nothing moved aside as broken, nothing lost.
e2e_start restarted "$app"
pid=$E2E_PID
e2e_wait_for_status_bar "$pid"
e2e_popover_through_second_start "$app"
e2e_stop "$pid"
compgen -G "$XDG_DATA_HOME/tidemark/Tidemark.broken-*" >/dev/null &&
    e2e_fail "the store was moved aside as broken after the kill"
for id in $reported; do
    awk -v d="$(e2e_due_of "$id")" -v o="$due" 'BEGIN { exit !(d + 0 >= o + 3600) }' ||
        e2e_fail "$id lost its snooze at the next start"
done
e2e_say "$(wc -w <<<"$reported") snoozes reported saved before kill -9, every one in the store"
