#!/bin/bash
# The game's full-board frame rate beside the ceiling's, back to back in the
# same run: the ceiling (bench/ceiling.cpp, drawing the triangles of a
# recorded full-board frame and nothing else), then the game on that board
# (bench/game_fps.sh), at 800 x 600 and 1280 x 960, each pair twice. Prints
# each pair's medians and their ratio, and the load average before each pair:
# llvmpipe shares the machine's cores, so pairs under load read low.
#
#   bash bench/ceiling_ratio.sh <game folder> <build folder> [rounds]
#
# Needs Xvfb, xvfb-run and xdotool; the ceiling and game_fps.sh each start
# and end their own X server.
set -u
GAME_DIR=$1
BUILD_DIR=$2
ROUNDS=${3:-2}
HERE=$(cd "$(dirname "$0")" && pwd)
SECONDS_EACH=${VOXARINE_FPS_SECONDS:-12}
MIX=$(mktemp "${TMPDIR:-/tmp}/voxarine-mix.XXXXXX")
trap 'rm -f "$MIX"' EXIT

"$BUILD_DIR/bench/voxarine-frame-mix" "$MIX" || exit 1

ceiling_fps() {  # width height -> median fps
  timeout $((SECONDS_EACH + 60)) xvfb-run -a -s "-screen 0 1600x1200x24" \
    "$BUILD_DIR/bench/voxarine-ceiling" "$MIX" "$1" "$2" "$SECONDS_EACH" |
    sed -n 's/^ceiling median FPS: //p'
}

game_fps() {  # resolution number -> median fps on the full board
  VOXARINE_FPS_PARTS=full VOXARINE_FPS_SECONDS=$SECONDS_EACH \
    bash "$HERE/game_fps.sh" "$GAME_DIR" "$BUILD_DIR" "$1" 2>&1 |
    sed -n 's/^full board: .* median \([0-9]*\),.*/\1/p'
}

status=0
for round in $(seq 1 "$ROUNDS"); do
  for size in "3 800 600" "7 1280 960"; do
    read -r number width height <<< "$size"
    load=$(cut -d' ' -f1 /proc/loadavg)
    ceiling=$(ceiling_fps "$width" "$height")
    game=$(game_fps "$number")
    if [ -z "$ceiling" ] || [ -z "$game" ]; then
      echo "round $round, $width x $height: no measurement (ceiling '${ceiling}', game '${game}')"
      status=1
      continue
    fi
    awk -v r="$round" -v w="$width" -v h="$height" -v c="$ceiling" -v g="$game" -v l="$load" \
      'BEGIN { printf "round %d, %4d x %-4d: game %4d fps / ceiling %4d fps = %.2f   (load %s)\n", r, w, h, g, c, g / c, l }'
  done
done
exit $status
