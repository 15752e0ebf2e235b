#!/bin/bash
# End to end with the mouse alone: the real game under Xvfb, driven only by
# pointer moves and clicks (right click for back) through the launcher ->
# main menu -> options (arrow, volume bar, save) -> high score tabs ->
# tutorial -> choice of mode -> hints (switched off) -> game -> pause -> quit
# (saved) -> continue -> game over -> high score table -> menu -> exit.
# Checks the screen, the debug log and the files written.
#
#   bash frontend_mouse.sh <game folder> <build folder>

if [ -z "${VOXARINE_E2E_XVFB:-}" ]; then
  command -v xvfb-run > /dev/null || { echo "xvfb-run is missing"; exit 1; }
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env VOXARINE_E2E_XVFB=1 bash "$0" "$@"
fi
# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

step "start from the launcher's Start button"
prepare_folder
launch
eval "$(xdotool getwindowgeometry --shell "$LAUNCHER")"
xdotool mousemove --sync $((X + 267)) $((Y + 20)) click 1
await_menu

step "main menu: the item under the pointer is highlighted"
move_to -1.8 1
expect_highlight mouse-page1 -0.2 1
not_highlighted mouse-page1 -0.2 -0.1 || fail "Options highlighted too"

step "options: the row label follows the pointer; arrow, bar and save by click"
click_at -1.8 -0.1
park_pointer
shot mouse-page3-idle
move_to -3.2 2.001  # the sound volume's up arrow
xdotool mousemove_relative --sync 1 0  # the label follows at the next move
sleep 0.3
shot mouse-page3-row
region_differs mouse-page3-idle mouse-page3-row -1.2 2.7 || fail "the sound row's label (above its bar) did not light up"
click_at -3.2 2.001  # up: 5 -> 6
click_at -2.5 2.0    # on the bar: 8
shot mouse-page3-bar
click_at -3.2 -1.612  # next skin: 2
shot mouse-page3-skin2
region_differs mouse-page3-bar mouse-page3-skin2 -1.8 -1.612 || fail "the skin number did not change"
click_at 0.3 -3.4    # save
wait_until 5 "the saved settings" grep -q '"SoundVol"=dword:00000008' "$XDG_CONFIG_HOME/voxarine/settings.reg"
grep -q '"Texture"=dword:00000002' "$XDG_CONFIG_HOME/voxarine/settings.reg" || fail "the skin was not saved"

step "high score tabs, right click back"
click_at -1.8 -1.2
expect_highlight mouse-page6-table1 0.5 3.3
click_at -1.8 3.3    # the tab: second table
park_pointer
shot mouse-page6-table2
region_differs mouse-page6-table1 mouse-page6-table2 0.5 3.3 || fail "the tab did not switch"
click_at 5 4.5 3     # right click anywhere
wait_state gsMenu

step "tutorial: next, previous, right click back"
click_at -1.8 1       # play
click_at -1.8 -1.35   # how to play
wait_until 20 "the converted tutorial bitmap" has_file "$GAME/Images/Tutorial/tut1.bmp"
mark_log
click_at -5.6 -4.85
wait_until 10 "\" loaded2\"" new_log_has ' loaded2'
shot mouse-page9-tutorial
mark_log
click_at 2 -4.85
wait_until 10 "\" loaded1\"" new_log_has ' loaded1'
click_at 5 4.5 3
wait_state gsMenu

step "mode 1, hints switched off, start"
click_at -1.8 1.55
shot mouse-page10-hints
click_at 1.4 -4.75    # hints: off
click_at -5.2 -4.75   # start
wait_state gsGame

step "pause button, quit: the game is saved"
click_at -7 -4.72
shot mouse-page5-pause
click_at -1.45 -0.55
wait_state gsMenu
wait_until 5 "data/Save1.dat" has_file "$(save_file 1)"

step "continue the saved game; no hints page this time"
write_full_board_save "$(save_file 1)"
click_at -1.8 1
click_at -1.8 1.55
wait_state gsGame     # straight into the game: the hints page has no frame lines
shot mouse-page7-saved-game
click_at 1.45 -0.55

step "one move that scores nothing: game over"
lose_the_full_board_game

step "a click shows the table; Back saves it with the score and an empty name"
click_at -1.8 -4.25   # any click leaves the game-over screen
shot mouse-page6-entry
click_at -1.8 -4.25   # back
wait_state gsMenu
wait_until 5 "data/Hiscores.dat" has_file "$GAME/data/Hiscores.dat"
entry=$(od -A n -t u1 -N 20 "$GAME/data/Hiscores.dat" | tr -s ' \n' ' ')
read -r -a b <<< "$entry"
[ "${b[0]}" -eq 0 ] || fail "entry 1 of table 1 has a name ($entry)"
[ $((b[16] + 256 * b[17] + 65536 * b[18])) -eq 5000 ] || fail "entry 1 of table 1 does not hold 5000 ($entry)"

step "exit"
click_at -1.8 -2.3
wait_until 20 "the program to end" bash -c "! kill -0 $GAME_PID 2>/dev/null"
log_has ' Main form closed' || fail "no \"Main form closed\" in the log"
echo "PASS ($E2E_NAME)"
