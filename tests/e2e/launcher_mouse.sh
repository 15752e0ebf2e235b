#!/bin/bash
# Every control of the launcher and of the options dialog, as a player uses
# them: clicked with the mouse; reached by Tab and pressed with Space; Enter
# and the Alt accelerators. After each one the program must still run and
# have done what the control says: the dialog shown or gone, the check box
# or radio button drawn in its new state, the settings file holding what OK
# stored (and what Cancel did not), the game window shown, the manual or the
# home page handed to the desktop's opener (a fake xdg-open that writes its
# argument down), the exit status. Without an opener, Help and Homepage show
# a message that fits an 800 x 600 screen.
#
#   bash launcher_mouse.sh <game folder> <build folder>

# The controls' places ("X Y") are split into two words on purpose.
# shellcheck disable=SC2086
# shellcheck source=frontend_common.bash
source "$(dirname "$0")/frontend_common.bash"

HOME_PAGE=https://github.com/voxarine/voxarine
SETTINGS=""
OPENED=$WORK/opened.txt

value() { grep -i "^\"$1\"=" "$SETTINGS" | tr -d '\r' | cut -d: -f2; }
expect_values() {  # name=value...
  local pair
  for pair in "$@"; do
    [ "$(value "${pair%%=*}")" = "${pair#*=}" ] || fail "settings: ${pair%%=*} is $(value "${pair%%=*}"), not ${pair#*=}"
  done
}
set_value() { sed -i "s/^\"$1\"=dword:.*/\"$1\"=dword:$2\r/" "$SETTINGS"; }

# The fake opener: the launcher hands it one argument, the file or address.
mkdir -p "$WORK/bin" "$WORK/no-opener"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' "$OPENED" > "$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH"

options_window() { find_window Options; }
options_shown() {
  game_running || fail "the program ended (status $(wait "$GAME_PID"; echo $?)) with the options dialog expected"
  [ -n "$(options_window)" ]
}
options_gone() { game_running || fail "the program ended"; [ -z "$(options_window)" ]; }

# ---- Pictures of one window: what a control shows ---------------------------------------

snap() { import -window "$1" "$SHOTS/$2.png" 2> /dev/null; }  # window, name
# Mean grey level (0 black .. 1 white) of the 5 x 5 pixels around a client point.
grey_at() {  # name, x, y
  convert "$SHOTS/$1.png" -crop "5x5+$(($2 - 2))+$(($3 - 2))" +repage -colorspace gray -format '%[fx:mean]' info:
}
marked() { awk -v g="$(grey_at "$@")" 'BEGIN { exit !(g < 0.6) }'; }     # a check mark or a radio dot
unmarked() { awk -v g="$(grey_at "$@")" 'BEGIN { exit !(g > 0.85) }'; }
# The size list is open: its white face covers the dialog's grey right of
# the label and right of the Cancel button, where nothing else is white.
# Two places, as the chosen item and the one under the pointer are blue.
white_at() { awk -v g="$(grey_at "$@")" 'BEGIN { exit !(g > 0.97) }'; }
list_open() { white_at "$1" 270 62 || white_at "$1" 270 190; }
list_closed() { ! list_open "$@"; }

# Pictures Window as Name until Check (called with Name and Args) holds.
expect_shown() {  # window, name, what, check, args...
  local window=$1 name=$2 what=$3 end=$((SECONDS + 10))
  shift 3
  while :; do
    game_running || fail "the program ended: $what"
    snap "$window" "$name" && "$1" "$name" "${@:2}" && return 0
    [ $SECONDS -ge $end ] && fail "$what: not seen in $name.png"
    sleep 0.2
  done
}

# Clicks client point (X, Y) of Window until Check holds. A window in its
# first frames may miss a click; it then shows unchanged, and only then is
# the click given again (5 s is many frames: a taken click is drawn by then).
click_until() {  # window, x, y, what, check, args...
  local window=$1 cx=$2 cy=$3 what=$4 attempt end X Y WIDTH HEIGHT SCREEN WINDOW
  shift 4
  for attempt in 1 2 3; do
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --sync $((X + cx)) $((Y + cy)) click 1
    end=$((SECONDS + 5))
    while [ $SECONDS -lt $end ]; do
      game_running || fail "the program ended after the click: $what"
      snap "$window" click && "$1" click "${@:2}" && return 0
      sleep 0.2
    done
    echo "note: the click was not taken: $what (attempt $attempt)"
  done
  fail "$what: three clicks did nothing"
}
click_once() {  # window, x, y: a click whose result the caller waits for
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --sync $((X + $2)) $((Y + $3)) click 1
}
keys() { xdotool key --clearmodifiers "$@"; sleep 0.15; }

# Launcher buttons (client centres) and options dialog controls.
AT_OPTIONS="267 52" AT_HELP="267 84" AT_HOMEPAGE="267 116" AT_EXIT="267 148"
FULL="28 30" WINDOWED="156 30" DESKTOP="29 86" SHOWHELP="29 138" ARROW="276 82"
OK="83 173" CANCEL="213 173"
# The size list's last item sits on the dialog's bottom edge.
LAST_SIZE="200 187"

# The game window follows Start; closing it ends the program with status 0.
game_starts_then_closes() {
  wait_until 60 "the game window" game_window_shown
  wait_for_log " Main form created"
  stop_game 30
  [ "$GAME_STATUS" = 0 ] || fail "closing the game ended with status $GAME_STATUS"
}

opened_has() { [ -f "$OPENED" ] && grep -qxF -- "$1" "$OPENED"; }
expect_opened() {  # what the opener must have been handed
  wait_until 10 "the opener to get $1" opened_has "$1"
  game_running || fail "the program ended after opening $1"
}

# The first item of the open size list: the list's top border is the first
# dark row at x = 270 below the mode group's frame (y 49); the first item's
# middle is 9 px lower (border, padding, half a line).
first_size_y() {
  local y
  for y in $(seq 52 120); do
    awk -v g="$(convert "$SHOTS/$1.png" -crop "1x1+270+$y" +repage -colorspace gray -format '%[fx:mean]' info:)" \
      'BEGIN { exit !(g < 0.7) }' && { echo $((y + 9)); return; }
  done
  echo 0
}

launch_and_settle() {
  launch
  # The launcher's face painted (not the black of a window never drawn).
  expect_shown "$LAUNCHER" launcher "the launcher drawn" unmarked 212 180
}

# Opens the options dialog by How (click, space: Space on the focused
# button, enter, alt); again only while the dialog has not come.
open_options() {
  local how=$1 attempt end
  for attempt in 1 2 3; do
    case $how in
      click) click_once "$LAUNCHER" $AT_OPTIONS ;;
      space) keys space ;;
      enter) keys Return ;;
      alt) keys alt+o ;;
    esac
    end=$((SECONDS + 10))
    while [ $SECONDS -lt $end ] && ! options_shown; do sleep 0.1; done
    if options_shown; then
      OPT=$(options_window)
      expect_shown "$OPT" dialog "the options dialog drawn" unmarked 290 110
      return 0
    fi
    echo "note: the launcher did not take Options by $how (attempt $attempt)"
  done
  fail "Options by $how did not open the dialog"
}
close_options() {  # what closes it
  wait_until 10 "$1 to close the options dialog" options_gone
  expect_shown "$LAUNCHER" back "the launcher drawn again" unmarked 212 180
}

# ---- 1. The mouse ----------------------------------------------------------------------------
prepare_folder
SETTINGS=$XDG_CONFIG_HOME/voxarine/settings.reg
{
  step "mouse: Options opens the dialog, and the program lives on"
  launch_and_settle
  open_options click
  echo "ok - Options by a click"

  step "mouse: every control of the options dialog, then OK"
  expect_shown "$OPT" dialog "Windowed chosen" marked $WINDOWED
  click_until "$OPT" $FULL "Full screen" marked $FULL
  expect_shown "$OPT" full "Full screen checks the desktop switch" marked $DESKTOP
  click_until "$OPT" $DESKTOP "the desktop switch" unmarked $DESKTOP
  click_until "$OPT" $ARROW "the size list's arrow" list_open
  click_until "$OPT" $LAST_SIZE "the last size, 1280x1024" list_closed
  click_until "$OPT" $SHOWHELP "the help switch" unmarked $SHOWHELP
  click_once "$OPT" $OK
  close_options OK
  expect_values Fullscreen=00000001 Desktop=00000000 Resolution=00000008 Help=00000000 Color=00000001
  echo "ok - full screen, no desktop size, 1280x1024 (the last size), no help screen: OK stores them"

  step "mouse: Cancel stores nothing"
  before=$(md5sum < "$SETTINGS")
  open_options click
  click_until "$OPT" $WINDOWED "Windowed" marked $WINDOWED
  click_until "$OPT" $SHOWHELP "the help switch" marked $SHOWHELP
  click_once "$OPT" $CANCEL
  close_options Cancel
  [ "$(md5sum < "$SETTINGS")" = "$before" ] || fail "Cancel changed the settings file"
  echo "ok - Cancel leaves the settings file as it was"

  step "mouse: Windowed and the first size, OK"
  open_options click
  click_until "$OPT" $WINDOWED "Windowed" marked $WINDOWED
  click_until "$OPT" $ARROW "the size list's arrow" list_open
  FIRST_SIZE_Y=$(first_size_y click)
  [ "$FIRST_SIZE_Y" -gt 0 ] || fail "no size list seen in click.png"
  click_until "$OPT" 200 "$FIRST_SIZE_Y" "the first size, 512x384" list_closed
  click_until "$OPT" $SHOWHELP "the help switch" marked $SHOWHELP
  click_once "$OPT" $OK
  close_options OK
  expect_values Fullscreen=00000000 Desktop=00000000 Resolution=00000000 Help=00000001
  echo "ok - windowed, 512x384 (the first size), help screen on: OK stores them"

  step "mouse: View Help and Homepage hand the manual and the address to the opener"
  rm -f "$OPENED"
  click_once "$LAUNCHER" $AT_HELP
  expect_opened "file://$GAME/Readme.html"
  click_once "$LAUNCHER" $AT_HOMEPAGE
  expect_opened "$HOME_PAGE"
  [ "$(wc -l < "$OPENED")" = 2 ] || fail "the opener was called $(wc -l < "$OPENED") times for two clicks"
  echo "ok - View Help opens Readme.html, Homepage $HOME_PAGE"

  step "mouse: Exit ends the program with status 0"
  click_once "$LAUNCHER" $AT_EXIT
  wait_game_exit 20
  [ "$GAME_STATUS" = 0 ] || fail "Exit ended with status $GAME_STATUS"
  echo "ok - Exit by a click"

  step "mouse: Start shows the game window"
  launch_and_settle
  press_start click
  game_starts_then_closes
  echo "ok - Start by a click"
}

# ---- 2. Tab, then Space -------------------------------------------------------------------------
# Tab order: the launcher Start .. Exit; the dialog OK, desktop switch, size
# list, Cancel, mode, help switch (disabled controls are passed over).
{
  step "keys: Tab to Options, Space opens the dialog"
  launch_and_settle
  timeout 10 xdotool windowfocus --sync "$LAUNCHER" 2> /dev/null
  keys Tab
  open_options space
  echo "ok - Options by Space"

  step "keys: every control of the dialog by Tab and Space, then Space on OK"
  # Windowed: the desktop switch is disabled, so OK, size list, Cancel, mode.
  keys Tab Tab Tab Left space
  expect_shown "$OPT" full "Space on Full screen" marked $FULL
  expect_shown "$OPT" full "Full screen checks the desktop switch" marked $DESKTOP
  # The size list is disabled now: OK, desktop switch, Cancel, mode, help.
  keys shift+Tab shift+Tab space
  expect_shown "$OPT" desktop "Space on the desktop switch" unmarked $DESKTOP
  keys Tab alt+Down
  expect_shown "$OPT" list "Alt+Down opens the size list" list_open
  keys Up Up Return
  expect_shown "$OPT" list "Enter takes a size and closes the list" list_closed
  keys Tab Tab Tab space
  expect_shown "$OPT" help "Space on the help switch" unmarked $SHOWHELP
  keys Tab space
  close_options "Space on OK"
  # 800x600 was shown; two up is 640x400.
  expect_values Fullscreen=00000001 Desktop=00000000 Resolution=00000001 Help=00000000
  echo "ok - full screen, no desktop size, 640x400, no help screen: Space on OK stores them"

  step "keys: Space on Cancel stores nothing"
  before=$(md5sum < "$SETTINGS")
  open_options space  # the launcher's focus is still on Options
  keys Tab space
  expect_shown "$OPT" desktop "Space on the desktop switch" marked $DESKTOP
  keys Tab space
  close_options "Space on Cancel"
  [ "$(md5sum < "$SETTINGS")" = "$before" ] || fail "Cancel changed the settings file"
  echo "ok - Space on Cancel"

  step "keys: Space on View Help and on Homepage"
  rm -f "$OPENED"
  keys Tab space
  expect_opened "file://$GAME/Readme.html"
  keys Tab space
  expect_opened "$HOME_PAGE"
  echo "ok - Space on View Help and Homepage"

  step "keys: Space on Exit"
  keys Tab space
  wait_game_exit 20
  [ "$GAME_STATUS" = 0 ] || fail "Exit ended with status $GAME_STATUS"
  echo "ok - Space on Exit"

  step "keys: Space on Start (it has the focus first)"
  set_value Fullscreen 00000000
  launch_and_settle
  timeout 10 xdotool windowfocus --sync "$LAUNCHER" 2> /dev/null
  keys space
  game_starts_then_closes
  echo "ok - Space on Start"
}

# ---- 3. Enter on the focused button, and the accelerators -----------------------------------
{
  step "keys: Enter on the focused Options, Alt+C, Alt+O, Enter on OK, Alt+V, Alt+H, Enter on Exit"
  launch_and_settle
  timeout 10 xdotool windowfocus --sync "$LAUNCHER" 2> /dev/null
  keys Tab
  open_options enter
  keys alt+c
  close_options "Alt+C"
  open_options alt
  keys Return
  close_options "Enter on OK"
  expect_values Fullscreen=00000000 Color=00000001
  rm -f "$OPENED"
  keys alt+v
  expect_opened "file://$GAME/Readme.html"
  keys alt+h
  expect_opened "$HOME_PAGE"
  keys shift+Tab shift+Tab Return  # from Options back over Start to Exit
  wait_game_exit 20
  [ "$GAME_STATUS" = 0 ] || fail "Enter on Exit ended with status $GAME_STATUS"
  echo "ok - Enter and the accelerators"
}

# ---- 4. No opener: a message that names the file or the address -------------------------------
step "no opener installed: View Help and Homepage say what to open, in a box that fits 800 x 600"
# A deep game folder, so that the manual's path is long.
DEEP=$WORK/a-folder-with-a-rather-long-name/and-another-one-below-it/and-a-third-for-good-measure
mkdir -p "$DEEP"
mv "$GAME" "$DEEP/game"
GAME=$DEEP/game LOG=$DEEP/game/debug.txt
rm -f "$OPENED"
(cd "$GAME" && PATH="$WORK/no-opener" exec ./voxarine > "$WORK/stdout.txt" 2>&1) &
GAME_PID=$!
GAME_PARENT=$BASHPID
wait_until 60 "the launcher window" launcher_shown
LAUNCHER=$(find_window Voxarine)
expect_shown "$LAUNCHER" launcher "the launcher drawn" unmarked 212 180
# The box is a window of its own named as the launcher (xdotool's search
# does not list it: it has no class).
message_box() {
  xwininfo -root -children | awk '$2 == "\"Voxarine\":" { print $1 }' |
    while read -r id; do printf '%d\n' "$id"; done | grep -vx "$LAUNCHER" | head -n 1
}
box_shown() { game_running || fail "the program ended"; [ -n "$(message_box)" ]; }
box_gone() { game_running || fail "the program ended"; [ -z "$(message_box)" ]; }
for button in AT_HELP AT_HOMEPAGE; do
    click_once "$LAUNCHER" ${!button}
  wait_until 10 "a message for $button without an opener" box_shown
  BOX=$(message_box)
  eval "$(xdotool getwindowgeometry --shell "$BOX")"
  echo "the message for $button: $WIDTH x $HEIGHT"
  [ "$WIDTH" -le 800 ] && [ "$HEIGHT" -le 600 ] || fail "the message is $WIDTH x $HEIGHT: wider or taller than 800 x 600"
  snap "$BOX" "message-$button"
  timeout 10 xdotool windowfocus --sync "$BOX" 2> /dev/null
  keys Return
  wait_until 10 "Enter to close the message" box_gone
done
[ -f "$OPENED" ] && fail "an opener ran although none is on the PATH"
grep -q "Readme.html\|$HOME_PAGE" "$WORK/stdout.txt" && echo "note: the message went to stderr: $(cat "$WORK/stdout.txt")"
keys alt+x
wait_game_exit 20
[ "$GAME_STATUS" = 0 ] || fail "Exit ended with status $GAME_STATUS"
echo "ok - without an opener both buttons show a message of at most 800 x 600"
echo "PASS ($E2E_NAME)"
