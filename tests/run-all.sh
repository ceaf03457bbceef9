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

# --- Fuzzing and benchmarks (the small-stack test runs with the suites above) ---
# Fuzzing needs clang 14 and its sanitizer runtimes; the benchmark script
# needs valgrind and GNU time.
extra=()
command -v clang++-14 >/dev/null || extra+=(clang-14)
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || extra+=(libclang-rt-14-dev)
command -v valgrind >/dev/null || extra+=(valgrind)
[ -x /usr/bin/time ] || extra+=(time)
if [ ${#extra[@]} -gt 0 ]; then
    echo "Installing: ${extra[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${extra[@]}"
fi

# Each fuzz target for a minute under ASan+UBSan, starting from the seed
# corpus (new inputs go to a scratch folder); a finding fails the run and
# leaves the input in build/fuzz/.
cmake --workflow --preset fuzz
for target in command_line machine_file; do
    scratch=$(mktemp -d)
    "build/fuzz/tests/fuzz/${target}_fuzz" -max_total_time=60 -timeout=10 -print_final_stats=1 \
        -dict="tests/fuzz/$target.dict" -artifact_prefix="build/fuzz/$target-" \
        "$scratch" "tests/fuzz/corpus/$target"
    rm -rf "$scratch"
done

# The benchmark once, as a smoke check: its table, and the checks that the
# system's instructions per entry stay flat and peak memory under 4 MB.
cmake --workflow --preset bench
BENCH_MIN_TIME=0.05 bash bench/measure.sh --check
