#!/bin/bash
# End to end for sound: the real game under Xvfb with SDL's disk audio driver,
# whose recording of the mixed output is measured stretch by stretch.
#   1. effects only (music volume 0): the spoken name at the end of loading,
#      silence in the idle menu, effects while moving cubes in play;
#   2. music only (sound volume 0): the menu track and the game theme;
#   3. no audio device: the game runs and saves both volumes as 0 at close.
#
#   bash audio_session.sh <game folder> <build folder>

if [ -z "${VOXARINE_E2E_XVFB:-}" ]; then
  command -v xvfb-run > /dev/null || { echo "xvfb-run is missing"; exit 1; }
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env VOXARINE_E2E_XVFB=1 bash "$0" "$@"
fi
# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

BYTES_PER_SECOND=176400  # 44.1 kHz, 16-bit, stereo
RAW=""
SETTINGS="$WORK/config/voxarine/settings.reg"

raw_size() { stat -c %s "$RAW" 2>/dev/null || echo 0; }
# Peak and RMS (of full scale 32768) of the recording between two byte offsets.
measure() {
  python3 - "$RAW" "$1" "$2" << 'EOF'
import math, struct, sys
path, a, b = sys.argv[1], int(sys.argv[2]) & ~3, int(sys.argv[3]) & ~3
with open(path, "rb") as f:
    f.seek(max(a, 0))
    data = f.read(max(b - a, 0))
s = struct.unpack("<%dh" % (len(data) // 2), data[: len(data) // 2 * 2])
peak = max((abs(v) for v in s), default=0)
rms = math.sqrt(sum(v * v for v in s) / len(s)) if s else 0
print(peak, "%.1f" % rms)
EOF
}
# Fails unless the stretch is heard (peak above Min) or silent (Min = 0: peak 0).
expect_sound() {  # what, from, to, min peak
  local peak rms
  read -r peak rms < <(measure "$2" "$3")
  echo "   $1: peak $peak, RMS $rms ($((($3 - $2) / BYTES_PER_SECOND)) s)"
  if [ "$4" -eq 0 ]; then
    [ "$peak" -eq 0 ] || fail "$1 should be silent (peak $peak)"
  else
    [ "$peak" -gt "$4" ] || fail "$1 is not heard (peak $peak)"
  fi
}

start_session() {  # sound volume, music volume, audio driver
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null && wait "$GAME_PID" 2>/dev/null
  GAME_PID=""
  rm -rf "$GAME"
  prepare_folder
  sed -i "s/\"SoundVol\"=dword:0000000./\"SoundVol\"=dword:0000000$1/; s/\"MusicVol\"=dword:0000000./\"MusicVol\"=dword:0000000$2/" "$SETTINGS"
  RAW="$WORK/out-$1$2.raw"
  rm -f "$RAW"
  export SDL_AUDIODRIVER=$3 SDL_DISKAUDIOFILE=$RAW
  launch
  xdotool windowfocus --sync "$LAUNCHER" 2> /dev/null
  press Return
  wait_until 30 "the game window" game_window_shown
  WIN=$(game_window)
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
  wait_until 120 "\"... Loading finished\" in the debug log" log_has ' \.\.\. Loading finished'
  LOADED=$(raw_size)
  xdotool windowfocus "$WIN" 2> /dev/null
}

# From the main menu to a game of mode 1 (play, mode 1, past the hints page).
start_game() {
  park_pointer
  press Down Return Return
  sleep 0.3
  press Return
  wait_state gsGame
}

step "effects only: the name, a quiet menu, moves in play"
start_session 9 0 disk
sleep 5
park_pointer
expect_sound "the spoken name at the end of loading" $((LOADED - BYTES_PER_SECOND / 2)) $((LOADED + 2 * BYTES_PER_SECOND)) 2000
a=$(raw_size)
sleep 2
expect_sound "the idle menu without music" "$a" "$(raw_size)" 0
start_game
sleep 3  # the level's first cubes grow in
a=$(raw_size)
for round in 1 2 3; do
  for y in 1 3 5 7 9; do
    for x in 2 4 6 8; do click_at "$(cell_x $x)" "$(cell_y $y)"; done
  done
done
expect_sound "selecting and moving cubes" "$a" "$(raw_size)" 2000

step "music only: the menu track and the game theme"
start_session 0 5 disk
sleep 3
a=$(raw_size)
sleep 3
expect_sound "the menu music" "$a" "$(raw_size)" 1000
start_game
sleep 1
a=$(raw_size)
sleep 3
expect_sound "the game theme" "$a" "$(raw_size)" 1000

step "no audio device: silent, both volumes saved as 0"
start_session 9 9 no-such-audio-driver
wait_state gsMenu
log_has ' Sound disabled' || fail "the debug log does not say why there is no sound"
park_pointer
press Down Down Down Down Return  # exit from the main menu
wait_until 20 "the program to end" bash -c "! kill -0 $GAME_PID 2>/dev/null"
grep -q '"SoundVol"=dword:00000000' "$SETTINGS" || fail "SoundVol was not saved as 0"
grep -q '"MusicVol"=dword:00000000' "$SETTINGS" || fail "MusicVol was not saved as 0"
echo "PASS ($E2E_NAME)"
