#!/usr/bin/env bash
# build-alone.sh SOURCE FOLDER GENERATOR TOOLCHAIN BUILD_TYPE
# Configures a new build folder and builds the program as the only target,
# as someone who wants just the executable would: every rule it needs, the
# manifest's resource among them, must follow from that one target.
set -euo pipefail
source=$1 folder=$2 generator=$3 toolchain=$4 type=$5

rm -rf "$folder"
cmake -S "$source" -B "$folder" -G "$generator" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE="$type" -DDISKSIG_TESTS=OFF > "$folder.log" 2>&1 &&
    cmake --build "$folder" --target disksig >> "$folder.log" 2>&1 || {
    cat "$folder.log"
    echo "build-alone: the program does not build as a target of its own"
    exit 1
}
[ -f "$folder/disksig.exe" ] || {
    echo "build-alone: no $folder/disksig.exe"
    exit 1
}
rm -rf "$folder" "$folder.log"
echo "build-alone: disksig builds as a target of its own"
