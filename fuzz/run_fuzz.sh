#!/usr/bin/env bash
# Runs one fuzz target for a bounded time, seeded with a few of the volume's
# real containers. Any crash, sanitizer report or leak fails the test.
set -euo pipefail
fuzzer=$1
tool=$2
seconds=$3
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
for n in 1 2 115 414 31767; do
  "$tool" resource "$n" >"$corpus/container-$n"
done
"$fuzzer" "$corpus" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="${TMPDIR:-/tmp}/$(basename "$fuzzer")-"
