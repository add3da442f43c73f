#!/usr/bin/env bash
# Runs a command on a private Xvfb display with Mesa's software OpenGL and
# SDL's dummy audio driver, so display tests neither need nor disturb the
# user's screen and can run side by side.
#   run-with-display.sh COMMAND [ARGS...]
# KESTRA_SCREEN overrides the screen geometry (default 1920x1080x24).
set -u

fifo_dir=$(mktemp -d)
trap 'rm -rf "$fifo_dir"' EXIT
Xvfb -displayfd 3 -screen 0 "${KESTRA_SCREEN:-1920x1080x24}" -nolisten tcp +extension GLX \
  3>"$fifo_dir/display" 2>"$fifo_dir/xvfb.log" &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null; rm -rf "$fifo_dir"' EXIT

# Xvfb writes its display number once it accepts connections.
for _ in $(seq 1 100); do
  [ -s "$fifo_dir/display" ] && break
  if ! kill -0 $xvfb_pid 2>/dev/null; then
    echo "run-with-display: Xvfb did not start:" >&2
    cat "$fifo_dir/xvfb.log" >&2
    exit 1
  fi
  sleep 0.1
done
display=$(tr -d '[:space:]' <"$fifo_dir/display")
if [ -z "$display" ]; then
  echo "run-with-display: Xvfb gave no display number" >&2
  exit 1
fi

export DISPLAY=":$display"
export LIBGL_ALWAYS_SOFTWARE=1
export GALLIUM_DRIVER=llvmpipe
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
export GDK_BACKEND=x11
export NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY
"$@"
