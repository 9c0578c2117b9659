#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target vpl

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is available, so the window cannot be shown here."
  echo "Run it under a virtual X server instead:"
  echo "    xvfb-run -a -s '-screen 0 1280x800x24' ./build/vpl"
  exit 1
fi
exec ./build/vpl
