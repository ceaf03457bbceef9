#!/usr/bin/env bash
# Installs with apt-get what the tests need and the machine lacks, and only
# that: a machine that has everything is left as it is, without even an
# "apt-get update". Installing needs root; tests/run-all.sh calls this first.
set -euo pipefail

missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v g++ >/dev/null || missing+=(g++)
[ -e /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -e /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
# The image checks let the real partition tools read what was written:
# sfdisk for MBR, sgdisk for GPT.
command -v sfdisk >/dev/null || missing+=(fdisk)
command -v sgdisk >/dev/null || missing+=(gdisk)
# JSON read by the tests, and the fleet playbook's runner.
command -v jq >/dev/null || missing+=(jq)
command -v python3 >/dev/null || missing+=(python3)
command -v ansible-playbook >/dev/null || missing+=(ansible)
# The playbook's lint, and the ssh client that its test's unreachable host
# is tried with.
command -v ansible-lint >/dev/null || missing+=(ansible-lint)
command -v ssh >/dev/null || missing+=(openssh-client)
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

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "The tests need: ${missing[*]}; run this script as root to install them" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
