#!/usr/bin/env bash
# Runs one fuzz target for a bounded time, seeded with a few of the volume's
# real containers (seeds "resource"), or with its unpacked articles behind
# four bytes of layout parameters (seeds "layout": a 240-pixel pane 160 high),
# or with a registry store (seeds "registry").
# Any crash, sanitizer report or leak fails the test.
#   run_fuzz.sh FUZZER QUENZIL-TOOL SECONDS [resource|layout|registry]
set -euo pipefail
fuzzer=$1
tool=$2
seconds=$3
seeds=${4:-resource}
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
if [ "$seeds" = registry ]; then
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_CURRENT_USER\software\Brantholm]' \
    '"MenuBarOnBottom"=dword:00000001' '' '[HKEY_CURRENT_USER\Software\Brantholm\Quenzil]' \
    '"FontName"="David CLM"' '"Lesson"=dword:00000005' '"Bookmarks"=hex:01,00,\' '  02,00' \
    '"SearchString"=hex(1):61,00,00,00' '@="x \"y\" \\"' >"$corpus/store"
else
  for n in 1 2 115 414 31767; do
    if [ "$seeds" = layout ]; then
      { printf '\xf0\x00\xa0\x00'; "$tool" unpack "$n"; } >"$corpus/article-$n"
    else
      "$tool" resource "$n" >"$corpus/container-$n"
    fi
  done
fi
"$fuzzer" "$corpus" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="${TMPDIR:-/tmp}/$(basename "$fuzzer")-"
