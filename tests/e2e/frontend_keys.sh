#!/bin/bash
# End to end with the keyboard: the real game under Xvfb, driven by real key
# presses (and clicks only where a page takes nothing else: the pause dialog
# and the saved-game offer, and the move that loses the game) through
# loading -> main menu -> options -> high scores -> tutorial -> choice of mode
# -> hints -> game -> pause -> quit (saved) -> continue -> game over -> name
# entry -> high score table -> menu -> exit. Checks the screen, the debug log
# and the files written.
#
#   bash frontend_keys.sh <game folder> <build folder>

# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

step "start from the launcher with Enter"
prepare_folder
start_game key
park_pointer  # the pointer selects nothing: the keys decide

step "main menu: Down selects the first item"
press Down
expect_highlight page1-main -0.2 1
not_highlighted page1-main -0.2 -0.1 || fail "Options highlighted too"

step "options: sound up, accept"
press Down
expect_highlight page1-options-selected -0.2 -0.1
press Return
# Options selects the skin number first; Down wraps to accept, then cancel,
# sound down, sound up.
press Down Down Down Down Return
expect_picture page3-options "the options page" region_differs page1-main page3-options 0.3 -3.4
press Up Up Up Return
wait_until 20 "the saved settings" grep -q '"SoundVol"=dword:00000006' "$XDG_CONFIG_HOME/voxarine/settings.reg"

step "options again: sound down, previous skin, cancel leaves the saved settings"
press Down Return
press Down Down Down Return  # accept, cancel, sound down: 6 -> 5
press Down Down Down Down Return  # sound up, music down, music up, previous skin: 5
press Up Up Up Up Up Return  # music up, music down, sound up, sound down, cancel
expect_highlight page1-after-cancel -0.2 1
grep -q '"SoundVol"=dword:00000006' "$XDG_CONFIG_HOME/voxarine/settings.reg" || fail "cancel changed the saved volume"
grep -q '"Texture"=dword:00000001' "$XDG_CONFIG_HOME/voxarine/settings.reg" || fail "cancel changed the saved skin"

step "high score table and back with Escape: an unchanged table is not written"
press Down Down Return
expect_highlight page6-hiscores 0.5 3.3  # the first table's tab, selected
press Escape
wait_state gsMenu
lacks_file "$GAME/data/Hiscores.dat" || fail "viewing the table wrote Hiscores.dat"

step "tutorial: forward, forward, back, Escape"
press Return  # page 1 item 1: play
shot page2-choice
press Down Down Return
wait_until 20 "the converted tutorial bitmap" has_file "$GAME/Images/Tutorial/tut1.bmp"
mark_log
press Down Return
wait_until 10 "\" loaded2\"" new_log_has ' loaded2'
press Return
wait_until 10 "\" loaded3\"" new_log_has ' loaded3'
shot page9-tutorial
mark_log
press Down Return  # the previous item
wait_until 10 "\" loaded2\" again" new_log_has ' loaded2'
press Escape
wait_state gsMenu

step "mode 1 with hints, start"
press Return  # page 2 item 1
expect_highlight page10-hints -3.8 -4.75
press Return
wait_state gsGame
expect_picture page4-game "the game screen" region_differs page10-hints page4-game 0 0

step "pause with Escape, quit by clicking: the game is saved"
press Escape
expect_picture page5-pause "the pause dialog" region_differs page4-game page5-pause 0 0.9
click_at -1.45 -0.55
wait_state gsMenu
wait_for_file "$(save_file 1)"
sed -n 2p "$(save_file 1)" | grep -q '^1' || fail "Save1.dat does not hold mode 1"

step "continue the saved game (a board one move from the end)"
write_full_board_save "$(save_file 1)"
park_pointer          # (selects nothing: Down picks the first item)
press Down Return Return  # play, mode 1
press Return          # start, from the hints page
expect_picture page7-saved-game "the saved-game offer" region_differs page4-game page7-saved-game 0 0.9
click_at 1.45 -0.55   # continue the saved game
# The offer is part of the game state: the board shows that it went.
expect_picture game-continued "the saved board" region_differs page7-saved-game game-continued 0 0.9

step "one move that scores nothing: game over"
lose_the_full_board_game

step "a key shows the table; the name typed goes into Hiscores.dat (Shift types nothing)"
leave_game_over space
type_text "Tester"
press BackSpace
type_text "r7"
shot page6-name-entry
press Return
wait_until 20 "the name in Hiscores.dat" grep -q 'TESTER7' "$GAME/data/Hiscores.dat"
od -A d -t u1 -N 1 "$GAME/data/Hiscores.dat" | head -n 1 | grep -q ' 7$' || fail "entry 1 of table 1 is not the new name"
press Return
wait_state gsMenu

step "exit from the main menu"
park_pointer
press Down Down Down Down Return
wait_game_exit 30
[ "$GAME_STATUS" -eq 0 ] || fail "exit from the menu ended with status $GAME_STATUS"
log_has ' Main form closed' || fail "no \"Main form closed\" in the log"
lacks_file "$(save_file 1)" || fail "a lost game left its save file"
echo "PASS ($E2E_NAME)"
