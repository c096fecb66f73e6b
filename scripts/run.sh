#!/usr/bin/env bash
# Starts the program; says plainly when there is no display to show it on.
set -u
exe="$1"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "quadrela: no display found (DISPLAY is not set); start it from a desktop session or under Xvfb." >&2
  exit 1
fi
exec "$exe"
