#!/usr/bin/env bash
# End to end: the real program under Xvfb in a folder of twelve coloured pictures. Finds the
# browser window, takes a screenshot, checks that each pane shows its picture's colour, then
# quits through the menu and the confirmation box and expects exit code 0.
# Usage: run_e2e.sh <zorvane executable> <fixture script> [<folder to keep the screenshot in>]
set -euo pipefail
if [ "${1:-}" = "--inside-display" ]; then
  inside=1
  shift
fi
program=$(realpath "$1")
fixture=$(realpath "$2")
keep=${3:-}
work=${4:-}
for tool in xvfb-run xdotool xwininfo import convert python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

if [ -z "${inside:-}" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  python3 "$fixture" "$work/pictures"
  mkdir -p "$work/config" "$work/runtime"
  chmod 700 "$work/runtime"
  xvfb-run -a -s "-screen 0 800x600x24" "$0" --inside-display "$program" "$fixture" "$keep" "$work"
  exit $?
fi

cd "$work/pictures"
  QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    "$program" >"$work/program.log" 2>&1 &
  pid=$!
  title="Ｚｏｒｖａｎｅ　ver.101"
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "FAIL: the browser window never appeared"; cat "$work/program.log"; exit 1; }
  sleep 1.5 # the first page is filled, the splash has gone
  import -window root "$work/shot.png"
  [ -n "$keep" ] && cp "$work/shot.png" "$keep/e2e-browser.png"

  eval "$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print "wx=" $4}
      /Absolute upper-left Y/ {print "wy=" $4} /Height:/ {print "wh=" $2}')"
  menu=$((wh - 294)) # the client area is 294 pixels high, below the menu bar
  # Panel places of the twelve slots (left, top, width, height) and the fixture's colours.
  panels=(135,0,73,65 216,0,73,65 296,0,65,65 368,0,65,65 136,80,73,65 216,80,73,65
          296,80,65,65 368,80,65,65 136,160,73,65 216,160,73,65 296,160,65,65 368,160,65,65)
  colours=(220,30,30 30,160,30 30,30,220 220,220,30 220,30,220 30,200,200 240,140,20
           120,60,20 250,250,250 90,90,90 150,100,230 20,90,60)
  failures=0
  for k in "${!panels[@]}"; do
    IFS=, read -r l t w h <<<"${panels[$k]}"
    x=$((wx + l + w / 2)); y=$((wy + menu + t + h / 2))
    got=$(convert "$work/shot.png" -format "%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)]" info:)
    if [ "$got" != "${colours[$k]}" ]; then
      echo "FAIL: pane $((k + 1)) at $x,$y shows $got, expected ${colours[$k]}"
      failures=$((failures + 1))
    fi
  done
  [ "$failures" -eq 0 ] || { kill "$pid"; exit 1; }

  # Quit: ファイル(F) → ｱﾌﾟﾘｹｰｼｮﾝの終了(E), then OK in the confirmation box.
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key e
  box=""
  for _ in $(seq 50); do
    box=$(xdotool search --name "^確認\$" 2>/dev/null | head -1 || true)
    [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || { echo "FAIL: no confirmation box"; kill "$pid"; exit 1; }
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key Return
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then echo "FAIL: the program did not end"; kill "$pid"; exit 1; fi
  set +e
  wait "$pid"
  rc=$?
  set -e
  [ "$rc" -eq 0 ] || { echo "FAIL: exit code $rc"; cat "$work/program.log"; exit 1; }
  echo "PASS: twelve panes shown, closed through the confirmation, exit code 0"
