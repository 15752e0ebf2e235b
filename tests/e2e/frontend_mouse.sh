#!/bin/bash
# End to end with the mouse alone: the real game under Xvfb, driven only by
# pointer moves and clicks (right click for back) through the launcher ->
# main menu -> options (arrow, volume bar, save) -> high score tabs ->
# tutorial -> choice of mode -> hints (switched off) -> game -> pause -> quit
# (saved) -> continue -> game over -> high score table -> menu -> exit.
# Checks the screen, the debug log and the files written.
#
#   bash frontend_mouse.sh <game folder> <build folder>

# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

step "start from the launcher's Start button"
prepare_folder
start_game click

step "main menu: the item under the pointer is highlighted"
move_to -1.8 1
expect_highlight mouse-page1 -0.2 1
not_highlighted mouse-page1 -0.2 -0.1 || fail "Options highlighted too"

step "options: the row label follows the pointer; arrow, bar and save by click"
click_at -1.8 -0.1
park_pointer
expect_picture mouse-page3-idle "the options page" region_differs mouse-page1 mouse-page3-idle 0.3 -3.4
move_to -3.2 2.001  # the sound volume's up arrow
xdotool mousemove_relative --sync 1 0  # the label follows at the next move
expect_picture mouse-page3-row "the sound row's label lit" region_differs mouse-page3-idle mouse-page3-row -1.2 2.7
click_at -3.2 2.001  # up: 5 -> 6
click_at -2.5 2.0    # on the bar: 8
shot mouse-page3-bar
click_at -3.2 -1.612  # next skin: 2
expect_picture mouse-page3-skin2 "the next skin number" region_differs mouse-page3-bar mouse-page3-skin2 -1.8 -1.612
click_at 0.3 -3.4    # save
wait_until 20 "the saved settings" grep -q '"SoundVol"=dword:00000008' "$XDG_CONFIG_HOME/voxarine/settings.reg"
grep -q '"Texture"=dword:00000002' "$XDG_CONFIG_HOME/voxarine/settings.reg" || fail "the skin was not saved"

step "high score tabs, right click back"
click_at -1.8 -1.2
expect_highlight mouse-page6-table1 0.5 3.3
click_at -1.8 3.3    # the tab: second table
park_pointer
expect_picture mouse-page6-table2 "the second table's tab" region_differs mouse-page6-table1 mouse-page6-table2 0.5 3.3
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
wait_for_file "$(save_file 1)"

step "continue the saved game; no hints page this time"
write_full_board_save "$(save_file 1)"
click_at -1.8 1
shot mouse-menu-before
click_at -1.8 1.55
# Straight into the game and its saved-game offer: no hints page this time.
expect_picture mouse-page7-saved-game "the saved-game offer" picture_differs mouse-menu-before mouse-page7-saved-game
click_at 1.45 -0.55
expect_picture mouse-game-continued "the saved board" region_differs mouse-page7-saved-game mouse-game-continued 0 0.9

step "one move that scores nothing: game over"
lose_the_full_board_game

step "a click shows the table; Back saves it with the score and an empty name"
leave_game_over click  # any click leaves the game-over screen
shot mouse-page6-entry
click_at -1.8 -4.25   # back
wait_state gsMenu
wait_for_file "$GAME/data/Hiscores.dat"
entry=$(od -A n -t u1 -N 20 "$GAME/data/Hiscores.dat" | tr -s ' \n' ' ')
read -r -a b <<< "$entry"
[ "${b[0]}" -eq 0 ] || fail "entry 1 of table 1 has a name ($entry)"
[ $((b[16] + 256 * b[17] + 65536 * b[18])) -eq 5000 ] || fail "entry 1 of table 1 does not hold 5000 ($entry)"

step "exit"
click_at -1.8 -2.3
wait_game_exit 30
[ "$GAME_STATUS" -eq 0 ] || fail "exit from the menu ended with status $GAME_STATUS"
log_has ' Main form closed' || fail "no \"Main form closed\" in the log"
echo "PASS ($E2E_NAME)"
