#!/usr/bin/env bash
# End-to-end tests of the real quorrin.exe: Wine runs it in a virtual desktop
# on a private X server, xdotool plays it with mouse and keyboard, and the
# checks read what it shows and what it saves:
#   - probe.exe (run under Wine on the same desktop) reads its windows: titles,
#     client sizes and positions, controls, list box lines;
#   - screenshots of the client area are compared pixel for pixel with what
#     screencheck draws for the expected state with the game's own screen code;
#   - savedump reads the save file with the store's own decoder.
#
# Usage: run-e2e.sh QUORRIN_EXE PROBE_EXE SAVEDUMP SCREENCHECK [OUTPUT_FOLDER]
#
# Builds nothing (tools/run-tests.sh builds the programs first). Every
# scenario gets a folder of its own under OUTPUT_FOLDER (default build/e2e)
# with a copy of the game, its collections, save file and screenshots. One X
# server and one Wine prefix serve all scenarios: the prefix of
# tools/wine-env.sh (build/wineprefix), or QUORRIN_E2E_WINEPREFIX when set.
# Prints "N passed, M failed" at the end; the exit status is 1 when anything
# failed.
set -uo pipefail

if [ $# -lt 4 ] || [ $# -gt 5 ]; then
    echo "usage: $0 QUORRIN_EXE PROBE_EXE SAVEDUMP SCREENCHECK [OUTPUT_FOLDER]" >&2
    exit 2
fi
root="$(cd "$(dirname "$0")/../.." && pwd)"
for tool in "$1" "$2" "$3" "$4"; do
    if [ ! -f "$tool" ]; then
        echo "run-e2e: $tool is missing" >&2
        exit 2
    fi
done
absolute() { (cd "$(dirname "$1")" && echo "$PWD/$(basename "$1")"); }
game_exe="$(absolute "$1")"
probe_exe="$(absolute "$2")"
savedump="$(absolute "$3")"
screencheck="$(absolute "$4")"
out="${5:-$root/build/e2e}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

unset QUORRIN_WINE_HEADLESS
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
if [ -n "${QUORRIN_E2E_WINEPREFIX:-}" ]; then
    export WINEPREFIX="$QUORRIN_E2E_WINEPREFIX"
fi

desktop=quorrin
desktop_size=1024x768
# Timeouts in seconds: for a window to come or go, for the screen to show
# what is expected, for the game to end.
window_timeout=20
screen_timeout=6
exit_timeout=20

work="$(mktemp -d)"
xvfb_pid=""
explorer_pid=""
watcher_pid=""
passed=0
failed=0

# --------------------------------------------------------------------------
# Processes: the X server, the game, the end.

stop_game_processes() {
    local pid
    for pid in "$watcher_pid" "$explorer_pid"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null; fi
    done
    watcher_pid=""
    explorer_pid=""
}

cleanup() {
    stop_game_processes
    quorrin_wine_stop
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and names it once it takes connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    cat "$work/xvfb.log" >&2
    echo "run-e2e: Xvfb did not start" >&2
    exit 1
fi
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

quorrin_wine_prefix || exit 1
# Wine 8.0 draws the caption buttons from Marlett, which a new prefix lacks.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi

now() { date +%s.%N; }
# Whole seconds from $1 to $2 (times from now), rounded down.
seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%d\n", b - a }'; }
# One second before time $1: a clock seen at time $1 may tick right after it.
second_before() { awk -v t="$1" 'BEGIN { printf "%.3f\n", t - 1 }'; }

# Wait until file $1 has a line matching $2, at most $3 seconds.
wait_line() {
    local deadline
    deadline=$(($(date +%s) + $3))
    while [ "$(date +%s)" -le "$deadline" ]; do
        grep -q "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# Start the game in folder $1 in the virtual desktop, and a watcher for its
# exit code. Returns once the watcher holds the game's process.
game_start() {
    dir="$1"
    (cd "$dir" && exec "$WINE64" explorer "/desktop=$desktop,$desktop_size" quorrin.exe) \
        >"$dir/wine.log" 2>&1 &
    explorer_pid=$!
    "$WINE64" "$probe_exe" watch quorrin.exe $((window_timeout * 1000)) >"$dir/exit.txt" \
        2>>"$dir/wine.log" &
    watcher_pid=$!
    game_started="$(now)"
    wait_line "$dir/exit.txt" '^pid ' "$window_timeout"
}

# Wait for the game to end; its exit code in game_exit ("none" when it did
# not end in time, and then it is killed). Then wait for the desktop to close.
game_wait_exit() {
    game_exit=none
    if wait_line "$dir/exit.txt" '^exit ' "$exit_timeout"; then
        game_exit="$(awk '/^exit / {print $2}' "$dir/exit.txt")"
    else
        local pid
        if pid="$(game_unix_pid)"; then kill -9 "$pid" 2>/dev/null; fi
    fi
    local deadline
    deadline=$(($(date +%s) + exit_timeout))
    while [ -n "$explorer_pid" ] && kill -0 "$explorer_pid" 2>/dev/null &&
        [ "$(date +%s)" -le "$deadline" ]; do
        sleep 0.1
    done
    stop_game_processes
}

# The Unix process of the running quorrin.exe of our prefix.
game_unix_pid() {
    local p
    for p in /proc/[0-9]*; do
        { tr '\0' '\n' <"$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        { tr '\0' '\n' <"$p/cmdline"; } 2>/dev/null | head -n 1 | grep -qi 'quorrin\.exe$' || continue
        echo "${p#/proc/}"
        return 0
    done
    return 1
}

# --------------------------------------------------------------------------
# Results.

pass() {
    passed=$((passed + 1))
    echo "  ok    $*"
}
fail() {
    failed=$((failed + 1))
    echo "  FAIL  $*"
}
# expect DESCRIPTION ACTUAL EXPECTED
expect() {
    if [ "$2" = "$3" ]; then
        pass "$1"
    else
        fail "$1: got \"$2\", expected \"$3\""
    fi
}
# expect_true DESCRIPTION COMMAND...
expect_true() {
    local what="$1"
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# Move the pointer to screen point $1 $2 and wait until it is there.
# (xdotool's --sync waits 15 s for a move to where the pointer already is.)
pointer_to() {
    local x="" y=""
    eval "$(xdotool getmouselocation --shell | grep -E '^[XY]=' | tr XY xy)"
    [ "$x" = "$1" ] && [ "$y" = "$2" ] && return 0
    xdotool mousemove --sync "$1" "$2"
}
# click BUTTON X Y: a click at screen point X Y.
click_at() {
    pointer_to "$2" "$3"
    xdotool click "$1"
}

# --------------------------------------------------------------------------
# The game's windows, through the probe.

# probe ARGS...: output in $work/probe.out.
probe() {
    "$WINE64" "$probe_exe" --desktop "$desktop" "$@" >"$work/probe.out" 2>"$work/probe.err"
}
# Wait for a visible window with this title; the dump in $work/probe.out.
wait_title() { probe wait title "$1" $((window_timeout * 1000)); }
wait_class() { probe wait class "$1" $((window_timeout * 1000)); }
wait_gone() { probe gone title "$1" $((window_timeout * 1000)); }

# Fields of the visible window with title $1 in the last dump.
window_field() {
    awk -F'\t' -v t="$1" -v f="$2" '$1 == "window" && $4 == t && $5 == 1 {print $f; exit}' \
        "$work/probe.out"
}
window_handle() { window_field "$1" 2; }
# Text of control $2 of the window with title $1.
control_text() {
    awk -F'\t' -v h="$(window_handle "$1")" -v id="$2" \
        '$1 == "control" && $2 == h && $3 == id {print $5; exit}' "$work/probe.out"
}
# Whether the window with title $1 has a control of class $2 with text $3.
has_control() {
    awk -F'\t' -v h="$(window_handle "$1")" -v c="$2" -v t="$3" \
        '$1 == "control" && $2 == h && $4 == c && $5 == t {found = 1} END {exit !found}' \
        "$work/probe.out"
}
# The lines of list box $2 of the window with title $1, one per line.
list_lines() {
    awk -F'\t' -v h="$(window_handle "$1")" -v id="$2" \
        '$1 == "item" && $2 == h && $3 == id {print $5}' "$work/probe.out"
}
list_selection() {
    awk -F'\t' -v h="$(window_handle "$1")" -v id="$2" \
        '$1 == "listbox" && $2 == h && $3 == id {print $5; exit}' "$work/probe.out"
}
# Click line $3 of list box $2 of the window with title $1.
click_list_line() {
    local info height top origin
    info="$(awk -F'\t' -v h="$(window_handle "$1")" -v id="$2" \
        '$1 == "listbox" && $2 == h && $3 == id {print $6, $7, $8; exit}' "$work/probe.out")"
    read -r height top origin <<<"$info"
    click_at 1 $((${origin%,*} + 30)) $((${origin#*,} + ($3 - top) * height + height / 2))
}
# Poll until list box $2 of the window with title $1 shows the lines $3
# (one per line) with line $4 selected, at most screen_timeout seconds.
wait_list() {
    local deadline
    deadline=$(($(date +%s) + screen_timeout))
    while :; do
        probe dump && [ "$(list_lines "$1" "$2")" = "$3" ] &&
            [ "$(list_selection "$1" "$2")" = "$4" ] && return 0
        [ "$(date +%s)" -le "$deadline" ] || return 1
        sleep 0.1
    done
}
# expect_list DESCRIPTION TITLE ID LINES SELECTION
expect_list() {
    if wait_list "$2" "$3" "$4" "$5"; then
        pass "$1"
    else
        fail "$1: got lines \"$(list_lines "$2" "$3" | tr '\n' '|')\" with line $(list_selection \
            "$2" "$3") selected, expected \"$(tr '\n' '|' <<<"$4")\" with line $5"
    fi
}
# A dialog is centred over its owner's rectangle $2 (left,top,right,bottom)
# and kept inside the desktop's work area, the whole virtual desktop here.
expect_centred() {
    local rect l t r b ol ot or ob w h x y
    rect="$(window_field "$1" 6)"
    IFS=, read -r l t r b <<<"$rect"
    IFS=, read -r ol ot or ob <<<"$2"
    w=$((r - l)) h=$((b - t))
    x=$(((ol + or - w) / 2)) y=$(((ot + ob - h) / 2))
    if [ "$x" -lt 0 ]; then x=0; elif [ $((x + w)) -gt "${desktop_size%x*}" ]; then
        x=$((${desktop_size%x*} - w))
    fi
    if [ "$y" -lt 0 ]; then y=0; elif [ $((y + h)) -gt "${desktop_size#*x}" ]; then
        y=$((${desktop_size#*x} - h))
    fi
    expect "\"$1\" centred over $2" "$l,$t" "$x,$y"
}
# Click the middle of control $2 of the window with title $1.
click_control() {
    local rect
    rect="$(awk -F'\t' -v h="$(window_handle "$1")" -v id="$2" \
        '$1 == "control" && $2 == h && $3 == id {print $7; exit}' "$work/probe.out")"
    local l t r b
    IFS=, read -r l t r b <<<"$rect"
    click_at 1 $(((l + r) / 2)) $(((t + b) / 2))
}
# Whether the last dump shows a visible window with this title or class.
shows_title() { awk -F'\t' -v t="$1" '$1 == "window" && $4 == t && $5 == 1 {f = 1} END {exit !f}' \
    "$work/probe.out"; }
shows_class() { awk -F'\t' -v c="$1" '$1 == "window" && $3 == c && $5 == 1 {f = 1} END {exit !f}' \
    "$work/probe.out"; }
lacks_title() { ! shows_title "$1"; }
lacks_class() { ! shows_class "$1"; }

# The main window from the last dump: its rectangle (win_left, win_top,
# win_right, win_bottom), client size (client_w, client_h) and the client
# area's position on the screen (client_x, client_y).
read_main_window() {
    local line rect size origin
    line="$(awk -F'\t' '$1 == "window" && $3 == "QUORRIN" && $5 == 1 {print; exit}' \
        "$work/probe.out")"
    [ -n "$line" ] || return 1
    main_title="$(cut -f4 <<<"$line")"
    rect="$(cut -f6 <<<"$line")"
    size="$(cut -f7 <<<"$line")"
    origin="$(cut -f8 <<<"$line")"
    IFS=, read -r win_left win_top win_right win_bottom <<<"$rect"
    client_w="${size%x*}"
    client_h="${size#*x}"
    client_x="${origin%,*}"
    client_y="${origin#*,}"
}
refresh_main_window() {
    probe dump && read_main_window
}
# Wait for the main window and read it.
wait_main() {
    wait_class QUORRIN && read_main_window
}

# A desktop screenshot for people to look at.
snapshot() {
    import -window root -crop "${desktop_size}+0+0" +repage "$dir/$1.png"
}

# --------------------------------------------------------------------------
# The board: layout, points of edges, pictures.

# The puzzle in play: collection file and line (from 0); sets board_w and
# board_h from the line.
set_puzzle() {
    puzzle_file="$1"
    puzzle_index="$2"
    local line
    line="$(sed -n "$(($2 + 1))p" "$1")"
    IFS=/ read -r _ board_h board_w _ <<<"$line"
}

# The board's layout at the current client size, as the screen computes it:
# pitch a = min(cw / (W + 1), (ch - 32) / (H + 1)), glyph side e and hit
# margin m from the pitch, origin (ox, oy) of the first dot's glyph; the
# toolbar and the clock at the left unless the board is 435 pixels wide or
# more.
pitch=0 glyph=0 margin=0 ox=0 oy=0 toolbar_x=0 clock_x=0
compute_layout() {
    eval "$(awk -v w="$board_w" -v h="$board_h" -v cw="$client_w" -v ch="$client_h" 'BEGIN {
        a = int(cw / (w + 1)); b = int((ch - 32) / (h + 1)); if (b < a) a = b
        e = int(a * 1.0376344 + 0.5); m = int(a * 0.15591398 + 0.5)
        ox = int((cw - w * a - 2 * (e - a)) / 2); oy = int((ch - 32 - h * a - 2 * (e - a)) / 2) + 32
        if (w * a < 435) { tx = 2; cx = 362 } else { tx = ox; cx = ox + w * a - 68 }
        printf "pitch=%d glyph=%d margin=%d ox=%d oy=%d toolbar_x=%d clock_x=%d\n",
            a, e, m, ox, oy, tx, cx }')"
}

# Screen point (px, py) on edge $1: h:R:C is the edge right of the dot in
# row R, column C, v:R:C the edge below it. In the hit cell of the dot,
# shifted by the margin, a point a quarter pitch from the dot's row and
# three quarters along the edge hits the horizontal edge; the same with
# the axes swapped the vertical one.
edge_point() {
    local kind r c
    IFS=: read -r kind r c <<<"$1"
    if [ "$kind" = h ]; then
        px=$((client_x + ox - margin + c * pitch + 3 * pitch / 4))
        py=$((client_y + oy - margin + r * pitch + pitch / 4))
    else
        px=$((client_x + ox - margin + c * pitch + pitch / 4))
        py=$((client_y + oy - margin + r * pitch + 3 * pitch / 4))
    fi
}
click_edge() {
    edge_point "$2"
    click_at "$1" "$px" "$py"
}
# Toolbar button $1 (client x 2 + 90 i to 91 + 90 i, y 2 to 31).
click_button() {
    click_at 1 $((client_x + 2 + 90 * $1 + 45)) $((client_y + 16))
}
# A client point off the toolbar buttons and off every edge: no highlight.
move_away() {
    pointer_to $((client_x + 2)) $((client_y + client_h - 3))
}

# screen_is NAME SCREENCHECK-OPTIONS...: poll screenshots of the client area
# until one matches the described state, at most screen_timeout seconds.
# The clock's seconds in shown_clock; the last picture in $dir/NAME.png, and
# on a mismatch the expected one in $dir/NAME-expected.png.
#
# One more option: --clock-after S T, the clock started at S seconds at time
# T (from now) or later, so it shows S up to S + the whole seconds from T to
# the picture, for it ticks once a second.
screen_is() {
    local name="$1"
    shift
    local shot="$work/shot.ppm" deadline rc options=() clock_base="" clock_start=""
    while [ $# -gt 0 ]; do
        if [ "$1" = --clock-after ]; then
            clock_base="$2"
            clock_start="$3"
            shift 3
        else
            options+=("$1")
            shift
        fi
    done
    deadline=$(($(date +%s) + screen_timeout))
    shown_clock=""
    while :; do
        import -window root -crop "${client_w}x${client_h}+${client_x}+${client_y}" +repage \
            -depth 8 "ppm:$shot"
        shot_taken="$(now)"
        local clock=()
        if [ -n "$clock_base" ]; then
            clock=(--clock "$clock_base-$((clock_base + $(seconds_between "$clock_start" \
                "$shot_taken")))")
        fi
        "$screencheck" "$shot" "$puzzle_file" "$puzzle_index" "${options[@]}" "${clock[@]}" \
            --reference "$work/expected.ppm" >"$work/check.out" 2>&1
        rc=$?
        [ $rc -eq 0 ] && break
        [ "$(date +%s)" -le "$deadline" ] || break
        sleep 0.2
    done
    convert "$shot" "$dir/$name.png"
    if [ $rc -ne 0 ]; then
        convert "$work/expected.ppm" "$dir/$name-expected.png" 2>/dev/null
        sed 's/^/        /' "$work/check.out"
        return 1
    fi
    shown_clock="$(sed -n 's/^match clock=//p' "$work/check.out")"
    return 0
}
# expect_screen DESCRIPTION NAME SCREENCHECK-OPTIONS...
expect_screen() {
    local what="$1"
    shift
    if screen_is "$@"; then
        pass "$what${shown_clock:+ (clock $shown_clock s)}"
    else
        fail "$what (see $dir/$1.png)"
    fi
}
# The layout the screen reported in the last check against our own.
expect_layout() {
    local reported
    reported="$(sed -n 's/^layout //p' "$work/check.out")"
    expect "layout of the ${board_w}x${board_h} board at ${client_w}x${client_h}" "$reported" \
        "client=${client_w}x${client_h} pitch=$pitch glyph=$glyph margin=$margin origin=$ox,$oy toolbar=$toolbar_x clock=$clock_x"
}
# The board's vertex codes for the state of the last check.
checked_codes() { sed -n 's/^codes=//p' "$work/check.out"; }

# savedump of the scenario's save file into $work/save.out.
dump_save() { "$savedump" "$dir/quorrin.sav" >"$work/save.out" 2>&1; }
saved() { sed -n "s/^$1=//p" "$work/save.out"; }
# wait_for SECONDS COMMAND...: poll until the command succeeds, at most
# that long.
wait_for() {
    local deadline
    deadline=$(($(date +%s) + $1))
    shift
    while :; do
        "$@" && return 0
        [ "$(date +%s)" -le "$deadline" ] || return 1
        sleep 0.1
    done
}
# Whether the save file's key $1 reads $2.
saved_is() { dump_save && [ "$(saved "$1")" = "$2" ]; }
# Poll the save file until key $1 reads $2, at most $3 seconds.
wait_saved() { wait_for "$3" saved_is "$1" "$2"; }

# A clear time as the puzzle list shows it.
time_text() {
    if [ "$1" -eq 0 ]; then echo "－"; else printf '%02d:%02d\n' $(($1 / 60)) $(($1 % 60)); fi
}
# A line of the puzzle list as the probe prints it (tabs as \t).
list_line() {
    printf '%3d:\\t%2d x %2d\\t難易度 %d\\tクリア時間 %s\n' "$1" "$2" "$3" "$4" "$(time_text "$5")"
}

# Open the game menu and choose the item with accelerator $1.
menu_item() {
    xdotool key alt+g
    if wait_class '#32768'; then
        xdotool key "$1"
        return 0
    fi
    return 1
}

# Leave through the menu and wait for the end.
exit_through_menu() {
    menu_item x
    game_wait_exit
}

new_scenario() {
    dir="$out/$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    cp "$game_exe" "$dir/quorrin.exe"
    scenario_started="$(now)"
    echo
    echo "--- $1"
}
end_scenario() {
    stop_game_processes
    echo "  ($(awk -v a="$scenario_started" -v b="$(now)" 'BEGIN {printf "%.1f", b - a}') s)"
}
# Give up the rest of a scenario: the game is ended.
abort_scenario() {
    fail "$1; the rest of the scenario is skipped"
    local pid
    if pid="$(game_unix_pid)"; then kill -9 "$pid" 2>/dev/null; fi
    game_wait_exit
    end_scenario
}

title_open="問題を開く"
title_select="問題の選択"
title_about="バージョン情報"
title_confirm="確認"
title_error="初期化エラー"

# --------------------------------------------------------------------------
# First start with the shipped collections: the open-collection dialog, the
# main window, the clock, marks exactly where the layout puts the edges,
# the minimum window size, leaving through the menu.
scenario_first_start() {
    new_scenario first-start
    cp "$root"/puzzles/*.dat "$dir/"
    # Beside them: names that sort apart by bytes and by letters, a name in
    # upper case and a folder, which are not collections.
    printf '1/1/1/.\n' >"$dir/x.dat"
    cp "$dir/x.dat" "$dir/X2.dat"
    cp "$dir/x.dat" "$dir/Y.DAT"
    mkdir "$dir/folder.dat"
    game_start "$dir" || { abort_scenario "the game did not start"; return; }
    wait_title "$title_open" || { abort_scenario "no dialog \"$title_open\""; return; }
    snapshot open-collection
    expect_true "no main window before the collection is chosen" lacks_class QUORRIN
    expect "the dialog lists the collection files without \".dat\", in byte order" \
        "$(list_lines "$title_open" 121 | tr '\n' ' ')" \
        "$( (cd "$root/puzzles" && printf '%s\n' *.dat X2.dat x.dat) | LC_ALL=C sort |
            sed 's/\.dat$//' | tr '\n' ' ')"
    expect "the first collection is selected" "$(list_selection "$title_open" 121)" 0
    expect "button OK" "$(control_text "$title_open" 1)" OK
    expect "button Cancel" "$(control_text "$title_open" 2)" "キャンセル"
    expect_centred "$title_open" "0,0,${desktop_size/x/,}"

    local pressed
    pressed="$(now)"
    xdotool key Return
    wait_main || {
        abort_scenario "no main window after Return"
        return
    }
    expect "main window title" "$main_title" quorrin
    expect "main window client size" "${client_w}x${client_h}" 432x464
    probe dump
    expect_true "the open-collection dialog is gone" lacks_title "$title_open"

    set_puzzle "$dir/01_first_steps.dat" 0
    compute_layout
    # The clock starts after Return: a picture taken less than a second
    # after it shows 0:00.
    expect_screen "first puzzle, fresh, clock from 0:00" start --clock-after 0 "$pressed"
    expect_layout
    local first_clock="$shown_clock" first_taken="$shot_taken"
    # Two seconds later the clock has advanced, by no more than the time
    # that passed.
    while [ "$(seconds_between "$first_taken" "$(now)")" -lt 2 ]; do sleep 0.1; done
    expect_screen "two seconds later" clock-later \
        --clock-after "${first_clock:-0}" "$(second_before "$first_taken")"
    if [ -n "$first_clock" ] && [ -n "$shown_clock" ] && [ "$shown_clock" -gt "$first_clock" ]; then
        pass "the clock advances: $first_clock s, then $shown_clock s"
    else
        fail "the clock does not advance: ${first_clock:-?} s, then ${shown_clock:-?} s"
    fi

    # A line, a cross, a refused line: dot (0,0) is a corner of the board,
    # so with its right edge crossed a line down from it is a dead end.
    click_edge 1 h:2:0
    expect_screen "left click draws a line on edge h:2:0" line \
        --line h:2:0 --hover h:2:0
    click_edge 3 h:0:0
    expect_screen "right click puts a cross on edge h:0:0" cross \
        --line h:2:0 --cross h:0:0 --hover h:0:0
    click_edge 1 v:0:0
    expect_screen "left click on edge v:0:0 is refused: a cross" refused \
        --line h:2:0 --cross h:0:0 --cross v:0:0 --hover v:0:0
    move_away
    expect_screen "no highlight with the pointer off the edges" marks \
        --line h:2:0 --cross h:0:0 --cross v:0:0
    local codes
    codes="$(checked_codes)"

    # The minimum size: a wider window first, then the left border dragged
    # far right; a taller one, then the bottom border dragged far up.
    drag_border right 100 0
    wait_size 532x464
    expect "dragging the right border 100 px out widens the client area" \
        "${client_w}x${client_h}" 532x464
    compute_layout
    expect_screen "the board laid out again at 532x464" wide \
        --line h:2:0 --cross h:0:0 --cross v:0:0
    expect_layout
    local right_before="$win_right" top_before="$win_top"
    drag_border left 200 0
    wait_size 432x464
    expect "dragging the left border 200 px in stops at 432x464" "${client_w}x${client_h}" 432x464
    expect "the right border stays" "$win_right" "$right_before"
    expect "the left border stops where the client area is 432 wide" \
        "$((win_right - win_left))" "$((right_before - win_left))"
    drag_border bottom 0 80
    wait_size 432x544
    expect "dragging the bottom border 80 px down" "${client_w}x${client_h}" 432x544
    drag_border bottom 0 -200
    wait_size 432x464
    expect "dragging the bottom border 200 px up stops at 432x464" \
        "${client_w}x${client_h}" 432x464
    expect "the top border stays" "$win_top" "$top_before"
    # At the minimum size already: neither border moves. The hover look of
    # a toolbar button, drawn after the drags were handled, says when to look.
    local before="$win_left,$win_top,$win_right,$win_bottom"
    drag_border left 60 0
    drag_border right -60 0
    drag_border top 0 60
    drag_border bottom 0 -60
    pointer_to $((client_x + 47)) $((client_y + 16))
    compute_layout
    expect_screen "hover on button 0 after the drags" hover-button \
        --line h:2:0 --cross h:0:0 --cross v:0:0 --button 0
    refresh_main_window
    expect "at 432x464 dragging any border inwards changes nothing" \
        "$win_left,$win_top,$win_right,$win_bottom ${client_w}x${client_h}" "$before 432x464"

    exit_through_menu
    expect "exit code after leaving through the menu" "$game_exit" 0
    if dump_save; then
        expect "saved collection" "$(saved collectionName)" 01_first_steps.dat
        expect "saved record count and file size" "$(saved recordCount) $(saved size)" "1 2200"
        expect "saved puzzle and resume state (in play, trial off)" \
            "$(saved currentPuzzle) $(saved resumeState) $(saved originVertex)" "0 0 -1"
        expect "saved marks" "$(saved grid)" "$codes"
    else
        fail "no save file after leaving through the menu"
    fi
    end_scenario
}

# drag_border left|right|top|bottom DX DY: press on the middle of that border of
# the main window, move the pointer by DX, DY in two steps, release.
drag_border() {
    refresh_main_window || return 1
    local x y
    case "$1" in
        left) x=$((win_left + 1)) y=$(((win_top + win_bottom) / 2)) ;;
        top) x=$(((win_left + win_right) / 2)) y=$((win_top + 1)) ;;
        right) x=$((win_right - 2)) y=$(((win_top + win_bottom) / 2)) ;;
        bottom) x=$(((win_left + win_right) / 2)) y=$((win_bottom - 2)) ;;
    esac
    pointer_to "$x" "$y"
    xdotool mousedown 1
    sleep 0.2
    pointer_to $((x + $2 / 2)) $((y + $3 / 2))
    sleep 0.2
    pointer_to $((x + $2)) $((y + $3))
    sleep 0.2
    xdotool mouseup 1
}
# Poll the main window until its client size is $1, at most window_timeout.
wait_size() {
    local deadline
    deadline=$(($(date +%s) + window_timeout))
    while :; do
        refresh_main_window && [ "${client_w}x${client_h}" = "$1" ] && return 0
        [ "$(date +%s)" -le "$deadline" ] || return 1
        sleep 0.1
    done
}

# --------------------------------------------------------------------------
# The next start resumes the unfinished game: marks, clock, trial state.
scenario_resume() {
    new_scenario resume
    cp "$out/first-start/01_first_steps.dat" "$out/first-start/quorrin.sav" "$dir/"
    dump_save
    local saved_clock
    saved_clock="$(saved elapsedSeconds)"
    game_start "$dir" || { abort_scenario "the game did not start"; return; }
    wait_main || {
        abort_scenario "no main window"
        return
    }
    expect_true "no open-collection dialog when a game is saved" lacks_title "$title_open"
    set_puzzle "$dir/01_first_steps.dat" 0
    compute_layout
    move_away
    local marks=(--line h:2:0 --cross h:0:0 --cross v:0:0)
    expect_screen "the saved marks are back, the clock goes on from $saved_clock s" resumed "${marks[@]}" \
        --clock-after "$saved_clock" "$game_started"

    # Trial mode: armed by button 2, started by the next mark, which
    # becomes the trial origin; later marks leave the origin where it is.
    click_button 2
    expect_screen "button 2 arms trial mode: two trial buttons" armed \
        "${marks[@]}" --trial --button 2
    click_edge 1 v:2:0
    expect_screen "the first mark in trial mode is the trial origin" trial-origin \
        "${marks[@]}" --line v:2:0 --trial --origin v:2:0 --hover v:2:0
    click_edge 3 h:4:0
    move_away
    marks+=(--line v:2:0 --cross h:4:0)
    expect_screen "a second mark leaves the origin where it is" trial-marks \
        "${marks[@]}" --trial --origin v:2:0
    local codes clock_at_exit seen_at
    codes="$(checked_codes)"
    clock_at_exit="$shown_clock"
    seen_at="$shot_taken"

    # Leave through the close box's key.
    xdotool key alt+F4
    game_wait_exit
    expect "exit code after alt+F4" "$game_exit" 0
    if dump_save; then
        expect "saved trial state started, origin v:2:0 (vertex 12, vertical)" \
            "$(saved resumeState) $(saved originVertex) $(saved originOrientation)" "2 12 1"
        expect "saved marks" "$(saved grid)" "$codes"
        local elapsed
        elapsed="$(saved elapsedSeconds)"
        local most=$((clock_at_exit + 1 + $(seconds_between "$seen_at" "$(now)")))
        if [ "$elapsed" -ge "$clock_at_exit" ] && [ "$elapsed" -le "$most" ]; then
            pass "saved clock $elapsed s (the screen showed $clock_at_exit s)"
        else
            fail "saved clock $elapsed s, the screen showed $clock_at_exit s"
        fi
        saved_clock="$elapsed"
    else
        fail "no save file after alt+F4"
    fi

    # Again: the trial comes back with its origin.
    game_start "$dir" || { abort_scenario "the game did not start again"; return; }
    wait_main || {
        abort_scenario "no main window"
        return
    }
    move_away
    expect_screen "trial mode and origin come back" trial-resumed "${marks[@]}" --trial \
        --origin v:2:0 --clock-after "$saved_clock" "$game_started"
    # Rolling back a resumed trial goes back to the board as it was resumed.
    click_button 3
    move_away
    expect_screen "button 3 ends the resumed trial, the board as resumed" rolled-back \
        "${marks[@]}"
    exit_through_menu
    expect "exit code" "$game_exit" 0
    dump_save
    expect "saved: trial off, no origin" "$(saved resumeState) $(saved originVertex)" "0 -1"
    end_scenario
}

# --------------------------------------------------------------------------
# No collection beside the executable: the error box, exit code 0, nothing
# saved.
scenario_no_collection() {
    new_scenario no-collection
    game_start "$dir" || { abort_scenario "the game did not start"; return; }
    wait_title "$title_error" || { abort_scenario "no box \"$title_error\""; return; }
    snapshot error-box
    expect_true "the box says \"データファイルの読み込みに失敗しました\"" \
        has_control "$title_error" Static "データファイルの読み込みに失敗しました"
    expect_true "the box has an OK button" has_control "$title_error" Button OK
    expect "the box has one button" "$(awk -F'\t' -v h="$(window_handle "$title_error")" \
        '$1 == "control" && $2 == h && $4 == "Button" && $6 == 1' "$work/probe.out" | wc -l)" 1
    expect_true "no main window" lacks_class QUORRIN
    expect_true "no open-collection dialog" lacks_title "$title_open"
    xdotool key Return
    game_wait_exit
    expect "exit code" "$game_exit" 0
    expect_true "no save file" test ! -e "$dir/quorrin.sav"
    expect_true "no temporary file" test ! -e "$dir/quorrin.sav.tmp"
    end_scenario
}

# --------------------------------------------------------------------------
# A tiny collection: puzzles solved by clicks, the clear banner, the clear
# time in the save file; killed right after a solve and right after a
# dialog change, the save file is whole and the last one written.
write_tiny_collection() {
    # 1 x 1 without a clue (its loop is its four sides), 2 x 2 with two
    # clues 2 (the loop round the board), 2 x 1 without clues.
    printf '%s\n' "1/1/1/." "1/2/2/2./.2" "2/1/2/.." >"$1/tiny.dat"
}

# Click the edges $2... to the solve of a fresh puzzle; the last click is
# made once the clock shows at least 1 s. The clock it showed then is in
# clock_before_solve, the most it can have shown at the click in
# clock_at_solve_most. $1 names the pictures.
solve_by_clicks() {
    local name="$1"
    shift
    local done_marks=() edge
    while [ $# -gt 1 ]; do
        click_edge 1 "$1"
        done_marks+=(--line "$1")
        shift
    done
    move_away
    expect_screen "the loop but one edge" "$name-almost" "${done_marks[@]}"
    local deadline
    deadline=$(($(date +%s) + screen_timeout))
    while [ "${shown_clock:-0}" -lt 1 ] && [ "$(date +%s)" -le "$deadline" ]; do
        sleep 0.2
        screen_is "$name-almost" "${done_marks[@]}"
    done
    clock_before_solve="${shown_clock:-0}"
    local seen="$shot_taken"
    edge="$1"
    click_edge 1 "$edge"
    # The clock may have ticked since the picture, once a second.
    clock_at_solve_most=$((clock_before_solve + 1 + $(seconds_between "$seen" "$(now)")))
    solved_marks=("${done_marks[@]}" --line "$edge" --hover "$edge")
    expect_screen "the last edge solves the puzzle: the clear banner" "$name-solved" \
        "${solved_marks[@]}" --banner
}

scenario_solve() {
    new_scenario solve
    write_tiny_collection "$dir"
    game_start "$dir" || { abort_scenario "the game did not start"; return; }
    wait_title "$title_open" || { abort_scenario "no dialog \"$title_open\""; return; }
    expect "the dialog lists the one collection" "$(list_lines "$title_open" 121)" tiny
    local pressed
    pressed="$(now)"
    xdotool key Return
    wait_main || {
        abort_scenario "no main window"
        return
    }
    set_puzzle "$dir/tiny.dat" 0
    compute_layout
    move_away
    expect_screen "puzzle 1 (1x1), fresh" fresh --clock-after 0 "$pressed"
    expect_layout
    solve_by_clicks one h:0:0 v:0:0 v:0:1 h:1:0
    # The solve is saved at once.
    if wait_saved resumeState -1 5; then
        local times t0
        times="$(saved record.0.clearTimes)"
        t0="${times%%,*}"
        if [ "$t0" -ge "$clock_before_solve" ] && [ "$t0" -le "$clock_at_solve_most" ] &&
            [ "$t0" -gt 0 ]; then
            pass "the solve is saved at once with the clear time $t0 s (clock $clock_before_solve s before)"
        else
            fail "clear time $t0 s, the clock showed $clock_before_solve s before the last click"
        fi
        expect "only puzzle 1 is cleared" "${times#*,}" "$(printf '0%.0s,' {1..28})0"
    else
        fail "no save file with the solve"
    fi
    # Solved: the pointer over an edge highlights nothing.
    edge_point v:0:0
    pointer_to "$px" "$py"
    sleep 0.3
    expect_screen "after the solve the pointer highlights nothing" solved-hover \
        "${solved_marks[@]}" --banner
    # A left click anywhere, the blank toolbar strip too, starts the next
    # uncleared puzzle.
    local clicked
    clicked="$(now)"
    click_at 1 $((client_x + 400)) $((client_y + 16))
    set_puzzle "$dir/tiny.dat" 1
    compute_layout
    move_away
    expect_screen "a click on the toolbar strip starts puzzle 2 (2x2), fresh" fresh-2 \
        --clock-after 0 "$clicked"
    exit_through_menu
    expect "exit code" "$game_exit" 0
    if dump_save; then
        expect "saved: collection, puzzle, resume state (in play), records, size" \
            "$(saved collectionName) $(saved currentPuzzle) $(saved resumeState) $(saved recordCount) $(saved size)" \
            "tiny.dat 1 0 1 2200"
        expect "saved clear times" "$(saved record.0.clearTimes)" "$times"
    else
        fail "no save file after leaving"
    fi

    # The next start resumes puzzle 2, which is solved and the game killed as
    # soon as the solve is on disk.
    local saved_clock
    saved_clock="$(saved elapsedSeconds)"
    game_start "$dir" || { abort_scenario "the game did not start again"; return; }
    wait_main || {
        abort_scenario "no main window"
        return
    }
    move_away
    expect_screen "next start: puzzle 2 (2x2) resumed" resumed-2 \
        --clock-after "${saved_clock:-0}" "$game_started"
    solve_by_clicks two h:0:0 h:0:1 v:0:2 v:1:2 h:2:1 h:2:0 v:1:0 v:0:0
    local t1=0
    if wait_for 5 second_solve_saved; then
        t1="$(saved record.0.clearTimes | cut -d, -f2)"
    fi
    kill_game
    if dump_save; then
        expect "killed after the solve: the save file is whole" \
            "$(saved size) $(saved storedRecordCount)" "2200 1"
        expect "and holds the solve" "$(saved currentPuzzle) $(saved resumeState)" "1 -1"
        local times2
        times2="$(saved record.0.clearTimes)"
        if [ "$(cut -d, -f1 <<<"$times2")" = "$t0" ] && [ "$t1" -gt 0 ] &&
            [ "$(cut -d, -f2 <<<"$times2")" = "$t1" ]; then
            pass "clear times $t0 s and $t1 s kept"
        else
            fail "clear times $times2, expected $t0 s and $t1 s ($clock_before_solve s on the clock)"
        fi
    else
        fail "no whole save file after the kill"
    fi
    expect_true "no temporary file left" test ! -e "$dir/quorrin.sav.tmp"
    end_scenario
}

# Whether the save file holds the solve of the second puzzle.
second_solve_saved() {
    dump_save && [ "$(saved currentPuzzle) $(saved resumeState)" = "1 -1" ] &&
        [ "$(saved record.0.clearTimes | cut -d, -f2)" != 0 ]
}

# Kill the game's Unix process (kill -9) and wait for the end.
kill_game() {
    local pid
    if pid="$(game_unix_pid)"; then
        kill -9 "$pid"
        game_wait_exit
        pass "game process $pid killed"
    else
        fail "no game process to kill"
    fi
}

# --------------------------------------------------------------------------
# The puzzle-selection dialog, its list and its clear button; killed right
# after the dialog changed the progress.
scenario_select_dialog() {
    new_scenario select-dialog
    cp "$out/solve/tiny.dat" "$out/solve/quorrin.sav" "$dir/"
    dump_save
    local times t0 t1
    times="$(saved record.0.clearTimes)"
    t0="$(cut -d, -f1 <<<"$times")"
    t1="$(cut -d, -f2 <<<"$times")"
    game_start "$dir" || { abort_scenario "the game did not start"; return; }
    wait_main || {
        abort_scenario "no main window"
        return
    }
    set_puzzle "$dir/tiny.dat" 2
    compute_layout
    move_away
    expect_screen "the start after a solve goes on with puzzle 3 (2x1), fresh" fresh \
        --clock-after 0 "$game_started"
    local fresh_clock="$shown_clock" fresh_seen="$shot_taken"

    local main_rect="$win_left,$win_top,$win_right,$win_bottom"
    click_button 0
    wait_title "$title_select" || { abort_scenario "no dialog \"$title_select\""; return; }
    snapshot select-puzzle
    expect_centred "$title_select" "$main_rect"
    expect "the collection's name above the list" "$(control_text "$title_select" 123)" tiny
    local with_times without_times
    with_times="$(list_line 1 1 1 1 "$t0"; list_line 2 2 2 1 "$t1"; list_line 3 2 1 2 0)"
    without_times="$(list_line 1 1 1 1 0; list_line 2 2 2 1 0; list_line 3 2 1 2 0)"
    expect_list "the puzzle list with the clear times, the puzzle in play selected" \
        "$title_select" 118 "$with_times" 2
    expect "buttons OK, Cancel, クリア" \
        "$(control_text "$title_select" 1) $(control_text "$title_select" 2) $(control_text "$title_select" 119)" \
        "OK キャンセル クリア"

    # Select the first line with the mouse, then クリア, answered Cancel.
    click_list_line "$title_select" 118 0
    expect_list "a click selects the first line" "$title_select" 118 "$with_times" 0
    click_control "$title_select" 119
    wait_title "$title_confirm" || { abort_scenario "no box \"$title_confirm\""; return; }
    snapshot clear-question
    expect_true "the question \"すべての記録を削除します。よろしいですか?\"" \
        has_control "$title_confirm" Static "すべての記録を削除します。よろしいですか?"
    expect_true "with OK" has_control "$title_confirm" Button OK
    expect_true "and Cancel" has_control "$title_confirm" Button "キャンセル"
    xdotool key Escape
    wait_gone "$title_confirm"
    # A click on the second line is handled after the answer: once it is
    # selected, the answer has had its effect.
    probe dump
    click_list_line "$title_select" 118 1
    expect_list "Cancel keeps the clear times" "$title_select" 118 "$with_times" 1

    # クリア answered OK: every line without a time, the selection back on
    # the puzzle in play.
    click_control "$title_select" 119
    wait_title "$title_confirm" || { abort_scenario "no box \"$title_confirm\""; return; }
    xdotool key Return
    wait_gone "$title_confirm"
    expect_list "OK erases the clear times and selects the puzzle in play again" \
        "$title_select" 118 "$without_times" 2
    # Cancel the dialog: the erased times are saved all the same, at once.
    xdotool key Escape
    wait_gone "$title_select"
    if wait_saved record.0.clearTimes "$(printf '0%.0s,' {1..29})0" 5; then
        pass "after the dialog the erased clear times are saved at once"
    else
        fail "the erased clear times are not saved: $(saved record.0.clearTimes)"
    fi
    # The hover look of button 1, drawn after the dialog has ended.
    pointer_to $((client_x + 2 + 90 + 45)) $((client_y + 16))
    expect_screen "cancelling the dialog leaves the game as it was" after-cancel --button 1 \
        --clock-after "${fresh_clock:-0}" "$(second_before "$fresh_seen")"

    # Choose the first puzzle with OK; kill the game once that is saved.
    click_button 0
    wait_title "$title_select" || { abort_scenario "no dialog \"$title_select\""; return; }
    click_list_line "$title_select" 118 0
    expect_list "a click on the first line" "$title_select" 118 "$without_times" 0
    local chosen
    chosen="$(now)"
    click_control "$title_select" 1
    wait_gone "$title_select"
    set_puzzle "$dir/tiny.dat" 0
    compute_layout
    move_away
    expect_screen "OK starts the chosen puzzle 1 (1x1), fresh" chosen \
        --clock-after 0 "$chosen"
    if wait_saved currentPuzzle 0 5; then
        pass "the choice is saved at once"
    else
        fail "the choice is not saved"
    fi
    kill_game
    if dump_save; then
        expect "killed after the dialog: the save file is whole" \
            "$(saved size) $(saved storedRecordCount)" "2200 1"
        expect "and holds the choice, a game in play, no clear times" \
            "$(saved currentPuzzle) $(saved resumeState) $(saved record.0.clearTimes)" \
            "0 0 $(printf '0%.0s,' {1..29})0"
    else
        fail "no whole save file after the kill"
    fi
    expect_true "no temporary file left" test ! -e "$dir/quorrin.sav.tmp"
    end_scenario
}

# --------------------------------------------------------------------------
# The toolbar: restart with Cancel and OK, trial mode kept and rolled back;
# the About box.
scenario_toolbar() {
    new_scenario toolbar
    cp "$out/select-dialog/tiny.dat" "$out/select-dialog/quorrin.sav" "$dir/"
    dump_save
    local saved_clock
    saved_clock="$(saved elapsedSeconds)"
    game_start "$dir" || { abort_scenario "the game did not start"; return; }
    wait_main || {
        abort_scenario "no main window"
        return
    }
    set_puzzle "$dir/tiny.dat" 0
    compute_layout
    move_away
    expect_screen "the game left in play comes back" resumed \
        --clock-after "${saved_clock:-0}" "$game_started"

    click_edge 1 h:0:0
    expect_screen "a line on edge h:0:0" line --line h:0:0 --hover h:0:0
    local line_clock="$shown_clock" line_seen="$shot_taken"
    click_button 1
    wait_title "$title_confirm" || { abort_scenario "no box \"$title_confirm\""; return; }
    snapshot restart-question
    expect_true "restart asks \"最初から始めます。よろしいですか?\"" \
        has_control "$title_confirm" Static "最初から始めます。よろしいですか?"
    expect_true "with OK" has_control "$title_confirm" Button OK
    expect_true "and Cancel" has_control "$title_confirm" Button "キャンセル"
    xdotool key Escape
    wait_gone "$title_confirm"
    # The hover look of button 2, drawn after the answer was handled.
    pointer_to $((client_x + 2 + 180 + 45)) $((client_y + 16))
    local clock_kept
    expect_screen "Cancel keeps the board and the clock" restart-cancelled \
        --line h:0:0 --button 2 --clock-after "${line_clock:-0}" "$(second_before "$line_seen")"
    clock_kept="$shown_clock"
    click_button 1
    wait_title "$title_confirm" || { abort_scenario "no box \"$title_confirm\""; return; }
    local confirmed
    confirmed="$(now)"
    xdotool key Return
    wait_gone "$title_confirm"
    move_away
    expect_screen "OK restarts: fresh board, clock from 0 (it was at $clock_kept s)" restarted \
        --clock-after 0 "$confirmed"

    # Arm, mark, roll back.
    click_button 2
    expect_screen "button 2 arms trial mode" armed --trial --button 2
    click_edge 1 h:0:0
    expect_screen "a mark in trial mode: the trial origin" trial \
        --line h:0:0 --trial --origin h:0:0 --hover h:0:0
    click_button 3
    expect_screen "button 3 rolls the board back and ends trial mode" rolled-back --button 3
    # Button 3 with trial mode off: nothing (the hover look of button 0,
    # drawn after the click was handled, says when to look).
    click_button 3
    pointer_to $((client_x + 2 + 45)) $((client_y + 16))
    expect_screen "button 3 with trial mode off does nothing" off-button-3 --button 0
    # Arm, mark, keep.
    click_button 2
    click_edge 1 v:0:0
    click_button 2
    expect_screen "button 2 again keeps the trial's marks and ends trial mode" kept \
        --line v:0:0 --button 2

    # The About box from the menu.
    refresh_main_window
    local main_rect="$win_left,$win_top,$win_right,$win_bottom"
    menu_item a
    if wait_title "$title_about"; then
        snapshot about
        expect_centred "$title_about" "$main_rect"
        expect_true "the About box says \"quorrin version 1.7\"" \
            has_control "$title_about" Static "quorrin version 1.7"
        expect "its button" "$(control_text "$title_about" 1)" OK
        xdotool key Return
        wait_gone "$title_about"
        probe dump
        expect_true "Return closes it" lacks_title "$title_about"
    else
        fail "no About box"
    fi
    move_away
    expect_screen "the board is whole again after the About box" after-about --line v:0:0

    exit_through_menu
    expect "exit code" "$game_exit" 0
    dump_save
    expect "saved: the puzzle in play with its mark, trial off" \
        "$(saved currentPuzzle) $(saved resumeState) $(saved grid)" "0 0 $(checked_codes)"
    end_scenario
}

started="$(now)"
echo "quorrin end-to-end tests: display $DISPLAY, Wine prefix $WINEPREFIX, output $out"
scenario_first_start
scenario_resume
scenario_no_collection
scenario_solve
scenario_select_dialog
scenario_toolbar
echo
echo "$(awk -v a="$started" -v b="$(now)" 'BEGIN {printf "%.0f", b - a}') s in all"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
