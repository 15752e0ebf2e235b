#!/bin/bash
# Records games of the headless player as replays, then plays every file
# again headless and holds its end (score, level, state digest, and the
# digests every 30 frames) to the file's own: all must be equal.
#
#   bash record_and_verify.sh <voxarine-autoplay> <game folder> <games>
set -u
AUTOPLAY=$1 GAME_DIR=$2 GAMES=$3
WORK=$(mktemp -d "${TMPDIR:-/tmp}/voxarine-replays.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Both modes, both frame kinds, mouse and keys; moves capped so that the
# run stays short.
"$AUTOPLAY" --games "$GAMES" --seed 5 --max-moves 120 --quiet --record "$WORK/rec" --game-dir "$GAME_DIR" \
  > "$WORK/play.txt" 2>&1 || { cat "$WORK/play.txt"; fail "the recorded games found a violation"; }
"$AUTOPLAY" --games 10 --seed 6 --max-moves 120 --input keys --quiet --record "$WORK/rec" --game-dir "$GAME_DIR" \
  >> "$WORK/play.txt" 2>&1 || { cat "$WORK/play.txt"; fail "the recorded keyboard games found a violation"; }
tail -n 1 "$WORK/play.txt"
files=$(find "$WORK/rec" -name '*.vxr' | wc -l)
[ "$files" -ge "$GAMES" ] || fail "$files replays for $GAMES games"
"$AUTOPLAY" --replay "$WORK/rec" --verify --game-dir "$GAME_DIR" > "$WORK/verify.txt" 2>&1
status=$?
grep -v ": equal$" "$WORK/verify.txt"
[ $status -eq 0 ] || fail "verification failed (status $status)"
grep -q "^replays: $files, equal: $files," "$WORK/verify.txt" || fail "not every replay equal"
size=$(du -cb "$WORK"/rec/*.vxr | tail -n 1 | cut -f1)
echo "PASS: $files of $files replays equal, $size bytes in all"
