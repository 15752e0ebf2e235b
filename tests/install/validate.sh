#!/usr/bin/env bash
# The install files against their validators: any error or warning fails
# (AppStream's pedantic notes are shown but allowed).
#   validate.sh desktop|metainfo|man <file>
set -u
kind=$1 file=$2
case $kind in
  desktop)
    out=$(desktop-file-validate "$file" 2>&1); rc=$?
    bad=$out ;;
  metainfo)
    out=$(appstreamcli validate --no-net "$file" 2>&1); rc=$?
    bad=$(grep -E '^[EW]:' <<< "$out") ;;
  man)
    # troff to nowhere; man's own and groff's warnings come on stderr.
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 > /dev/null); rc=$?
    bad=$out ;;
  *) echo "unknown kind $kind" >&2; exit 2 ;;
esac
echo "$kind: $file"
[ -n "$out" ] && echo "$out"
if [ "$rc" -ne 0 ] || [ -n "$bad" ]; then
  echo "FAIL: the $kind check reported problems (status $rc)"
  exit 1
fi
echo "ok - no errors or warnings"
