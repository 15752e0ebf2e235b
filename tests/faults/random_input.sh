#!/bin/bash
# A long run of the real game under Xvfb driven by random input: clicks on
# the board and the menu items, random keys, pauses, saves and continues, and
# a window close and restart every few minutes. The sanitized game is used
# when it was built (<build>/tests/faults/voxarine-asan).
#
#   random_input.sh <game folder> <build folder>
#   SOAK_SECONDS (600)   how long to drive the game
#   SOAK_RESTART (180)   seconds between window closes
#   SOAK_SEED (1)
#
# Counted: sanitizer reports (any fails the run), hangs (no frame-rate line
# within 10 s, four times over with an Escape or a Back between, with no
# message box open), runs, and the resident memory every 30 s of each run.
# A long soak is best run as several shorter drivers one after the other.
source "$(dirname "$0")/../e2e/frontend_common.bash"

SECONDS_TOTAL=${SOAK_SECONDS:-600}
RESTART=${SOAK_RESTART:-180}
RANDOM=${SOAK_SEED:-1}
ASAN_GAME="$BUILD_DIR/tests/faults/voxarine-asan"
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1"
REPORT="$BUILD_DIR/random-input-report.txt"

# The home-page items open a web page: a stand-in opener keeps the desktop's
# browser out of the run.
mkdir -p "$WORK/bin"
printf '#!/bin/sh\nexit 0\n' > "$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH"

prepare_folder
[ -x "$ASAN_GAME" ] && cp "$ASAN_GAME" "$GAME/voxarine"
ALL_OUT="$WORK/all-stdout.txt"
: > "$ALL_OUT"

KEYS=(Escape Return Left Right Up Down space BackSpace Tab p a b c x F1 F2 1 2 3 Page_Up Page_Down Home End)
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$GAME_PID/status" 2> /dev/null || echo 0; }
sanitizer_report() { grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$WORK/stdout.txt"; }

box_window() {
  xwininfo -root -tree 2> /dev/null | awk '/": \(\)  / { print $1; exit }'
}
# A message box the random input opened (a damaged file, a failed save): answered.
answer_boxes() {
  local id
  id=$(box_window)
  [ -n "$id" ] || return 1
  BOXES=$((BOXES + 1))
  xdotool windowfocus "$id" 2> /dev/null && xdotool key Return 2> /dev/null
  sleep 0.3
  return 0
}

# Back to a state that draws: Escape (leaves pages, the tutorial, the table,
# pauses a game) until a frame-rate line comes; a hang when none comes.
back_to_drawing() {
  local attempt end
  for attempt in 1 2 3 4; do
    mark_log
    end=$((SECONDS + 10))
    while [ $SECONDS -lt $end ]; do
      new_log_has 'FPS:' && return 0
      game_running || return 0
      answer_boxes && end=$((SECONDS + 10))
      sleep 0.2
    done
    xdotool key Escape 2> /dev/null
    [ $attempt -ge 3 ] && click_at -1.8 -4.25  # a page's Back
  done
  HANGS=$((HANGS + 1))
  shot "hang-$HANGS"
  echo "hang: no frame-rate line for 40 s (screenshot $SHOTS/hang-$HANGS.png)"
  return 1
}

# A continued or new game of mode 1 or 2, played a little by clicks, then
# paused and saved: the save/continue path at least once a burst.
save_and_continue() {
  click_at -1.8 1
  click_at -1.8 $([ $((RANDOM % 2)) -eq 0 ] && echo 1.55 || echo 1.0)
  click_at -5.2 -4.75   # the hints page's Start
  click_at 1.45 -0.55   # the saved-game offer's Continue
  local i
  for i in $(seq 1 8); do click_at $((RANDOM % 9 - 4)) $((RANDOM % 9 - 4)); done
  click_at -7 -4.72     # pause
  click_at -1.45 -0.55  # save and quit
}

random_burst() {  # seconds
  local end=$((SECONDS + $1)) r x y
  while [ $SECONDS -lt $end ] && game_running; do
    answer_boxes && continue
    r=$((RANDOM % 10))
    if [ $r -lt 6 ]; then
      # Anywhere on the board and the menu plane, now and then the right
      # button; not on the main menu's Exit (runs end by the planned closes).
      x=$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", -8.5 + 13.4 * r / 32767 }')
      y=$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", -5.2 + 10.4 * r / 32767 }')
      awk -v x="$x" -v y="$y" 'BEGIN { exit !(x > -3.6 && x < 0 && y > -2.8 && y < -1.8) }' && continue
      click_at "$x" "$y" $([ $((RANDOM % 8)) -eq 0 ] && echo 3 || echo 1)
    elif [ $r -lt 9 ]; then
      xdotool key --clearmodifiers "${KEYS[$((RANDOM % ${#KEYS[@]}))]}" 2> /dev/null
      sleep 0.1
    else
      sleep 0.$((RANDOM % 10))
    fi
  done
}

RUNS=0 HANGS=0 BOXES=0 SAN=0
: > "$REPORT"
soak_end=$((SECONDS + SECONDS_TOTAL))
while [ $SECONDS -lt $soak_end ]; do
  RUNS=$((RUNS + 1))
  start_game
  run_end=$((SECONDS + RESTART))
  rss_line="run $RUNS rss MB:"
  next_rss=$SECONDS
  while [ $SECONDS -lt $run_end ] && [ $SECONDS -lt $soak_end ] && game_running; do
    if [ $SECONDS -ge $next_rss ]; then
      rss_line+=" $(($(rss_kb) / 1024))"
      next_rss=$((SECONDS + 30))
    fi
    random_burst 15
    game_running || break
    back_to_drawing || break
    [ $((RANDOM % 3)) -eq 0 ] && save_and_continue && back_to_drawing
  done
  echo "$rss_line" | tee -a "$REPORT"
  if game_running; then stop_game 30; else wait_game_exit 5; fi
  echo "run $RUNS ended with status $GAME_STATUS" | tee -a "$REPORT"
  cat "$WORK/stdout.txt" >> "$ALL_OUT"
  if sanitizer_report; then
    SAN=$((SAN + 1))
    cp "$WORK/stdout.txt" "$BUILD_DIR/random-input-sanitizer-$RUNS.txt"
    grep -m 3 -E 'ERROR: |runtime error:' "$WORK/stdout.txt"
  fi
  [ $HANGS -eq 0 ] || break
done
echo "random input: $SECONDS_TOTAL s, $RUNS runs, $BOXES message boxes answered, $HANGS hangs, $SAN runs with sanitizer reports" |
  tee -a "$REPORT"
[ $SAN -eq 0 ] || fail "sanitizer reports (see $BUILD_DIR/random-input-sanitizer-*.txt)"
[ $HANGS -eq 0 ] || fail "the game hung"
echo "PASS ($E2E_NAME)"
