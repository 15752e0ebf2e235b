#!/usr/bin/env bash
# Runs one fuzz target of a clang fuzz build: tools/fuzz.sh BUILD TARGET [libFuzzer options...]
# New inputs go to BUILD/corpus/TARGET, findings to BUILD/findings/TARGET/;
# fuzz/corpus/TARGET (kept in the repository) is read as seeds only.
# A hang over 1 s or more than 256 MB for one input counts as a finding.
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
  -timeout=1 -malloc_limit_mb=256 -rss_limit_mb=1024 -max_len=8192 \
  -artifact_prefix="$findings/" -print_final_stats=1 "$@"
