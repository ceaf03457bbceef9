#!/usr/bin/env bash
# Installs what the tests need and is missing (tests/install-deps.sh), then
# builds and runs every test suite: the simulated machine (plain and under
# ASan/UBSan, the small-stack runs among them), the Windows executables
# under Wine, the fuzz targets for a bounded time, and the benchmark once as
# a smoke check.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tests/install-deps.sh

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
