#!/bin/bash
# One running game per user: a second start while the first runs says so in
# a message box and ends with status 0, writing nothing (the first's debug
# log and the settings stay as they are); once the first has died, even by
# SIGKILL, the next start runs.
#
#   bash single_instance.sh <game folder> <build folder>

# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

SHIM="$BUILD_DIR/tests/faults/voxarine-full-disk.so"
[ -f "$SHIM" ] || fail "no $SHIM (it records the message boxes' text)"
BOXES="$WORK/boxes.txt"
SETTINGS="$WORK/config/voxarine/settings.reg"
SECOND_PID=""

second_running() { [ -n "$SECOND_PID" ] && ours "$SECOND_PID" "$$"; }
# The second start too is ended by its PID, however the script ends.
instance_cleanup() {
  local status=$?
  if second_running; then
    kill -KILL "$SECOND_PID" 2> /dev/null
    wait "$SECOND_PID" 2> /dev/null
  fi
  (exit $status)
  e2e_cleanup
}
trap instance_cleanup EXIT

prepare_folder
start_game
wait_state gsMenu
touch -d '2001-01-01' "$SETTINGS"
cp -p "$SETTINGS" "$WORK/settings-before"
cp "$LOG" "$WORK/log-before"

step "a second start: told, status 0, nothing written"
(cd "$GAME" && exec env LD_PRELOAD="$SHIM" VOXARINE_BOX_LOG="$BOXES" ./voxarine > "$WORK/second.txt" 2>&1) &
SECOND_PID=$!
wait_until 30 "the second start's message box" box_shown Voxarine
grep -q "already running" "$BOXES" || fail "the box does not say the game runs: $(cat "$BOXES")"
id=$(box_window Voxarine)
end=$((SECONDS + 15))
while second_running && box_shown Voxarine; do
  [ $SECONDS -ge $end ] && fail "the box does not go away"
  xdotool windowfocus "$id" 2> /dev/null && xdotool key Return 2> /dev/null
  sleep 0.3
done
wait_until 20 "the second start to end" bash -c "! kill -0 $SECOND_PID 2> /dev/null"
status=0
wait "$SECOND_PID" || status=$?
SECOND_PID=""
[ "$status" -eq 0 ] || fail "the second start ended with status $status"
cmp -s "$SETTINGS" "$WORK/settings-before" || fail "the second start wrote the settings"
[ "$(stat -c %Y "$SETTINGS")" -lt 1000000000 ] || fail "the second start touched the settings"
size=$(stat -c %s "$WORK/log-before")
cmp -s -n "$size" "$LOG" "$WORK/log-before" || fail "the second start rewrote the first's debug log"
game_running || fail "the first game ended"
echo "ok - told: $(head -n 1 "$BOXES")"

step "the first dies by SIGKILL: the next start runs"
kill -KILL "$GAME_PID"
wait_game_exit 20
start_game  # fails unless the launcher and the game come up
stop_game
echo "PASS ($E2E_NAME)"
