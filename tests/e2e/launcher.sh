#!/usr/bin/env bash
# The launcher under a virtual X server, driven with real X input:
#   1. Options -> "Windowed" -> OK (Enter) changes the settings file;
#   2. Start opens the game window; ending it ends the program with status 0;
#   3. Exit before Start ends the program with status 0 and touches no graphics.
# Usage: launcher.sh <game folder> <build folder>
set -euo pipefail

GAME_DIR=$(cd "$1" && pwd)
BUILD_DIR=$(cd "${2:-$1/..}" && pwd)

if [ -z "${LAUNCHER_TEST_IN_X:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "xvfb-run is missing"; exit 1; }
  export LAUNCHER_TEST_IN_X=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$GAME_DIR" "$BUILD_DIR"
fi

# A home of our own: the developer's settings stay untouched.
WORK=$(mktemp -d)
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config XDG_DATA_HOME=$WORK/data
export SDL_AUDIODRIVER=dummy
mkdir -p "$HOME"
SETTINGS=$XDG_CONFIG_HOME/voxarine/settings.reg
PID=""
# Whatever happens, no game is left running on the X server.
trap '[ -n "$PID" ] && kill -KILL "$PID" 2>/dev/null; true' EXIT

fail() {
  echo "FAIL: $*"
  import -window root "$BUILD_DIR/launcher-failure.png" 2>/dev/null || true
  echo "screenshot: $BUILD_DIR/launcher-failure.png"
  [ -f "$SETTINGS" ] && { echo "--- settings:"; cat "$SETTINGS"; }
  [ -n "$PID" ] && kill -KILL "$PID" 2>/dev/null
  rm -rf "$WORK"
  exit 1
}

# Waits up to $2 seconds for a visible window named exactly $1; prints its id.
wait_window() {
  local i
  for ((i = 0; i < $2 * 5; i++)); do
    local id
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.2
  done
  return 1
}

# Waits up to $1 seconds for the program to end; sets STATUS.
wait_exit() {
  local i
  for ((i = 0; i < $1 * 5; i++)); do
    if ! kill -0 "$PID" 2>/dev/null; then
      STATUS=0
      wait "$PID" || STATUS=$?
      PID=""
      return 0
    fi
    sleep 0.2
  done
  return 1
}

value() { grep -i "^\"$1\"=" "$SETTINGS" | tr -d '\r' | cut -d: -f2; }

start_game() {
  (cd "$WORK" && exec "$GAME_DIR/voxarine") &
  PID=$!
  LAUNCHER=$(wait_window Voxarine 20) || fail "the launcher did not appear"
  sleep 0.5
}

# ---- 1. Options: Windowed, OK ----------------------------------------------------
start_game
[ -f "$SETTINGS" ] || fail "a first start did not write the settings"
[ "$(value Fullscreen)" = 00000001 ] || fail "first start is not full screen"

xdotool key alt+o
OPTIONS=$(wait_window Options 10) || fail "Alt+O did not open the options dialog"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$OPTIONS")"
# The "Windowed" item of the mode group, second column.
xdotool mousemove $((X + 160)) $((Y + 30)) click 1
sleep 0.5
xdotool key Return
for ((i = 0; i < 25; i++)); do
  xdotool search --onlyvisible --name "^Options\$" >/dev/null 2>&1 || break
  sleep 0.2
done
xdotool search --onlyvisible --name "^Options\$" >/dev/null 2>&1 && fail "Enter did not close the options dialog"
[ "$(value Fullscreen)" = 00000000 ] || fail "OK did not store Windowed"
[ "$(value Desktop)" = 00000000 ] || fail "Windowed did not clear the desktop switch"
[ "$(value Color)" = 00000001 ] || fail "OK did not store 32-bit colour"
[ "$(value Resolution)" = 00000003 ] || fail "OK did not store the shown size 800x600"
echo "ok - options dialog stores its controls"

# ---- 2. Start opens the game window ----------------------------------------------------
xdotool key alt+s
for ((i = 0; i < 100; i++)); do
  xdotool search --onlyvisible --name "^Voxarine\$" 2>/dev/null | grep -qvx "$LAUNCHER" && break
  sleep 0.2
done
xdotool search --onlyvisible --name "^Voxarine\$" 2>/dev/null | grep -qvx "$LAUNCHER" ||
  fail "Start did not show the game window"
xdotool search --onlyvisible --name "^Voxarine\$" 2>/dev/null | grep -qx "$LAUNCHER" &&
  fail "the launcher stayed visible after Start"
LOG=$( (ls "$GAME_DIR/debug.txt" "$XDG_DATA_HOME/voxarine/debug.txt" 2>/dev/null || true) | head -1)
[ -n "$LOG" ] || fail "no debug log after Start"
grep -q " Main form created" "$LOG" || fail "the log lacks the game window's creation"
grep -q " Fullscreen = False" "$LOG" || fail "the log lacks the launcher's mode line"
sleep 1
kill -TERM "$PID"
wait_exit 30 || fail "the program did not end with the game window"
[ "$STATUS" = 0 ] || fail "closing the game ended with status $STATUS"
echo "ok - Start shows the game window; closing it ends the program"

# ---- 3. Exit before Start ---------------------------------------------------------------------
start_game
before=$(cat "$LOG" 2>/dev/null | md5sum)
xdotool key alt+x
wait_exit 10 || fail "Exit did not end the program"
[ "$STATUS" = 0 ] || fail "Exit ended with status $STATUS"
[ "$(cat "$LOG" 2>/dev/null | md5sum)" = "$before" ] || fail "Exit before Start wrote to the debug log"
echo "ok - Exit ends the program with status 0"

rm -rf "$WORK"
