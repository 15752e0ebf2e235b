#!/bin/bash
# Frames per second of the real game in play, read from the debug log's
# once-a-second "gsGame  FPS:" lines: the game under Xvfb, windowed, with the
# pointer moving over the board (path marks) and cubes being moved, first at
# the start of level 1 (a sparse board), then on a saved full board.
#
#   bash bench/game_fps.sh <game folder> <build folder> [resolution number]
#
# Resolution numbers are the options dialog's list: 3 is 800 x 600 (the
# default), 7 is 1280 x 960. VOXARINE_FPS_PARTS=full measures the full board
# only. The frames are uncapped: the script turns the game's frame cap off.

# A screen large enough for a 1280 x 960 window.
E2E_SCREEN=1600x1200x24
# shellcheck source=../tests/e2e/frontend_common.bash
source "$(dirname "$0")/../tests/e2e/frontend_common.bash"
RESOLUTION=${3:-3}
SECONDS_PER_PART=${VOXARINE_FPS_SECONDS:-12}

# The frame-rate lines since mark_log, the first (a part second) left out.
report() {
  tail -n +"$((LOG_MARK + 1))" "$LOG" | sed -n 's/.* gsGame  FPS: *\([0-9]*\).*/\1/p' | tail -n +2 |
    sort -n | awk -v what="$1" '{ v[NR] = $1; sum += $1 }
      END { if (NR == 0) { print what ": no frame-rate lines"; exit 1 }
            printf "%s: %d seconds, fps min %d, median %d, mean %.0f, max %d\n",
                   what, NR, v[1], v[int((NR + 1) / 2)], sum / NR, v[NR] }'
}

# Hovers over the board's cells and now and then moves a cube, for a while.
play_for() {
  local end=$((SECONDS + $1)) x y
  while [ $SECONDS -lt $end ]; do
    x=$((RANDOM % 9 + 1)) y=$((RANDOM % 9 + 1))
    move_to "$(cell_x $x)" "$(cell_y $y)"
    if [ $((RANDOM % 3)) -eq 0 ]; then xdotool click 1; sleep 0.3; fi
    sleep 0.4
  done
}

step "start a game of mode 1 at resolution $RESOLUTION"
prepare_folder
sed -i "s/\"Resolution\"=dword:00000003/\"Resolution\"=dword:0000000$RESOLUTION/" \
  "$XDG_CONFIG_HOME/voxarine/settings.reg"
# How fast the game can draw, not the display's rate.
printf '"FrameCap"=dword:00000000\r\n' >> "$XDG_CONFIG_HOME/voxarine/settings.reg"
start_game key
echo "window: ${WW} x ${WH} at (${WX}, ${WY})"
park_pointer
press Down Return Return  # play, mode 1
press Return              # start, from the hints page
wait_state gsGame

if [ "${VOXARINE_FPS_PARTS:-all}" != full ]; then
  step "level 1, a sparse board"
  mark_log
  play_for "$SECONDS_PER_PART"
  report "sparse board"
fi

step "a saved full board"
press Escape
click_at -1.45 -0.55      # quit (saves)
wait_state gsMenu
write_full_board_save "$(save_file 1)"
park_pointer
press Down Return Return
press Return
shot offer
click_at 1.45 -0.55       # continue the saved game
expect_picture full-board "the saved full board" region_differs offer full-board 0 0.9
mark_log
wait_for_new_log " gsGame  FPS:" 10
mark_log
cpu_start=$(cpu_ticks)
# Hover only: one move would end this game.
end=$((SECONDS + SECONDS_PER_PART))
while [ $SECONDS -lt $end ]; do
  move_to "$(cell_x $((RANDOM % 9 + 1)))" "$(cell_y $((RANDOM % 9 + 1)))"
  sleep 0.4
done
cpu_end=$(cpu_ticks)
report "full board"
# CPU time of all the game's threads per frame: the frames are the sum of
# the once-a-second rates (each line counts about one second's frames).
tail -n +"$((LOG_MARK + 1))" "$LOG" | sed -n 's/.* gsGame  FPS: *\([0-9]*\).*/\1/p' |
  awk -v ticks=$((cpu_end - cpu_start)) -v hz="$(getconf CLK_TCK)" \
    '{ frames += $1 } END { if (frames > 0) printf "full board CPU per frame: %.2f ms\n", ticks * 1000 / hz / frames }'
stop_game
