# shellcheck shell=bash
# Sourced by the scripts that run Windows builds under Wine (tools/run-tests.sh,
# tools/play.sh, tests/e2e/run-e2e.sh). Exports what they need: WINE64,
# WINESERVER, WINEPREFIX, LANG and LC_ALL; the functions below choose the
# locale, make the prefix, start a private X server and the game in a Wine
# virtual desktop, click on the board and the toolbar, and end what they
# started.
#
#   QUORRIN_WINE_LOCALE=ja_JP.UTF-8  the Unix locale Wine takes its ANSI code
#                            page from (the default, code page 932), and with
#                            it the prefix: build/wineprefix for ja_JP.UTF-8,
#                            build/wineprefix-LOCALE for any other, so that
#                            the prefixes of two locales never mix; cp65001
#                            for Japanese with code page 65001 (see
#                            quorrin_wine_locale)
#   QUORRIN_WINE_HEADLESS=1  use a prefix with the null graphics driver
#                            (real windows and dialogs, no X display needed),
#                            build/wineprefix-headless
#   QUORRIN_DESKTOP_SIZE     the virtual desktop's size (default 1024x768)

quorrin_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINE64=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# quorrin_wine_locale LOCALE: Wine's locale from now on, and its prefix.
# LOCALE cp65001 stands for a Japanese Windows with the system-wide UTF-8
# option: the ANSI and OEM code pages 65001 with the Japanese user locale
# (LCID 0411). Wine takes its code pages from LC_CTYPE, and a locale without
# code page of its own (Hindi) gives 65001; LANG stays Japanese. Both locales
# are made into build/locales (LOCPATH) on first use.
quorrin_wine_locale() {
    unset LC_CTYPE
    unset LOCPATH
    export QUORRIN_WINE_LOCALE="$1"
    if [ "$1" = cp65001 ]; then
        local folder="$quorrin_root/build/locales" name
        for name in ja_JP hi_IN; do
            mkdir -p "$folder" && [ -d "$folder/$name.UTF-8" ] ||
                localedef -i "$name" -f UTF-8 "$folder/$name.UTF-8" >/dev/null 2>&1 ||
                echo "wine-env: cannot make the $name.UTF-8 locale in $folder" >&2
        done
        unset LC_ALL
        # (bash itself does not read LOCPATH, and warns that it lacks hi_IN.)
        { export LOCPATH="$folder" LANG=ja_JP.UTF-8 LC_CTYPE=hi_IN.UTF-8; } 2>/dev/null
    else
        export LANG="$1" LC_ALL="$1"
    fi
    if [ "${QUORRIN_WINE_HEADLESS:-0}" = 1 ]; then
        export WINEPREFIX="$quorrin_root/build/wineprefix-headless"
    elif [ "$1" = ja_JP.UTF-8 ]; then
        export WINEPREFIX="$quorrin_root/build/wineprefix"
    else
        export WINEPREFIX="$quorrin_root/build/wineprefix-$1"
    fi
}
quorrin_wine_locale "${QUORRIN_WINE_LOCALE:-ja_JP.UTF-8}"
quorrin_desktop=quorrin
quorrin_desktop_size="${QUORRIN_DESKTOP_SIZE:-1024x768}"
quorrin_xvfb_pid=""
quorrin_desktop_pid=""

# Makes the prefix on first use and starts its wineserver.
quorrin_wine_prefix() {
    if [ "$QUORRIN_WINE_LOCALE" = cp65001 ]; then
        [ -d "$LOCPATH/hi_IN.UTF-8" ] && [ -d "$LOCPATH/ja_JP.UTF-8" ] || return 1
    elif ! locale -a 2>/dev/null | grep -qix "${QUORRIN_WINE_LOCALE%%.*}\.utf-\?8"; then
        echo "wine-env: the $QUORRIN_WINE_LOCALE locale is missing (localedef -i ${QUORRIN_WINE_LOCALE%%.*} -f UTF-8 $QUORRIN_WINE_LOCALE)" >&2
        return 1
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        env -u DISPLAY "$WINE64" wineboot -i >/dev/null 2>&1
        "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >/dev/null 2>&1
        if [ "${QUORRIN_WINE_HEADLESS:-0}" = 1 ]; then
            "$WINE64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
        fi
        "$WINESERVER" -w >/dev/null 2>&1
    fi
    # A persistent wineserver, started before anything whose output is
    # captured: otherwise every wine start that ends under ctest or in a pipe
    # waits for the server to linger out.
    "$WINESERVER" -p >/dev/null 2>&1 || true  # already running is fine
    "$WINE64" cmd /c exit >/dev/null 2>&1 || true
    if [ "${QUORRIN_WINE_HEADLESS:-0}" != 1 ]; then quorrin_wine_fonts; fi
}

# The fonts of a prefix with a display. Wine 8.0 draws the caption buttons
# from Marlett, which a new prefix lacks. The dialogs' font, MS UI Gothic, is
# proportional: IPAPGothic stands in for it (the fallback Wine picks by
# itself, the fixed-width IPAGothic, leaves out underscores at the dialogs'
# size). A prefix of another locale maps the dialogs' faces to MS UI Gothic
# too ("MS Shell Dlg", "MS Shell Dlg 2", and Tahoma, which Wine ships), as a
# Japanese prefix does by itself, so that Japanese text has its glyphs there.
quorrin_wine_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        mkdir -p "$fonts"
        cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    fi
    if ! grep -q '"MS UI Gothic"="IPAPGothic"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        "$WINE64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' \
            /d IPAPGothic /f >/dev/null 2>&1
    fi
    if [ "$QUORRIN_WINE_LOCALE" != ja_JP.UTF-8 ] &&
        ! grep -q '"CaptionFont"=hex:f4' "$WINEPREFIX/user.reg" 2>/dev/null; then
        for face in "MS Shell Dlg" "MS Shell Dlg 2" Tahoma; do
            "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
                /v "$face" /d 'MS UI Gothic' /f >/dev/null 2>&1
        done
        # The fonts of captions, menus and message boxes as a Japanese prefix
        # has them: 12 pixels high, Japanese character set (a LOGFONTW each).
        local face weight font
        face="$(printf '%s' 'MS Shell Dlg' | iconv -t UTF-16LE | od -An -tx1 | tr -d ' \n')"
        for font in CaptionFont:bc02 IconFont:9001 MenuFont:9001 MessageFont:9001 \
            SmCaptionFont:9001 StatusFont:9001; do
            weight="${font#*:}"
            "$WINE64" reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v "${font%:*}" \
                /t REG_BINARY /f /d "$(printf 'f4ffffff%024d%s000000000080000000%s%0*d' 0 "$weight" \
                    "22$face" $((128 - ${#face})) 0)" >/dev/null 2>&1
        done
    fi
}

# Starts Xvfb on a free display (it picks one itself and names it once it
# takes connections) and exports DISPLAY.
quorrin_x_start() {
    local name
    name="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$name" >/dev/null 2>&1 &
    quorrin_xvfb_pid=$!
    for _ in $(seq 200); do
        [ -s "$name" ] && break
        kill -0 "$quorrin_xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    DISPLAY=":$(head -n 1 "$name")"
    export DISPLAY
    rm -f "$name"
    [ "$DISPLAY" != ":" ] || { echo "wine-env: Xvfb did not start" >&2; return 1; }
}

# Runs quorrin.exe of folder $1 (or the command line $3..., from the working
# directory $1) in the background, in the virtual desktop (at 0,0, so
# Windows screen coordinates are X root coordinates), its output into file $2.
quorrin_desktop_run() {
    local folder="$1" log="$2"
    shift 2
    [ $# -gt 0 ] || set -- quorrin.exe
    (cd "$folder" && exec "$WINE64" explorer "/desktop=$quorrin_desktop,$quorrin_desktop_size" \
        "$@") >"$log" 2>&1 &
    quorrin_desktop_pid=$!
}

# Waits up to $1 seconds for the desktop of quorrin_desktop_run to end (it
# does once the game has ended), else ends it; false then.
quorrin_desktop_wait() {
    local end=$((SECONDS + $1)) pid="$quorrin_desktop_pid"
    quorrin_desktop_pid=""
    [ -n "$pid" ] || return 0
    while kill -0 "$pid" 2>/dev/null; do
        if [ "$SECONDS" -ge "$end" ]; then
            kill "$pid" 2>/dev/null
            return 1
        fi
        sleep 0.1
    done
}

# The pointer on the game's client area, which starts at cx, cy on the screen.
# quorrin_click BUTTON X Y: a click at that screen point. (The X server takes
# xdotool's events in order: the button comes after the move.)
quorrin_click() { xdotool mousemove "$2" "$3" click "$1"; }
# quorrin_edge BUTTON h:R:C|v:R:C: a click on the edge right of (h) or below
# (v) the dot in row R, column C of the board laid out with dot pitch
# $pitch, hit margin $margin and its first dot's glyph at $ox, $oy: in the
# dot's hit cell, shifted by the margin, a quarter pitch from the dot's row
# and three quarters along.
# shellcheck disable=SC2154 # (the layout and the client area are the caller's)
quorrin_edge() {
    local k r c near=$((pitch / 4)) far=$((3 * pitch / 4))
    IFS=: read -r k r c <<<"$2"
    [ "$k" = h ] || { near=$far && far=$((pitch / 4)); }
    quorrin_click "$1" $((cx + ox - margin + c * pitch + far)) $((cy + oy - margin + r * pitch + near))
}
# quorrin_button N: a click on toolbar button N, from 0 (on a narrow board
# the toolbar starts at x 2).
quorrin_button() { quorrin_click 1 $((cx + 2 + 90 * $1 + 45)) $((cy + 16)); }

# Ends what the functions above started: the desktop, the prefix's
# wineserver and its processes, the X server.
quorrin_wine_stop() {
    if [ -n "$quorrin_desktop_pid" ]; then kill "$quorrin_desktop_pid" 2>/dev/null || true; fi
    "$WINESERVER" -k >/dev/null 2>&1 || true
    if [ -n "$quorrin_xvfb_pid" ]; then kill "$quorrin_xvfb_pid" 2>/dev/null || true; fi
}
