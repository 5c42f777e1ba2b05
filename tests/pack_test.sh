#!/usr/bin/env bash
# The packer as the build runs it: a good source packs; a source with faults
# gets file:line messages, exit 1 and no output file.
set -u
pack=$1
gen=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$gen" "$work/good.txt" || { echo "FAIL: the generator"; exit 1; }
"$pack" "$work/good.txt" "$work/good.cpp" || fail "a good source does not pack"
grep -q 'VolumeResources' "$work/good.cpp" || fail "no resource table written"

# Two faults: a Latin letter in a title, and a record kind that does not exist.
line=$(grep -n -m1 '^title' "$work/good.txt" | cut -d: -f1)
sed -e "${line}s/\t.*/\tabc/" -e "$((line + 1))s/^[a-z]*\t/bogus\t/" "$work/good.txt" >"$work/bad.txt"
"$pack" "$work/bad.txt" "$work/bad.cpp" 2>"$work/err"
status=$?
[ "$status" -eq 1 ] || fail "a faulty source exits $status"
[ ! -e "$work/bad.cpp" ] || fail "a faulty source still wrote its output"
grep -q "^$work/bad.txt:$line: character U+0061 'a' is not allowed" "$work/err" || fail "no file:line message: $(cat "$work/err")"
grep -q "^$work/bad.txt:$((line + 1)): unknown record kind 'bogus'" "$work/err" || fail "the second fault is not reported"

"$pack" >/dev/null 2>&1; [ $? -eq 2 ] || fail "no arguments is not bad use"
"$pack" "$work/missing.txt" "$work/x.cpp" 2>/dev/null; [ $? -eq 1 ] || fail "a missing source is not exit 1"

[ "$failures" -eq 0 ] || exit 1
echo "quenzil-pack: all checks passed"
