#!/usr/bin/env bash
# shellcheck disable=SC2154 # pitch, margin, ox, oy, codes and clock come from screencheck
# End-to-end tests of the real quorrin.exe: what only the Win32 layer in a real
# window shows. Resources (menu, dialog captions and controls, the About
# box), the dialogs' controls and list lines, the minimum size when a border
# is dragged, painting, the clock's timer, the save on the way out (menu and
# close box), a kill right after a solve, the start-up error box, the
# program's folder anywhere and a second copy, the keys and the undo and
# redo shortcuts with the menu's greyed items. Game rules, clock arithmetic,
# trial mode, restart and resume, every kind of step undone, and the order
# of the list lines are the fast tests' part (tests/app, tests/dialogs, tests/store, tests/screen,
# through the fake window system).
#
# Wine runs the game in a virtual desktop on a private X server and xdotool
# plays it, with tools/wine-env.sh (shared with tools/play.sh); three
# helpers judge:
#   - probe.exe, under Wine on the same desktop, lists the game's windows,
#     controls and list lines;
#   - screencheck compares a screenshot of the client area pixel for pixel
#     with the screen code's drawing of the expected state;
#   - saved() reads the save file's fields at their offsets.
#
# Usage: run-e2e.sh QUORRIN_EXE PROBE_EXE SCREENCHECK [OUTPUT_FOLDER]
# The scenarios run once per locale of QUORRIN_E2E_LOCALES (default: the
# Japanese one, code page 932; C.UTF-8, code page 1252; and cp65001, a
# Japanese system with code page 65001), each in its own Wine prefix
# (tools/wine-env.sh); the game must show and save the same in all. Every scenario keeps its copy of the game, its save file and its
# pictures under stable names in OUTPUT_FOLDER/LOCALE/SCENARIO (default
# build/e2e), and the runs are compared file by file. Prints "N passed, M
# failed"; exits 1 when anything failed. QUORRIN_E2E_SCENARIOS names the
# scenarios to run (default: all), e.g. "two_paths tools".
set -uo pipefail
[ $# -ge 3 ] || { echo "usage: $0 QUORRIN_EXE PROBE_EXE SCREENCHECK [OUTPUT_FOLDER]" >&2 && exit 2; }
game_exe="$(realpath "$1")" probe_exe="$2" screencheck="$3"
root="$(cd "$(dirname "$0")/../.." && pwd)"
# The checker of the puzzle tools, from the same build.
qcheck_exe="$(realpath -m "$(dirname "$game_exe")/../../tools/puzzles/qcheck.exe")"
unset QUORRIN_WINE_HEADLESS
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
top="${4:-$root/build/e2e}"
work="$(mktemp -d)"
trap 'quorrin_wine_stop; rm -rf "$work"' EXIT
quorrin_x_start || exit 1
# Seconds to wait for anything: a window, a picture, a save, the game's end.
timeout=30
passed=0 failed=0

# check DESCRIPTION COMMAND...: one check, passed when the command succeeds.
check() {
    if "${@:2}"; then
        passed=$((passed + 1)) && echo "  ok    $1"
    else
        failed=$((failed + 1)) && echo "  FAIL  $1"
    fi
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
probe() { "$WINE64" "$probe_exe" "$quorrin_desktop" "$1" "$2" $((timeout * 1000)) >"$work/probe.out"; }
# need TITLE-OR-CLASS [NAME]: waits for that window, takes its snapshot NAME;
# a scenario gives up without the window.
need() {
    probe wait "$1" || { check "no window \"$1\": the rest is skipped" false && false; } || return
    [ -z "${2:-}" ] || snapshot "$2" "$1"
}
# The dump's lines of the window with that title or class; its rectangle.
of() { awk -F'\t' -v w="$1" '$1 == "window" { w_ = $2 == w || $3 == w } w_' "$work/probe.out"; }
rect() { of "$1" | awk -F'\t' '{print $4; exit}'; }
# Its controls, "ID:CLASS:TEXT" joined by " | "; has_controls TITLE EXPECTED.
controls() { of "$1" | awk -F'\t' '$1 == "control" {print $2 ":" $3 ":" $4}' | sed -z 's/\n$//; s/\n/ | /g'; }
has_controls() { expect "the controls of \"$1\"" "$(controls "$1")" "$2"; }
# Its list lines joined by " | ", then the selection.
lines() { of "$1" | awk -F'\t' '$1 == "line" {printf "%s | ", $4} $1 == "selected" {print "selected " $3}'; }
list_is() { probe wait "$1" && [ "$(lines "$1")" = "$2" ]; }
# click_on TITLE control|line ID|INDEX: a click on the middle of a control or on a list line.
# shellcheck disable=SC2046 # (X and Y)
click_on() { quorrin_click 1 $(of "$1" | awk -F'[\t,]' "/^$2\t([0-9]+\t)?$3\t/ {print \$5, \$6; exit}"); }
# main_window: the main window from the last dump: its title, its rectangle
# wl wt wr wb, client size cw ch and client origin on the screen cx cy.
main_window() { IFS=$'\t,' read -r _ _ main_title wl wt wr wb cw ch cx cy <<<"$(of QUORRIN)" && [ -n "$cy" ]; }
main_is() { probe wait QUORRIN && main_window && [ "${cw}x$ch" = "$1" ]; }
# enter_main: Return in the open-collection dialog, then the main window.
enter_main() { xdotool key Return && need QUORRIN && main_window; }
# menu KEY: the game menu (alt+g), then its item with that accelerator.
menu() { xdotool key alt+g && need '#32768' menu && xdotool key "$1"; }
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
    IFS=, read -r l t r b <<<"$(rect "$2")"
    import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$dir/$1.png"
    of "$2" | awk -F'\t' -v t="$t" '$3 == "ListBox" {print $6 - t}' >"$dir/$1.lists"
}
# screen NAME MARK...: polls pictures of the client area until one shows
# puzzle "${puzzle[@]}" with the MARKs (see screencheck.cpp), the pointer
# moved off the board and toolbar unless a MARK is hover; the last is
# NAME.png. Sets pitch, margin, ox, oy, codes and clock.
shoot() {
    import -window root -crop "${cw}x$ch+$cx+$cy" +repage -depth 8 "bmp3:$work/shot.bmp" &&
        "$screencheck" "$work/shot.bmp" "${puzzle[@]}" "$@" >"$work/check.out"
}
screen() {
    local name="$1"
    shift
    [[ "$*" == *hover* ]] || xdotool mousemove $((cx + 2)) $((cy + ch - 3))
    retry shoot "$@"
    convert "$work/shot.bmp" "$dir/$name.png"
    sed -n 's/^mismatch/        &/p' "$work/check.out"
    grep -q '^pitch=' "$work/check.out" && eval "$(cat "$work/check.out")"
}

# What the scenario's save file holds: its size, the record count, the
# collection, the puzzle, the resume state, the vertex codes (a digit each,
# trailing zeros left out), the first record's first clear time.
saved() {
    local f="$dir/quorrin.sav"
    field() { od -An -v -t "$1" -j "$2" -N "$3" "$f" | tr -d ' \n'; }
    [ "$(stat -c %s "$f" 2>/dev/null || echo 0)" -ge 2136 ] || return 1
    echo "$(stat -c %s "$f") $(field d4 64 4) $(head -c 64 "$f" | tr -d '\0') $(field d4 68 4)" \
        "$(field d4 72 4) $(field u1 88 2048 | sed 's/0*$//') $(field d2 2140 2)"
}
solve_saved() { [ "$(saved | cut -d' ' -f5)" = -1 ]; }

# The Unix process of quorrin.exe of our prefix.
# shellcheck disable=SC2046 # (the environment files)
game_pid() {
    grep -lszxF "WINEPREFIX=$WINEPREFIX" /dev/null $(pgrep -x quorrin.exe | sed 's|.*|/proc/&/environ|') |
        cut -d/ -f3
}
no_game() { [ -z "$(game_pid)" ]; }
# start WINDOW [NAME]: starts the scenario's game, waits for that window.
start() { quorrin_desktop_run "$dir" "$dir/wine.log" && need "$@"; }
# finish: waits for the game and its desktop to end; kills them if they do not.
finish() {
    retry no_game || { check "the game did not end" false && kill -9 "$(game_pid)"; }
    quorrin_desktop_wait "$timeout"
}
scenario() {
    dir="$out/$1"
    rm -rf "$dir" && mkdir -p "$dir" && cp "$game_exe" "$dir/quorrin.exe"
    echo "--- $1"
}

title_open="問題を開く" title_select="問題の選択" title_about="バージョン情報"
title_confirm="確認" title_error="初期化エラー"
buttons="1:Button:OK | 2:Button:キャンセル"

# No collection beside the program: the error box, owned by no window.
scenario_no_collection() {
    scenario no-collection
    start "$title_error" error-box || return
    has_controls "$title_error" "1088:Static: | 1:Button:OK | 65535:Static:データファイルの読み込みに失敗しました"
    xdotool key Return
    finish
}

# The shipped collections: the open-collection dialog and the files the
# Windows listing gives it, clicks on the edges where the layout puts them,
# the minimum size, the menu, the About box and the repaint after it, the
# clock's timer, the save through the menu's exit.
scenario_first_start() {
    scenario first-start
    # Six of the shipped collections: with the names below, as many lines as
    # the list shows without a scroll bar in either locale (its rows follow
    # the system font, which is taller under code page 932).
    cp "$root"/puzzles/0[1-6]_*.dat "$dir/"
    # Beside them, not collections or sorting apart by bytes and by
    # letters: a folder, a name in upper case, two names in mixed case.
    printf '1/1/1/.\n' | tee "$dir/x.dat" "$dir/X2.dat" >"$dir/Y.DAT"
    mkdir "$dir/folder.dat"
    start "$title_open" open-collection || return
    has_controls "$title_open" "121:ListBox: | $buttons"
    expect "its list: the collection files without .dat, in byte order" "$(lines "$title_open")" \
        "$(find "$dir" -maxdepth 1 -type f -name '*.dat' -printf '%f\n' | LC_ALL=C sort |
            sed 's/\.dat$/ | /' | tr -d '\n')selected 0"
    enter_main || return
    expect "the main window (QUORRIN): title, size" "$main_title ${cw}x$ch" "quorrin 432x464"
    puzzle=("$dir/01_first_steps.dat" 0)
    check "the first puzzle, fresh" screen fresh
    quorrin_edge 1 h:2:0
    quorrin_edge 3 h:0:0
    check "a left click draws a line, a right click a cross, the edge under the pointer lit" \
        screen marked line:h:2:0 cross:h:0:0 hover:h:0:0
    local marks=(line:h:2:0 cross:h:0:0) right="$wr" top="$wt" first_clock="$clock"

    # Bigger; then the left and the bottom borders dragged far in: the
    # window stops at the minimum size, the opposite borders stay.
    check "the right border 100 px out" drag $((wr - 2)) $(((wt + wb) / 2)) 100 0 532x464
    check "the board laid out again at 532x464, nothing lit off the edges" screen wide "${marks[@]}"
    drag $((wl + 1)) $(((wt + wb) / 2)) 200 0 432x464
    drag $(((wl + wr) / 2)) $((wb - 2)) 0 -200 432x464
    expect "the left, bottom borders in" "${cw}x$ch $wr $wt" "432x464 $((right + 100)) $top"

    # The About box from the menu; the board painted again where it was.
    menu a && need "$title_about" about || return
    # (Its first control is the icon, whose text Wine makes up.)
    expect "the About box" "$(controls "$title_about" | cut -d'|' -f2-)" \
        " 65535:Static:quorrin version 1.7 | 1:Button:OK"
    xdotool key Return
    check "Return closes it; the board painted again where it was" screen after-about "${marks[@]}"
    check "the clock runs: $first_clock s, then $clock s" test "$clock" -gt "$first_clock"
    menu x
    finish
    expect "saved by the menu's exit" "$(saved)" "2200 1 01_first_steps.dat 0 0 $codes 0"
}

# A tiny collection: a solve by clicks and a kill right after it; the next
# start, the puzzle dialog with its clear button; the restart button's
# question; the save through the close box.
scenario_solve() {
    scenario solve
    # 1 x 1 without a clue (its loop is its four sides), 2 x 2 with two
    # clues 2 (the loop round the board), 2 x 1 without clues.
    printf '%s\n' "1/1/1/." "1/2/2/2./.2" "2/1/2/.." >"$dir/tiny.dat"
    start "$title_open" && enter_main || return
    puzzle=("$dir/tiny.dat" 0)
    check "puzzle 1 (1x1), fresh" screen fresh
    quorrin_edge 1 h:0:0
    quorrin_edge 1 v:0:0
    quorrin_edge 1 v:0:1
    sleep 1.2  # a clear time of 0 s would count as not cleared
    quorrin_edge 1 h:1:0
    check "four clicks solve it: the clear banner" screen solved \
        line:h:0:0 line:v:0:0 line:v:0:1 line:h:1:0 hover:h:1:0 banner
    local solved="$codes" t0 erased
    check "the solve is saved" retry solve_saved
    kill -9 "$(game_pid)"
    finish
    t0="$(saved | cut -d' ' -f7)"
    expect "killed right after: saved whole" "$(saved)" "2200 1 tiny.dat 0 -1 $solved $t0"
    check "no temporary file left" test ! -e "$dir/quorrin.sav.tmp"

    start QUORRIN && main_window || return
    quorrin_button 0
    need "$title_select" || return
    has_controls "$title_select" "123:Static:tiny | 118:ListBox: | $buttons | 119:Button:クリア"
    # The puzzle list's lines, no clear times: number, width, height, difficulty.
    erased="$(printf '%3d:\\t%2d x %2d\\t難易度 %d\\tクリア時間 － | ' 1 1 1 1 2 2 2 1 3 2 1 2)"
    expect "its list with the clear time, the puzzle in play selected" "$(lines "$title_select")" \
        "${erased/－/$(printf '%02d:%02d' $((t0 / 60)) $((t0 % 60)))}selected 1"
    # クリア asks in a box owned by the dialog; OK there erases the times.
    click_on "$title_select" control 119
    need "$title_confirm" clear-question || return
    has_controls "$title_confirm" "1088:Static: | $buttons | 65535:Static:すべての記録を削除します。よろしいですか?"
    xdotool key Return
    check "OK erases the clear times" retry list_is "$title_select" "${erased}selected 1"
    snapshot select-puzzle "$title_select"  # (no clear time: the same in every run)
    click_on "$title_select" line 0
    click_on "$title_select" control 1
    probe gone "$title_select"
    puzzle=("$dir/tiny.dat" 0)

    # OK starts the chosen puzzle 1. A line; the restart button asks (a box
    # owned by the main window); OK clears the line, the next one stays and
    # is saved through the close box.
    quorrin_edge 1 h:0:0
    quorrin_button 1
    need "$title_confirm" restart-question || return
    xdotool key Return
    probe gone "$title_confirm"
    quorrin_edge 1 v:0:0
    check "puzzle 1, restarted: only the line drawn after" screen restarted line:v:0:0
    xdotool key alt+F4
    finish
    expect "saved by the close box, no clear times" "$(saved)" "2200 1 tiny.dat 0 0 $codes 0"
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
        start "$title_open" || return
        expect "in $place: ..\\表.dat saved is damaged" "$(lines "$title_open")" "表 | selected 0"
        enter_main || return
        puzzle=("$dir/表.dat" 0)
        quorrin_edge 1 h:0:0
        check "in $place: a line" screen line line:h:0:0
        if [ -n "$other" ]; then
            (cd "$other" && exec "$WINE64" quorrin.exe) >/dev/null 2>&1 &
            sleep 3
            check "a copy from another folder plays beside it" kill -0 $!
            kill $! && wait $!
        fi
        (cd "$dir" && timeout "$timeout" "$WINE64" quorrin.exe) >/dev/null 2>&1
        expect "a second copy from $place ends at once with exit code 0" "$?" 0
        xdotool key alt+F4
        finish
        expect "saved by the close box" "$(saved | iconv -f CP932 | cut -d' ' -f1-6)" "2200 1 表.dat 0 0 $codes"
        other="$dir"
    done
}

# menu_picture NAME: the game menu opened with Alt+G, its picture NAME,
# closed again with Escape (twice: the first leaves the menu bar selected).
menu_picture() { xdotool key alt+g && need '#32768' "$1" && xdotool key Escape Escape && probe gone '#32768'; }
# enabled NAME: of menu picture NAME's first two items (undo and redo, 18
# pixels high each from the top's 2, the frame left out), "1" for one
# enabled, "0" for one greyed. An enabled item's text is near black, or
# white on the selection's blue; a greyed one's is mid grey on either.
enabled() {
    local row w
    w="$(identify -format %w "$dir/$1.png")"
    for row in 0 1; do
        convert "$dir/$1.png" -crop "$((w - 8))x16+4+$((3 + 18 * row))" +repage -colorspace gray \
            -format '%[fx:(mean < 0.7 ? maxima > 0.9 : minima < 0.3) ? 1 : 0]' info:
        [ "$row" = 1 ] || printf ' '
    done
}

# Undo and redo, and the whole game by keys: arrows light the edges as the
# pointer does, Space and X mark them, Ctrl+Z undoes, Ctrl+Y and
# Ctrl+Shift+Z redo, the menu's items are greyed while they do nothing (seen
# with redo only and with undo only: each item on its own), the
# digit keys press the toolbar's buttons, Return after the solve starts the
# next puzzle.
scenario_keys() {
    scenario keys
    # 2 x 2 with two clues 2 (the loop round the board); 1 x 1.
    printf '%s\n' "1/2/2/2./.2" "1/1/1/." >"$dir/keys.dat"
    start "$title_open" && enter_main || return
    puzzle=("$dir/keys.dat" 0)
    check "puzzle 1, fresh" screen fresh
    # The first arrow lights the top-left edge; right, down: the inner
    # vertical edge; Space draws a line there; left, X: a cross beside it.
    xdotool key Down Right Down space
    check "arrows light an edge as the pointer does, Space draws a line" \
        screen keys-line line:v:0:1 hover:v:0:1
    xdotool key Left x
    check "X crosses the lit edge" screen keys-cross line:v:0:1 cross:v:0:0 hover:v:0:0
    xdotool key ctrl+z
    check "Ctrl+Z takes the cross away" screen undo-cross line:v:0:1 hover:v:0:0
    # (Ctrl+Z again takes the line away: Ctrl+Y below brings back the line only.)
    xdotool key ctrl+z
    menu_picture menu-redo || return
    expect "only redo enabled" "$(enabled menu-redo)" "0 1"
    xdotool key ctrl+y
    check "Ctrl+Y brings the line back" screen redo-line line:v:0:1 hover:v:0:0
    xdotool key ctrl+shift+z
    check "Ctrl+Shift+Z the cross" screen redo-cross line:v:0:1 cross:v:0:0 hover:v:0:0
    menu_picture menu-undo || return
    expect "only undo enabled" "$(enabled menu-undo)" "1 0"
    menu u
    check "the menu's undo" screen menu-undo-cross line:v:0:1 hover:v:0:0
    # Key 2 is the restart button: its question, then a fresh board; the
    # restart is undone too.
    xdotool key 2
    need "$title_confirm" || return
    xdotool key Return
    probe gone "$title_confirm"
    check "key 2 restarts" screen restarted
    # The restart undone, the line taken away, then the loop round the board
    # by keys alone: the solve and its banner; Return then starts the next
    # puzzle.
    # (The first arrow lights the edge the keys lit last, the cross's. The
    # restart set the clock to 0, which the undo left: a clear time of 0 s
    # would count as not cleared.)
    sleep 1.2
    xdotool key ctrl+z ctrl+z Up Up space Right space Down Right space Down Down Right space Down space \
        Left space Up space Up Up space
    check "solved by keys: the clear banner" screen keys-solved line:h:0:0 line:h:0:1 \
        line:v:0:2 line:v:1:2 line:h:2:1 line:h:2:0 line:v:1:0 line:v:0:0 hover:v:0:0 banner
    xdotool key Return
    puzzle=("$dir/keys.dat" 1)
    check "Return after the solve: the next puzzle" screen next-puzzle
    xdotool key alt+F4
    finish
}

# The program's folder reached through a second drive letter (Y:, a link in
# the prefix onto the scenario's folder) and started from another working
# directory: it lists its own collections and saves beside itself. The list
# leaves out a device's name (com1.dat) and a name code page 932 cannot write
# (café€.dat). A save file naming COM1.dat names the serial port COM1 (led
# here to a pipe that is held open and never written, where a read waits
# for ever): it is damaged, and the open-collection dialog comes. A second copy through
# the folder's own path, not Y:, ends at once with 0 (the game's lock is on the
# program's file, whatever the path; a second copy through the same path is
# the places scenario's).
scenario_two_paths() {
    scenario two-paths
    printf '1/1/1/.\n' | tee "$dir/ok.dat" "$dir/com1.dat" "$dir/café€.dat" >/dev/null
    { printf 'COM1.dat' && head -c 2128 /dev/zero; } >"$dir/quorrin.sav"
    local port="$WINEPREFIX/dosdevices/com1" was
    was="$(readlink "$port")"
    # (Wine opens the port without waiting; a read waits while the pipe has
    # a writer and no bytes.)
    rm -f "$work/com1" && mkfifo "$work/com1" && ln -sfn "$work/com1" "$port"
    sleep 600 <>"$work/com1" &
    local writer=$!
    ln -sfn "$dir" "$WINEPREFIX/dosdevices/y:"
    quorrin_desktop_run "$work" "$dir/wine.log" 'Y:\quorrin.exe'
    if need "$title_open"; then
        expect "from elsewhere through Y:, COM1.dat saved is damaged; the list" \
            "$(lines "$title_open")" "ok | selected 0"
        if enter_main; then
            # Without Y:, Wine names the folder by its own path again.
            rm -f "$WINEPREFIX/dosdevices/y:"
            (cd "$dir" && timeout "$timeout" "$WINE64" quorrin.exe) >/dev/null 2>&1
            expect "a second copy through the folder's own path ends at once with 0" "$?" 0
            # (The game's working directory is Y:\, where it saves.)
            ln -sfn "$dir" "$WINEPREFIX/dosdevices/y:"
            xdotool key alt+F4
            finish
            expect "saved beside it" "$(saved | cut -d' ' -f1-5)" "2200 1 ok.dat 0 0"
        fi
    fi
    kill "$writer"
    ln -sfn "${was:-/dev/ttyS0}" "$port"
    rm -f "$WINEPREFIX/dosdevices/y:"
}

# A folder whose path is over 300 characters: the game enters it and lists
# its collection. (Wine starts such a program by its Unix path only, and
# outside the virtual desktop: inside it, explorer fails. Where Windows
# cannot enter such a folder, the game says so at start-up and ends; Wine
# enters every folder.)
scenario_long_folder() {
    scenario long-folder
    local long
    long="$dir/$(printf 'a%.0s' {1..100})/$(printf 'b%.0s' {1..100})/$(printf 'c%.0s' {1..100})"
    mkdir -p "$long" && mv "$dir/quorrin.exe" "$long/" && printf '1/1/1/.\n' >"$long/x.dat"
    (cd "$work" && exec "$WINE64" "$long/quorrin.exe") >"$dir/wine.log" 2>&1 &
    local game=$!
    "$WINE64" "$probe_exe" Default wait "$title_open" $((timeout * 1000)) >"$work/probe.out"
    expect "from a folder of ${#long} characters: its collection listed" \
        "$(lines "$title_open")" "x | selected 0"
    kill "$game" && wait "$game"
}

# The puzzle tools take the wide command line: qcheck reads a collection of
# a Japanese name whatever the code page.
scenario_tools() {
    scenario tools
    printf '1/1/1/.\n' >"$dir/問題.dat"
    (cd "$dir" && "$WINE64" "$qcheck_exe" 問題.dat) >"$dir/qcheck.out" 2>&1
    expect "qcheck 問題.dat: checked, exit code 0" "$?" 0
}

# The locales show the same: every window's snapshot equal pixel for pixel
# but for the rows between the bottoms of its list boxes (they snap to rows
# of Wine's system font, which is taller under code page 932), every save
# file equal byte for byte but for the clock's seconds and the clear times.
compare_locales() {
    local a="$1" b="$2" f g y0 y1 mask
    for f in "$a"/*/*.lists; do
        [ -e "$f" ] || continue  # (no scenario took snapshots)
        f="${f%.lists}" g="$b/${f#"$a"/}"
        read -r y0 y1 <<<"$(sort -n "$f.lists" "$g.lists" | sed -n '1p;$p' | tr '\n' ' ')"
        mask=(-fill black -draw "rectangle 0,$((${y0:-0} - 2)) 9999,$((${y1:--9} + 1))")
        convert "$f.png" "${mask[@]}" "$work/a.png" && convert "$g.png" "${mask[@]}" "$work/b.png"
        expect "${f#"$a"/}: the same picture in $(basename "$b")" \
            "$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1)" 0
    done
    for f in "$a"/*/quorrin.sav; do
        [ -e "$f" ] || continue
        g="$b/${f#"$a"/}"
        expect "${f#"$a"/}: the same bytes in $(basename "$b")" "$(cmp -l "$f" "$g" 2>&1 |
            awk '$1 < 85 || ($1 > 88 && ($1 <= 2136 || ($1 - 2137) % 64 < 4))' | head -n 3)" ""
    done
}

runs=()
for locale in ${QUORRIN_E2E_LOCALES:-ja_JP.UTF-8 C.UTF-8 cp65001}; do
    quorrin_wine_locale "$locale"
    quorrin_wine_prefix || exit 1
    out="$top/$locale"
    runs+=("$out")
    echo "quorrin end-to-end tests: display $DISPLAY, Wine prefix $WINEPREFIX, output $out"
    for name in ${QUORRIN_E2E_SCENARIOS:-no_collection first_start solve places keys two_paths long_folder tools}; do
        "scenario_$name"
        finish  # (at once, unless the scenario gave up)
    done
    "$WINESERVER" -k >/dev/null 2>&1
done
echo "--- the locales compared"
for run in "${runs[@]:1}"; do compare_locales "${runs[0]}" "$run"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
