#!/usr/bin/env bash
# Installs what is missing, builds the program and its default database, and starts it.
# The program folder is $KOV_HOME, by default ~/.local/share/kov. Without a display the
# program runs under xvfb-run, writes a screenshot of its first window and exits.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$KOV_SRC"
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
export KOV_HOME="${KOV_HOME:-$HOME/.local/share/kov}"
mkdir -p "$KOV_HOME"
cp -r data/. "$KOV_HOME/"
if [ -x scripts/build-database.sh ]; then
  bash scripts/build-database.sh "$KOV_HOME"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  shot="${KOV_SCREENSHOT:-$KOV_HOME/screenshot.png}"
  echo "No display: starting under xvfb-run; the screenshot goes to $shot"
  KOV_SCREENSHOT="$shot" xvfb-run -a -s "-screen 0 1400x900x24" build/default/bin/kov "$@"
  echo "Screenshot written: $shot"
else
  exec build/default/bin/kov "$@"
fi
