# shellcheck shell=bash
# Sourceable: a throw-away Wine environment for running the Windows build.
#
#   . scripts/wine_env.sh
#   wine_env_start          # prefix, display, registry, persistent wineserver
#   wine_env_run 30 out.txt err.txt Scrivlet.exe /noui dir list.txt
#   wine_env_stop           # also done by the EXIT trap that wine_env_start sets
#
# What it sets up: a new 64-bit WINEPREFIX in a temporary folder, its own Xvfb
# display (Wine 8 creates no window at all without one), LANG=ja_JP.UTF-8 so
# that Wine's ANSI code page is 932, Wine's own fonts linked in, Japanese font
# replacements, X11 Driver Managed=N (no window manager here), no crash dialog,
# a persistent wineserver and a hidden window that keeps the desktop process
# alive between programs.
#
# Pitfalls this avoids: the output of a wine command is never piped (the
# wineserver and its services inherit the pipe, and the reader then never sees
# end of file); input is /dev/null (a terminal costs a second per start); every
# wine call runs under `timeout`.

WINE_ENV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Bounds in seconds for the set-up steps.
WINE_ENV_BOOT_TIMEOUT=${WINE_ENV_BOOT_TIMEOUT:-120}
WINE_ENV_STEP_TIMEOUT=${WINE_ENV_STEP_TIMEOUT:-60}

wine_env_log() { echo "wine_env: $*" >&2; }

# wine_env_run SECONDS OUT ERR PROGRAM [ARGS...]: runs one Windows program with
# its output in files; the status is the program's (124 on time-out).
wine_env_run() {
    local seconds=$1 out=$2 err=$3
    shift 3
    timeout -k 5 "$seconds" wine "$@" </dev/null >"$out" 2>"$err"
}

# Runs a wine helper (wineboot, regedit, ...) with output into the log folder.
wine_env_tool() {
    local name=$1
    shift
    timeout -k 5 "$WINE_ENV_STEP_TIMEOUT" "$@" </dev/null >>"$WINE_ENV_DIR/$name.log" 2>&1
}

wine_env_start_display() {
    # -displayfd makes Xvfb choose a free display itself and report it once it
    # accepts connections, so parallel runs never collide.
    local fd_file="$WINE_ENV_DIR/display"
    : >"$fd_file"
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$fd_file" \
        </dev/null >"$WINE_ENV_DIR/xvfb.log" 2>&1 &
    WINE_ENV_XVFB_PID=$!
    local _
    for _ in $(seq 1 100); do
        [ -s "$fd_file" ] && break
        kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$fd_file" ]; then
        wine_env_log "Xvfb did not start; its log:"
        cat "$WINE_ENV_DIR/xvfb.log" >&2
        return 1
    fi
    DISPLAY=":$(head -n1 "$fd_file" | tr -d '[:space:]')"
    export DISPLAY
}

wine_env_write_registry() {
    # regedit wants UTF-16LE with a byte-order mark for the Japanese names.
    local reg="$WINE_ENV_DIR/settings.reg"
    {
        printf '\xff\xfe'
        iconv -f UTF-8 -t UTF-16LE <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Debug]
"RelayInclude"="user32.MessageBeep"

EOF
    } >"$reg"
    wine_env_tool regedit wine regedit /S "$reg"
}

wine_env_link_fonts() {
    # Debian's Wine does not look in /usr/share/wine/fonts by itself; without
    # these, caption buttons and Tahoma are missing.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    ln -sf /usr/share/wine/fonts/* "$fonts/" 2>/dev/null
    [ -e "$fonts/tahoma.ttf" ] || wine_env_log "warning: Wine's own fonts are missing (package fonts-wine)"
}

# The keeper is the build's desktop_keeper target when WINE_ENV_KEEPER_EXE
# names it (the CTest fixture); otherwise it is compiled while wineboot runs
# (both take seconds).
wine_env_build_keeper() {
    if [ -n "${WINE_ENV_KEEPER_EXE:-}" ]; then
        cp "$WINE_ENV_KEEPER_EXE" "$WINE_ENV_DIR/desktop_keeper.exe" >"$WINE_ENV_DIR/keeper_build.log" 2>&1 &
        WINE_ENV_KEEPER_BUILD_PID=$!
        return 0
    fi
    x86_64-w64-mingw32-g++-posix -O1 -mwindows -static -o "$WINE_ENV_DIR/desktop_keeper.exe" \
        "$WINE_ENV_ROOT/tests/wine/desktop_keeper_win32.cpp" -lshell32 >"$WINE_ENV_DIR/keeper_build.log" 2>&1 &
    WINE_ENV_KEEPER_BUILD_PID=$!
}

wine_env_start_keeper() {
    local exe="$WINE_ENV_DIR/desktop_keeper.exe" log="$WINE_ENV_DIR/keeper.log" _
    if ! wait "$WINE_ENV_KEEPER_BUILD_PID" || [ ! -f "$exe" ]; then
        wine_env_log "warning: desktop keeper not built; GUI programs start slower"
        return 0
    fi
    # Runs until the wineserver is stopped; bounded all the same.
    : >"$log"
    timeout -k 5 "${WINE_ENV_KEEPER_TIMEOUT:-7200}" wine "$exe" </dev/null >"$log" 2>&1 &
    WINE_ENV_KEEPER_PID=$!
    for _ in $(seq 1 200); do
        grep -q ready "$log" && return 0
        kill -0 "$WINE_ENV_KEEPER_PID" 2>/dev/null || break
        sleep 0.1
    done
    wine_env_log "warning: the desktop keeper did not come up"
}

# wine_env_start: everything above, then exports WINEPREFIX, DISPLAY and the
# rest for the programs run afterwards. Sets an EXIT trap that undoes it.
wine_env_start() {
    local started=$SECONDS
    if ! locale -a 2>/dev/null | grep -ix 'ja_JP\.utf-\?8' >/dev/null; then
        # Without the locale Wine silently falls back to code page 1252.
        wine_env_log "the ja_JP.UTF-8 locale is missing (run scripts/setup.sh)"
        return 1
    fi
    local tool
    for tool in wine wineserver Xvfb timeout iconv; do
        command -v "$tool" >/dev/null || {
            wine_env_log "$tool is missing (run scripts/setup.sh)"
            return 1
        }
    done

    WINE_ENV_DIR=$(mktemp -d "${TMPDIR:-/tmp}/scrivlet-wine.XXXXXX")
    trap wine_env_stop EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM

    export WINEPREFIX="$WINE_ENV_DIR/prefix"
    export WINEARCH=win64
    export LANG=ja_JP.UTF-8
    export LC_ALL=ja_JP.UTF-8
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
    unset WAYLAND_DISPLAY
    mkdir -p "$WINEPREFIX"

    wine_env_start_display || return 1

    # One persistent wineserver from the start: programs then start in a few
    # hundredths of a second instead of more than half a second.
    wine_env_build_keeper
    timeout -k 5 "$WINE_ENV_STEP_TIMEOUT" wineserver -p </dev/null >>"$WINE_ENV_DIR/wineserver.log" 2>&1
    if ! timeout -k 5 "$WINE_ENV_BOOT_TIMEOUT" wineboot -i </dev/null >>"$WINE_ENV_DIR/wineboot.log" 2>&1; then
        wine_env_log "wineboot -i failed; its log:"
        cat "$WINE_ENV_DIR/wineboot.log" >&2
        return 1
    fi
    wine_env_link_fonts
    wine_env_write_registry || {
        wine_env_log "writing the registry failed"
        return 1
    }
    wine_env_start_keeper
    wine_env_log "ready in $((SECONDS - started)) s (DISPLAY=$DISPLAY, WINEPREFIX=$WINEPREFIX)"
}

wine_env_stop() {
    [ -n "${WINE_ENV_DIR:-}" ] || return 0
    if [ -n "${WINE_ENV_KEEPER_BUILD_PID:-}" ]; then
        kill "$WINE_ENV_KEEPER_BUILD_PID" 2>/dev/null
        wait "$WINE_ENV_KEEPER_BUILD_PID" 2>/dev/null
    fi
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        timeout -k 5 20 wineserver -k </dev/null >/dev/null 2>&1
        timeout -k 5 30 wineserver -w </dev/null >/dev/null 2>&1
    fi
    if [ -n "${WINE_ENV_KEEPER_PID:-}" ]; then
        kill "$WINE_ENV_KEEPER_PID" 2>/dev/null
        wait "$WINE_ENV_KEEPER_PID" 2>/dev/null
    fi
    if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null
    fi
    if [ -n "${WINE_ENV_KEEP:-}" ]; then
        wine_env_log "kept $WINE_ENV_DIR"
    else
        rm -rf "$WINE_ENV_DIR"
    fi
    WINE_ENV_DIR=
    WINE_ENV_KEEPER_BUILD_PID=
    WINE_ENV_KEEPER_PID=
    WINE_ENV_XVFB_PID=
}
