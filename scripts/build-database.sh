#!/usr/bin/env bash
# Builds the default database into a program folder, once: it is built again only when the
# sources or the builder change.
# Usage: scripts/build-database.sh PROGRAM_FOLDER
#   KOV_N1904   the Nestle 1904 Text-Fabric folder (default: ../shared/data/n1904 beside the sources)
#   KOV_SOURCES cache of the npm sources (default ~/.cache/kov/sources)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
home="${1:?usage: build-database.sh PROGRAM_FOLDER}"
importer="$KOV_SRC/build/default/bin/kov-import"
[ -x "$importer" ] || { echo "build-database: $importer is missing; build the project first" >&2; exit 1; }

bash "$KOV_SRC/scripts/fetch-sources.sh"
sources="${KOV_SOURCES:-$HOME/.cache/kov/sources}"
n1904="${KOV_N1904:-$KOV_SRC/../shared/data/n1904}"
args=(--out "$home" --morphhb "$sources/morphhb-2.0.2" --strongs "$sources/strongs-1.0.2" --books "$KOV_SRC/data/books.ini")
if [ -d "$n1904/tf/0.4.1" ]; then
  args+=(--n1904 "$n1904/tf/0.4.1")
else
  echo "build-database: no Greek New Testament at $n1904; set KOV_N1904 to the Nestle 1904 Text-Fabric folder to add it"
fi

stamp="$home/.database-stamp"
want="$( { sha1sum "$importer"; echo "${args[*]}"; ls -l --time-style=+%s "$n1904/tf/0.4.1" 2>/dev/null || true; } | sha1sum | cut -c1-40)"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && [ -d "$home/interlinear/WLC" ]; then
  echo "build-database: the database in $home is up to date"
  exit 0
fi
echo "build-database: building the default database in $home"
"$importer" "${args[@]}"
echo "$want" > "$stamp"
