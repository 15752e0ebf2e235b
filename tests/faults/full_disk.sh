#!/bin/bash
# A full disk: every write below the game's data folder fails with ENOSPC
# (the full-disk shim, preloaded). Saving from the pause menu must tell the
# player which file and why, keep the previous save whole, leave no temporary
# file, and keep the player in the paused game; leaving a changed high-score
# table must tell which file and why too.
#
#   full_disk.sh <game folder> <build folder>
source "$(dirname "$0")/../e2e/frontend_common.bash"

SHIM="$BUILD_DIR/tests/faults/voxarine-full-disk.so"
[ -f "$SHIM" ] || fail "no $SHIM"
BOXES="$WORK/boxes.txt"

no_temporary_files() {
  local left
  left=$(find "$GAME/data" -name '.*.??????')
  [ -z "$left" ] || fail "temporary files left behind: $left"
}

prepare_folder
# No hints page: Play, mode 1 leads straight to the saved-game offer.
sed -i 's/"Help"=dword:00000001/"Help"=dword:00000000/' "$XDG_CONFIG_HOME/voxarine/settings.reg"
write_full_board_save "$(save_file 1)"
cp "$(save_file 1)" "$WORK/save-before"
# Only the game gets the shim: it is set for the launch alone.
export VOXARINE_FULL_DIR="$GAME/data" VOXARINE_BOX_LOG="$BOXES"
LD_PRELOAD="$SHIM" launch
press_start
await_menu
focus_game

step "continue the saved game, pause, save and quit on a full disk"
click_at -1.8 1       # play
click_at -1.8 1.55    # mode 1: the saved-game offer
click_at 1.45 -0.55   # continue
wait_state gsGame
click_at -7 -4.72     # pause
click_at -1.45 -0.55  # save and quit: cannot save, so the game stays, paused
wait_until 30 "a message box about Save1.dat" box_says 'Save1.dat'
box_says 'No space left on device' || fail "the box does not say why: $(cat "$BOXES")"
box_says 'not saved' || fail "the box does not say the game was not saved: $(cat "$BOXES")"
dismiss_box Voxarine
cmp -s "$(save_file 1)" "$WORK/save-before" || fail "the previous save changed"
no_temporary_files
focus_game
wait_state gsGame
echo "ok - the box named the file and the reason: $(grep Save1.dat "$BOXES" | head -n 1)"

step "lose the game; leaving the table with the new score fails the same way"
: > "$BOXES"
click_at 1.45 -0.55   # continue: back to the board
mark_log
wait_until 30 "a \"gsGame  FPS\" line" new_state_line gsGame
lose_the_full_board_game
leave_game_over click
click_at -1.8 -4.25   # back: the table would be written
wait_until 30 "a message box about Hiscores.dat" box_says 'Hiscores.dat'
box_says 'No space left on device' || fail "the box does not say why: $(cat "$BOXES")"
dismiss_box Voxarine
lacks_file "$GAME/data/Hiscores.dat" || fail "a high-score file appeared on a full disk"
no_temporary_files
# The table stays, with the new score, so that it can still be kept.
focus_game
shot table-kept

step "closing the window tries once more, says so, and ends"
: > "$BOXES"
kill -TERM "$GAME_PID"
wait_until 30 "the box about Hiscores.dat at closing" box_says 'Hiscores.dat'
dismiss_box Voxarine
wait_game_exit 30
lacks_file "$GAME/data/Hiscores.dat" || fail "a high-score file appeared on a full disk"
no_temporary_files
cmp -s "$(save_file 1)" "$WORK/save-before" || [ ! -f "$(save_file 1)" ] || fail "Save1.dat changed"
echo "PASS ($E2E_NAME)"
