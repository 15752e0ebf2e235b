#!/bin/bash
# End to end with the keyboard (the pointer moves only once, before the pause): the
# launcher and its options dialog by keys -> menu -> hints -> the saved-game
# offer -> a loaded game in which the board cursor walks to a cube, Enter
# picks it up, the arrows lead it to an empty cell and Enter sends it -> the
# pause dialog by keys, where a mouse click off its buttons must not take the
# keys' choice -> quit, which saves. The saved game must show the cube on its
# new cell.
#
#   bash keyboard_play.sh <game folder> <build folder>

# The shared helpers start an X server of the script's own (a free display,
# chosen by the server itself), so scripts running side by side never meet.
# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

# A sparse saved game of mode 1: five resting cubes, no two alike nearby.
# The cube to move: code 0 on (8, 2); the row to its left is free.
write_sparse_save() {
  local f=$1 cubes="" code x y
  while read -r code x y; do
    cubes+="1\r\n$code\r\n$x\r\n$y\r\n"
  done <<< $'0 8 2\n1 2 8\n2 6 6\n3 1 1\n4 9 9'
  printf "saved by the test\r\n1\r\n1\r\n0\r\n 0.00000000000000E+0000\r\n 0.00000000000000E+0000\r\n1\r\n5\r\n$cubes" > "$f"
}

# "flag code" of the saved cube on (X, Y), or nothing.
saved_cube_at() {
  tr -d '\r' < "$(save_file 1)" | awk -v x="$1" -v y="$2" 'NR > 8 { f[(NR - 9) % 4] = $1;
    if ((NR - 9) % 4 == 3 && f[2] == x && f[3] == y) print f[0], f[1] }'
}

# Presses Key until the item at world (X, Y) is the highlighted one. The game
# put the pointer in the middle of its window, where it may hover over an
# item of the page shown: the keys decide from wherever that left the
# selection.
select_item() {  # name, x, y, key
  local i
  for i in 1 2 3 4 5; do
    shot "$1-$i"
    highlighted "$1-$i" "$2" "$3" && return 0
    press "$4"
  done
  fail "the item at ($2, $3) never got the highlight ($1)"
}

options_shown() { [ -n "$(find_window "Options")" ]; }
options_gone() { [ -z "$(find_window "Options")" ]; }

step "launcher: the options dialog opens and cancels by keys"
prepare_folder
write_sparse_save "$(save_file 1)"
launch
xdotool windowfocus --sync "$LAUNCHER" 2> /dev/null
press alt+o
wait_until 20 "the Options dialog" options_shown
press Escape
wait_until 20 "the Options dialog to close" options_gone

step "launcher: Enter starts the game"
xdotool windowfocus --sync "$LAUNCHER" 2> /dev/null
press Return
await_menu
xdotool windowfocus "$WIN" 2> /dev/null

step "menu: play, mode 1, start from the hints page"
select_item page1 -0.2 1 Up
press Return Return  # play; mode 1 (the first item, selected as the page opens)
sleep 0.3
press Return         # start, the hints page's first item
wait_state gsGame

step "the saved-game offer takes the arrows and Enter: the saved board is loaded"
select_item page7-offer 1.45 -0.55 Right  # "continue the saved game"
press Return
wait_state gsGame
sleep 1              # the loaded cubes grow in; clicks before they rest are not taken
shot loaded

step "the board cursor: to the corner, then onto the cube on (8, 2)"
press Up
shot cursor-shown
region_differs loaded cursor-shown "$(cell_x 3)" "$(cell_y 5)" || fail "no board cursor drawn on the pointer's cell"
for _ in 1 2 3 4 5 6 7 8 9 10; do xdotool key Left Down; done
sleep 0.3
press Right Up Return  # (9, 1) -> (8, 2), pick it up
shot cube-selected

step "arrows lead it four cells to the right on screen, Enter sends it"
press Right Right Right Right
shot path-shown
region_differs cube-selected path-shown "$(cell_x 5)" "$(cell_y 2)" || fail "no path marks on the way"
press Return
# The red face of the cube (code 0) on (4, 2), beside its symbol and inside
# the board cursor's frame.
arrived() {
  shot arrived
  rgb_at arrived "$(cell_x 4)" "$(awk -v y="$(cell_y 2)" 'BEGIN { print y - 0.28 }')" | awk '{ exit !($1 > 0.45 && $1 > $2 + 0.2 && $1 > $3 + 0.2) }'
}
wait_until 20 "the red cube on (4, 2)" arrived
sleep 1  # the turn after the move: its cubes grow in

step "pause by keys: Escape opens the dialog, Enter on quit saves"
move_to 3 3  # the mouse's turn comes after the dialog's keys, below
sleep 0.3
press Escape
shot page5-pause
region_differs arrived page5-pause 0 0.9 || fail "the pause dialog did not appear"
select_item page5-quit -1.45 -0.55 Right
# A mouse click away from the dialog's buttons (the pointer was put there
# before the pause) belongs to no item: it must not take the keys' choice.
mark_log
xdotool click 1
wait_for_new_log 'FPS:'
sleep 1.2
new_log_has ' gsMenu  FPS:' && fail "a click on the board quit the game"
select_item page5-quit-again -1.45 -0.55 Right
rm -f "$(save_file 1)"
press Return
wait_state gsMenu
wait_until 5 "data/Save1.dat" has_file "$(save_file 1)"
[ "$(saved_cube_at 4 2)" = "1 0" ] || fail "the saved game has no resting cube of code 0 on (4, 2): $(saved_cube_at 4 2)"
[ "$(saved_cube_at 8 2 | cut -d' ' -f2)" != "0" ] || fail "the cube still stands on (8, 2)"

step "exit from the main menu by keys"
select_item page1-exit -0.2 -2.3 Up
press Return
wait_until 20 "the program to end" bash -c "! kill -0 $GAME_PID 2>/dev/null"
log_has ' Main form closed' || fail "no \"Main form closed\" in the log"
echo "PASS ($E2E_NAME)"
