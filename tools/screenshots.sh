#!/usr/bin/env bash
# Takes the README's screenshots: starts the game under an X server of its
# own (Xvfb) in a 1024 x 768 window, walks it with xdotool (launcher,
# loading screen, main menu, options, a game in progress, high scores, a
# tutorial page) and saves small PNGs. Each picture is taken once the debug
# log or the screen shows that the game is there.
#
#   tools/screenshots.sh [build dir] [output dir]
#
# VOXARINE_SHOT_RESOLUTION picks another window size by its number in the
# options dialog's list (3 is 800 x 600, 4 is 1024 x 768, 7 is 1280 x 960).
# The game runs on a copy of the game folder with its own settings and data
# folders, so neither the build nor your own settings and scores change; the
# game and the X server are ended by their PIDs however the script ends.

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
OUT=${2:-$ROOT/docs/screenshots}
RESOLUTION=${VOXARINE_SHOT_RESOLUTION:-4}

for tool in Xvfb xdotool import convert compare; do
  command -v "$tool" > /dev/null || { echo "screenshots: $tool is needed (see tools/install-deps.sh)" >&2; exit 1; }
done
[ -x "$BUILD/game/voxarine" ] || { echo "screenshots: no game at $BUILD/game (run make first)" >&2; exit 1; }
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

set -- "$BUILD/game" "$BUILD"
# shellcheck source=../tests/e2e/frontend_common.bash
source "$ROOT/tests/e2e/frontend_common.bash"

prepare_folder
# Silent, hints page on, skin 1, the chosen size; the frame-rate lines of the
# log say when the menu and the game are on screen.
sed -i "s/\"Resolution\"=dword:00000003/\"Resolution\"=dword:0000000$RESOLUTION/;
        s/\"SoundVol\"=dword:00000005/\"SoundVol\"=dword:00000000/;
        s/\"MusicVol\"=dword:00000005/\"MusicVol\"=dword:00000000/" "$XDG_CONFIG_HOME/voxarine/settings.reg"

keep() {  # name: the game window from the screenshot Name, small, into OUT
  convert "$SHOTS/$1.png" -crop "${WW}x${WH}+${WX}+${WY}" +repage -resize 640x480 -strip "$OUT/$1.png"
  echo "screenshots: $OUT/$1.png"
}

launch
press_start key

# The loading screen shows only while the game loads: grab the whole screen
# as fast as we can until the debug log says loading has finished, then keep
# the last grab that was not black.
wait_until 60 "the game window" game_window_shown
WIN=$(game_window)
eval "$(xdotool getwindowgeometry --shell "$WIN")"
WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
n=0
while ! log_has ' \.\.\. Loading finished' && [ $n -lt 400 ]; do
  game_running || fail "the program ended while loading"
  shot "grab$n"
  n=$((n + 1))
done
for ((i = n - 1; i >= 0; i--)); do
  [ -f "$SHOTS/grab$i.png" ] || continue
  mean=$(convert "$SHOTS/grab$i.png" -crop "${WW}x${WH}+${WX}+${WY}" +repage -format '%[fx:mean]' info: 2>/dev/null || echo 0)
  if awk -v m="$mean" 'BEGIN { exit !(m > 0.04) }'; then
    cp "$SHOTS/grab$i.png" "$SHOTS/loading.png"
    keep loading
    break
  fi
done
rm -f "$SHOTS"/grab*.png
await_menu
focus_game
park_pointer
shot menu
keep menu

click_at -1.8 -0.10  # Options
park_pointer
expect_picture options "the options page" picture_differs menu options
keep options
click_at -3.90 -3.40  # Cancel

start_relaxed_by_mouse
random_moves 14  # play a little
park_pointer
shot game
keep game

press Escape
click_at -1.45 -0.55  # Save and quit
wait_state gsMenu
wait_for_file "$(save_file 1)"
shot menu-again
click_at -1.8 -1.20  # High scores
park_pointer
expect_picture hiscores "the high score table" picture_differs menu-again hiscores
keep hiscores
click_at -1.8 -4.25  # Back
wait_state gsMenu

click_at -1.8 1.00   # Play
shot choice
click_at -1.8 -1.35  # How to play
wait_for_file "$GAME/Images/Tutorial/tut1.bmp"
# A page is drawn in the frame after its log line: each is waited for on
# the screen, as a change from the page before.
expect_picture tut1 "the first tutorial page" picture_differs choice tut1
mark_log
click_at -5.6 -4.85  # Next
wait_for_new_log ' loaded2'
expect_picture tut2 "the second tutorial page" picture_differs tut1 tut2 0.02
mark_log
click_at -5.6 -4.85  # Next
wait_for_new_log ' loaded3'
expect_picture tutorial "the third tutorial page" picture_differs tut2 tutorial 0.02
keep tutorial
stop_game
echo "screenshots: done"
