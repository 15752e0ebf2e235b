# Shared helpers of the end-to-end scripts (sourced, not run).
#
#   #!/bin/bash
#   source "$(dirname "$0")/frontend_common.bash"   # the script's $1 $2: <game folder> <build folder>
#   prepare_folder
#   start_game            # launcher, Start, loading, main menu
#   ...
#   stop_game             # or: (exit from the menu) wait_game_exit 20
#   echo "PASS ($E2E_NAME)"
#
# Sourcing starts a virtual X server of the script's own (Xvfb, found by its
# PID; E2E_SCREEN sets its size, default 1280x1024x24) and sets traps so
# that, however the script ends -- PASS, fail, a command failing under
# set -e, Ctrl-C, a TERM from ctest's timeout -- the game and the X server it
# started are ended by their PIDs and the scratch folder goes. A script that
# still runs itself under xvfb-run with VOXARINE_E2E_XVFB=1 keeps that server.
#
# The rules every step keeps:
#   - Wait for the state the next step needs: a debug-log line, a file, a
#     picture, a stretch of a recording. A sleep only paces input, never
#     stands in for a state.
#   - Retry an input only where the game demonstrably did not take it (a
#     player would press or click again), and never one that toggles.
#   - End only the processes the script started, by PID.
#
# Set-up and program life
#   prepare_folder            scratch copy of the game folder ($GAME), own HOME
#                             and XDG folders, settings: windowed 800 x 600,
#                             hints on, frame-rate lines in the log ($LOG)
#   launch                    starts the program ($GAME_PID), waits for the
#                             launcher window ($LAUNCHER)
#   press_start [key|click]   the launcher's Start, by Enter or a click on the
#                             button; again only if the launcher did not take it
#   await_menu                after Start: the game window ($WIN and its
#                             geometry $WX $WY $WW $WH), loading finished, menu
#   start_game [key|click]    launch + press_start + await_menu + focus_game
#   focus_game                gives the game window the keyboard
#   game_running              the program started by launch still runs
#   wait_game_exit Limit      waits for it to end by itself; $GAME_STATUS
#   stop_game [Limit]         ends it: TERM (the game closes as on a window
#                             close), KILL after Limit s (10); $GAME_STATUS
# Waiting
#   wait_until Limit What Command...   polls Command; fails after Limit s
#   wait_for_log Regex [Limit]         a line anywhere in the debug log
#   mark_log; wait_for_new_log Regex [Limit]   a line written after the mark
#   wait_state gsMenu|gsGame  a fresh frame-rate line of that state (only those
#                             two write one): proves the window is in it, when
#                             the state before was another
#   quiet_for_2s              no frame-rate line for 2 s: left gsMenu/gsGame
#   await_game_over           a lost game's end sequence is over (gsGameOver)
#   wait_for_file Path [Limit], wait_for_no_file Path [Limit]
#   expect_picture Name What Command...   screenshot Name again and again
#                             until Command (a picture check) holds
# Input (world coordinates of the board and menu plane)
#   move_to X Y, click_at X Y [Button], park_pointer, press Key..., type_text Text
#   cell_x N, cell_y N        board cell -> world coordinates
# Pictures ($SHOTS/Name.png)
#   shot Name, rgb_at Name X Y, highlighted / not_highlighted Name X Y,
#   expect_highlight Name X Y, region_differs A B X Y, picture_differs A B [Threshold]
# Message boxes
#   box_window Caption, box_shown Caption, dismiss_box Caption (Enter),
#   box_says Words (in $BOXES, the game's VOXARINE_BOX_LOG)
# Game files and moves
#   save_file Mode, has_file, lacks_file, write_full_board_save Path,
#   lose_the_full_board_game, leave_game_over key-name|click

set -u

E2E_NAME=$(basename "$0" .sh)
SRC_GAME_DIR=$(cd "$1" && pwd)
BUILD_DIR=$(cd "$2" && pwd)
SHOTS="$BUILD_DIR/e2e-shots/$E2E_NAME"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/voxarine-$E2E_NAME.XXXXXX")
GAME="$WORK/game"
LOG="$GAME/debug.txt"
GAME_PID=""
GAME_PARENT=""
GAME_STATUS=""
XVFB_PID=""
WIN=""
WX=0 WY=0 WW=0 WH=0
LOG_MARK=0
LAUNCHER=""
E2E_LAST_ERROR=""
GAME_ARGS=()  # command-line arguments launch gives the program

# ---- Processes: only ours, by PID ------------------------------------------------

# True while Pid is a live child of the shell that started it (Parent): a PID
# freed and taken by another program is never ours to signal. The parent is
# the fourth field of /proc/PID/stat, counted after the name in parentheses.
ours() {  # pid, parent pid
  local stat="" parent
  [ -n "$1" ] && { read -r stat < "/proc/$1/stat"; } 2> /dev/null
  [ -n "$stat" ] || return 1
  read -r _ parent _ <<< "${stat##*) }"
  [ "$parent" = "$2" ]
}

# Ends our child Pid: TERM, then KILL after Limit seconds; reaps it.
end_process() {  # pid, parent pid, limit, name
  local pid=$1 parent=$2 end=$((SECONDS + $3))
  if ! ours "$pid" "$parent"; then
    # Gone already: reap it for its status. Alive but not ours: never wait on it.
    kill -0 "$pid" 2>/dev/null || wait "$pid" 2>/dev/null
    return
  fi
  kill -TERM "$pid" 2>/dev/null
  while ours "$pid" "$parent" && [ $SECONDS -lt $end ]; do sleep 0.1; done
  if ours "$pid" "$parent"; then
    echo "note ($E2E_NAME): $4 (PID $pid) did not end within $3 s of TERM; killed" >&2
    kill -KILL "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
}

e2e_cleanup() {
  local status=$?
  trap - EXIT INT TERM HUP ERR
  if [ -n "$GAME_PID" ]; then
    end_process "$GAME_PID" "$GAME_PARENT" 10 "the game"
    GAME_PID=""
  fi
  if [ -n "$XVFB_PID" ]; then
    end_process "$XVFB_PID" "$$" 5 "Xvfb"
    XVFB_PID=""
  fi
  if [ $status -ne 0 ] && [ -n "$E2E_LAST_ERROR" ]; then
    echo "last failed command: $E2E_LAST_ERROR" >&2
  fi
  rm -rf "$WORK"
  exit $status
}
trap e2e_cleanup EXIT
# A signal ends the script through exit, so the EXIT trap cleans up.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
# Remembered for the report; under set -e the failure exits through EXIT.
trap 'E2E_LAST_ERROR="line $LINENO: $BASH_COMMAND"' ERR

fail() {
  E2E_LAST_ERROR=""  # the message says what failed
  echo "FAIL ($E2E_NAME): $*" >&2
  if [ -f "$LOG" ]; then
    echo "---- last lines of the debug log" >&2
    tail -n 25 "$LOG" >&2
  fi
  if [ -s "$WORK/stdout.txt" ]; then
    echo "---- the game's output" >&2
    tail -n 10 "$WORK/stdout.txt" >&2
  fi
  mkdir -p "$SHOTS"
  shot "failure" && echo "screenshot: $SHOTS/failure.png" >&2
  exit 1
}

step() { echo "== $*"; }

# Polls a command until it succeeds; fails the test after Limit seconds.
wait_until() {
  local limit=$1 what=$2
  shift 2
  local end=$((SECONDS + limit))
  while ! "$@"; do
    [ $SECONDS -ge $end ] && fail "timed out after ${limit}s waiting for: $what"
    sleep 0.1
  done
}

# ---- The X server ------------------------------------------------------------------

# Xvfb picks a free display itself and says which (-displayfd), so scripts
# running side by side never meet. Key repeat starts after a minute: a key
# whose release is late on a loaded machine must not repeat into the game.
start_display() {
  if [ -n "${VOXARINE_E2E_XVFB:-}" ] && [ -n "${DISPLAY:-}" ]; then return 0; fi
  command -v Xvfb > /dev/null || { echo "Xvfb is missing (tools/install-deps.sh installs it)" >&2; exit 1; }
  local fifo="$WORK/displayfd" number=""
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1280x1024x24}" -nolisten tcp -noreset -ardelay 60000 -arinterval 60000 \
    3> "$fifo" > "$WORK/xvfb.txt" 2>&1 &
  XVFB_PID=$!
  read -r -t 60 number < "$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "Xvfb did not start:" >&2
    cat "$WORK/xvfb.txt" >&2
    exit 1
  fi
  export DISPLAY=":$number"
  unset XAUTHORITY
}
start_display

# ---- The game folder, settings and start ----------------------------------------

prepare_folder() {
  rm -rf "$SHOTS" "$GAME" "$WORK/home" "$WORK/config" "$WORK/data"
  mkdir -p "$WORK/home" "$WORK/config/voxarine" "$WORK/data" "$SHOTS"
  cp -r "$SRC_GAME_DIR" "$GAME"
  # Start from nothing the developer's runs may have left in the build folder.
  rm -f "$GAME/debug.txt" "$GAME"/data/Save?.dat "$GAME/data/Hiscores.dat" "$GAME"/Images/Tutorial/*.bmp
  export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
  export SDL_AUDIODRIVER=dummy
  # A window of 800 x 600, hints before a game, frame-rate lines in the log
  # (they tell which state the window is in, once a second).
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Voxarine]' \
    '"SoundVol"=dword:00000005' '"MusicVol"=dword:00000005' '"Fullscreen"=dword:00000000' \
    '"Resolution"=dword:00000003' '"Color"=dword:00000001' '"Desktop"=dword:00000000' \
    '"Texture"=dword:00000001' '"Help"=dword:00000001' '"WriteDebug"=dword:00000001' \
    '"PseudoFullscreen"=dword:00000000' > "$WORK/config/voxarine/settings.reg"
}

find_window() {  # name -> prints the id of a mapped window with exactly that name
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}

launch() {
  [ -n "$GAME_PID" ] && game_running && fail "launch: the game started before still runs"
  (cd "$GAME" && exec ./voxarine ${GAME_ARGS[@]+"${GAME_ARGS[@]}"} > "$WORK/stdout.txt" 2>&1) &
  GAME_PID=$!
  GAME_PARENT=$BASHPID
  GAME_STATUS=""
  wait_until 60 "the launcher window" launcher_shown
  LAUNCHER=$(find_window "Voxarine")
}
# User and system clock ticks the game has used, all its threads (fields 14
# and 15 of its stat).
cpu_ticks() {
  local stat fields
  read -r stat < "/proc/$GAME_PID/stat" || fail "the game is gone"
  read -r -a fields <<< "${stat##*) }"
  echo $((fields[11] + fields[12]))
}

launcher_shown() {
  game_running || fail "the program ended before showing its launcher"
  [ -n "$(find_window "Voxarine")" ]
}

# The launcher took Start: the game window writes its first log line, and the
# launcher hides.
start_taken() { [ -f "$LOG" ] || ! xdotool search --onlyvisible --name '^Voxarine$' 2>/dev/null | grep -qx "$LAUNCHER"; }

press_start() {  # key (Enter, the default button) or click (on the Start button)
  local how=${1:-key} attempt end X Y WIDTH HEIGHT SCREEN WINDOW
  for attempt in 1 2 3; do
    if [ "$how" = click ]; then
      eval "$(xdotool getwindowgeometry --shell "$LAUNCHER")"
      xdotool mousemove --sync $((X + 267)) $((Y + 20)) click 1
    else
      timeout 10 xdotool windowfocus --sync "$LAUNCHER" 2> /dev/null
      xdotool key --clearmodifiers Return
    fi
    # A dialog still in its first frames may miss the input; it then shows,
    # unchanged, and writes nothing: only then is Start given again.
    end=$((SECONDS + 20))
    while [ $SECONDS -lt $end ]; do
      start_taken && return 0
      game_running || fail "the program ended after Start"
      sleep 0.1
    done
    echo "note: the launcher did not take Start (attempt $attempt)"
  done
  fail "the launcher did not take Start"
}

# After the launcher's Start: the game window, loaded and showing the menu.
await_menu() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  wait_until 60 "the game window" game_window_shown
  WIN=$(game_window)
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
  wait_until 180 "\"... Loading finished\" in the debug log" log_has ' \.\.\. Loading finished'
  wait_state gsMenu
}
# The game window bears the launcher's title; it is the other window.
game_window() {
  xdotool search --onlyvisible --name '^Voxarine$' 2>/dev/null | grep -v "^${LAUNCHER}\$" | head -n 1
}
game_window_shown() {
  game_running || fail "the program ended before showing the game window"
  [ -n "$(game_window)" ]
}

focus_game() { timeout 10 xdotool windowfocus --sync "$WIN" 2> /dev/null || true; }

start_game() {  # key or click: how Start is given
  launch
  press_start "${1:-key}"
  await_menu
  focus_game
}

game_running() { ours "$GAME_PID" "$GAME_PARENT"; }

wait_game_exit() {  # limit in seconds
  wait_until "$1" "the program to end" bash -c "! kill -0 $GAME_PID 2> /dev/null"
  GAME_STATUS=0
  wait "$GAME_PID" 2> /dev/null || GAME_STATUS=$?
  GAME_PID=""
}

stop_game() {  # [limit in seconds before KILL]
  [ -n "$GAME_PID" ] || return 0
  local status=0
  end_process "$GAME_PID" "$GAME_PARENT" "${1:-10}" "the game" || status=$?
  GAME_STATUS=$status
  GAME_PID=""
}

# ---- The debug log ------------------------------------------------------------------

log_has() { [ -f "$LOG" ] && grep -q -- "$1" "$LOG"; }
# Lines written after the last mark_log.
mark_log() { LOG_MARK=$(wc -l < "$LOG"); }
new_log_has() { tail -n +"$((LOG_MARK + 1))" "$LOG" | grep -q -- "$1"; }
wait_for_log() { wait_until "${2:-20}" "\"$1\" in the debug log" log_has "$1"; }
wait_for_new_log() { wait_until "${2:-20}" "a new \"$1\" in the debug log" new_log_has "$1"; }
no_errors() { ! grep -q ' Error: ' "$LOG" || fail "the game reported: $(grep ' Error: ' "$LOG" | head -n 1)"; }

# The frame-rate line of each second names the state (only gsMenu and gsGame
# write one): waiting for a fresh one proves the state. It proves a change
# only when the state before was another one: the line may come from a frame
# drawn before the game read the last input.
wait_state() {
  mark_log
  wait_until 30 "a \"$1  FPS\" line" new_state_line "$1"
  no_errors
}
new_state_line() {
  game_running || fail "the program ended"
  new_log_has " $1  FPS:"
}
# No frame-rate line for two seconds: the window has left gsMenu and gsGame.
quiet_for_2s() {
  game_running || fail "the program ended"
  mark_log
  sleep 2.2
  ! new_log_has "FPS:"
}
# A lost game's end sequence (about 7 s of play frames) is over: the
# game-over screen, which writes no frame-rate lines.
await_game_over() { wait_until 90 "the game-over screen (no more frame lines of play)" quiet_for_2s; }

# ---- Files ----------------------------------------------------------------------------

save_file() { echo "$GAME/data/Save$1.dat"; }
has_file() { [ -f "$1" ]; }
lacks_file() { [ ! -f "$1" ]; }
wait_for_file() { wait_until "${2:-20}" "$1" has_file "$1"; }
wait_for_no_file() { wait_until "${2:-20}" "$1 to go" lacks_file "$1"; }

# Message boxes. SDL's have a caption but no class (and a name xdotool does
# not read): found through xwininfo. box_says reads $BOXES, the text log the
# game writes of its boxes when VOXARINE_BOX_LOG names it.
box_window() {
  xwininfo -root -tree 2> /dev/null | awk -v n="\"$1\": ()" 'index($0, n) { print $1; exit }'
}
box_shown() { [ -n "$(box_window "$1")" ]; }
# Waits for the box called Caption and answers it with Enter.
dismiss_box() {
  local caption=$1 id end
  wait_until 30 "the \"$caption\" message box" box_shown "$caption"
  id=$(box_window "$caption")
  end=$((SECONDS + 15))
  while box_shown "$caption" && [ "$(box_window "$caption")" = "$id" ]; do
    [ $SECONDS -ge $end ] && fail "the \"$caption\" box does not go away"
    xdotool windowfocus "$id" 2> /dev/null && xdotool key Return 2> /dev/null
    sleep 0.3
  done
}
box_says() { [ -f "$BOXES" ] && grep -q -- "$1" "$BOXES"; }

# ---- Screen and input -------------------------------------------------------------------

# World position on the menu plane -> screen pixel (the cursor's mapping:
# the view is 14.45 x 10.8375 units centred on (-1.8, -0.25), x growing left).
to_screen() {
  awk -v wx="$1" -v wy="$2" -v X="$WX" -v Y="$WY" -v W="$WW" -v H="$WH" 'BEGIN {
    printf "%d %d\n", X + (0.5 - (wx + 1.8) / 14.45) * W, Y + (0.5 - (wy + 0.25) / 10.8375) * H }'
}
move_to() {
  local sx sy
  read -r sx sy < <(to_screen "$1" "$2")
  # Two moves, so that the game sees motion even when the pointer is there
  # already (a click takes the item the last motion selected). The game reads
  # motion and clicks in the order they were sent: the pauses only pace.
  xdotool mousemove --sync $((sx + 2)) "$sy"
  xdotool mousemove --sync "$sx" "$sy"
  sleep 0.1
}
click_at() {  # world x, world y [button 1 left, 3 right]
  move_to "$1" "$2"
  xdotool click "${3:-1}"
  sleep 0.2
}
# Away from every item, still inside the window (the pointer leaving it would
# take the focus away): the top left corner, left of the board.
park_pointer() { move_to 5.0 4.9; }

# From the main menu by mouse: Play, Relaxed, Start game on the hints page.
start_relaxed_by_mouse() {
  click_at -1.8 1.00   # Play
  click_at -1.8 1.55   # Relaxed
  click_at -5.2 -4.75  # Start game (hints page)
  wait_state gsGame
}

# Picks cubes up and sends them to cells at random, N times. The board takes
# clicks only between moves; the pauses leave time for them.
random_moves() {
  local i
  for i in $(seq "$1"); do
    click_at $((RANDOM % 9 - 4)) $((RANDOM % 9 - 4))
    sleep 0.1
    click_at $((RANDOM % 9 - 4)) $((RANDOM % 9 - 4))
    sleep 0.7
  done
}
press() {
  local k
  for k in "$@"; do
    xdotool key --clearmodifiers "$k"
    sleep 0.1
  done
}
type_text() { xdotool type --delay 120 "$1"; }

shot() { import -window root "$SHOTS/$1.png" 2>/dev/null; }

# Takes screenshot Name until Command holds (it reads the fresh Name.png).
expect_picture() {  # name, what, command...
  local name=$1 what=$2 end=$((SECONDS + 20))
  shift 2
  while :; do
    shot "$name"
    "$@" && return 0
    [ $SECONDS -ge $end ] && fail "$what: not seen in $name.png"
    sleep 0.2
  done
}

# Mean red, green and blue (0..1) of a 16 x 8 box around a world point, from
# the last screenshot called Name.
rgb_at() {
  local name=$1 sx sy
  read -r sx sy < <(to_screen "$2" "$3")
  convert "$SHOTS/$name.png" -crop "16x8+$((sx - 8))+$((sy - 4))" +repage \
    -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' info:
}
# The menu draws a selected item in warm colours, the others in cool blue.
highlighted() {  # shot name, world x, world y
  rgb_at "$@" | awk '{ exit !($1 > $3 + 0.08) }'
}
not_highlighted() {
  rgb_at "$@" | awk '{ exit !($3 > $1 + 0.03) }'
}
# Two screenshots differ in the box around a world point.
region_differs() {  # shot a, shot b, world x, world y
  local a b
  a=$(rgb_at "$1" "$3" "$4")
  b=$(rgb_at "$2" "$3" "$4")
  awk -v a="$a" -v b="$b" 'BEGIN { split(a, p); split(b, q); d = 0;
    for (i = 1; i <= 3; i++) d += (p[i] > q[i] ? p[i] - q[i] : q[i] - p[i]); exit !(d > 0.1) }'
}
# Two screenshots show different screens: the game window's pictures differ
# by more than the floating decoration of one screen moves (RMS over 0.1,
# or over Threshold).
picture_differs() {  # shot a, shot b [threshold]
  local rms
  rms=$(compare -metric RMSE -crop "${WW}x${WH}+${WX}+${WY}" "$SHOTS/$1.png" "$SHOTS/$2.png" null: 2>&1 |
    sed -n 's/.*(\([0-9.e-]*\)).*/\1/p')
  awk -v r="${rms:-0}" -v t="${3:-0.1}" 'BEGIN { exit !(r > t) }'
}
# Takes a screenshot Name and checks that the item at (x, y) is highlighted,
# retrying until the frame shows it.
expect_highlight() {
  local name=$1 x=$2 y=$3 end=$((SECONDS + 20))
  while :; do
    shot "$name"
    highlighted "$name" "$x" "$y" && return 0
    [ $SECONDS -ge $end ] && fail "item at ($x, $y) not highlighted in $name.png ($(rgb_at "$name" "$x" "$y"))"
    sleep 0.2
  done
}

# ---- Playing ----------------------------------------------------------------------------

# Board cell (X, Y) in world units on the board plane.
cell_x() { echo $(($1 - 5)); }
cell_y() { echo $(($1 - 5)); }

# A saved game of mode 1 on a full board: 74 resting cubes in a pattern
# without two equal neighbours (so nothing scores), six announced (waiting)
# cubes on (3..8, 9), which paths may cross, and (9, 9) free. Moving the cube
# on (2, 9) to (9, 9) takes seven steps and scores nothing; the next turn then
# finds no room for its three cubes and the game is lost.
write_full_board_save() {
  local f=$1 x y n=0 flag cubes=""
  for y in 1 2 3 4 5 6 7 8 9; do
    for x in 1 2 3 4 5 6 7 8 9; do
      [ $x -eq 9 ] && [ $y -eq 9 ] && continue
      flag=1
      [ $y -eq 9 ] && [ $x -ge 3 ] && flag=0
      cubes+="$flag\r\n$(((x + 2 * y) % 7))\r\n$x\r\n$y\r\n"
      n=$((n + 1))
    done
  done
  printf "saved by the test\r\n1\r\n1\r\n0\r\n 0.00000000000000E+0000\r\n 5.00000000000000E+0003\r\n1\r\n%d\r\n$cubes" "$n" > "$f"
}

# Play goes on (a fresh frame line of play) and the save is still there.
play_lines_since_mark() {  # -> number of "gsGame  FPS" lines since mark_log
  tail -n +"$((LOG_MARK + 1))" "$LOG" | grep -c -- " gsGame  FPS:"
}

# The one move on that board: the cube on (2, 9) to (9, 9); losing deletes
# the save. Loaded cubes first grow in (about 200 ms), and the game takes no
# click before they rest. A click it did not take leaves nothing selected, so
# the pair is tried again only when three seconds of play frames (the move
# needs half a second) went by with the save still there; then waits for the
# game-over screen.
lose_the_full_board_game() {
  local attempt
  for attempt in 1 2 3 4 5; do
    mark_log
    click_at "$(cell_x 2)" "$(cell_y 9)"
    click_at "$(cell_x 9)" "$(cell_y 9)"
    while [ -f "$(save_file 1)" ] && [ "$(play_lines_since_mark)" -lt 3 ]; do
      game_running || fail "the program ended"
      sleep 0.1
    done
    lacks_file "$(save_file 1)" && break
    echo "note: the losing move was not taken (attempt $attempt)"
  done
  lacks_file "$(save_file 1)" || fail "the move did not end the game (Save1.dat still there)"
  await_game_over
}

# From the game-over screen to the high-score table by a key (its xdotool
# name) or a click. The screen is compared with the one before; the input is
# given again only while the game-over screen stays.
leave_game_over() {
  local how=$1 attempt end
  shot gameover
  for attempt in 1 2 3; do
    if [ "$how" = click ]; then click_at -1.8 -4.25; else press "$how"; fi
    end=$((SECONDS + 15))
    while [ $SECONDS -lt $end ]; do
      shot left-game-over
      picture_differs gameover left-game-over && return 0
      sleep 0.2
    done
    echo "note: the game-over screen did not take the input (attempt $attempt)"
  done
  fail "the game-over screen stays"
}
