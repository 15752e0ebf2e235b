#!/bin/bash
# End to end: the program never lingers without a window.
#   1. OpenGL 3.3 missing: the launcher still opens; Start shows the warning,
#      then the error box, and the program ends with a failure status.
#   2. The settings folder cannot be written: closing the game window shows
#      the failure once, naming the file, and the program ends with status 0.
#   3. The display server dies under the game (at the menu and in play): the
#      running game is saved and the program ends promptly, every time.
#      PROGRAM_LIFE_KILLS sets how many times (default 3; alternately at the
#      menu and in play, the server killed with SIGKILL and SIGTERM in turn).
# PROGRAM_LIFE_PARTS picks parts (default "1 2 3"); for the long run:
#   PROGRAM_LIFE_PARTS=3 PROGRAM_LIFE_KILLS=20 bash program_life.sh ...
#
# Each part runs on an X server of its own (the script must be able to kill
# it), numbered by the server itself.
#
#   bash program_life.sh <game folder> <build folder>

# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

KILLS=${PROGRAM_LIFE_KILLS:-3}
PARTS=" ${PROGRAM_LIFE_PARTS:-1 2 3} "
part() { [[ $PARTS == *" $1 "* ]]; }
STATUS=""

stop_display() {
  if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2> /dev/null; then
    kill "$XVFB_PID" 2> /dev/null
    wait "$XVFB_PID" 2> /dev/null
  fi
  XVFB_PID=""
}
life_cleanup() {
  local status=$?
  # A game left behind may sit in a message box that no signal ends.
  [ -n "$GAME_PID" ] && kill -KILL "$GAME_PID" 2> /dev/null
  # The shared clean-up reaps the game, ends our X server and exits with our status.
  (exit $status)
  e2e_cleanup
}
trap life_cleanup EXIT

x_server_up() { xdpyinfo > /dev/null 2>&1; }
start_display() {
  stop_display
  local numfile="$WORK/display.$RANDOM"
  : > "$numfile"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3> "$numfile" > /dev/null 2>&1 &
  XVFB_PID=$!
  wait_until 20 "the X server's display number" test -s "$numfile"
  export DISPLAY=":$(head -n 1 "$numfile")"
  wait_until 20 "the X server at $DISPLAY" x_server_up
}

# Waits up to Limit seconds for the game to end; sets STATUS.
await_exit() {
  local limit=$1 end=$((SECONDS + $1))
  while game_running; do
    [ $SECONDS -ge $end ] && fail "the program is still running ${limit}s later"
    sleep 0.1
  done
  STATUS=0
  wait "$GAME_PID" 2> /dev/null || STATUS=$?
  GAME_PID=""
}

count_in_log() { grep -c -- "$1" "$LOG"; }
# A fresh copy of the game folder for each run.
fresh_folder() {
  rm -rf "$GAME"
  prepare_folder
}

# ---- 1. No OpenGL 3.3 -------------------------------------------------------------

if part 1; then
step "no OpenGL 3.3: the launcher opens, Start shows both boxes, the program ends"
start_display
fresh_folder
export MESA_GL_VERSION_OVERRIDE=2.1 MESA_GLSL_VERSION_OVERRIDE=120
launch
unset MESA_GL_VERSION_OVERRIDE MESA_GLSL_VERSION_OVERRIDE
shot no-gl-launcher
xdotool key alt+s
dismiss_box "Warning."
dismiss_box "Error"
dismissed=$(date +%s.%N)
await_exit 10
[ "$STATUS" -ne 0 ] || fail "the program ended with status 0 without a device"
took=$(awk -v a="$dismissed" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
log_has ' Error init 3D' || fail "no \" Error init 3D\" in the log"
log_has ' 3D software failed: ' || fail "the log does not say why the device failed"
echo "ok - without OpenGL 3.3 the program says so and ends ${took}s after the last box (status $STATUS)"
stop_display
fi

# ---- 2. Settings that cannot be written ----------------------------------------------

if part 2; then
step "unwritable settings folder: closing the game ends the program"
start_display
fresh_folder
# The settings folder lies below a regular file: nothing can be written there.
printf 'not a folder\n' > "$WORK/config-file"
export XDG_CONFIG_HOME="$WORK/config-file"
launch_unwritable() {
  (cd "$GAME" && exec ./voxarine > "$WORK/stdout.txt" 2>&1) &
  GAME_PID=$!
  GAME_PARENT=$BASHPID
  # Writing the first settings fails at start already.
  dismiss_box "Voxarine"
  wait_until 30 "the launcher window" launcher_shown
  LAUNCHER=$(find_window "Voxarine")
}
launch_unwritable
xdotool windowfocus --sync "$LAUNCHER" 2> /dev/null
xdotool key alt+s
wait_until 30 "the game window" game_window_shown
WIN=$(game_window)
wait_until 120 "\"... Loading finished\" in the debug log" log_has ' \.\.\. Loading finished'
[ "$(count_in_log ' Form activated')" -eq 1 ] || fail "\" Form activated\" is logged $(count_in_log ' Form activated') times"
# Alt+F4 on the game window, again if the first one is not taken (as a
# player would press it again).
for attempt in 1 2 3; do
  xdotool windowfocus --sync "$WIN" 2> /dev/null
  xdotool key alt+F4
  end=$((SECONDS + 10))
  while ! box_shown "Voxarine" && [ $SECONDS -lt $end ]; do sleep 0.2; done
  box_shown "Voxarine" && break
done
dismiss_box "Voxarine"
await_exit 10
[ "$STATUS" -eq 0 ] || fail "a window close ended with status $STATUS"
log_has ' Main form closed' || fail "the close stopped half way"
grep -q ' Error while closing: .*settings.reg' "$LOG" || fail "the settings failure is not in the log"
[ "$(count_in_log ' Closing DGfx')" -eq 1 ] || fail "the graphics were released $(count_in_log ' Closing DGfx') times"
echo "ok - a close with unwritable settings ends the program (status 0)"
export XDG_CONFIG_HOME="$WORK/config"
stop_display
fi

# ---- 3. The display server dies ---------------------------------------------------

start_game_from_menu() {
  park_pointer
  press Down Return Return  # play, mode 1: the hints page
  sleep 0.3
  press Return  # start
  wait_state gsGame
}

part 3 || KILLS=0
for ((i = 1; i <= KILLS; i++)); do
  where="the menu"
  ((i % 2 == 0)) && where=play
  signal=KILL
  ((i % 4 == 3 || i % 4 == 0)) && signal=TERM
  step "display killed ($signal) $i of $KILLS, in $where"
  start_display
  fresh_folder
  launch
  xdotool windowfocus --sync "$LAUNCHER" 2> /dev/null
  press Return
  await_menu
  xdotool windowfocus "$WIN" 2> /dev/null
  [ "$where" = play ] && start_game_from_menu
  lacks_file "$(save_file 1)" || fail "a saved game before the display went"
  started=$(date +%s.%N)
  kill -"$signal" "$XVFB_PID"
  wait "$XVFB_PID" 2> /dev/null
  XVFB_PID=""
  gone=$(date +%s.%N)
  await_exit 10
  took=$(awk -v a="$started" -v g="$gone" -v b="$(date +%s.%N)" \
    'BEGIN { printf "%.1fs after the kill, %.1fs after the server was gone", b - a, b - g }')
  log_has ' Display lost' || fail "the program ended without noticing the display went (status $STATUS)"
  if [ "$where" = play ]; then
    has_file "$(save_file 1)" || fail "the running game was not saved"
  fi
  echo "ok - display killed in $where: ended $took, status $STATUS"
done

echo "PASS ($E2E_NAME)"
