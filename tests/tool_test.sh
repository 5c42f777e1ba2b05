#!/usr/bin/env bash
# The command-line companion, run as a user runs it: its output and its exit
# status for good and bad use.
set -u
tool=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect STATUS COMMAND...: the command exits with STATUS.
expect() {
  local want=$1; shift
  "$@" >/dev/null 2>&1
  local got=$?
  [ "$got" -eq "$want" ] || fail "$* exited $got, expected $want"
}

list=$("$tool" list) || fail "list exited $?"
[ "$(printf '%s\n' "$list" | wc -l)" -eq 414 ] || fail "list gives $(printf '%s\n' "$list" | wc -l) lines"
printf '%s\n' "$list" | awk -F'\t' -v OFS='\t' '$1 != NR { bad = 1 } END { exit bad }' || fail "list numbers are not 1 to 414"
# Every title is Hebrew letters (and the punctuation of a page number), in reading order.
if printf '%s\n' "$list" | cut -f2 | LC_ALL=C.UTF-8 grep -qvP "^[\x{05D0}-\x{05EA}' ]+$"; then
  fail "a title is not Hebrew text"
fi
case "$(printf '%s\n' "$list" | head -1 | cut -f2)" in
  "הגוף דף א'") ;;
  *) echo "note: the first title is not the sample volume's; a volume of your own?" ;;
esac

# unpack gives exactly U bytes, the container's unpacked length; resource the container as stored.
for n in 1 2 207 414 31767; do
  resource=$("$tool" resource "$n" | od -An -v -tu1 | tr -s ' \n' ' ')
  read -r -a bytes <<<"$resource"
  packed=$((bytes[6] * 256 + bytes[7]))
  unpacked=$((bytes[8] * 256 + bytes[9]))
  [ "${#bytes[@]}" -eq $((packed + 14)) ] || fail "resource $n is ${#bytes[@]} bytes, its stream $packed"
  size=$("$tool" unpack "$n" | wc -c)
  [ "$size" -eq "$unpacked" ] || fail "unpack $n gives $size bytes, expected $unpacked"
done

# dump: one line per record, the first the title, offsets in hex.
first=$("$tool" dump 1 | head -1)
case "$first" in "0000 dc 00 "*) ;; *) fail "dump 1 starts with '$first'" ;; esac
[ "$("$tool" dump 31767 | wc -l)" -ge 1 ] || fail "dump of the index is empty"

# render: a PNG of the pane's size, without a display; the same options twice
# give the same image, and other options another.
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
env -u DISPLAY -u QT_QPA_PLATFORM "$tool" render 1 -o "$out/a.png" 2>/dev/null || fail "render 1 exited $?"
[ "$(head -c 8 "$out/a.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "render 1 wrote no PNG"
# The PNG header: width and height, 32 bits big-endian each, at byte 16.
[ "$(od -An -tu1 -j16 -N8 "$out/a.png" | tr -s ' ' | sed 's/^ //')" = "0 0 0 240 0 0 1 64" ] || fail "render 1 is not 240 by 320"
"$tool" render 1 -o "$out/b.png" 2>/dev/null
cmp -s "$out/a.png" "$out/b.png" || fail "render is not repeatable"
"$tool" render 1 -o "$out/c.png" --width 300 --height 200 --face "Frank Ruehl CLM" --size -14 --base 224 \
  --reverse --top 3 --highlight 40:80 2>/dev/null || fail "render with every option exited $?"
[ "$(od -An -tu1 -j16 -N8 "$out/c.png" | tr -s ' ' | sed 's/^ //')" = "0 0 1 44 0 0 0 200" ] || fail "render --width 300 --height 200"
expect 2 "$tool" render 1
expect 2 "$tool" render -o "$out/d.png"
expect 2 "$tool" render 1 -o "$out/d.png" --base 100
expect 2 "$tool" render 1 -o "$out/d.png" --width 0
expect 2 "$tool" render 1 -o "$out/d.png" --highlight 5
expect 2 "$tool" render 1 -o "$out/d.png" --colour red
expect 1 "$tool" render 415 -o "$out/d.png"
expect 1 "$tool" render 1 -o "$out/no/such/folder/d.png"

for verb in list unpack resource dump render; do
  "$tool" "$verb" --help | grep -q "usage: quenzil-tool $verb" || fail "$verb --help"
done
expect 0 "$tool" --help
expect 2 "$tool"
expect 2 "$tool" frobnicate
expect 2 "$tool" unpack
expect 2 "$tool" unpack 12x
expect 2 "$tool" list 3
expect 1 "$tool" unpack 415
expect 1 "$tool" dump 0
expect 1 "$tool" resource -5

[ "$failures" -eq 0 ] || exit 1
echo "quenzil-tool: all checks passed"
