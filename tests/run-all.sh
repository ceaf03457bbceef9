#!/usr/bin/env bash
# Installs what the tests need and is missing, then builds and runs every
# test suite: the simulated machine (plain and under ASan/UBSan) and the
# Windows executables under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v g++ >/dev/null || missing+=(g++)
[ -e /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -e /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
command -v sfdisk >/dev/null || missing+=(fdisk)
# --- Windows build and Wine (extended by the Windows product) ---
# --- end Windows ---
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

cmake --workflow --preset linux
cmake --workflow --preset linux-asan
