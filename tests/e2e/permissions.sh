#!/bin/bash
# File permissions as a player meets them: the real game runs as an ordinary
# user (nobody), since root ignores file modes.
#   1. a read-only data folder holding a saved game and a damaged score table:
#      the table cannot be kept aside, and the player is told; Save and quit
#      cannot save: the player is told why and stays in the paused game;
#      a window close cannot save either: told again, naming the file. The
#      old files stay byte for byte.
#   2. a read-only settings folder: leaving the game says the settings were
#      not saved, naming the file, which stays as it was.
# Skips (status 0) only when it cannot switch to another user at all.
#
#   bash permissions.sh <game folder> <build folder>

# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

AS_USER=(setpriv --reuid=nobody --regid="$(id -g nobody 2> /dev/null || echo 65534)" --clear-groups)
if [ "$(id -u)" -ne 0 ] || ! "${AS_USER[@]}" true 2> /dev/null; then
  echo "note ($E2E_NAME): cannot run a program as another user here; skipped"
  exit 0
fi

SHIM="$BUILD_DIR/tests/faults/voxarine-full-disk.so"
[ -f "$SHIM" ] || fail "no $SHIM (it records the message boxes' text)"

# The user needs a tree of its own: the scratch folder of the helpers may sit
# where it cannot go. Everything the game reads and writes moves there.
ROOT_WORK=$WORK
WORK=$(mktemp -d /tmp/voxarine-permissions.XXXXXX)
chmod 755 "$WORK"
GAME="$WORK/game"
LOG="$GAME/debug.txt"
BOXES="$WORK/boxes.txt"
perm_cleanup() {
  local status=$?
  rm -rf "$ROOT_WORK"
  (exit $status)
  e2e_cleanup
}
trap perm_cleanup EXIT

# As launch, but as the user, with the box recorder preloaded.
launch_as_user() {
  [ -n "$GAME_PID" ] && game_running && fail "launch: the game started before still runs"
  (cd "$GAME" && exec "${AS_USER[@]}" env LD_PRELOAD="$SHIM" VOXARINE_BOX_LOG="$BOXES" ./voxarine \
    > "$WORK/stdout.txt" 2>&1) &
  GAME_PID=$!
  GAME_PARENT=$BASHPID
  GAME_STATUS=""
  wait_until 60 "the launcher window" launcher_shown
  LAUNCHER=$(find_window "Voxarine")
}

expect_box() {  # words the box must hold...
  local w
  wait_until 30 "a message box about $1" box_says "$1"
  for w in "$@"; do box_says "$w" || fail "the box does not say \"$w\": $(cat "$BOXES")"; done
  echo "ok - told: $(grep -- "$1" "$BOXES" | head -n 1)"
}

give_to_user() {
  chown -R nobody "$WORK"
  : > "$BOXES"
  chown nobody "$BOXES"
}
same_file() { cmp -s "$1" "$2" || fail "$1 changed"; }

step "1. a read-only data folder: the damaged table, Save and quit, the close"
prepare_folder
sed -i 's/"Help"=dword:00000001/"Help"=dword:00000000/' "$XDG_CONFIG_HOME/voxarine/settings.reg"
write_full_board_save "$(save_file 1)"
head -c 400 /dev/urandom > "$GAME/data/Hiscores.dat"
cp "$(save_file 1)" "$WORK/save-before"
cp "$GAME/data/Hiscores.dat" "$WORK/scores-before"
give_to_user
chmod 555 "$GAME/data"
launch_as_user
press_start
expect_box Hiscores.dat "damaged"
dismiss_box Voxarine
lacks_file "$GAME/data/Hiscores.dat.damaged" || fail "a kept copy appeared in a read-only folder"
# As await_menu, but the box took the focus: the window draws once it has it back.
wait_until 60 "the game window" game_window_shown
WIN=$(game_window)
eval "$(xdotool getwindowgeometry --shell "$WIN" | sed 's/^\(X\|Y\|WIDTH\|HEIGHT\)=/W&/; s/^WWIDTH/WW/; s/^WHEIGHT/WH/')"
wait_for_log ' \.\.\. Loading finished' 180
focus_game
wait_state gsMenu

click_at -1.8 1       # play
click_at -1.8 1.55    # mode 1: the saved-game offer
click_at 1.45 -0.55   # continue
wait_state gsGame
: > "$BOXES"
click_at -7 -4.72     # pause
click_at -1.45 -0.55  # save and quit
expect_box Save1.dat "not saved" "Permission denied"
dismiss_box Voxarine
same_file "$(save_file 1)" "$WORK/save-before"
# Still in the game (the menu would write gsMenu lines), on its pause page.
focus_game
wait_state gsGame
click_at -1.45 -0.55  # save and quit again: the pause page is still there
expect_box Save1.dat
dismiss_box Voxarine
focus_game
wait_state gsGame

: > "$BOXES"
kill -TERM "$GAME_PID"  # the window closes: the running game cannot be saved
expect_box Save1.dat "not saved" "Permission denied"
dismiss_box Voxarine
wait_game_exit 30
same_file "$(save_file 1)" "$WORK/save-before"
same_file "$GAME/data/Hiscores.dat" "$WORK/scores-before"
left=$(find "$GAME/data" -name '.*.??????')
[ -z "$left" ] || fail "temporary files left behind: $left"

step "2. a read-only settings folder: leaving says the settings were not saved"
chmod 755 "$GAME/data"
rm -f "$GAME/data/Hiscores.dat"
SETTINGS="$XDG_CONFIG_HOME/voxarine/settings.reg"
cp "$SETTINGS" "$WORK/settings-before"
: > "$BOXES"
chmod 555 "$XDG_CONFIG_HOME/voxarine"
launch_as_user
press_start
await_menu
focus_game
click_at -1.8 -2.3  # exit
expect_box settings.reg "Permission denied"
dismiss_box Voxarine
wait_game_exit 30
[ "$GAME_STATUS" -eq 0 ] || fail "exit from the menu ended with status $GAME_STATUS"
same_file "$SETTINGS" "$WORK/settings-before"
echo "PASS ($E2E_NAME)"
