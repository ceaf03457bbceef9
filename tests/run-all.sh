#!/usr/bin/env bash
# Installs what the tests need and is missing, then builds and runs every
# test suite: the simulated machine (plain and under ASan/UBSan, the small-
# stack runs among them), the Windows executables under Wine, the fuzz
# targets for a bounded time, and the benchmark once as a smoke check.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v g++ >/dev/null || missing+=(g++)
[ -e /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -e /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
command -v sfdisk >/dev/null || missing+=(fdisk)
# --- Windows build and Wine (extended by the Windows product) ---
# MinGW-w64 for both architectures, and 64-bit Wine alone ("wine" holds the
# commands, "wine64" the loader). wine64 recommends wine32, which must never
# come in: it breaks existing prefixes and leaves 32-bit runs silent. Only a
# machine with the i386 architecture enabled could take it; there the
# trailing "-" keeps it out.
if ! command -v x86_64-w64-mingw32-g++ >/dev/null || ! command -v i686-w64-mingw32-g++ >/dev/null \
    || ! command -v x86_64-w64-mingw32-windres >/dev/null; then
    missing+=(mingw-w64)
fi
if ! command -v wine >/dev/null || ! command -v wineserver >/dev/null || [ ! -x /usr/lib/wine/wine64 ]; then
    missing+=(wine wine64)
    if dpkg --print-foreign-architectures | grep -qx i386; then
        missing+=(wine32:i386-)
    fi
fi
# --- end Windows ---
# Fuzzing needs clang 14 and its sanitizer runtimes; the benchmark script
# needs valgrind and GNU time.
command -v clang++-14 >/dev/null || missing+=(clang-14)
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || missing+=(libclang-rt-14-dev)
command -v valgrind >/dev/null || missing+=(valgrind)
[ -x /usr/bin/time ] || missing+=(time)
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

cmake --workflow --preset linux
cmake --workflow --preset linux-asan
cmake --workflow --preset windows-x64
cmake --workflow --preset windows-x86

# Each fuzz target for a minute under ASan+UBSan, starting from the seed
# corpus (new inputs go to a scratch folder). A finding fails the run, shows
# the fuzzer's whole log and leaves the input in build/fuzz/.
cmake --workflow --preset fuzz
for target in command_line machine_file; do
    scratch=$(mktemp -d)
    if ! "build/fuzz/tests/fuzz/${target}_fuzz" -max_total_time=60 -timeout=10 -print_final_stats=1 \
        -dict="tests/fuzz/$target.dict" -artifact_prefix="build/fuzz/$target-" \
        "$scratch" "tests/fuzz/corpus/$target" > "build/fuzz/$target.log" 2>&1; then
        cat "build/fuzz/$target.log"
        echo "Fuzzing $target found a fault; its input is in build/fuzz/"
        exit 1
    fi
    grep -E "DONE|^stat::" "build/fuzz/$target.log"
    rm -rf "$scratch"
done

# The benchmark once, as a smoke check: its table, and the checks that the
# system's instructions per entry stay flat and peak memory under 4 MB.
cmake --workflow --preset bench
BENCH_MIN_TIME=0.05 bash bench/measure.sh --check
