#!/usr/bin/env bash
# The install files against their validators: any error or warning fails
# (AppStream's pedantic notes are shown but allowed).
#   validate.sh desktop|metainfo|man <file>
#   validate.sh copyright <file> [component...]   (each component must be named)
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
  copyright)
    # Debian's machine-readable format: a header naming the format; each
    # Files paragraph with its Copyright and License; every licence named
    # there spelled out in a License paragraph of its own.
    out=$(awk '
      function check() {
        if (n == 1 && !format) print "E: the first paragraph has no Format field"
        if (files && (!copyright || license == "")) print "E: the Files paragraph " files " lacks Copyright or License"
        if (files) { gsub(/,/, "", license); k = split(license, w, / +(and|or) +/); for (i = 1; i <= k; i++) used[w[i]] = 1 }
        if (!files && license != "" && text) spelled[license] = 1
      }
      /^[^ \t].*:/ && !inpara { inpara = 1; n++; files = ""; copyright = 0; license = ""; format = 0; text = 0 }
      /^$/ { if (inpara) check(); inpara = 0; next }
      /^Format: / { format = 1 }
      /^Files: / { files = $2 }
      /^Copyright: / { copyright = 1 }
      /^License: / { license = substr($0, 10) }
      /^ / { text = 1 }
      END { if (inpara) check(); for (l in used) if (!(l in spelled)) print "E: the licence " l " is not spelled out" }
    ' "$file"); rc=$?
    shift 2
    for component in "$@"; do
      grep -qF -- "$component" "$file" || out+="${out:+$'\n'}E: the component $component is not listed"
    done
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
