#!/bin/bash
# Replays end to end: five games played in the real window through X input
# (mouse and keys; new and continued games of both modes, left by pause and
# quit, by closing the window, and by losing) are each recorded to Replays/
# and verified headless by voxarine-autoplay. Then `voxarine --replay FILE`
# plays a recorded game in the window with its keys (Right speeds up, Space
# pauses, Escape ends) and returns to the menu, writing no save, score,
# setting or replay on the way; the lost game's high-score entry plays its
# replay on a click and on Down and Enter.
#
#   bash replay_window.sh <game folder> <build folder>

# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

AUTOPLAY="$BUILD_DIR/tools/voxarine-autoplay"
RANDOM=23  # the clicks below are the same on every run

replay_count() { find "$GAME/data/Replays" -name '*.vxr' 2> /dev/null | wc -l; }
replays_at_least() { [ "$(replay_count)" -ge "$1" ]; }
newest_replay() { find "$GAME/data/Replays" -name '*.vxr' -printf '%T@ %p\n' | sort -n | tail -n 1 | cut -d' ' -f2-; }
# Waits for the Nth replay of the run and names it.
await_replay() {
  wait_until 30 "replay $1 in $GAME/data/Replays" replays_at_least "$1"
  echo "replay $1: $(basename "$(newest_replay)")"
}

# Clicks on cells here and there (a cube, then somewhere else: some are
# moves), with the arrows and Enter of the board cursor in between.
play_a_while() {
  local k
  for k in $(seq 1 "$1"); do
    click_at "$(cell_x $((RANDOM % 9 + 1)))" "$(cell_y $((RANDOM % 9 + 1)))"
    if [ $((k % 4)) -eq 0 ]; then press Left Up Return Down Return; fi
  done
}

choose_mode() {  # 1 or 2, from the main menu
  click_at -1.8 1
  if [ "$1" -eq 1 ]; then click_at -1.8 1.55; else click_at -1.8 0.05; fi
}

pause_and_quit() {
  click_at -7 -4.72     # the pause button
  click_at -1.45 -0.55  # save and quit
  wait_state gsMenu
}

prepare_folder
# Straight into play: no hints page.
sed -i 's/"Help"=dword:00000001/"Help"=dword:00000000/' "$XDG_CONFIG_HOME/voxarine/settings.reg"

step "game 1: a new game of mode 1 by mouse and keys, paused by key, left by pause and quit"
start_game click
choose_mode 1
wait_state gsGame
play_a_while 8
press Escape; sleep 0.3; press Escape  # pause, continue
play_a_while 4
pause_and_quit
await_replay 1

step "game 2: the saved game continued, then the window closed (which saves)"
choose_mode 1
click_at 1.45 -0.55  # the offer's "continue"
wait_state gsGame
play_a_while 8
stop_game
[ "$GAME_STATUS" -eq 0 ] || fail "the game ended with status $GAME_STATUS"
await_replay 2

step "game 3: a new game of mode 2 with the keys, left by pause and quit"
start_game key
choose_mode 2
wait_state gsGame
press Up Up Return Left Left Return Down Return Right Return Up Up Up Return BackSpace
play_a_while 4
pause_and_quit
await_replay 3

step "game 4: a full board continued and lost: game over"
write_full_board_save "$(save_file 1)"
choose_mode 1
click_at 1.45 -0.55
wait_state gsGame
lose_the_full_board_game
await_replay 4
leave_game_over click
click_at -1.8 -4.25  # back from the table
wait_state gsMenu
lost=$(newest_replay)

step "the lost game's high-score entry has its replay: a click plays it, so do Down and Enter"
click_at -1.8 -1.2  # high scores
sleep 0.5
shot hiscores-with-replay
mark_log
click_at -2 2.34    # the first entry
wait_for_new_log " Replay started: .*$(basename "$lost")"
press Escape
wait_for_new_log " Replay ended: stopped by the player"
wait_state gsMenu
click_at -1.8 -1.2
sleep 0.5
mark_log
press Down Return
wait_for_new_log " Replay started: .*$(basename "$lost")"
press Escape
wait_state gsMenu
grep -q "mode1_5000.vxr" "$GAME/data/Hiscores.replays" || fail "no link in data/Hiscores.replays"

step "game 5: mode 2 continued by keys, paused by the pause key, closed"
choose_mode 2
press Right Return  # the offer's "continue"
wait_state gsGame
play_a_while 4
press p; sleep 0.3; press p
play_a_while 2
stop_game
await_replay 5
cp "$lost" "$WORK/lost.vxr"

step "every game recorded in the window plays the same headless"
"$AUTOPLAY" --replay "$GAME/data/Replays" --verify --game-dir "$GAME" > "$WORK/verify.txt" 2>&1 ||
  { cat "$WORK/verify.txt"; fail "a replay did not verify"; }
cat "$WORK/verify.txt"
grep -q "^replays: 5, equal: 5," "$WORK/verify.txt" || fail "not 5 of 5 equal"

step "--replay plays the lost game in the window, at 4x with a pause, back to the menu"
snapshot() { (cd "$GAME" && md5sum data/*.dat 2> /dev/null; md5sum "$XDG_CONFIG_HOME/voxarine/settings.reg") | sort; }
before=$(snapshot)
count=$(replay_count)
# Straight to the game window: the launcher hides at once. The log starts
# afresh with the window, so its lines are this start's.
launch_replay() {
  rm -f "$LOG"
  (cd "$GAME" && exec ./voxarine --replay "$1" > "$WORK/stdout.txt" 2>&1) &
  GAME_PID=$!
  GAME_PARENT=$BASHPID
  GAME_STATUS=""
  LAUNCHER=""
  wait_for_log " Replay started: " 180
  WIN=$(xdotool search --onlyvisible --name '^Voxarine$' | tail -n 1)
  focus_game
}
launch_replay "$WORK/lost.vxr"
press Right Right
wait_for_log " Replay speed 4x"
press space
wait_for_log " Replay paused"
press space
wait_for_log " Replay goes on"
wait_for_log " Replay ended: game over" 60
wait_state gsMenu
[ "$(snapshot)" = "$before" ] || fail "the replay changed a save, the scores or the settings"
[ "$(replay_count)" -eq "$count" ] || fail "the replay was recorded again"
stop_game

step "Escape ends a replay"
launch_replay "$(find "$GAME/data/Replays" -name '*.vxr' | sort | head -n 1)"
mark_log
press Escape
wait_for_new_log " Replay ended: stopped by the player"
wait_state gsMenu
stop_game
echo "PASS ($E2E_NAME)"
