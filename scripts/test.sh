#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Usage: scripts/test.sh [default|asan]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
preset="${1:-default}"
cd "$KOV_SRC"
bash scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset"
