#!/bin/bash
# End to end for sound: the real game under Xvfb with SDL's disk audio driver,
# whose recording of the mixed output is measured stretch by stretch.
#   1. effects only (music volume 0): the spoken name at the end of loading,
#      silence in the idle menu, then on a saved board with three known cubes:
#      selecting a cube is heard, moving it is heard, and the selection's loop
#      ends with the move (the board is checked in the file saved on quitting);
#   2. music only (sound volume 0): the menu track and the game theme;
#   3. no audio device: the game runs silent; the options page and the close
#      keep the stored volumes.
#
# Every stretch is measured by its place in the recording, once the recording
# has reached its end: the driver writes in real time, however slowly the
# test itself runs.
#
#   bash audio_session.sh <game folder> <build folder>

# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

BPS=176400  # bytes a second: 44.1 kHz, 16-bit, stereo
RAW=""
SETTINGS="$WORK/config/voxarine/settings.reg"
SILENT_AT=0

raw_size() { stat -c %s "$RAW" 2>/dev/null || echo 0; }
# Peak and RMS (of full scale 32768) of the recording between two byte offsets.
measure() {
  local a=$(($1 & ~3)) b=$(($2 & ~3))
  [ $a -lt 0 ] && a=0
  [ $b -le $a ] && { echo "0 0.0"; return; }
  od -A n -v -t d2 -j "$a" -N "$((b - a))" "$RAW" | awk '
    { for (i = 1; i <= NF; i++) { v = $i < 0 ? -$i : $i; if (v > p) p = v; s += $i * $i; n++ } }
    END { printf "%d %.1f\n", p, n ? sqrt(s / n) : 0 }'
}
recorded() { [ "$(raw_size)" -ge "$1" ]; }
wait_for_recording() { wait_until 60 "the recording to reach byte $1" recorded "$1"; }
# Fails unless the stretch is heard (peak above Min) or silent (Min = 0: peak 0).
expect_sound() {  # what, from, to, min peak
  local peak rms
  wait_for_recording "$3"
  read -r peak rms < <(measure "$2" "$3")
  echo "   $1: peak $peak, RMS $rms ($(awk -v n=$(($3 - $2)) -v b=$BPS 'BEGIN { printf "%.1f", n / b }') s)"
  if [ "$4" -eq 0 ]; then
    [ "$peak" -eq 0 ] || fail "$1 should be silent (peak $peak)"
  else
    [ "$peak" -gt "$4" ] || fail "$1 is not heard (peak $peak)"
  fi
}
# Half a second of silence in the recording after byte From; SILENT_AT is
# where it begins. Fails after Limit seconds.
wait_for_silence() {  # from, limit, what
  local end=$((SECONDS + $2)) e peak rms
  while [ $SECONDS -lt $end ]; do
    e=$(raw_size)
    if [ $((e - $1)) -ge $((BPS / 2)) ]; then
      read -r peak rms < <(measure $((e - BPS / 2)) "$e")
      if [ "$peak" -eq 0 ]; then
        SILENT_AT=$((e - BPS / 2))
        return 0
      fi
    fi
    game_running || fail "the program ended"
    sleep 0.2
  done
  return 1
}

prepare_session() {  # sound volume, music volume, audio driver
  stop_game
  prepare_folder
  sed -i "s/\"SoundVol\"=dword:0000000./\"SoundVol\"=dword:0000000$1/; s/\"MusicVol\"=dword:0000000./\"MusicVol\"=dword:0000000$2/" "$SETTINGS"
  RAW="$WORK/out-$1$2.raw"
  rm -f "$RAW"
  export SDL_AUDIODRIVER=$3 SDL_DISKAUDIOFILE=$RAW
}

# A saved game of mode 1, level 1, with three resting cubes of three colours
# (nothing scores): codes 0, 1, 2 on (2, 2), (8, 8) and (2, 8).
write_three_cube_save() {
  printf '%s\r\n' "saved by the test" 1 1 0 " 0.00000000000000E+0000" " 0.00000000000000E+0000" 1 3 \
    1 0 2 2  1 1 8 8  1 2 2 8 > "$1"
}
# The cubes of a save file as "flag code x y" lines.
saved_cubes() {
  tr -d '\r' < "$1" | awk 'NR == 8 { n = $1 } NR > 8 && NR <= 8 + 4 * n { v[(NR - 9) % 4] = $1
    if ((NR - 9) % 4 == 3) print v[0], v[1], v[2], v[3] }'
}
save_rewritten() { [ -f "$1" ] && ! head -n 1 "$1" | grep -q "saved by the test"; }

# From the main menu into mode 1 (play, mode 1, past the hints page).
enter_mode_1() {
  park_pointer
  press Down Return Return Return
}

step "effects only: the name, a quiet menu"
prepare_session 9 0 disk
write_three_cube_save "$(save_file 1)"
start_game
LOADED=$(raw_size)
# The name is spoken as loading ends; the log line may be seen a little late.
expect_sound "the spoken name at the end of loading" $((LOADED - 2 * BPS)) $((LOADED + 7 * BPS / 2)) 2000
park_pointer
a=$(raw_size)
[ "$a" -lt $((LOADED + 7 * BPS / 2)) ] && a=$((LOADED + 7 * BPS / 2))
expect_sound "the idle menu without music" "$a" $((a + 2 * BPS)) 0

step "effects only: a cube selected and moved on a saved board"
enter_mode_1
click_at 1.45 -0.55  # continue the saved game
# The menu's and the new level's sounds end before the first click.
wait_for_silence "$(raw_size)" 60 || fail "the game does not fall silent after it starts"
# The loaded cubes grow in first, and the game takes no click before they
# rest. A click it did not take leaves the game silent: only then again.
selected=""
for attempt in 1 2 3 4; do
  c=$(raw_size)
  click_at "$(cell_x 2)" "$(cell_y 2)"
  wait_for_recording $((c + 2 * BPS))
  read -r peak rms < <(measure "$c" $((c + 2 * BPS)))
  if [ "$peak" -gt 2000 ]; then selected=$c; break; fi
  echo "note: the click on the cube was not taken (attempt $attempt)"
done
[ -n "$selected" ] || fail "selecting a cube is not heard"
expect_sound "selecting a cube" "$selected" $((selected + 2 * BPS)) 2000
# The selected cube's loop sounds until the move starts; the move's steps and
# the next turn's sound follow, then silence.
moved=""
for attempt in 1 2 3; do
  m=$(raw_size)
  click_at "$(cell_x 6)" "$(cell_y 5)"
  if wait_for_silence "$m" 20; then moved=$m; break; fi
  echo "note: the click on the target was not taken (attempt $attempt)"
done
[ -n "$moved" ] || fail "the selected cube's loop does not stop: the move was not taken"
# Louder than the loop: the steps, the arrival and the next turn.
expect_sound "moving the cube" "$moved" "$SILENT_AT" 6000
expect_sound "the board after the move" "$SILENT_AT" $((SILENT_AT + BPS)) 0
press Escape
click_at -1.45 -0.55  # quit: saves the game
wait_until 20 "the game saved on quitting" save_rewritten "$(save_file 1)"
saved_cubes "$(save_file 1)" | grep -qx "1 0 6 5" || fail "the cube did not arrive on (6, 5): $(saved_cubes "$(save_file 1)" | tr '\n' ',')"
saved_cubes "$(save_file 1)" | grep -q "^1 [0-9]* 2 2$" && fail "a cube still rests on (2, 2)"

step "music only: the menu track and the game theme"
prepare_session 0 5 disk
start_game
a=$(($(raw_size) + BPS))
expect_sound "the menu music" "$a" $((a + 3 * BPS)) 1000
enter_mode_1
wait_state gsGame
a=$(($(raw_size) + BPS))
expect_sound "the game theme" "$a" $((a + 3 * BPS)) 1000

step "no audio device: silent, and the stored volumes stay the player's"
prepare_session 7 4 no-such-audio-driver
touch -d '2001-01-01' "$SETTINGS"
start_game
log_has ' Sound disabled' || fail "the debug log does not say why there is no sound"
# The options page shows the stored volumes, and its Save keeps them.
park_pointer
shot nodev-menu
click_at -1.8 -0.1  # options
park_pointer
expect_picture nodev-options "the options page" region_differs nodev-menu nodev-options 0.3 -3.4
click_at 0.3 -3.4   # save
settings_written() { [ "$(stat -c %Y "$SETTINGS")" -gt 1000000000 ]; }
wait_until 20 "the options page's Save" settings_written
grep -q '"SoundVol"=dword:00000007' "$SETTINGS" || fail "Save on the options page changed SoundVol: $(grep Vol "$SETTINGS" | tr '\r\n' '  ')"
grep -q '"MusicVol"=dword:00000004' "$SETTINGS" || fail "Save on the options page changed MusicVol"
stop_game 30  # a window close: the settings are saved once more
[ "$GAME_STATUS" -eq 0 ] || fail "closing ended with status $GAME_STATUS"
grep -q '"SoundVol"=dword:00000007' "$SETTINGS" || fail "SoundVol was not kept at close: $(grep Vol "$SETTINGS" | tr '\r\n' '  ')"
grep -q '"MusicVol"=dword:00000004' "$SETTINGS" || fail "MusicVol was not kept at close"
echo "PASS ($E2E_NAME)"
