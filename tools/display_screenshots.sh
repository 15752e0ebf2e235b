#!/usr/bin/env bash
# Takes the screenshots of the picture's shape on several displays into
# docs/screenshots/display/: a 1280 x 768 window, full screen with "Use
# desktop settings" on 1920 x 1080 and 1280 x 800 desktops, and an 800 x 600
# window beside them. Each run is the e2e test tests/e2e/display_shape.sh,
# which also checks the bars and the pointer on the way.
#
#   tools/display_screenshots.sh [build dir] [output dir]
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
OUT=${2:-$ROOT/docs/screenshots/display}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
run() {  # shape, screen
  VOXARINE_SHAPE=$1 E2E_SCREEN=$2 VOXARINE_SHAPE_OUT=$OUT bash "$ROOT/tests/e2e/display_shape.sh" "$BUILD/game" "$BUILD"
}
run window 1600x1200x24 &&
  run desktop 1920x1080x24 &&
  run desktop 1280x800x24 &&
  run small 1600x1200x24
