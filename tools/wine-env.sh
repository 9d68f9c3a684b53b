# Sourced by the scripts that run Windows builds under Wine.
# Sets up (once) a 64-bit Wine prefix under build/, created under the
# Japanese locale so that the ANSI code page is 932, and exports what the
# callers need: WINE64, WINESERVER, WINEPREFIX, LANG.
#
#   QUORRIN_WINE_HEADLESS=1  use a prefix with the null graphics driver
#                            (real windows and dialogs, no X display needed)

quorrin_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINE64=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8

if [ "${QUORRIN_WINE_HEADLESS:-0}" = 1 ]; then
    export WINEPREFIX="$quorrin_root/build/wineprefix-headless"
else
    export WINEPREFIX="$quorrin_root/build/wineprefix"
fi

quorrin_wine_prefix() {
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        echo "wine-env: the ja_JP.UTF-8 locale is missing (localedef -i ja_JP -f UTF-8 ja_JP.UTF-8)" >&2
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
}

quorrin_wine_stop() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
}
