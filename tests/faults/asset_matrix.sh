#!/bin/bash
# Every file of the game folder, one at a time, deleted, cut to half its
# bytes, and replaced by random bytes of the same size; each time the game is
# started under Xvfb and taken from the launcher to the menu and into a game.
# Allowed outcomes:
#   runs           reaches the game, no message, exit status 0
#   runs+message   a message naming the file, then the game goes on as usual
#   message+exit   a message naming the file, then a non-zero exit status
# Anything else fails the script: a crash, a sanitizer report, a hang (no
# progress for 90 s), an exit 0 after a message, a message that does not name
# the file.
#
#   asset_matrix.sh <game folder> <build folder>
#   ASSET_SAMPLE=N  only N files, spread evenly over the sorted list (0: all)
#   ASSET_CASES="delete half random"
#   ASSET_ROTATE=1  one case per file, taking the cases in turn (a short sample)
#   ASSET_ONLY="data/Menu.dat ..."  just these files
#   ASSET_TABLE=file  where the table goes (default <build>/asset-matrix.md)
# A bad case's output and debug log are kept in <build>/asset-matrix-faults/.
# The sanitized game (<build>/tests/faults/voxarine-asan) is used when it was built.
source "$(dirname "$0")/../e2e/frontend_common.bash"

SHIM="$BUILD_DIR/tests/faults/voxarine-full-disk.so"  # copies message boxes to a file
[ -f "$SHIM" ] || fail "no $SHIM"
ASAN_GAME="$BUILD_DIR/tests/faults/voxarine-asan"
SAMPLE=${ASSET_SAMPLE:-0}
CASES=${ASSET_CASES:-delete half random}
TABLE=${ASSET_TABLE:-$BUILD_DIR/asset-matrix.md}
BOXES="$WORK/boxes.txt"
export ASAN_OPTIONS="detect_leaks=0:verify_asan_link_order=0:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1"

# The game's own files: everything but the program and what it writes.
mapfile -t ALL < <(cd "$SRC_GAME_DIR" && find . -type f ! -name voxarine ! -name voxarine.lock ! -name debug.txt \
  ! -name 'Save?.dat' ! -name Hiscores.dat ! -name '*.damaged' ! -path './Images/Tutorial/*.bmp' | sed 's|^\./||' |
  # What a start reads first: the tables, the pictures and skin of the default
  # settings, sounds and music; the other skins' textures last.
  awk '{ k = /^data\// ? 0 : /^Images\/Skin[2-9]\// ? 4 : /^Images\/(Skin1|Menu)\// ? 2 : /^Images\// ? 1 : 3;
         print k "\t" $0 }' | LC_ALL=C sort | cut -f 2)
FILES=("${ALL[@]}")
[ -n "${ASSET_ONLY:-}" ] && read -r -a FILES <<< "$ASSET_ONLY"
if [ "$SAMPLE" -gt 0 ] && [ "$SAMPLE" -lt ${#ALL[@]} ]; then
  FILES=()
  for i in $(seq 0 $((SAMPLE - 1))); do FILES+=("${ALL[$((i * ${#ALL[@]} / SAMPLE))]}"); done
fi

boxes_seen() { [ -f "$BOXES" ] && wc -l < "$BOXES" || echo 0; }
sanitizer_report() { grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$WORK/stdout.txt"; }

mutate() {  # file, case
  local f="$GAME/$1" size
  size=$(stat -c %s "$f")
  case $2 in
    delete) rm -f "$f" ;;
    half) truncate -s $((size / 2)) "$f" ;;
    random) head -c "$size" /dev/urandom > "$f" ;;
  esac
}

# Runs one case; sets OUTCOME (and DETAIL).
run_case() {  # file, case
  local file=$1 kind=$2 stage=launcher dismissed=0 deadline=$((SECONDS + 90)) next_try=0 status=0 caption id n
  prepare_folder
  [ -x "$ASAN_GAME" ] && cp "$ASAN_GAME" "$GAME/voxarine"
  # A skin's textures are read only when it is the chosen one.
  if [[ $file =~ ^Images/Skin([1-9])/ ]]; then
    sed -i "s/^\"Texture\"=dword:.*\r\$/\"Texture\"=dword:0000000${BASH_REMATCH[1]}\r/" "$WORK/config/voxarine/settings.reg"
  fi
  mutate "$file" "$kind"
  : > "$BOXES"
  (cd "$GAME" && VOXARINE_BOX_LOG="$BOXES" LD_PRELOAD="$SHIM" exec ./voxarine > "$WORK/stdout.txt" 2>&1) &
  GAME_PID=$!
  GAME_PARENT=$BASHPID
  LAUNCHER=""
  while :; do
    if ! game_running; then
      wait "$GAME_PID" 2> /dev/null && status=0 || status=$?
      GAME_PID=""
      break
    fi
    [ $SECONDS -ge $deadline ] && { stage="hang in $stage"; break; }
    n=$(boxes_seen)
    if [ "$n" -gt "$dismissed" ]; then
      # Answer the box on screen (the newest the game showed) with Enter.
      caption=$(sed -n "$((dismissed + 1))p" "$BOXES" | sed 's/: .*//')
      id=$(box_window "$caption")
      if [ -n "$id" ]; then
        xdotool windowfocus "$id" 2> /dev/null && xdotool key Return 2> /dev/null
        sleep 0.3
        [ "$(box_window "$caption")" = "$id" ] || dismissed=$((dismissed + 1))
      else
        sleep 0.1
      fi
      continue
    fi
    case $stage in
      launcher)
        if [ -f "$LOG" ]; then stage=loading
        elif [ $SECONDS -ge $next_try ]; then
          LAUNCHER=$(find_window Voxarine)
          if [ -n "$LAUNCHER" ]; then
            xdotool windowfocus --sync "$LAUNCHER" 2> /dev/null && xdotool key --clearmodifiers Return 2> /dev/null
            next_try=$((SECONDS + 5))
          fi
        fi ;;
      loading)
        if log_has ' \.\.\. Loading finished' && log_has ' gsMenu  FPS:' && [ -n "$(game_window)" ]; then
          WIN=$(game_window)
          eval "$(xdotool getwindowgeometry --shell "$WIN" | sed 's/^/local /')"
          WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
          stage=menu next_try=0
        fi ;;
      menu)
        if log_has ' gsGame  FPS:'; then
          stage=game
          kill -TERM "$GAME_PID" 2> /dev/null
          deadline=$((SECONDS + 20))
        elif [ $SECONDS -ge $next_try ]; then
          # Play, mode 1, and the hints page's Start; again if no game came.
          xdotool windowfocus --sync "$WIN" 2> /dev/null || true
          click_at -1.8 1
          click_at -1.8 1.55
          click_at -5.2 -4.75
          next_try=$((SECONDS + 15))
        fi ;;
    esac
    sleep 0.1
  done
  if [ -n "$GAME_PID" ]; then
    end_process "$GAME_PID" "$GAME_PARENT" 5 "the game"
    GAME_PID=""
  fi
  local named=yes base
  base=$(basename "$file")
  n=$(boxes_seen)
  [ "$n" -eq 0 ] || grep -qiF -- "$base" "$BOXES" || named=no
  DETAIL=""
  [ "$n" -gt 0 ] && DETAIL=$(head -n 1 "$BOXES" | tr '\n|' ' /' | cut -c 1-160)
  if sanitizer_report; then
    OUTCOME="FAULT: sanitizer report"
    DETAIL=$(grep -m 1 -E 'ERROR: |runtime error:' "$WORK/stdout.txt" | cut -c 1-160)
  elif [[ $stage == hang* ]]; then OUTCOME="FAULT: $stage"
  elif [ "$status" -ge 128 ] && [ "$stage" != game ]; then OUTCOME="FAULT: signal $((status - 128))"
  elif [ "$stage" = game ]; then
    if [ "$status" -ne 0 ]; then OUTCOME="FAULT: exit $status after the game ran"
    elif [ "$n" -eq 0 ]; then OUTCOME="runs"
    elif [ $named = yes ]; then OUTCOME="runs+message"
    else OUTCOME="FAULT: message not naming the file"
    fi
  elif [ "$n" -eq 0 ]; then OUTCOME="FAULT: exit $status without a message"
  elif [ "$status" -eq 0 ]; then OUTCOME="FAULT: exit 0 after a message"
  elif [ $named = no ]; then OUTCOME="FAULT: message not naming the file (exit $status)"
  else OUTCOME="message+exit $status"
  fi
}

mkdir -p "$(dirname "$TABLE")"
{
  echo "| File | $(echo "$CASES" | sed 's/ / | /g') |"
  echo "|---|$(for c in $CASES; do printf -- '---|'; done)"
} > "$TABLE"
faults=0 count=0 index=0
read -r -a CASE_LIST <<< "$CASES"
for file in "${FILES[@]}"; do
  row="| $file |"
  for kind in $CASES; do
    if [ -n "${ASSET_ROTATE:-}" ] && [ "$kind" != "${CASE_LIST[$((index % ${#CASE_LIST[@]}))]}" ]; then
      row+=" |"
      continue
    fi
    run_case "$file" "$kind"
    # SDL now and then fails to start on a loaded machine, before any file
    # of the game is read: that case is run again.
    for attempt in 1 2; do
      grep -q 'no display to open a window on' "$WORK/stdout.txt" || break
      echo "note: $file / $kind: SDL did not start ($(tail -n 1 "$WORK/stdout.txt" | cut -c 1-100)); again"
      run_case "$file" "$kind"
    done
    count=$((count + 1))
    echo "$file / $kind: $OUTCOME${DETAIL:+ -- $DETAIL}"
    if [[ $OUTCOME == FAULT* ]]; then
      faults=$((faults + 1))
      kept="$BUILD_DIR/asset-matrix-faults/$(echo "$file-$kind" | tr / _)"
      mkdir -p "$(dirname "$kept")"
      cp "$WORK/stdout.txt" "$kept.stdout.txt" 2> /dev/null || true
      [ -f "$LOG" ] && cp "$LOG" "$kept.debug.txt"
    fi
    row+=" $OUTCOME |"
  done
  echo "$row" >> "$TABLE"
  index=$((index + 1))
done
echo "asset matrix: $count cases over ${#FILES[@]} files, $faults faults; table in $TABLE"
[ "$faults" -eq 0 ] || fail "$faults cases ended badly"
echo "PASS ($E2E_NAME)"
