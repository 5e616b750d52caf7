#!/usr/bin/env bash
# on_xvfb.sh COMMAND…: runs a command on a virtual X display of its own, with Qt's xcb
# platform, for tests of what only an X server does. The screen is 1280x800x24 unless
# XVFB_SCREEN names another (WIDTHxHEIGHTxDEPTH).
#
# Xvfb picks a free display itself and names it (-displayfd): tests that ctest starts side
# by side never race for one, as xvfb-run -a can.
set -uo pipefail
if ! command -v Xvfb >/dev/null; then
    echo "on_xvfb: Xvfb is missing (scripts/setup installs it)" >&2
    exit 1
fi
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x800x24}" -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
deadline=$((SECONDS + 60))
while [[ ! -s $display_file ]] && ((SECONDS < deadline)) && kill -0 "$xvfb" 2>/dev/null; do
    sleep 0.1
done
if [[ ! -s $display_file ]]; then
    echo "on_xvfb: Xvfb did not start" >&2
    kill "$xvfb" 2>/dev/null
    rm -f "$display_file"
    exit 1
fi
export DISPLAY=:$(tr -d '[:space:]' <"$display_file") QT_QPA_PLATFORM=xcb
rm -f "$display_file"
status=0
"$@" || status=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
