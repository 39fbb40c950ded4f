# Sourced by the screenshot scripts: a virtual X display for the game's windows.
#   start_virtual_display WxHxD    starts Xvfb on a free display; sets $display and $xvfb_pid
#   wait_for_window NAME           waits (at most 15 s) for a window of that title on it
#   stop_virtual_display           ends it

start_virtual_display() {
  local n=99
  while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
  display=":${n}"
  Xvfb "$display" -screen 0 "$1" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if xdpyinfo -display "$display" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
}

wait_for_window() {
  for _ in $(seq 150); do
    if xwininfo -display "$display" -name "$1" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
}

stop_virtual_display() {
  if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
