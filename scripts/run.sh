#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on its program folder.
# The program folder is $KOV_HOME, by default ~/.local/share/kov; the factory files are
# copied into it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$KOV_SRC"
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
export KOV_HOME="${KOV_HOME:-$HOME/.local/share/kov}"
mkdir -p "$KOV_HOME"
cp -r data/. "$KOV_HOME/"
exec build/default/bin/kov "$@"
