#!/usr/bin/env bash
# The installed program runs from its prefix alone: `cmake --install` into a temporary
# prefix, the desktop entry and metainfo validated, then, with the source and build trees
# out of reach, the installed program starts under Xvfb and shows its status strip, and the
# autostart entries that open at login writes start the installed programs: the application
# itself, and on the older path the login helper, which opens the installed application.
#
#   tests/package/installed_runs.sh BUILD_DIR SOURCE_DIR
#
# Out of reach means a private mount namespace with an empty file system over both trees
# (unshare); where the machine allows none, the build tree's programs are moved aside for
# the run and put back after it (ctest then runs this test alone).
set -euo pipefail

if [[ -z ${TIDEMARK_PACKAGE_STAGE:-} ]]; then
    build=$(cd "${1:?usage: installed_runs.sh BUILD_DIR SOURCE_DIR}" && pwd)
    source=$(cd "${2:?usage: installed_runs.sh BUILD_DIR SOURCE_DIR}" && pwd)
    shots=${E2E_SHOTS:-$build/tests/package/shots/installed_runs}
    for tool in desktop-file-validate appstreamcli; do
        command -v "$tool" >/dev/null || { echo "package: $tool is missing (scripts/setup)" >&2; exit 1; }
    done
    work=$(mktemp -d)
    moved=()
    restore() {
        local program
        for program in "${moved[@]}"; do mv -f "$program.away" "$program"; done
        rm -rf "$work"
    }
    trap restore EXIT
    prefix=$work/prefix
    cmake --install "$build" --prefix "$prefix" >/dev/null
    id=com.tidemark.Tidemark
    desktop-file-validate "$prefix/share/applications/$id.desktop"
    report=$(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) ||
        { echo "$report" >&2; exit 1; }
    for file in bin/tidemark libexec/tidemark-launcher share/icons/hicolor/scalable/apps/$id.svg \
        share/icons/hicolor/48x48/apps/$id.png share/icons/hicolor/256x256/apps/$id.png; do
        [[ -s $prefix/$file ]] || { echo "package: $file was not installed" >&2; exit 1; }
    done

    # This script and the e2e library run from the stage, as the trees will be gone.
    cp -r "$source/tests/e2e/lib" "$work/lib"
    cp "$0" "$work/installed_runs.sh"
    mkdir -p "$work/shots"
    export TIDEMARK_PACKAGE_STAGE=$work E2E_LIB_DIR=$work/lib E2E_SHOTS=$work/shots
    status=0
    if unshare --mount --map-root-user true 2>/dev/null; then
        # shellcheck disable=SC2016
        unshare --mount --map-root-user bash -c '
            mount -t tmpfs none "$1"
            [[ $2 == "$1"/* ]] || mount -t tmpfs none "$2"
            cd /
            exec "$3" "$4"' _ "$source" "$build" "$work/installed_runs.sh" "$prefix" || status=$?
    else
        for program in "$build/src/app/tidemark" "$build/src/app/tidemark-launcher"; do
            [[ -e $program ]] || continue
            mv "$program" "$program.away"
            moved+=("$program")
        done
        "$work/installed_runs.sh" "$prefix" || status=$?
    fi
    mkdir -p "$shots"
    rm -f "$shots"/*.png
    cp "$work"/shots/*.png "$shots"/ 2>/dev/null || true
    exit $status
fi

# On the stage: the prefix is the one argument.
source "$E2E_LIB_DIR/e2e.sh"
e2e_begin "$@"
prefix=$1
app=$prefix/bin/tidemark
launcher=$prefix/libexec/tidemark-launcher
autostart=$XDG_CONFIG_HOME/autostart

# Onboarding seen, open at login on: the first start writes the application's own entry.
mkdir -p "$(dirname "$E2E_SETTINGS")"
cat >"$E2E_SETTINGS" <<'JSON'
{"com.tidemark.Tidemark.settings": {
    "general": {"openAtLogin": true},
    "onboarding": {"lastPresentedVersion": "1.2.5"},
    "whatsNew": {"lastPresentedVersion": "1.2.5"}}}
JSON
e2e_start installed "$app"
pid=$E2E_PID
e2e_wait_for_status_bar "$pid"
e2e_shot installed-status-bar
entry=$autostart/com.tidemark.Tidemark.desktop
e2e_wait 30 "the login entry of the application" test -f "$entry"
grep -qx "Exec=$app --launched-at-login" "$entry" ||
    e2e_fail "the login entry does not start the installed program: $(grep ^Exec= "$entry")"
e2e_stop "$pid"

# The older path: the login helper's entry, and the helper opening the installed program.
export TIDEMARK_PLATFORM_VERSION=12.0
e2e_start older "$app"
pid=$E2E_PID
e2e_wait_for_status_bar "$pid"
helper_entry=$autostart/com.tidemark.Tidemark-OpenAtLogin.desktop
e2e_wait 30 "the login entry of the helper" test -f "$helper_entry"
grep -qx "Exec=$launcher" "$helper_entry" ||
    e2e_fail "the helper's login entry does not start the installed helper: $(grep ^Exec= "$helper_entry")"
e2e_stop "$pid"
unset TIDEMARK_PLATFORM_VERSION

status=0
"$launcher" >>"$E2E_HOME/launcher.out" 2>&1 || status=$?
[[ $status -eq 0 ]] || e2e_fail "the login helper ended with status $status"
opened() { pgrep -f -x "$app --launched-at-login" >/dev/null; }
e2e_wait 30 "the program the helper opened" opened
pid=$(pgrep -f -x "$app --launched-at-login" | head -n 1)
E2E_PIDS+=("$pid")
e2e_wait 60 "the status bar of the program the helper opened" e2e_status_bar_shown
e2e_shot opened-by-helper
kill -TERM "$pid"
e2e_wait 30 "the program the helper opened ending" e2e_ended "$pid"
e2e_say "the installed program runs from $prefix alone and its login entries start it"
