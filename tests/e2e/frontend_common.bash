# Shared helpers of the front-end end-to-end scripts (sourced, not run).
#
# The game runs from a throw-away copy of the game folder with its own HOME
# and XDG folders, so the developer's settings, saves and scores stay as they
# are. Everything waits by polling (the debug log, files, the screen) with a
# time limit; nothing relies on a fixed sleep being long enough.

set -u

E2E_NAME=$(basename "$0" .sh)
SRC_GAME_DIR=$(cd "$1" && pwd)
BUILD_DIR=$(cd "$2" && pwd)
SHOTS="$BUILD_DIR/e2e-shots/$E2E_NAME"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/voxarine-$E2E_NAME.XXXXXX")
GAME="$WORK/game"
LOG="$GAME/debug.txt"
GAME_PID=""
WIN=""
WX=0 WY=0 WW=0 WH=0
LOG_MARK=0
LAUNCHER=""

cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL ($E2E_NAME): $*" >&2
  if [ -f "$LOG" ]; then
    echo "---- last lines of the debug log" >&2
    tail -n 25 "$LOG" >&2
  fi
  [ -n "$WIN" ] && shot "failure" && echo "screenshot: $SHOTS/failure.png" >&2
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

# ---- The game folder, settings and start ----------------------------------------

prepare_folder() {
  rm -rf "$SHOTS"
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
  (cd "$GAME" && exec ./voxarine > "$WORK/stdout.txt" 2>&1) &
  GAME_PID=$!
  wait_until 30 "the launcher window" launcher_shown
  LAUNCHER=$(find_window "Voxarine")
}
launcher_shown() { [ -n "$(find_window "Voxarine")" ]; }

# After the launcher's Start: the game window, loaded and showing the menu.
await_menu() {
  wait_until 30 "the game window" game_window_shown
  WIN=$(game_window)
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
  wait_until 120 "\"... Loading finished\" in the debug log" log_has ' \.\.\. Loading finished'
  wait_state gsMenu
}
# The game window bears the launcher's title; it is the other window.
game_window() {
  xdotool search --onlyvisible --name '^Voxarine$' 2>/dev/null | grep -v "^${LAUNCHER}\$" | head -n 1
}
game_window_shown() { [ -n "$(game_window)" ]; }

game_running() { kill -0 "$GAME_PID" 2>/dev/null; }

# ---- The debug log ------------------------------------------------------------------

log_has() { [ -f "$LOG" ] && grep -q -- "$1" "$LOG"; }
# Lines written after the last mark_log.
mark_log() { LOG_MARK=$(wc -l < "$LOG"); }
new_log_has() { tail -n +"$((LOG_MARK + 1))" "$LOG" | grep -q -- "$1"; }
no_errors() { ! grep -q ' Error: ' "$LOG" || fail "the game reported: $(grep ' Error: ' "$LOG" | head -n 1)"; }

# The frame-rate line of each second names the state (only gsMenu and gsGame
# write one): waiting for a fresh one proves the state.
wait_state() {
  mark_log
  wait_until 20 "a \"$1  FPS\" line" new_log_has " $1  FPS:"
  no_errors
}
# No frame-rate line for two seconds: the window has left gsMenu and gsGame.
quiet_for_2s() {
  mark_log
  sleep 2.2
  ! new_log_has "FPS:"
}

# ---- Screen and input -------------------------------------------------------------------

# World position on the menu plane -> screen pixel (the cursor's mapping).
to_screen() {
  awk -v wx="$1" -v wy="$2" -v X="$WX" -v Y="$WY" -v W="$WW" -v H="$WH" 'BEGIN {
    printf "%d %d\n", X + (0.5 - (wx + 1.8) / 14.45) * W, Y + (0.5 - (wy + 0.25) / 10.8375) * H }'
}
move_to() {
  local sx sy
  read -r sx sy < <(to_screen "$1" "$2")
  # Two moves, so that the game sees motion even when the pointer is there
  # already (a click takes the item the last motion selected).
  xdotool mousemove --sync $((sx + 2)) "$sy"
  xdotool mousemove --sync "$sx" "$sy"
  sleep 0.15
}
click_at() {  # world x, world y [button 1 left, 3 right]
  move_to "$1" "$2"
  xdotool click "${3:-1}"
  sleep 0.3
}
# Away from every item, still inside the window (the pointer leaving it would
# take the focus away).
park_pointer() { move_to 6.5 4.9; }
press() {
  local k
  for k in "$@"; do
    xdotool key --clearmodifiers "$k"
    sleep 0.25
  done
}
type_text() { xdotool type --delay 120 "$1"; sleep 0.3; }

shot() { import -window root "$SHOTS/$1.png" 2>/dev/null; }

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
# Takes a screenshot Name and checks that the item at (x, y) is highlighted,
# retrying until the frame shows it.
expect_highlight() {
  local name=$1 x=$2 y=$3 end=$((SECONDS + 10))
  while :; do
    shot "$name"
    highlighted "$name" "$x" "$y" && return 0
    [ $SECONDS -ge $end ] && fail "item at ($x, $y) not highlighted in $name.png ($(rgb_at "$name" "$x" "$y"))"
    sleep 0.2
  done
}

# ---- Files the game writes -----------------------------------------------------------

save_file() { echo "$GAME/data/Save$1.dat"; }
has_file() { [ -f "$1" ]; }
lacks_file() { [ ! -f "$1" ]; }

# A saved game of mode 1 on a full board: 74 resting cubes in a pattern
# without two equal neighbours (so nothing scores), six announced (waiting)
# cubes on (3..8, 9), which paths may cross, and (9, 9) free. Moving the cube
# on (2, 9) to (9, 9) takes seven steps (several frames even at a low frame
# rate) and scores nothing; the next turn then finds no room for its three
# cubes and the game is lost.
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

# The one move on that board: the cube on (2, 9) to (9, 9). The loaded cubes
# first grow in, and clicks before they rest are not taken, so it is tried
# until the save is gone (the game lost); then waits for the game-over screen.
lose_the_full_board_game() {
  local attempt end
  for attempt in 1 2 3 4; do
    click_at "$(cell_x 2)" "$(cell_y 9)"
    click_at "$(cell_x 9)" "$(cell_y 9)"
    end=$((SECONDS + 8))
    while [ -f "$(save_file 1)" ] && [ $SECONDS -lt $end ]; do sleep 0.2; done
    lacks_file "$(save_file 1)" && break
  done
  lacks_file "$(save_file 1)" || fail "the move did not end the game (Save1.dat still there)"
  wait_until 60 "the game-over screen (no more frame lines of play)" quiet_for_2s
}

# Board cell (X, Y) in world units on the board plane.
cell_x() { echo $(($1 - 5)); }
cell_y() { echo $(($1 - 5)); }
