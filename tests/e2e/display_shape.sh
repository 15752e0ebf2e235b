#!/bin/bash
# The 4 : 3 picture on other screen shapes, in the real game: the picture is
# centred between black bars, the pointer maps into it (an item under the
# pointer lights up and takes a click), and a click in the bars does nothing.
#
#   bash tests/e2e/display_shape.sh <game folder> <build folder>
#
# VOXARINE_SHAPE picks the display: "window" (default: a 1280 x 768 window of
# the options' list), "small" (an 800 x 600 window) or "desktop" (full
# screen with "Use desktop settings" on a screen of E2E_SCREEN, e.g.
# 1920x1080x24). With VOXARINE_SHAPE_OUT set to a folder, the menu and a game
# in play are kept there as PNGs named after the window's size.
SHAPE=${VOXARINE_SHAPE:-window}
[ "$SHAPE" = desktop ] || E2E_SCREEN=${E2E_SCREEN:-1600x1200x24}
# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

prepare_folder
SETTINGS="$XDG_CONFIG_HOME/voxarine/settings.reg"
sed -i 's/"SoundVol"=dword:00000005/"SoundVol"=dword:00000000/; s/"MusicVol"=dword:00000005/"MusicVol"=dword:00000000/' "$SETTINGS"
case $SHAPE in
  window) sed -i 's/"Resolution"=dword:00000003/"Resolution"=dword:00000006/' "$SETTINGS" ;;
  small) ;;
  desktop) sed -i 's/"Fullscreen"=dword:00000000/"Fullscreen"=dword:00000001/; s/"Desktop"=dword:00000000/"Desktop"=dword:00000001/' "$SETTINGS" ;;
  *) fail "unknown VOXARINE_SHAPE '$SHAPE'" ;;
esac

step "start ($SHAPE)"
start_game key
echo "window: ${WW} x ${WH} at (${WX}, ${WY})"
if [ "$SHAPE" = desktop ]; then
  read -r SW SH < <(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  [ "$WW" -eq "$SW" ] && [ "$WH" -eq "$SH" ] || fail "full screen is ${WW} x ${WH}, the desktop ${SW} x ${SH}"
fi
SIZE="${WW}x${WH}"

# The picture as the game fits it (platform/d3d8/picture_fit): the helpers'
# world-to-screen mapping then works inside it.
read -r PX PY PW PH < <(awk -v w="$WW" -v h="$WH" 'BEGIN {
  if (w * 3 > h * 4) { f = int(h * 4 / 3 + 0.5); if (w - f < 2) f = w; printf "%d 0 %d %d\n", int((w - f) / 2), f, h }
  else { f = int(w * 3 / 4 + 0.5); if (h - f < 2) f = h; printf "0 %d %d %d\n", int((h - f) / 2), w, f } }')
WIN_X=$WX WIN_Y=$WY
WX=$((WIN_X + PX)) WY=$((WIN_Y + PY)) WW=$PW WH=$PH
echo "picture: ${PW} x ${PH} at (${PX}, ${PY}) in the window"

# Mean brightness of a strip of the last screenshot Name, in screen pixels.
mean_of() {  # name, width, height, x, y
  convert "$SHOTS/$1.png" -crop "${2}x${3}+${4}+${5}" +repage -format '%[fx:mean]' info:
}
keep() {  # name
  [ -n "${VOXARINE_SHAPE_OUT:-}" ] || return 0
  mkdir -p "$VOXARINE_SHAPE_OUT"
  convert "$SHOTS/$1.png" -crop "$((PX * 2 + PW))x$((PY * 2 + PH))+${WIN_X}+${WIN_Y}" +repage -strip \
    "$VOXARINE_SHAPE_OUT/${SIZE}_$1.png"
  echo "kept: $VOXARINE_SHAPE_OUT/${SIZE}_$1.png"
}

step "the bars are black, the picture is not"
park_pointer
shot menu
if [ "$PX" -gt 0 ]; then
  for x in $WIN_X $((WX + PW)); do
    m=$(mean_of menu "$PX" "$PH" "$x" "$WIN_Y")
    awk -v m="$m" 'BEGIN { exit !(m == 0) }' || fail "a side bar is not black (mean $m)"
  done
fi
if [ "$PY" -gt 0 ]; then
  m=$(mean_of menu "$PW" "$PY" "$WIN_X" "$WIN_Y")
  awk -v m="$m" 'BEGIN { exit !(m == 0) }' || fail "the top bar is not black (mean $m)"
fi
for edge in "$WX" $((WX + PW - 8)); do
  m=$(mean_of menu 8 "$PH" "$edge" "$WY")
  awk -v m="$m" 'BEGIN { exit !(m > 0.02) }' || fail "the picture's edge at x $edge is black (mean $m)"
done
keep menu

step "the pointer maps into the picture: the item under it lights up"
move_to -1.8 -1.2  # High scores
expect_highlight scores-lit -1.8 -1.2

if [ "$PX" -gt 0 ] || [ "$PY" -gt 0 ]; then
  step "a click in the bars does nothing"
  shot before-bar-clicks
  for i in 1 2; do
    if [ "$PX" -gt 0 ]; then
      xdotool mousemove --sync $((WIN_X + PX / 2)) $((WY + PH / 2)) click 1
      xdotool mousemove --sync $((WX + PW + PX / 2)) $((WY + PH / 3)) click 1
    else
      xdotool mousemove --sync $((WX + PW / 2)) $((WIN_Y + PY / 2)) click 1
    fi
    sleep 0.3
  done
  move_to -1.8 -1.2
  expect_highlight after-bar-clicks -1.8 -1.2
  picture_differs before-bar-clicks after-bar-clicks 0.02 && fail "a click in the bars changed the screen"
fi

step "a click in the picture acts: play, mode 1, start"
start_relaxed_by_mouse
random_moves 6
move_to 2 0
sleep 0.5
shot game
keep game
no_errors
stop_game
echo "PASS ($E2E_NAME $SHAPE)"
