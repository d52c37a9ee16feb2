#!/usr/bin/env bash
# Sets up the machine, builds the native program and lists a folder with it:
#   scripts/run.sh [FOLDER [LIST_FILE]]
# By default it lists this project's own tree into build/scrivlet-list.txt.
# It installs only what the program needs (scripts/setup.sh --program) and
# builds only the program; scripts/test.sh installs and builds the rest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=$(realpath "${1:-$root}")
output=$(realpath -m "${2:-$root/build/scrivlet-list.txt}")

bash "$root/scripts/setup.sh" --program >/dev/null
cd "$root"
cmake --preset native >/dev/null
cmake --build --preset native --target scrivlet >/dev/null

"$root/build/native/scrivlet" /noui /sub:1 "$folder" "$output"
echo "listed $(wc -l <"$output") entries of $folder into $output; the first lines:"
head -n 10 "$output" | iconv -f CP932 -t UTF-8
