#!/usr/bin/env bash
# Starts the window (gzimport-gui from PATH, as installed) in FOLDER on the X
# display in DISPLAY and watches what its start-up check does, from outside,
# through the windows it opens:
#
#   check_window.sh FOLDER ready     FOLDER holds gzgl.mdb: one second after the
#                                    window opened the check has passed without
#                                    a message box; a click on 退出 then ends the
#                                    program with status 0
#   check_window.sh FOLDER missing   FOLDER has no gzgl.mdb: the failed connection
#                                    is reported while the window is made, then
#                                    the check shows the box "文件丢失错误"; once it
#                                    is answered the program ends with status 0
#
# Needs xdotool; run it under xvfb-run.
set -euo pipefail
FOLDER=$1
EXPECT=$2
CAPTION="从(xls)数据导入qj"

fail() {
  echo "check_window: $*" >&2
  kill "$pid" 2>/dev/null || true
  exit 1
}

# The visible top-level windows of the program, one "id name" a line (each
# has the program's window class).
windows() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid" --classname '^gzimport-gui$' 2>/dev/null); do
    echo "$w $(xdotool getwindowname "$w")"
  done
}

# Waits up to $1 seconds for a visible window named $2; prints its id.
wait_for_window() {
  local deadline=$((SECONDS + $1)) line
  while [ $SECONDS -lt $deadline ]; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before a window named '$2' opened"
    line=$(windows | awk -v name="$2" '{ id = $1; sub(/^[^ ]* /, ""); if ($0 == name) print id }' | head -n 1)
    [ -n "$line" ] && { echo "$line"; return; }
    sleep 0.2
  done
  fail "no window named '$2' within $1 seconds; open: $(windows | tr '\n' ';')"
}

# Waits up to $1 seconds for the program to end; fails unless its status is 0.
wait_for_exit() {
  local deadline=$((SECONDS + $1)) status
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the program did not end within $1 seconds"
    sleep 0.2
  done
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || { echo "check_window: the program ended with status $status" >&2; exit 1; }
}

# Answers (Return) every message box until one named $2 has been answered,
# for up to $1 seconds, printing each box's caption.
answer_boxes_until() {
  local deadline=$((SECONDS + $1)) id name
  while [ $SECONDS -lt $deadline ]; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before the box '$2'"
    while read -r id name; do
      [ "$name" = "$CAPTION" ] && continue
      echo "box: $name"
      # Typed through the XTEST extension into the focused box: an event
      # sent to the box itself would fail once the key press had closed it.
      xdotool windowfocus --sync "$id" key Return
      [ "$name" = "$2" ] && return
      sleep 0.5
    done < <(windows)
    sleep 0.2
  done
  fail "no box named '$2' within $1 seconds"
}

cd "$FOLDER"
unset QT_QPA_PLATFORM  # the platform plugin a desktop uses (xcb)
gzimport-gui &
pid=$!
case "$EXPECT" in
  ready)
    main=$(wait_for_window 30 "$CAPTION")
    sleep 3  # the start-up check runs a second after the window opened
    kill -0 "$pid" 2>/dev/null || fail "the program ended after its start-up check"
    others=$(windows | grep -v "^$main " || true)
    [ -z "$others" ] && echo "start-up check passed: the window is ready" ||
      fail "the start-up check opened: $others"
    xdotool mousemove --window "$main" 679 270 click 1  # 退出 (Button2: 651, 258, 57 x 25)
    wait_for_exit 10
    echo "退出 ended the program with status 0"
    ;;
  missing)
    answer_boxes_until 30 "文件丢失错误"
    wait_for_exit 10
    echo "answering the box ended the program with status 0"
    ;;
  *)
    fail "usage: check_window.sh FOLDER ready|missing"
    ;;
esac
