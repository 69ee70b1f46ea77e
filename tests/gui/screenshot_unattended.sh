#!/bin/sh
# hc11flow --screenshot never waits on a message box: with a truncated
# workspace the message goes to stderr and both pictures are still taken.
# Usage: screenshot_unattended.sh HC11FLOW SOURCE_DIR
set -u
app=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$src/examples/loop/loop.lst" "$src/examples/loop/loop.HEX" "$work/"
printf '\002\000\002' >"$work/loop.Zan"
QT_QPA_PLATFORM=offscreen timeout 60 "$app" --settings "$work/hc11flow.ini" --screenshot "$work/shots" \
  "$work/loop" 2>"$work/err.txt"
status=$?
fail() {
  echo "FAIL: $1" >&2
  cat "$work/err.txt" >&2
  exit 1
}
[ "$status" -eq 0 ] || fail "exit status $status (124: it waited)"
[ -s "$work/shots/main.png" ] || fail "no main.png"
[ -s "$work/shots/panel.png" ] || fail "no panel.png"
grep -q 'loop.Zan: octet' "$work/err.txt" || fail "the workspace message did not reach stderr"
echo ok
