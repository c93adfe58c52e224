#!/usr/bin/env bash
# Fetches the open sources the database builder reads into a cache folder, unpacked.
# Idempotent: a package already unpacked is left alone. The data never goes into the project tree.
#   KOV_SOURCES  cache folder (default ~/.cache/kov/sources)
set -euo pipefail

dest="${KOV_SOURCES:-$HOME/.cache/kov/sources}"
packages=("morphhb@2.0.2" "strongs@1.0.2")

if ! command -v npm >/dev/null 2>&1; then
  echo "fetch-sources: npm is not installed; install Node.js/npm (Debian: apt-get install npm)" >&2
  exit 1
fi
mkdir -p "$dest"

for pkg in "${packages[@]}"; do
  name="${pkg%@*}"
  version="${pkg#*@}"
  target="$dest/$name-$version"
  if [[ -f "$target/.complete" ]]; then
    echo "fetch-sources: $pkg present in $target"
    continue
  fi
  work="$(mktemp -d "$dest/.fetch-$name.XXXXXX")"
  trap 'rm -rf "$work"' EXIT
  echo "fetch-sources: fetching $pkg"
  if ! (cd "$work" && npm pack --silent "$pkg" >pack.log 2>&1); then
    echo "fetch-sources: 'npm pack $pkg' failed:" >&2
    sed 's/^/  /' "$work/pack.log" >&2
    exit 1
  fi
  tarball="$(ls "$work"/*.tgz 2>/dev/null | head -n 1 || true)"
  if [[ -z "$tarball" ]]; then
    echo "fetch-sources: 'npm pack $pkg' produced no archive" >&2
    exit 1
  fi
  mkdir -p "$work/unpacked"
  if ! tar -xzf "$tarball" -C "$work/unpacked"; then
    echo "fetch-sources: cannot unpack $tarball" >&2
    exit 1
  fi
  # npm archives hold everything under "package/"; the finished folder appears in one rename.
  touch "$work/unpacked/package/.complete"
  rm -rf "$target"
  mv "$work/unpacked/package" "$target"
  rm -rf "$work"
  trap - EXIT
  echo "fetch-sources: $pkg unpacked into $target"
done
