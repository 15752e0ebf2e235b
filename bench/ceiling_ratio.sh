#!/bin/bash
# The game's full-board frame rate beside the ceiling's, back to back in the
# same run: the ceiling (bench/ceiling.cpp, drawing the triangles of a
# recorded full-board frame and nothing else), then the game on that board
# (bench/game_fps.sh), at 800 x 600 and 1280 x 960, each pair twice. Prints
# each pair's medians and their ratio, and the load average before each pair:
# llvmpipe shares the machine's cores, so pairs under load read low. It also
# prints the ratio of the CPU time (all threads) each spends per frame,
# ceiling over game: that one hardly moves with the load.
#
#   bash bench/ceiling_ratio.sh <game folder> <build folder> [rounds]
#
# VOXARINE_CEILING_OPTIONS=--small-texture gives the ceiling one small
# texture instead of the frame's own sizes.
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

ceiling_run() {  # width height -> "median-fps cpu-ms-per-frame"
  timeout $((SECONDS_EACH + 60)) xvfb-run -a -s "-screen 0 1600x1200x24" \
    "$BUILD_DIR/bench/voxarine-ceiling" ${VOXARINE_CEILING_OPTIONS:-} "$MIX" "$1" "$2" "$SECONDS_EACH" |
    sed -n 's/^ceiling median FPS: //p; s/^ceiling CPU per frame: \([0-9.]*\) ms/\1/p' | tr '\n' ' '
}

game_run() {  # resolution number -> "median-fps cpu-ms-per-frame" on the full board
  VOXARINE_FPS_PARTS=full VOXARINE_FPS_SECONDS=$SECONDS_EACH \
    bash "$HERE/game_fps.sh" "$GAME_DIR" "$BUILD_DIR" "$1" 2>&1 |
    sed -n 's/^full board: .* median \([0-9]*\),.*/\1/p; s/^full board CPU per frame: \([0-9.]*\) ms/\1/p' | tr '\n' ' '
}

status=0
for round in $(seq 1 "$ROUNDS"); do
  for size in "3 800 600" "7 1280 960"; do
    read -r number width height <<< "$size"
    load=$(cut -d' ' -f1 /proc/loadavg)
    read -r ceiling ceiling_cpu <<< "$(ceiling_run "$width" "$height")"
    read -r game game_cpu <<< "$(game_run "$number")"
    if [ -z "${ceiling:-}" ] || [ -z "${game:-}" ] || [ -z "${ceiling_cpu:-}" ] || [ -z "${game_cpu:-}" ]; then
      echo "round $round, $width x $height: no measurement"
      status=1
      continue
    fi
    awk -v r="$round" -v w="$width" -v h="$height" -v c="$ceiling" -v g="$game" -v l="$load" \
        -v cc="$ceiling_cpu" -v gc="$game_cpu" \
      'BEGIN { printf "round %d, %4d x %-4d: game %4d fps / ceiling %4d fps = %.2f;  CPU per frame: ceiling %.2f ms / game %.2f ms = %.2f  (load %s)\n",
                      r, w, h, g, c, g / c, cc, gc, cc / gc, l }'
  done
done
exit $status
