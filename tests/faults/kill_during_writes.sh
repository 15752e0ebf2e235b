#!/bin/bash
# Kills the game with SIGKILL while it writes its files, and checks after every
# kill that each file is whole: byte for byte the old or the new version, and
# taken by the game's readers.
#
#   kill_during_writes.sh <game folder> <build folder>
#   HEADLESS_TRIALS (40): the headless player writing saved games of both
#     modes, the high scores, the settings, a tutorial bitmap and the debug log
#     in a loop (two versions alternating), killed at a random moment.
#   WINDOW_TRIALS (10): the real game under Xvfb, killed while it saves and
#     quits a game, converts the tutorial pictures, or closes its window.
source "$(dirname "$0")/../e2e/frontend_common.bash"

HEADLESS_TRIALS=${HEADLESS_TRIALS:-40}
WINDOW_TRIALS=${WINDOW_TRIALS:-10}
AUTOPLAY="$BUILD_DIR/tools/voxarine-autoplay"
[ -x "$AUTOPLAY" ] || fail "no $AUTOPLAY"
RANDOM=${KILL_SEED:-13}

# The writers' files, relative to a trial folder (settings under config/).
FILES="data/Save1.dat data/Save2.dat data/Hiscores.dat Images/Tutorial/tut1.bmp config/voxarine/settings.reg"

# Exec'd, so that a background call's PID is the player's own.
autoplay_in() {  # folder, arguments...
  local dir=$1
  shift
  XDG_CONFIG_HOME="$dir/config" XDG_DATA_HOME="$dir/user" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    exec "$AUTOPLAY" --game-dir "$SRC_GAME_DIR" --files "$dir" "$@"
}

# Byte for byte the same; a saved game's first line is the time it was saved.
same_as() {  # file, reference
  case $1 in
    */Save?.dat) [ -f "$1" ] && cmp -s <(head -n 1 "$1" | wc -c; tail -n +2 "$1") <(head -n 1 "$2" | wc -c; tail -n +2 "$2") ;;
    *) cmp -s "$1" "$2" ;;
  esac
}

# The debug log is only ever appended to: whole lines, each ended by CR LF.
log_whole() {  # file
  [ ! -s "$1" ] || [ "$(tail -c 2 "$1" | od -A n -t x1 | tr -d ' ')" = 0d0a ]
}

# ---- Headless: the writers in a loop ------------------------------------------------

step "reference versions of every file"
for v in 0 1; do
  mkdir -p "$WORK/ref$v/data"
  (autoplay_in "$WORK/ref$v" --write-files 1 --first-version $v > "$WORK/ref$v.txt" 2>&1) ||
    { cat "$WORK/ref$v.txt"; fail "writing version $v"; }
  for f in $FILES; do [ -s "$WORK/ref$v/$f" ] || fail "version $v has no $f"; done
done
for f in $FILES; do
  ! same_as "$WORK/ref0/$f" "$WORK/ref1/$f" || fail "the two versions of $f are the same"
done

step "$HEADLESS_TRIALS headless kills"
T="$WORK/trial"
mkdir -p "$T/data"
(autoplay_in "$T" --write-files 1 > /dev/null 2>&1) || fail "first write"
# How long the player takes to start and write one round: kills spread over
# the start and a few rounds after it.
start=$(date +%s%N)
(autoplay_in "$T" --write-files 3 > /dev/null 2>&1) || fail "timing run"
span_ms=$((($(date +%s%N) - start) / 1000000))
changed=0 temps_max=0 rounds_seen=0
for trial in $(seq 1 "$HEADLESS_TRIALS"); do
  before=$(cat $(for f in $FILES; do echo "$T/$f"; done) | md5sum)
  autoplay_in "$T" --write-files 0 --first-version $((RANDOM % 2)) > /dev/null 2>&1 &
  pid=$!
  delay=$((RANDOM % (span_ms + 1)))
  sleep "$(awk -v d="$delay" 'BEGIN { printf "%.3f", d / 1000 }')"
  kill -KILL "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
  for f in $FILES; do
    same_as "$T/$f" "$WORK/ref0/$f" || same_as "$T/$f" "$WORK/ref1/$f" ||
      { cmp "$T/$f" "$WORK/ref0/$f"; fail "trial $trial (kill after $delay ms): $f is neither version ($(stat -c %s "$T/$f" 2>&1) bytes)"; }
  done
  log_whole "$T/debug.txt" || fail "trial $trial: the debug log ends in a partial line"
  # Each run starts the log afresh: its lines are that run's rounds.
  rounds_seen=$((rounds_seen + $(grep -c 'write round' "$T/debug.txt" || true)))
  out=$( (autoplay_in "$T" --check-files) 2>&1) || fail "trial $trial: a reader refused a file: $out"
  after=$(cat $(for f in $FILES; do echo "$T/$f"; done) | md5sum)
  [ "$before" = "$after" ] || changed=$((changed + 1))
  temps=$(find "$T" -name '.*.??????' | wc -l)
  [ "$temps" -gt "$temps_max" ] && temps_max=$temps
done
temps_left=$(find "$T" -name '.*.??????' | wc -l)
echo "headless: $HEADLESS_TRIALS kills, every file old or new and read back; files changed in $changed trials," \
  "$rounds_seen whole rounds written; temporary files: at most $temps_max at once, $temps_left at the end"
# A kill between creating and renaming a temporary file leaves it behind; the
# next write of that file clears it, so they never pile up.
[ "$temps_max" -le 5 ] || fail "temporary files pile up ($temps_max)"

# ---- The windowed game ------------------------------------------------------------------

# Kills the game Delay ms from now and reaps it.
kill_game_after() {  # ms
  sleep "$(awk -v d="$1" 'BEGIN { printf "%.3f", d / 1000 }')"
  kill -KILL "$GAME_PID" 2> /dev/null || true
  wait "$GAME_PID" 2> /dev/null || true
  GAME_PID=""
}

# Every file the game wrote is read by the game's readers.
files_read() {  # trial
  local out
  out=$(XDG_CONFIG_HOME="$XDG_CONFIG_HOME" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    "$AUTOPLAY" --files "$GAME" --read-files 2>&1) || fail "window trial $1: a reader refused a file: $out"
  log_whole "$LOG" || fail "window trial $1: the debug log ends in a partial line"
}

step "$WINDOW_TRIALS kills of the windowed game"
prepare_folder
# No hints page: Play, mode 1 leads straight to the saved-game offer.
sed -i 's/"Help"=dword:00000001/"Help"=dword:00000000/' "$XDG_CONFIG_HOME/voxarine/settings.reg"
write_full_board_save "$(save_file 1)"
outcomes=""
for trial in $(seq 1 "$WINDOW_TRIALS"); do
  start_game
  case $((trial % 3)) in
    0)  # pause, save and quit: Save1.dat is rewritten
      [ -f "$(save_file 1)" ] || write_full_board_save "$(save_file 1)"
      click_at -1.8 1       # play
      click_at -1.8 1.55    # mode 1: the saved-game offer
      click_at 1.45 -0.55   # continue
      wait_state gsGame
      click_at -7 -4.72     # pause
      move_to -1.45 -0.55
      xdotool click 1       # quit: back to the menu, the game saved
      kill_game_after $((RANDOM % 300))
      what="save and quit" ;;
    1)  # the tutorial: nine bitmaps converted from the pictures
      rm -f "$GAME"/Images/Tutorial/*.bmp
      click_at -1.8 1       # play
      move_to -1.8 -1.35
      xdotool click 1       # how to play
      kill_game_after $((RANDOM % 1500))
      what="tutorial conversion" ;;
    2)  # window close: the settings and the debug log are written
      kill -TERM "$GAME_PID"
      kill_game_after $((RANDOM % 400))
      what="window close" ;;
  esac
  files_read "$trial"
  outcomes+="$what; "
done
# The files of the last kill start the game once more.
if [ "$WINDOW_TRIALS" -gt 0 ]; then
  start_game
  stop_game
  files_read last
fi
echo "windowed: $WINDOW_TRIALS kills (${outcomes% }) every file read back, the game started again"
echo "PASS ($E2E_NAME)"
