# Sourced: start_pulse starts a PulseAudio server of our own with one null sink, "bench",
# exports PULSE_SERVER for it and sets pulse_pid; stop_pulse ends it and removes its folder.
#
# Why: under a null ALSA device DirectSound's play cursor runs several times faster than
# real time, so every timed sound check would run on a false clock. The null sink plays at
# real time, and its monitor ("bench.monitor") records what was played. The server runs
# from a private runtime folder: it never meets a desktop's own sound server.
start_pulse() {
  command -v pulseaudio >/dev/null || { echo "pulse: pulseaudio is not installed" >&2; return 1; }
  pulse_dir=$(mktemp -d)
  mkdir -p "$pulse_dir/home" "$pulse_dir/run" && chmod 700 "$pulse_dir/run"
  HOME="$pulse_dir/home" XDG_RUNTIME_DIR="$pulse_dir/run" XDG_CONFIG_HOME="$pulse_dir/home" \
    pulseaudio --daemonize=no --exit-idle-time=-1 --use-pid-file=no -n \
      --load="module-null-sink sink_name=bench" \
      --load="module-native-protocol-unix auth-anonymous=1 socket=$pulse_dir/run/native" \
      >"$pulse_dir/log" 2>&1 &
  pulse_pid=$!
  local i
  for i in $(seq 100); do
    [ -S "$pulse_dir/run/native" ] && break
    kill -0 "$pulse_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -S "$pulse_dir/run/native" ]; then
    echo "pulse: the server did not start:" >&2
    grep -v '^W:' "$pulse_dir/log" >&2
    stop_pulse
    return 1
  fi
  export PULSE_SERVER="unix:$pulse_dir/run/native"
}

stop_pulse() {
  [ -n "${pulse_pid:-}" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
  [ -n "${pulse_dir:-}" ] && rm -rf "$pulse_dir"
  pulse_pid= pulse_dir=
  unset PULSE_SERVER
}
