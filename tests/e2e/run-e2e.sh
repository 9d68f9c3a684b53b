#!/usr/bin/env bash
# shellcheck disable=SC2154 # pitch, margin, ox, oy, codes and clock come from screencheck
# End-to-end tests of the real quorrin.exe: what only the Win32 layer in a real
# window shows. Resources (menu, dialog captions and controls, the About
# box), the dialogs' controls and list lines, the minimum size when a border
# is dragged, painting, the save on the way out (menu and close box), a kill
# right after a solve, the start-up error box. Game rules, clock arithmetic,
# trial mode, restart and resume are the fast tests' part (tests/app,
# tests/dialogs, tests/store, tests/screen, through the fake window system).
#
# Wine runs the game in a virtual desktop on a private X server (started by
# tools/wine-env.sh, as for tools/play.sh) and xdotool plays it; three
# helpers judge:
#   - probe.exe, under Wine on the same desktop, lists the game's windows,
#     controls and list lines;
#   - screencheck compares a screenshot of the client area pixel for pixel
#     with the screen code's drawing of the expected state;
#   - savedump reads the save file with the store's decoder.
#
# Usage: run-e2e.sh QUORRIN_EXE PROBE_EXE SAVEDUMP SCREENCHECK [OUTPUT_FOLDER]
# The scenarios run once per locale of QUORRIN_E2E_LOCALES (default: the
# Japanese one, code page 932, and C.UTF-8, code page 1252), each in its own
# Wine prefix (tools/wine-env.sh); the game must show and save the same in
# all. Every scenario keeps its copy of the game, its save file and its
# pictures under stable names in OUTPUT_FOLDER/LOCALE/SCENARIO (default
# build/e2e), and the runs are compared file by file. Prints "N passed, M
# failed"; exits 1 when anything failed.
set -uo pipefail
[ $# -ge 4 ] || { echo "usage: $0 QUORRIN_EXE PROBE_EXE SAVEDUMP SCREENCHECK [OUTPUT_FOLDER]" >&2 && exit 2; }
game_exe="$1" probe_exe="$2" savedump="$3" screencheck="$4"
root="$(cd "$(dirname "$0")/../.." && pwd)"
unset QUORRIN_WINE_HEADLESS
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
top="${5:-$root/build/e2e}"
work="$(mktemp -d)"
trap 'quorrin_wine_stop; rm -rf "$work"' EXIT
quorrin_x_start || exit 1
# Seconds to wait for anything: a window, a picture, a save, the game's end.
timeout=30
passed=0 failed=0

# check DESCRIPTION COMMAND...: one check, passed when the command succeeds.
check() {
    local what="$1"
    shift
    "$@" && passed=$((passed + 1)) && echo "  ok    $what" && return
    failed=$((failed + 1))
    echo "  FAIL  $what"
}
# expect DESCRIPTION ACTUAL EXPECTED
expect() { check "$1" same "$2" "$3"; }
same() { [ "$1" = "$2" ] || { echo "        got \"$1\", expected \"$2\"" && false; }; }
# retry COMMAND...: runs it until it succeeds, at most $timeout seconds.
retry() {
    local end=$((SECONDS + timeout))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.2
    done
}

# probe wait|gone TITLE-OR-CLASS: the game's windows into $work/probe.out
# (see probe.cpp) once one has (or none has) that title or class.
probe() {
    "$WINE64" "$probe_exe" "$quorrin_desktop" "$1" "$2" $((timeout * 1000)) >"$work/probe.out" \
        2>>"$work/probe.err"
}
# need TITLE-OR-CLASS: waits for that window; a scenario gives up without it.
need() { probe wait "$1" || { check "no window \"$1\": the rest is skipped" false && false; }; }
# The dump's lines of the window with that title or class.
of() { awk -F'\t' -v w="$1" '$1 == "window" { w_ = $2 == w || $3 == w } w_' "$work/probe.out"; }
# Its controls, "ID:CLASS:TEXT" joined by " | ".
controls() { of "$1" | awk -F'\t' '$1 == "control" {print $2 ":" $3 ":" $4}' | sed -z 's/\n$//; s/\n/ | /g'; }
# Its list lines joined by " | ", then the selection.
lines() { of "$1" | awk -F'\t' '$1 == "line" {printf "%s | ", $4} $1 == "selected" {print "selected " $3}'; }
# click_on TITLE control|line ID|INDEX: a click on the middle of a control or on a list line.
click_on() {
    local at
    at="$(of "$1" | awk -F'\t' -v k="$2" -v i="$3" '$1 == k && ($2 == i || $3 == i) {print $5; exit}')"
    click 1 "${at%,*}" "${at#*,}"
}
# centred TITLE L,T,R,B: the dialog is centred over that rectangle (which
# lies inside the desktop here).
centred() {
    local l t r b L T R B
    IFS=, read -r l t r b <<<"$(of "$1" | cut -f4 | head -n 1)"
    IFS=, read -r L T R B <<<"$2"
    expect "\"$1\" centred over $2" "$l,$t" "$(((L + R - r + l) / 2)),$(((T + B - b + t) / 2))"
}
# main_window: the main window from the last dump: its rectangle wl wt wr wb,
# client size cw ch and client origin on the screen cx cy, its title.
main_window() {
    local rect size origin
    IFS=$'\t' read -r _ _ main_title rect size origin <<<"$(of QUORRIN | head -n 1)"
    IFS=, read -r wl wt wr wb <<<"$rect"
    cw="${size%x*}" ch="${size#*x}" cx="${origin%,*}" cy="${origin#*,}"
    [ -n "$origin" ]
}
main_is() { probe wait QUORRIN && main_window && [ "${cw}x$ch" = "$1" ]; }

# click BUTTON X Y. (The X server takes xdotool's events in order: the
# button comes after the move.)
click() { xdotool mousemove "$2" "$3" click "$1"; }
# edge BUTTON h:R:C|v:R:C: a click on the edge right of (h) or below (v) the
# dot in row R, column C: in the dot's hit cell, shifted by the margin, a
# quarter pitch from the dot's row and three quarters along.
edge() {
    local k r c near=$((pitch / 4)) far=$((3 * pitch / 4))
    IFS=: read -r k r c <<<"$2"
    [ "$k" = h ] || { near=$far && far=$((pitch / 4)); }
    click "$1" $((cx + ox - margin + c * pitch + far)) $((cy + oy - margin + r * pitch + near))
}
# Toolbar button $1 (the board is narrow: the toolbar starts at x 2).
button() { click 1 $((cx + 2 + 90 * $1 + 45)) $((cy + 16)); }
# The pointer off the toolbar and the edges.
away() { xdotool mousemove $((cx + 2)) $((cy + ch - 3)); }
# menu KEY: the game menu (alt+g), then its item with that accelerator.
menu() {
    xdotool key alt+g
    need '#32768' && snapshot menu '#32768' && xdotool key "$1"
}
# drag X Y DX DY SIZE: presses at X Y (on a border of the main window), moves
# by DX DY in two steps, releases; then waits for the client size SIZE.
drag() {
    xdotool mousemove "$1" "$2" mousedown 1 sleep 0.2 mousemove $(($1 + $3 / 2)) $(($2 + $4 / 2)) \
        sleep 0.2 mousemove $(($1 + $3)) $(($2 + $4)) sleep 0.2 mouseup 1
    retry main_is "$5"
}

# snapshot NAME TITLE: a picture of that window, as the last dump places it,
# for people and for the comparison of the locales; beside it the bottoms
# of its list boxes, from its top.
snapshot() {
    local l t r b
    IFS=, read -r l t r b <<<"$(of "$2" | head -n 1 | cut -f4)"
    import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$dir/$1.png"
    of "$2" | awk -F'\t' -v t="$t" '$3 == "ListBox" {print $6 - t}' >"$dir/$1.lists"
}
# screen NAME MARK...: polls pictures of the client area until one shows
# puzzle "${puzzle[@]}" with the MARKs (see screencheck.cpp). The last is
# NAME.png, on a mismatch beside NAME-expected.png. Sets pitch, margin, ox,
# oy, codes and clock.
screen() {
    local name="$1" end=$((SECONDS + timeout))
    shift
    until import -window root -crop "${cw}x$ch+$cx+$cy" +repage -depth 8 "bmp3:$work/shot.bmp" &&
        "$screencheck" "$work/shot.bmp" "${puzzle[@]}" "$work/expected.bgr" "$@" >"$work/check.out"; do
        if [ "$SECONDS" -ge "$end" ]; then
            convert -size "${cw}x$ch" -depth 8 "bgr:$work/expected.bgr" "$dir/$name-expected.png"
            convert "$work/shot.bmp" "$dir/$name.png"
            sed 's/^/        /' "$work/check.out"
            return 1
        fi
        sleep 0.2
    done
    convert "$work/shot.bmp" "$dir/$name.png"
    eval "$(cat "$work/check.out")"
}

# What the scenario's save file holds (savedump.cpp): size, records,
# collection, puzzle, resume state, marks, clear times.
saved() { "$savedump" "$dir/quorrin.sav"; }
solve_saved() { [ "$(saved | cut -d' ' -f5)" = -1 ]; }

# The Unix process of quorrin.exe of our prefix.
game_pid() {
    local p
    for p in $(pgrep -x quorrin.exe); do
        grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" 2>/dev/null && echo "$p" && return
    done
    return 1
}
no_game() { ! game_pid >/dev/null; }
start() { quorrin_desktop_run "$dir" "$dir/wine.log"; }
# finish: waits for the game and its desktop to end; kills them if they do not.
finish() {
    retry no_game || { check "the game did not end" false && kill -9 "$(game_pid)"; }
    quorrin_desktop_wait "$timeout"
}
scenario() {
    dir="$out/$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    cp "$game_exe" "$dir/quorrin.exe"
    echo
    echo "--- $1"
}

title_open="問題を開く" title_select="問題の選択" title_about="バージョン情報"
title_confirm="確認" title_error="初期化エラー"
buttons="1:Button:OK | 2:Button:キャンセル"

# No collection beside the program: the error box, nothing saved.
scenario_no_collection() {
    scenario no-collection
    start
    need "$title_error" || return
    snapshot error-box "$title_error"
    expect "the start-up error box alone, its text and its one button" \
        "$(grep -c '^window' "$work/probe.out") $(controls "$title_error")" \
        "1 1088:Static: | 1:Button:OK | 65535:Static:データファイルの読み込みに失敗しました"
    xdotool key Return
    finish
    check "nothing saved" test ! -e "$dir/quorrin.sav" -a ! -e "$dir/quorrin.sav.tmp"
}

# The shipped collections: the open-collection dialog, clicks on the edges
# where the layout puts them, the minimum size, the menu, the About box and
# the repaint after it, the save through the menu's exit.
scenario_first_start() {
    scenario first-start
    cp "$root"/puzzles/*.dat "$dir/"
    # Beside them, not collections or sorting apart by bytes and by
    # letters: a folder, a name in upper case, two names in mixed case.
    printf '1/1/1/.\n' | tee "$dir/x.dat" "$dir/X2.dat" >"$dir/Y.DAT"
    mkdir "$dir/folder.dat"
    start
    need "$title_open" || return
    snapshot open-collection "$title_open"
    check "no main window before a collection is chosen" test -z "$(of QUORRIN)"
    expect "\"$title_open\": the list, OK, Cancel" "$(controls "$title_open")" \
        "121:ListBox: | $buttons"
    expect "its list: the collection files without .dat, in byte order, the first selected" \
        "$(lines "$title_open")" \
        "$(find "$dir" -maxdepth 1 -type f -name '*.dat' -printf '%f\n' | LC_ALL=C sort |
            sed 's/\.dat$/ | /' | tr -d '\n')selected 0"
    centred "$title_open" "0,0,${quorrin_desktop_size/x/,}"
    xdotool key Return
    need QUORRIN && main_window || return
    expect "the main window (class QUORRIN): title, client size" "$main_title ${cw}x$ch" \
        "quorrin 432x464"
    puzzle=("$dir/01_first_steps.dat" 0)
    check "the first puzzle, fresh" screen fresh
    local first_clock="$clock"
    edge 1 h:2:0
    check "a left click draws a line, the edge under the pointer lit" screen line \
        line:h:2:0 hover:h:2:0
    edge 3 h:0:0
    check "a right click a cross" screen cross line:h:2:0 cross:h:0:0 hover:h:0:0
    local marks=(line:h:2:0 cross:h:0:0) right="$wr" top="$wt"

    # Bigger, then the left (the bottom) border dragged far in: the window
    # stops at the minimum size, the opposite border stays.
    drag $((wr - 2)) $(((wt + wb) / 2)) 100 0 532x464
    expect "dragging the right border 100 px out" "${cw}x$ch" 532x464
    away
    check "the board laid out again at 532x464, nothing lit off the edges" screen wide "${marks[@]}"
    local marked="$codes"
    drag $((wl + 1)) $(((wt + wb) / 2)) 200 0 432x464
    expect "dragging the left border 200 px in stops at 432x464, the right border stays" \
        "${cw}x$ch $wr" "432x464 $((right + 100))"
    drag $(((wl + wr) / 2)) $((wb - 2)) 0 80 432x544
    drag $(((wl + wr) / 2)) $((wb - 2)) 0 -200 432x464
    expect "dragging the bottom border 80 px out, 200 px in stops at 432x464, the top stays" \
        "${cw}x$ch $wt" "432x464 $top"
    away
    check "the board at 432x464 again" screen small "${marks[@]}"
    check "the clock runs: $first_clock s, then $clock s" test "$clock" -gt "$first_clock"

    # The menu's items: the open-collection dialog over the main window,
    # cancelled; the About box, whose place the board is painted in again.
    local rect="$wl,$wt,$wr,$wb"
    menu o && need "$title_open" || return
    centred "$title_open" "$rect"
    xdotool key Escape
    probe gone "$title_open"
    menu a && need "$title_about" || return
    snapshot about "$title_about"
    centred "$title_about" "$rect"
    # (Its first control is the icon, whose text Wine makes up.)
    expect "the About box" "$(controls "$title_about" | cut -d'|' -f2-)" \
        " 65535:Static:quorrin version 1.7 | 1:Button:OK"
    xdotool key Return
    check "Return closes it" probe gone "$title_about"
    check "the board painted again where the box was" screen after-about "${marks[@]}"
    menu x
    finish
    expect "saved through the menu's exit: the collection, puzzle 1 in play with its marks" \
        "$(saved)" "2200 1 01_first_steps.dat 0 0 $marked $(printf '0%.0s,' {1..29})0"
}

# A clear time as the puzzle list shows it, and a line of the list.
time_text() { if [ "$1" = 0 ]; then echo "－"; else printf '%02d:%02d' $(($1 / 60)) $(($1 % 60)); fi; }
list_line() { printf '%3d:\\t%2d x %2d\\t難易度 %d\\tクリア時間 %s | ' "$1" "$2" "$3" "$4" "$(time_text "$5")"; }
list_is() { probe wait "$title_select" && [ "$(lines "$title_select")" = "$1" ]; }

# A tiny collection: a solve by clicks and a kill right after it; the next
# start, the puzzle dialog with its clear button and both answers, a
# restart answered OK, the save through the close box.
scenario_solve() {
    scenario solve
    # 1 x 1 without a clue (its loop is its four sides), 2 x 2 with two
    # clues 2 (the loop round the board), 2 x 1 without clues.
    printf '%s\n' "1/1/1/." "1/2/2/2./.2" "2/1/2/.." >"$dir/tiny.dat"
    start
    need "$title_open" || return
    expect "the one collection listed" "$(lines "$title_open")" "tiny | selected 0"
    xdotool key Return
    need QUORRIN && main_window || return
    puzzle=("$dir/tiny.dat" 0)
    check "puzzle 1 (1x1), fresh" screen fresh
    edge 1 h:0:0
    edge 1 v:0:0
    edge 1 v:0:1
    sleep 1.2  # a clear time of 0 s would count as not cleared
    edge 1 h:1:0
    check "four clicks solve it: the clear banner" screen solved \
        line:h:0:0 line:v:0:0 line:v:0:1 line:h:1:0 hover:h:1:0 banner
    local solved="$codes" t0
    check "the solve is saved" retry solve_saved
    kill -9 "$(game_pid)"
    finish
    t0="$(saved | cut -d' ' -f7 | cut -d, -f1)"
    expect "killed (kill -9) right after: the save file is whole, with the solve" \
        "$(saved)" "2200 1 tiny.dat 0 -1 $solved $t0$(printf ',0%.0s' {1..29})"
    check "no temporary file left" test ! -e "$dir/quorrin.sav.tmp"

    start
    need QUORRIN && main_window || return
    puzzle=("$dir/tiny.dat" 1)
    away
    check "the next start goes on with puzzle 2 (2x2)" screen next
    local rect="$wl,$wt,$wr,$wb" times
    button 0
    need "$title_select" || return
    centred "$title_select" "$rect"
    expect "\"$title_select\": the collection's name, the list, OK, Cancel, クリア" \
        "$(controls "$title_select")" "123:Static:tiny | 118:ListBox: | $buttons | 119:Button:クリア"
    times="$(list_line 1 1 1 1 "$t0" && list_line 2 2 2 1 0 && list_line 3 2 1 2 0)"
    expect "its list with the clear times, the puzzle in play selected" \
        "$(lines "$title_select")" "${times}selected 1"
    # クリア answered Cancel; a click on line 3 made after the answer shows
    # when that has been handled.
    click_on "$title_select" control 119
    need "$title_confirm" || return
    snapshot clear-question "$title_confirm"
    expect "クリア asks first" "$(controls "$title_confirm")" \
        "1088:Static: | $buttons | 65535:Static:すべての記録を削除します。よろしいですか?"
    xdotool key Escape
    probe gone "$title_confirm"
    click_on "$title_select" line 2
    check "Cancel keeps the clear times" retry list_is "${times}selected 2"
    click_on "$title_select" control 119
    need "$title_confirm" || return
    xdotool key Return
    times="$(list_line 1 1 1 1 0 && list_line 2 2 2 1 0 && list_line 3 2 1 2 0)"
    check "OK erases them, the puzzle in play selected again" retry list_is "${times}selected 1"
    snapshot select-puzzle "$title_select"  # (no clear time: the same in every run)
    click_on "$title_select" line 0
    click_on "$title_select" control 1
    probe gone "$title_select"
    puzzle=("$dir/tiny.dat" 0)
    away
    check "OK starts the chosen puzzle 1" screen chosen

    edge 1 h:0:0
    away
    check "a line" screen line line:h:0:0
    button 1
    need "$title_confirm" || return
    snapshot restart-question "$title_confirm"
    expect "the restart button asks first" "$(controls "$title_confirm")" \
        "1088:Static: | $buttons | 65535:Static:最初から始めます。よろしいですか?"
    xdotool key Return
    away
    check "OK restarts the puzzle" screen restarted
    edge 1 v:0:0
    away
    check "a line" screen line-2 line:v:0:0
    xdotool key alt+F4
    finish
    expect "saved through the close box: puzzle 1 in play with its mark, no clear times" \
        "$(saved)" "2200 1 tiny.dat 0 0 $codes $(printf '0%.0s,' {1..29})0"
}

# The program's folder anywhere: names code page 932 cannot write (Zoë) and
# names only it can (パズル), with a collection whose name ends in the byte of
# a backslash (表 is 0x95 0x5C). A save file naming a file of the folder
# above is damaged: the open-collection dialog comes. A second copy from the
# same folder ends at once with 0 and writes nothing; one from another
# folder plays beside the first.
scenario_places() {
    local place other=""
    for place in Zoë パズル; do
        scenario "$place"
        printf '1/1/1/.\n' >"$dir/表.dat"
        { printf '..\\表.dat' | iconv -t CP932 && head -c 2127 /dev/zero; } >"$dir/quorrin.sav"
        start
        need "$title_open" || return
        expect "in $place: the save file naming ..\\表.dat is damaged; 表 is listed" \
            "$(lines "$title_open")" "表 | selected 0"
        xdotool key Return
        need QUORRIN && main_window || return
        puzzle=("$dir/表.dat" 0)
        edge 1 h:0:0
        away
        check "in $place: a line" screen line line:h:0:0
        if [ -n "$other" ]; then
            (cd "$other" && exec "$WINE64" quorrin.exe) >/dev/null 2>&1 &
            sleep 3
            check "a copy from another folder plays beside it" kill -0 $!
            kill $! && wait $!
        fi
        cp "$dir/quorrin.sav" "$work/before.sav"
        (cd "$dir" && "$WINE64" quorrin.exe) >/dev/null 2>&1
        expect "a second copy from $place ends at once with exit code 0" "$?" 0
        check "and writes nothing" cmp -s "$dir/quorrin.sav" "$work/before.sav"
        xdotool key alt+F4
        finish
        expect "saved in $place through the close box" "$(saved | iconv -f CP932 | cut -d' ' -f1-6)" \
            "2200 1 表.dat 0 0 $codes"
        other="$dir"
    done
}

# The locales show the same: every window's picture equal pixel for pixel
# but for the rows between the bottoms of its list boxes (they snap to rows
# of Wine's system font, which is taller under code page 932), every save
# file equal byte for byte but for the clock's seconds and the clear times.
compare_locales() {
    local a="$1" b="$2" f g y0 y1 mask
    for f in "$a"/*/*.png; do
        g="$b/${f#"$a"/}"
        [ -e "${f%.png}.lists" ] || continue
        y0="$(sort -n "${f%.png}.lists" "${g%.png}.lists" | head -n 1)"
        y1="$(sort -n "${f%.png}.lists" "${g%.png}.lists" | tail -n 1)"
        mask=(-fill black -draw "rectangle 0,$((${y0:-0} - 2)) 9999,$((${y1:--9} + 1))")
        convert "$f" "${mask[@]}" "$work/a.png" && convert "$g" "${mask[@]}" "$work/b.png"
        expect "${f#"$a"/}: the same picture in $(basename "$b")" \
            "$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1)" 0
    done
    for f in "$a"/*/quorrin.sav; do
        g="$b/${f#"$a"/}"
        expect "${f#"$a"/}: the same bytes in $(basename "$b")" "$(cmp -l "$f" "$g" 2>&1 |
            awk '$1 < 85 || ($1 > 88 && ($1 <= 2136 || ($1 - 2137) % 64 < 4))' | head -n 3)" ""
    done
}

runs=()
for locale in ${QUORRIN_E2E_LOCALES:-ja_JP.UTF-8 C.UTF-8}; do
    quorrin_wine_locale "$locale"
    quorrin_wine_prefix || exit 1
    out="$top/$locale"
    runs+=("$out")
    echo "quorrin end-to-end tests: display $DISPLAY, Wine prefix $WINEPREFIX, output $out"
    for name in no_collection first_start solve places; do
        scenario_$name
        pid="$(game_pid)" && kill -9 "$pid"
        finish
        echo "  ($SECONDS s)"
    done
    "$WINESERVER" -k >/dev/null 2>&1
done
echo
echo "--- the locales compared"
for run in "${runs[@]:1}"; do compare_locales "${runs[0]}" "$run"; done
echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
