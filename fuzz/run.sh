#!/usr/bin/env bash
# Runs one fuzz target of a clang fuzz build: fuzz/run.sh BUILD TARGET [libFuzzer options...]
# New inputs go to BUILD/corpus/TARGET, findings to BUILD/findings/TARGET/;
# fuzz/corpus/TARGET (kept in the repository) is read as seeds only.
# More than 256 MB for one input counts as a finding, and so does a hang: the
# limit is 10 s because the machine may be shared and stall a process for
# seconds; a unit slower than 1 s is run again alone to tell a hang from a stall.
set -euo pipefail
build=$1 target=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
work=$build/corpus/$target findings=$build/findings/$target
mkdir -p "$work" "$findings"
dict=()
[ -f "$root/fuzz/dict/$target.dict" ] && dict=(-dict="$root/fuzz/dict/$target.dict")
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy
exec "$build/fuzz/fuzz-$target" "$work" "$root/fuzz/corpus/$target" "${dict[@]}" \
  -timeout=10 -malloc_limit_mb=256 -rss_limit_mb=1024 -max_len=8192 \
  -artifact_prefix="$findings/" -print_final_stats=1 "$@"
