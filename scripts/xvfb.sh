# Sourced: start_xvfb starts Xvfb on a free display number, exports DISPLAY and sets xvfb_pid.
start_xvfb() {
  local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
  # -displayfd lets the server pick the display number itself, so parallel runs never collide.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -nolisten unix 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  local n
  if ! read -r -t 20 n <"$fifo"; then rm -f "$fifo"; echo "xvfb: did not start" >&2; return 1; fi
  rm -f "$fifo"
  export DISPLAY=":$n"
}
