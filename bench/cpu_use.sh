#!/bin/bash
# CPU use of the real game, in per cent of one core (all its threads, the
# software rasteriser's included), over ten seconds in each of four states:
# the main menu, a game in play on level 1, that game paused, and the window
# without the focus. The game runs under Xvfb with Mesa's software GL,
# windowed at 800 x 600, the pointer parked inside the window; the debug
# log's frame-rate lines give the frames drawn in each state.
#
#   bash bench/cpu_use.sh <game folder> <build folder> [game arguments...]
#
# e.g. `bash bench/cpu_use.sh build/game build --no-frame-cap` for the
# uncapped pace. VOXARINE_CPU_SECONDS changes the ten seconds.

# shellcheck source=../tests/e2e/frontend_common.bash
source "$(dirname "$0")/../tests/e2e/frontend_common.bash"
shift 2
GAME_ARGS=("$@")
MEASURE_SECONDS=${VOXARINE_CPU_SECONDS:-10}
CLOCK_TICKS=$(getconf CLK_TCK)

# Measures one state: CPU per cent of a core and the frames a second the log saw.
measure() {  # name
  local t0 t1 s0 s1 fps
  game_running || fail "the program ended"
  mark_log
  t0=$(cpu_ticks)
  s0=$(date +%s.%N)
  sleep "$MEASURE_SECONDS"  # the measuring span itself, not a wait for a state
  t1=$(cpu_ticks)
  s1=$(date +%s.%N)
  fps=$(tail -n +"$((LOG_MARK + 1))" "$LOG" | sed -n 's/.*  FPS: *\([0-9]*\).*/\1/p' | sort -n |
    awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else print v[int((NR + 1) / 2)] }')
  awk -v n="$1" -v t="$((t1 - t0))" -v hz="$CLOCK_TICKS" -v a="$s0" -v b="$s1" -v f="$fps" \
    'BEGIN { printf "| %-22s | %5.0f %% | %s |\n", n, 100 * t / hz / (b - a), f }'
}

step "the game, windowed at 800 x 600 (arguments: ${GAME_ARGS[*]:-none})"
prepare_folder
start_game key
park_pointer
echo "| state                  | CPU     | frames/s (median) |"
echo "|---|---|---|"
measure "main menu"

press Down Return Return  # play, mode 1
press Return              # start, from the hints page
wait_state gsGame
park_pointer
measure "in play, level 1"

mark_log
press Escape
# A frame-rate line after the key: the paused game (still gsGame) has drawn
# for a second, and its cubes have come to rest.
wait_for_new_log " gsGame  FPS:" 20
measure "paused"

ROOT=$(xwininfo -root | awk '/Window id:/ { print $4 }')
mark_log
xdotool windowfocus "$ROOT" 2> /dev/null || true
wait_for_new_log " Application deactivated"
measure "unfocused"
stop_game
