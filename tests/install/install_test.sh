#!/usr/bin/env bash
# The installed game, as a player gets it:
#   prefix: `cmake --install` into a temporary DESTDIR (prefix /usr);
#   deb:    `cpack` builds the .deb; lintian finds no error in it; its
#           contents are exactly the install layout; `dpkg-deb -x` unpacks it.
# Debian keeps games' programs in /usr/games, so there the program is
# games/voxarine instead of bin/voxarine; everything else is the same.
# Then, under Xvfb, the installed program runs from an unrelated working
# directory with fresh XDG folders: the command line answers, the launcher
# and the game window carry the desktop entry's WM class and the icon, the
# launcher -> menu -> game -> pause -> quit saves the game in
# $XDG_DATA_HOME/voxarine and the settings in $XDG_CONFIG_HOME/voxarine, and
# nothing below the install root changes.
#
#   bash install_test.sh <build folder> prefix|deb

# The shared helpers start an X server of the script's own (a free display,
# chosen by the server itself), so scripts running side by side never meet.
MODE=$2
BUILD_ARG=$1
HERE=$(cd "$(dirname "$0")" && pwd)
# The shared e2e helpers: waits, pointer and keys, the work folder and its
# clean-up (which also stops the game it started).
set -- "$BUILD_ARG/game" "$BUILD_ARG"
# shellcheck source=../e2e/frontend_common.bash
source "$HERE/../e2e/frontend_common.bash"
E2E_NAME=install_$MODE
SHOTS="$BUILD_DIR/e2e-shots/$E2E_NAME"
mkdir -p "$SHOTS"

APP_ID=io.github.voxarine.Voxarine
ROOT=$WORK/root
PREFIX=$ROOT/usr
BIN=$PREFIX/bin/voxarine
[ "$MODE" = deb ] && BIN=$PREFIX/games/voxarine

# Every file, folder and link below the root, with mode, size and time.
listing() { (cd "$ROOT" && find . -printf '%M %s %T@ %p\n' | LC_ALL=C sort); }
files_of() { (cd "$1" && find . ! -type d | LC_ALL=C sort); }

# ---- Install -------------------------------------------------------------------
case $MODE in
  prefix)
    step "cmake --install into a temporary DESTDIR"
    DESTDIR=$ROOT cmake --install "$BUILD_DIR" --prefix /usr > "$WORK/install.txt" ||
      fail "cmake --install failed: $(tail -n 5 "$WORK/install.txt")"
    ;;
  deb)
    step "cpack builds the Debian package"
    cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$WORK/pkg" > "$WORK/cpack.txt" 2>&1 ||
      fail "cpack failed: $(tail -n 20 "$WORK/cpack.txt")"
    DEB=$(ls "$WORK"/pkg/voxarine_*_*.deb 2> /dev/null | head -n 1)
    [ -n "$DEB" ] || fail "no voxarine_<version>_<arch>.deb in $(ls "$WORK/pkg")"
    echo "package: $(basename "$DEB")"
    dpkg-deb -f "$DEB" Package Version Architecture Section Maintainer Depends
    [ "$(dpkg-deb -f "$DEB" Section)" = games ] || fail "the package's section is not games"
    dpkg-deb -f "$DEB" Depends | grep -q 'libsdl2-2.0-0' || fail "dpkg-shlibdeps did not list SDL among the dependencies"

    step "lintian: no errors"
    lintian --tag-display-limit 0 "$DEB" > "$WORK/lintian.txt" 2>&1
    cat "$WORK/lintian.txt"
    ! grep -q '^E:' "$WORK/lintian.txt" || fail "lintian reports errors"

    step "the package holds exactly the install layout, owned by root"
    DESTDIR=$WORK/layout cmake --install "$BUILD_DIR" --prefix /usr > /dev/null || fail "cmake --install failed"
    dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ { print $2 }' | sort -u | grep -vx 'root/root' &&
      fail "files in the package not owned by root"
    dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/games/|./usr/bin/|' |
      LC_ALL=C sort > "$WORK/deb-files.txt"
    files_of "$WORK/layout" > "$WORK/layout-files.txt"
    diff "$WORK/layout-files.txt" "$WORK/deb-files.txt" || fail "the package's files differ from the install layout"
    dpkg-deb -x "$DEB" "$ROOT" || fail "dpkg-deb -x failed"
    ;;
  *) fail "unknown mode $MODE" ;;
esac

step "the layout: program, data, desktop entry, metainfo, icons, manual page, documents"
for f in "${BIN#"$PREFIX"/}" share/voxarine/data/Levels.dat share/voxarine/Readme.html \
  share/voxarine/Images/Icon.png share/applications/$APP_ID.desktop share/metainfo/$APP_ID.metainfo.xml \
  share/man/man6/voxarine.6.gz share/doc/voxarine/README.md share/doc/voxarine/LICENSE; do
  [ -f "$PREFIX/$f" ] || fail "missing $PREFIX/$f"
done
step "documents: the player's README, each component's licence, -h in the manual, one home page"
DOC=$PREFIX/share/doc/voxarine
[ -f "$DOC/copyright" ] || fail "missing $DOC/copyright"
grep -q '^## Controls' "$DOC/README.md" && grep -q '^## Where your files go' "$DOC/README.md" ||
  fail "$DOC/README.md is not the player's README"
grep -q 'make play\|src/platform' "$DOC/README.md" && fail "$DOC/README.md is the developers' README"
bash "$HERE/validate.sh" copyright "$DOC/copyright" "Dear ImGui" stb "Bitstream Vera" DejaVu > "$WORK/copyright.txt" ||
  fail "$DOC/copyright: $(cat "$WORK/copyright.txt")"
zcat "$PREFIX/share/man/man6/voxarine.6.gz" | sed -n '/^\.SH SYNOPSIS/,/^\.SH DESCRIPTION/p' | grep -qF '\-h ' ||
  fail "the manual's synopsis does not list -h"
HOME_PAGE=$(sed -n 's|.*<url type="homepage">\(.*\)</url>.*|\1|p' "$PREFIX/share/metainfo/$APP_ID.metainfo.xml")
[ -n "$HOME_PAGE" ] || fail "the metainfo names no home page"
grep -qaF "$HOME_PAGE" "$PREFIX/${BIN#"$PREFIX"/}" || fail "the launcher's Homepage is not $HOME_PAGE"
zcat "$PREFIX/share/man/man6/voxarine.6.gz" | grep -qF "$HOME_PAGE" || fail "the manual does not name $HOME_PAGE"
grep -qF "$HOME_PAGE" "$DOC/README.md" || fail "the README does not name $HOME_PAGE"
if [ "$MODE" = deb ]; then
  [ "$(dpkg-deb -f "$DEB" Homepage)" = "$HOME_PAGE" ] || fail "the package's Homepage is not $HOME_PAGE"
  dpkg-deb -f "$DEB" Recommends | grep -qw xdg-utils || fail "the package does not recommend xdg-utils"
fi
echo "ok - player's README, copyright per component, -h, home page $HOME_PAGE everywhere"

for s in 16 24 32 48 64 128 256 512; do
  icon=$PREFIX/share/icons/hicolor/${s}x$s/apps/$APP_ID.png
  [ -f "$icon" ] || fail "missing $icon"
  [ "$(identify -format '%wx%h' "$icon")" = "${s}x$s" ] || fail "$icon is not $s x $s"
done
# Nothing a developer's run wrote into build/game is shipped.
if find "$PREFIX" -name 'Save?.dat' -o -name Hiscores.dat -o -name debug.txt -o -path '*Tutorial/*.bmp' | grep .; then
  fail "files written by the game were installed"
fi
[ -x "$BIN" ] || fail "$BIN is not executable"

# A player's fresh account: nothing exists yet but the home folder.
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/xdg/config XDG_DATA_HOME=$WORK/xdg/data
export XDG_DATA_DIRS=$WORK/xdg/no-such-share SDL_AUDIODRIVER=dummy
unset VOXARINE_DATA_DIR
mkdir -p "$HOME" "$WORK/elsewhere"
LOG=$XDG_DATA_HOME/voxarine/debug.txt
SETTINGS=$XDG_CONFIG_HOME/voxarine/settings.reg
SAVE=$XDG_DATA_HOME/voxarine/data/Save1.dat
listing > "$WORK/before.txt"

# ---- The command line ---------------------------------------------------------------
step "command line: unknown option, --help, no data"
cd "$WORK/elsewhere" || fail "no working folder"
status=0
"$BIN" --bogus > "$WORK/out.txt" 2> "$WORK/err.txt" || status=$?
[ $status -eq 2 ] || fail "--bogus ended with status $status, not 2"
grep -q "^Usage: voxarine" "$WORK/err.txt" || fail "--bogus did not print the usage on stderr"
[ -s "$WORK/out.txt" ] && fail "--bogus wrote to stdout"
"$BIN" --help > "$WORK/help.txt" || fail "--help failed"
grep -qx "Data folder: $PREFIX/share/voxarine" "$WORK/help.txt" || fail "--help does not name the data folder: $(cat "$WORK/help.txt")"
grep -q ": $XDG_DATA_HOME/voxarine\$" "$WORK/help.txt" || fail "--help does not name $XDG_DATA_HOME/voxarine"
grep -q ": $SETTINGS\$" "$WORK/help.txt" || fail "--help does not name the settings file"
# Without a display the message goes to stderr, listing where it looked.
status=0
VOXARINE_DATA_DIR=$WORK/no-data env -u DISPLAY "$BIN" > /dev/null 2> "$WORK/err.txt" || status=$?
[ $status -eq 1 ] || fail "a missing data folder ended with status $status, not 1"
grep -q "  $WORK/no-data\$" "$WORK/err.txt" || fail "the message does not list $WORK/no-data: $(cat "$WORK/err.txt")"
mkdir -p "$WORK/lonely/bin" && cp "$BIN" "$WORK/lonely/bin/"
status=0
env -u DISPLAY "$WORK/lonely/bin/voxarine" > /dev/null 2> "$WORK/err.txt" || status=$?
[ $status -eq 1 ] || fail "a program without data ended with status $status, not 1"
for where in "$WORK/lonely/bin" "$WORK/lonely/share/voxarine" "$WORK/xdg/no-such-share/voxarine"; do
  grep -q "  $where\$" "$WORK/err.txt" || fail "the message does not list $where: $(cat "$WORK/err.txt")"
done
rm -rf "$WORK/lonely"
[ -e "$XDG_CONFIG_HOME" ] || [ -e "$XDG_DATA_HOME" ] && fail "the command line alone wrote files"

# ---- The window's class and icon -----------------------------------------------------
WM_CLASS_WANTED=$(sed -n 's/^StartupWMClass=//p' "$PREFIX/share/applications/$APP_ID.desktop")
[ "$WM_CLASS_WANTED" = "$APP_ID" ] || fail "StartupWMClass is '$WM_CLASS_WANTED'"
# The 64 px desktop icon as the 32-bit ARGB words X stores for a window icon.
convert "$PREFIX/share/icons/hicolor/64x64/apps/$APP_ID.png" -depth 8 txt:- | tail -n +2 |
  sed -E 's/.*#([0-9A-F]{2})([0-9A-F]{2})([0-9A-F]{2})([0-9A-F]{2}).*/\4\1\2\3/' > "$WORK/icon-wanted.txt"
check_window() {  # window id, name for messages
  local id=$1 name=$2 cls n
  cls=$(xprop -id "$id" WM_CLASS)
  [ "$cls" = "WM_CLASS(STRING) = \"$APP_ID\", \"$APP_ID\"" ] || fail "the $name window's class is: $cls"
  xprop -id "$id" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= *//' | tr -d ' ' | tr ',' '\n' > "$WORK/icon-words.txt"
  [ "$(head -n 2 "$WORK/icon-words.txt" | tr '\n' ' ')" = "64 64 " ] ||
    fail "the $name window has no 64 x 64 icon: $(head -c 200 "$WORK/icon-words.txt")"
  tail -n +3 "$WORK/icon-words.txt" | while read -r n; do printf '%08X\n' "$n"; done > "$WORK/icon-got.txt"
  cmp -s "$WORK/icon-wanted.txt" "$WORK/icon-got.txt" || fail "the $name window's icon is not the desktop icon"
  echo "ok - the $name window: class $APP_ID, the 64 x 64 desktop icon"
}

start_installed() {
  (cd "$WORK/elsewhere" && exec "$BIN" > "$WORK/stdout.txt" 2>&1) &
  GAME_PID=$!
  GAME_PARENT=$BASHPID
  wait_until 30 "the launcher window" launcher_shown
  LAUNCHER=$(find_window "Voxarine")
}
game_ended() { ! kill -0 "$GAME_PID" 2> /dev/null; }
wait_end() {  # waits for the game to end; fails unless its status is 0
  local status=0
  wait_until 30 "the program to end" game_ended
  wait "$GAME_PID" || status=$?
  GAME_PID=""
  [ $status -eq 0 ] || fail "the game ended with status $status: $(cat "$WORK/stdout.txt")"
}

# ---- First start: the settings are created in the player's config folder ----------------
step "first start from an unrelated folder: the launcher, then Exit"
start_installed
check_window "$LAUNCHER" launcher
wait_until 10 "the settings file in \$XDG_CONFIG_HOME/voxarine" has_file "$SETTINGS"
xdotool key alt+x
wait_end

# ---- A game, saved through the pause page ------------------------------------------------
step "launcher -> menu -> game -> pause -> quit: the game is saved"
# A window of 800 x 600 and frame-rate lines in the log (the waits read them).
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_CURRENT_USER\Software\Voxarine]' \
  '"SoundVol"=dword:00000005' '"MusicVol"=dword:00000005' '"Fullscreen"=dword:00000000' \
  '"Resolution"=dword:00000003' '"Color"=dword:00000001' '"Desktop"=dword:00000000' \
  '"Texture"=dword:00000001' '"Help"=dword:00000001' '"WriteDebug"=dword:00000001' \
  '"PseudoFullscreen"=dword:00000000' > "$SETTINGS"
start_installed
eval "$(xdotool getwindowgeometry --shell "$LAUNCHER")"
xdotool mousemove --sync $((X + 267)) $((Y + 20)) click 1
await_menu
check_window "$WIN" game
click_at -1.8 1       # play
click_at -1.8 1.55    # mode 1
click_at -5.2 -4.75   # the hints page: start
wait_state gsGame
click_at -7 -4.72     # pause
shot pause
click_at -1.45 -0.55  # save and quit
wait_state gsMenu
wait_until 10 "the saved game in \$XDG_DATA_HOME/voxarine" has_file "$SAVE"
shot menu-after-save
kill -TERM "$GAME_PID"
wait_end

step "where the files went"
grep -q '"Fullscreen"=dword:00000000' "$SETTINGS" || fail "the settings file lost its values"
[ -f "$LOG" ] || fail "no debug log in \$XDG_DATA_HOME/voxarine"
find "$WORK/elsewhere" -mindepth 1 | grep . && fail "the game wrote into its working folder"
listing > "$WORK/after.txt"
diff "$WORK/before.txt" "$WORK/after.txt" || fail "files below the install root changed"
echo "written: $(cd "$WORK/xdg" && find . -type f | LC_ALL=C sort | tr '\n' ' ')"
echo "ok - the installed game ($MODE) reads its prefix and writes only to the XDG folders"
