# Shared settings for the build scripts: ccache hits across clones in other folders.
KOV_SRC="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export CCACHE_BASEDIR="$KOV_SRC"
export CCACHE_NOHASHDIR=1
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-5G}"
