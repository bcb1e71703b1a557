#!/usr/bin/env bash
# Runs every libFuzzer program of a fuzzing build for a number of seconds,
# each from a scratch copy of its seed corpus, so that the tree's corpora stay
# as committed. Exits non-zero at the first target that finds something.
set -euo pipefail
bin_dir=$(cd "$1" && pwd) corpus_root=$(cd "$2" && pwd) seconds=${3:-30}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for program in "$bin_dir"/*_fuzzer; do
  name=$(basename "$program" _fuzzer)
  mkdir -p "$scratch/$name"
  cp -r "$corpus_root/$name/." "$scratch/$name/" 2>/dev/null || true
  echo "fuzzing $name for $seconds s"
  (cd "$scratch" && "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -close_fd_mask=1 "$scratch/$name" 2>"$scratch/$name.log") || {
    tail -n 60 "$scratch/$name.log"
    echo "fuzz target $name found a problem" >&2
    exit 1
  }
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units)' "$scratch/$name.log" || true
done
