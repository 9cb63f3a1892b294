#!/usr/bin/env bash
# Runs capture_frame (TOOL) in WORK on a short input script and checks that it writes a
# 700 x 700 PNG; then that a script it cannot read is refused with its line number.
# Needs a display (tools/test provides a virtual one).
#   check_capture.sh TOOL WORK
set -euo pipefail
tool=$1 work=$2
rm -rf "$work"
mkdir -p "$work"

cat >"$work/play.script" <<'SCRIPT'
# comment lines and trailing comments are allowed
0 pointer 600 100
2 press mouse1   # starts a game
3 release mouse1
4 press W
5 autopilot on
8 capture
SCRIPT
"$tool" "$work/play.script" "$work/frame.png" 2>"$work/stderr" ||
  { cat "$work/stderr"; echo "capture_frame failed"; exit 1; }
header=$(od -An -tx1 -N24 "$work/frame.png" | tr -d ' \n')
# The PNG signature, the header chunk, then width and height of 700 (0x2bc).
[[ $header == 89504e470d0a1a0a0000000d49484452000002bc000002bc ]] ||
  { echo "not a 700 x 700 PNG: $header"; exit 1; }

printf '0 pointer 1 2\n5 jump high\n6 capture\n' >"$work/bad.script"
status=0
"$tool" "$work/bad.script" "$work/bad.png" 2>"$work/stderr" || status=$?
[ "$status" -eq 1 ] && grep -q "bad.script:2: " "$work/stderr" && [ ! -e "$work/bad.png" ] ||
  { echo "a bad script gave status $status and: $(cat "$work/stderr")"; exit 1; }
echo "capture_frame: 700 x 700 frame written; bad script refused"
