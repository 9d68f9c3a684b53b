#!/usr/bin/env bash
# Builds quorrin for Windows and plays it under Wine.
#
# Builds the mingw preset's game and puzzle tools and installs them into
# build/play/ (quorrin.exe, the shipped collections and tools/, as the zip ships
# them). Wine runs it under the Japanese locale in a prefix of its own,
# build/wineprefix, made on first use.
#
# With a display ($DISPLAY set) the game runs in the foreground and is played
# by hand; its save file stays in build/play/. QUORRIN_DESKTOP=1024x768 puts
# it into a Wine virtual desktop of that size.
#
# Without a display the script plays a short scripted first run on a private
# X server and takes screenshots: the open-collection dialog at start, the
# board, the board after a few clicks on its edges, the puzzle-selection
# dialog, the menu, the version box, the maximized window. The first run
# starts from a fresh copy of the game in build/play-session/ (no save file,
# so the open-collection dialog comes first); the screenshots go to
# build/play-screenshots/. The X server, the virtual desktop, the prefix's
# fonts and the clean-up are tools/wine-env.sh's, shared with the
# end-to-end tests.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
jobs="$(nproc)"

cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs" --target quorrin qgen qcheck qimport
rm -f build/play/quorrin.exe
cmake --install build/mingw --component game --prefix build/play >/dev/null

# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh

if [ -n "${DISPLAY:-}" ]; then
    quorrin_wine_prefix
    trap quorrin_wine_stop EXIT
    cd build/play
    if [ -n "${QUORRIN_DESKTOP:-}" ]; then
        "$WINE64" explorer "/desktop=$quorrin_desktop,$QUORRIN_DESKTOP" quorrin.exe
    else
        "$WINE64" quorrin.exe
    fi
    exit 0
fi

# ---------------------------------------------------------------------------
# No display: a scripted first run on a private X server.

session="$root/build/play-session"
shots="$root/build/play-screenshots"
rm -rf "$session" "$shots"
mkdir -p "$shots"
cp -R build/play "$session"
rm -f "$session/quorrin.sav"

trap quorrin_wine_stop EXIT
quorrin_x_start
quorrin_wine_prefix

# The id of the visible window whose title is exactly $1, waiting for it up
# to 30 s.
wait_window() {
    local id
    for _ in $(seq 300); do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)"
        if [ -n "$id" ]; then
            # Give the window its first paint.
            sleep 0.5
            echo "$id"
            return 0
        fi
        kill -0 "$quorrin_desktop_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "play: no window \"$1\" appeared" >&2
    return 1
}
# Wait until no visible window has the title $1.
wait_gone() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    echo "play: window \"$1\" did not close" >&2
    return 1
}
# Screenshot of the virtual desktop.
shot() {
    import -window root -crop "$quorrin_desktop_size+0+0" +repage "$shots/$1.png"
    echo "  $shots/$1.png"
}

quorrin_desktop_run "$session" "$session/wine.log"

title_open="問題を開く"
title_select="問題の選択"
title_about="バージョン情報"
echo "play: screenshots"

# A first run: the open-collection dialog comes before the main window; OK
# takes the preselected first collection. Keys go to the X window under the
# pointer, the virtual desktop, and from there to Wine's active window.
wait_window "$title_open" >/dev/null
shot 1-open-collection
xdotool mousemove --sync 1000 700 key Return
wait_gone "$title_open"

main="$(wait_window quorrin)"
shot 2-board

# Where the client area lies: the window's outer rectangle less a frame
# border on each side and the caption and menu above; the client area is
# 432 x 464.
read -r wx wy ww wh < <(xwininfo -id "$main" | awk '
    /Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}')
border=$(((ww - 432) / 2))
cx=$((wx + border))
cy=$((wy + wh - border - 464))

# The board's layout at that size, as the screen computes it: dot pitch,
# hit margin, and the top-left corner (ox, oy) of the first dot's glyph,
# whose side is e. The board is the first puzzle of the first collection.
first="$(find "$session" -maxdepth 1 -name '*.dat' | LC_ALL=C sort | head -n 1)"
IFS=/ read -r _ bw bh _ <"$first"
read -r pitch margin ox oy < <(awk -v w="$bw" -v h="$bh" 'BEGIN {
    a = int(432 / (w + 1)); b = int(432 / (h + 1)); if (b < a) a = b
    e = int(a * 96.5 / 93 + 0.5); m = int(a * 14.5 / 93 + 0.5)
    print a, m, int((432 - w * a - 2 * (e - a)) / 2), int((432 - h * a - 2 * (e - a)) / 2) + 32 }')

# Lines along the top-left corner, a cross beside them (quorrin_edge: the
# edge right of (h) or below (v) the dot in row R, column C); the pointer
# stays on the cross, which shows it hovered.
quorrin_edge 1 h:0:0
quorrin_edge 1 h:0:1
quorrin_edge 1 v:0:0
quorrin_edge 1 v:1:0
quorrin_edge 3 h:0:2
sleep 0.5
shot 3-board-marked

# The puzzle-selection dialog from the first toolbar button; Cancel.
quorrin_button 0
wait_window "$title_select" >/dev/null
shot 4-select-puzzle
xdotool key Escape
wait_gone "$title_select"

# The version box from the menu; OK. Closing it has the game repaint the
# board it covered with one copy of the whole back buffer.
xdotool key alt+g
sleep 0.5
shot 5-menu
xdotool key a
wait_window "$title_about" >/dev/null
shot 6-about
xdotool key Return
wait_gone "$title_about"
sleep 0.3
shot 7-board-repainted

# Maximized (a double click on the caption): the board laid out anew at the
# larger size, its glyphs rendered for it.
xdotool mousemove --sync $((wx + ww / 2)) $((wy + border + 8)) click --repeat 2 --delay 80 1
sleep 1
shot 8-maximized

# Leave through the menu: the game saves on the way out.
xdotool key alt+g
sleep 0.3
xdotool key x
quorrin_desktop_wait 20 || true
if [ -f "$session/quorrin.sav" ]; then
    echo "play: the game saved its progress: $session/quorrin.sav"
else
    echo "play: no save file was written" >&2
fi
echo "play: screenshots in $shots"
