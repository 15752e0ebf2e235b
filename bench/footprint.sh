#!/bin/bash
# Start-up time and memory of the real game under Xvfb (windowed 800 x 600,
# debug log on, the dummy sound driver, so every sound still loads):
#
#   bash bench/footprint.sh <game folder> <build folder> [runs]
#
# Start-up: the debug log's ticks from " Main form created" to the first menu
# frame (the first frame drawn after " ... Loading finished"), with the steps
# between. Memory: peak resident (VmHWM) and the resident split (anonymous,
# file) after the menu and then a game of mode 1 played for a few seconds.
# shellcheck source=../tests/e2e/frontend_common.bash
source "$(dirname "$0")/../tests/e2e/frontend_common.bash"
RUNS=${3:-1}

status_kb() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$GAME_PID/status"; }
memory() {  # what -> one line in MB
  awk -v what="$1" -v hwm="$(status_kb VmHWM)" -v anon="$(status_kb RssAnon)" -v file="$(status_kb RssFile)" \
    'BEGIN { printf "%s: peak resident %.0f MB; resident now: %.0f MB anonymous, %.0f MB file\n",
             what, hwm / 1024, anon / 1024, file / 1024 }'
}

for run in $(seq 1 "$RUNS"); do
  step "run $run: start to the menu"
  prepare_folder
  start_game key
  # The tick of each step from the form's creation to the end of loading.
  awk '/ Main form created/ { t0 = $1 + 0 }
       t0 && / \.\.\. Loading finished/ { printf "  %5d ms %s\n", $1 - t0, substr($0, length($1) + 1); done = 1; exit }
       t0 { printf "  %5d ms %s\n", $1 - t0, substr($0, length($1) + 1) }' "$LOG" | tr -d '\r'
  # The first menu frame follows the end of loading in the same pass; the
  # log's first menu frame-rate line counts the frames since.
  awk '/ Main form created/ { t0 = $1 + 0 } t0 && / \.\.\. Loading finished/ { printf "start-up: %d ms\n", $1 - t0; exit }' \
    "$LOG"
  memory "menu"
  park_pointer
  press Down Return Return  # play, mode 1
  press Return              # start, from the hints page
  wait_state gsGame
  mark_log
  wait_for_new_log " gsGame  FPS:" 10
  wait_for_new_log " gsGame  FPS:" 10
  memory "menu, then a game"
  stop_game
done
