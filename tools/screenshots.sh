#!/usr/bin/env bash
# Takes the README's screenshots: starts the game under Xvfb in a 1024 x 768
# window, walks it with xdotool (launcher, loading screen, main menu, options,
# a game in progress, high scores, a tutorial page) and saves small PNGs.
#
#   tools/screenshots.sh [build dir] [output dir]
#
# The game runs on a copy of the game folder with its own settings and data
# folders, so neither the build nor your own settings and scores change.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
OUT=${2:-$ROOT/docs/screenshots}
GAME=$BUILD/game
W=1024
H=768

for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is needed (see tools/install-deps.sh)" >&2; exit 1; }
done
[ -x "$GAME/voxarine" ] || { echo "screenshots: no game at $GAME (run make first)" >&2; exit 1; }
mkdir -p "$OUT"

WORK=$(mktemp -d)
GAME_PID=""
XVFB_PID=""
cleanup() {
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

cp -r "$GAME" "$WORK/game"
rm -f "$WORK/game/data/Save1.dat" "$WORK/game/data/Save2.dat" "$WORK/game/data/Hiscores.dat"
mkdir -p "$WORK/config/voxarine" "$WORK/share"
# Windowed, 1024 x 768, hints page on, skin 1.
cat > "$WORK/config/voxarine/settings.reg" <<EOF
[HKEY_CURRENT_USER\\Software\\Voxarine]
"SoundVol"=dword:00000000
"MusicVol"=dword:00000000
"Fullscreen"=dword:00000000
"Resolution"=dword:00000004
"Color"=dword:00000001
"Desktop"=dword:00000000
"Texture"=dword:00000001
"Help"=dword:00000001
"WriteDebug"=dword:00000000
"PseudoFullscreen"=dword:00000000
EOF

# A free display number.
DISPLAY_NUM=77
while [ -e "/tmp/.X11-unix/X$DISPLAY_NUM" ] || [ -e "/tmp/.X$DISPLAY_NUM-lock" ]; do DISPLAY_NUM=$((DISPLAY_NUM + 1)); done
Xvfb ":$DISPLAY_NUM" -screen 0 1280x1024x24 -nolisten tcp -ardelay 60000 >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY=":$DISPLAY_NUM"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/share"
export SDL_AUDIODRIVER=dummy
(cd "$WORK/game" && exec ./voxarine) >"$WORK/game.log" 2>&1 &
GAME_PID=$!

wait_window() {  # name: waits for a window whose title matches
  for _ in $(seq 200); do
    local id
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  echo "screenshots: no window named $1" >&2
  cat "$WORK/game.log" >&2
  return 1
}

# The game window's client area, for clicks in world units of the board plane:
# the view is 14.45 x 10.8375 units centred on (-1.8, -0.25), x growing left.
WIN=""
click_world() {  # x y [button]
  local px py
  px=$(awk -v x="$1" -v w="$W" 'BEGIN { printf "%d", w * (0.5 - (x + 1.8) / 14.45) }')
  py=$(awk -v y="$2" -v h="$H" 'BEGIN { printf "%d", h * (0.5 - (y + 0.25) / 10.8375) }')
  xdotool mousemove --window "$WIN" "$px" "$py"
  sleep 0.15
  xdotool mousemove --window "$WIN" "$((px + 1))" "$py"
  sleep 0.15
  xdotool click --window "$WIN" "${3:-1}"
  sleep "${4:-0.6}"
}
shot() {  # name
  import -window "$WIN" "$WORK/$1.png"
  convert "$WORK/$1.png" -resize 640x480 -strip "$OUT/$1.png"
  echo "screenshots: $OUT/$1.png"
}

LAUNCHER=$(wait_window "Voxarine")
xdotool windowactivate --sync "$LAUNCHER" 2>/dev/null || true
sleep 0.5
# Enter presses the launcher's default button, Start. Xvfb runs with a very
# long key-repeat delay, so a slow release cannot repeat Enter into the menu.
xdotool keydown --window "$LAUNCHER" Return
xdotool keyup --window "$LAUNCHER" Return

# The loading screen shows only while the game loads: grab the whole screen
# as fast as we can until the debug log says loading has finished, then keep
# the last grab that was not black, cut to the game window.
log_done() { grep -qs "Loading finished" "$WORK/game/debug.txt" "$WORK/share/voxarine/debug.txt"; }
n=0
while ! log_done && [ $n -lt 400 ]; do
  import -window root "$WORK/grab$n.png" 2>/dev/null || true
  n=$((n + 1))
done
for _ in $(seq 100); do
  WIN=$(xdotool search --onlyvisible --name "Voxarine" 2>/dev/null | while read -r id; do
          geo=$(xdotool getwindowgeometry "$id" | awk '/Geometry/ { print $2 }')
          [ "$geo" = "${W}x${H}" ] && echo "$id"
        done | tail -1)
  [ -n "$WIN" ] && break
  sleep 0.1
done
[ -n "$WIN" ] || { echo "screenshots: the game window did not open" >&2; cat "$WORK/game.log" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$WIN")"
for ((i = n - 1; i >= 0; i--)); do
  [ -f "$WORK/grab$i.png" ] || continue
  convert "$WORK/grab$i.png" -crop "${W}x${H}+${X}+${Y}" +repage "$WORK/loading.png"
  mean=$(convert "$WORK/loading.png" -format '%[fx:mean]' info: 2>/dev/null || echo 0)
  if awk -v m="$mean" 'BEGIN { exit !(m > 0.04) }'; then
    convert "$WORK/loading.png" -resize 640x480 -strip "$OUT/loading.png"
    echo "screenshots: $OUT/loading.png"
    break
  fi
done
sleep 1.5
shot menu

click_world -1.8 -0.10          # Options
shot options
click_world -3.90 -3.40         # Cancel

click_world -1.8 1.00           # Play
click_world -1.8 1.55           # Relaxed
click_world -5.2 -4.75 1 2      # Start game (hints page)
# Play a little: pick cubes up and send them to free cells at random.
for i in $(seq 14); do
  click_world $((RANDOM % 9 - 4)) $((RANDOM % 9 - 4)) 1 0.3
  click_world $((RANDOM % 9 - 4)) $((RANDOM % 9 - 4)) 1 0.9
done
sleep 1
shot game

xdotool key --window "$WIN" Escape
sleep 0.5
click_world -1.45 -0.55         # Save and quit
click_world -1.8 -1.20          # High scores
shot hiscores
click_world -1.8 -4.25          # Back

click_world -1.8 1.00           # Play
click_world -1.8 -1.35          # How to play
click_world -5.6 -4.85          # Next
click_world -5.6 -4.85          # Next
shot tutorial
echo "screenshots: done"
