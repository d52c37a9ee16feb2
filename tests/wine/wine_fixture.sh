#!/usr/bin/env bash
# The Wine environment of a test run as a CTest fixture (scripts/wine_env.sh:
# prefix, Xvfb display, persistent wineserver, desktop keeper).
#
#   wine_fixture.sh start STATE_DIR [DESKTOP_KEEPER_EXE]   (FIXTURES_SETUP)
#   wine_fixture.sh stop STATE_DIR                         (FIXTURES_CLEANUP)
#
# start leaves the environment running after it exits and writes its
# variables to STATE_DIR/env (KEY=VALUE lines), from which every Wine test
# takes them (tests/wine/wine_support.py); stop takes it down. An environment
# left by a run that never reached stop (Ctrl+C) is taken down at the next
# start: its wineserver would keep a desktop on a display that is gone.
set -uo pipefail

action=${1:-}
state=${2:-}
if [ -z "$action" ] || [ -z "$state" ]; then
    echo "usage: $0 start|stop STATE_DIR [DESKTOP_KEEPER_EXE]" >&2
    exit 2
fi
env_file="$state/env"

# shellcheck source=scripts/wine_env.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine_env.sh"

stop_recorded() {
    [ -f "$env_file" ] || return 0
    local key value
    while IFS='=' read -r key value; do
        [ -n "$key" ] && export "$key=$value"
    done <"$env_file"
    rm -f "$env_file"
    # Only a folder that wine_env_start made is removed.
    case ${WINE_ENV_DIR:-} in
    "${TMPDIR:-/tmp}"/scrivlet-wine.*) ;;
    *) WINE_ENV_KEEP=1 ;;
    esac
    # The processes were started by another shell: wine_env_stop's `wait`
    # cannot wait for them, so give them a moment to go.
    wine_env_stop
    local pid _
    for pid in ${WINE_ENV_RECORDED_PIDS:-}; do
        for _ in $(seq 1 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
    done
}

case $action in
start)
    mkdir -p "$state"
    stop_recorded
    WINE_ENV_KEEPER_EXE=${3:-}
    wine_env_start || exit 1
    # The environment outlives this script; stop ends it.
    trap - EXIT INT TERM
    {
        for key in WINEPREFIX WINEARCH LANG LC_ALL WINEDEBUG WINEDLLOVERRIDES DISPLAY WINE_ENV_DIR \
            WINE_ENV_XVFB_PID WINE_ENV_KEEPER_PID; do
            echo "$key=${!key}"
        done
        echo "WINE_ENV_RECORDED_PIDS=$WINE_ENV_XVFB_PID ${WINE_ENV_KEEPER_PID:-}"
    } >"$env_file.new"
    mv "$env_file.new" "$env_file"
    ;;
stop)
    if [ ! -f "$env_file" ]; then
        echo "wine_fixture: no Wine environment recorded in $state" >&2
        exit 0
    fi
    stop_recorded
    ;;
*)
    echo "usage: $0 start|stop STATE_DIR [DESKTOP_KEEPER_EXE]" >&2
    exit 2
    ;;
esac
