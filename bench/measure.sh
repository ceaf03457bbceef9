#!/usr/bin/env bash
# Measures what the commands cost on the simulated machine and prints one
# table (Markdown): "-ds" on drive C: with 10, 100 and 500 volumes mounted in
# its folders, "-ds" with 10 mounted among 5000 volumes that are never mounted,
# "-ld" and "-ld json" on 64 disks with 26 drive letters, and "-ws" on a disk
# held in an MBR image.
#
#   wall time     the in-process benchmark (disksig_bench): one whole command,
#                 entry point, platform calls and printing included
#   peak memory   /usr/bin/time's maximum resident set of one run of the
#                 program, linked statically as the product is (disksig_static)
#                 and, for comparison, dynamically (disksig)
#   instructions  valgrind --tool=callgrind on one run of disksig_static: the
#                 entry point's inclusive count, split into the simulator's
#                 (the inclusive counts of the platform operations of
#                 platform/platform.h) and the system's own (the rest)
#
# An entry is one "physicaldrive" entry of the report (the drive letter's and
# one per mount point); a disk is one entry of "-ld" (its line, or its
# "device" in the JSON document); "-ws" counts its one message line as one
# entry. The
# machines have short folder names and labels, so that all 501 entries of the
# largest one fit the 32 KB working text and every entry is counted.
#
# Usage: bench/measure.sh [--check] [BUILD_DIR]   (default build/bench, made by
#        "cmake --workflow --preset bench")
# --check fails when the system's own instructions per entry are not flat
# (largest over smallest of the "-ds" cases above 1.25), when the simulator's
# instructions per entry grow with the machine (largest over smallest of 10,
# 100 and 500 mount points above 1.5, or the 5000 unmounted volumes adding more
# than 10 % to the 10 mount points' figure), when a report of the "-ds"
# machines is not whole, or when the static program's peak memory reaches 4 MB
# (on every machine but the one of 5000 volumes, whose copy in the simulator
# alone takes some 3 MB).
# BENCH_MIN_TIME sets the benchmark's minimum time per case (default 0.5 s).
set -euo pipefail

check=false
if [ "${1:-}" = --check ]; then
    check=true
    shift
fi
build=${1:-build/bench}
bench_program=$build/bench/disksig_bench
static_program=$build/bench/disksig_static
dynamic_program=$build/disksig
for tool in valgrind callgrind_annotate /usr/bin/time "$bench_program" "$static_program" "$dynamic_program"; do
    command -v "$tool" > /dev/null || {
        echo "measure.sh: $tool is missing" >&2
        exit 2
    }
done

folder=$(mktemp -d)
trap "rm -rf \"$folder\"" EXIT
"$bench_program" machines "$folder"
cp "$folder/disk1.img" "$folder/disk1.original"

# The platform operations: everything the system asks of the platform.
platform_calls='QueryDosDeviceA|CreateFileA|DeviceIoControl|CloseHandle|GetVolumeInformationA|GetVolumeNameForVolumeMountPointA|FindFirstVolumeMountPointA|FindNextVolumeMountPointA|FindVolumeMountPointClose|LoadLibraryA|GetProcAddress|FreeLibrary|_popen|_pclose|GetVersion|GetLastError'

# Wall time per command, in microseconds, by benchmark name.
declare -A wall
while IFS=, read -r name _ real_time _; do
    name=${name//\"/}
    wall[$name]=$real_time
done < <("$bench_program" --benchmark_format=csv --benchmark_min_time="${BENCH_MIN_TIME:-0.5}" 2> /dev/null |
    grep '^"BM_')

# Prints "COMMAND SIMULATOR" instruction counts of one callgrind profile.
# callgrind_annotate runs outside the source tree: run inside it, it finds the
# sources by relative path too and splits some functions' counts in two.
split_instructions() {
    (cd "$folder" && callgrind_annotate --inclusive=yes --threshold=100 --auto=no "$1" 2> /dev/null) |
        grep -v '=>' |
        awk -v calls="$platform_calls" '
            /^ *[0-9,]+ / {
                count = $1; gsub(",", "", count)
                if ($0 ~ /app\/disksig\.cpp:DiskSigMain\(/) command = count
                if ($0 ~ ("platform/sim/[a-z_]+\\.cpp:(" calls ")\\(")) simulator += count
            }
            END { printf "%d %d\n", command, simulator }'
}

# Runs one case: NAME MACHINE BENCHMARK ARGUMENTS...; prints its table row.
declare -a system_per_entry=()
declare -A simulator_per_entry
static_peaks=()
whole_reports=true
measure() {
    local name=$1 machine=$2 benchmark=$3
    shift 3
    cp "$folder/disk1.original" "$folder/disk1.img"
    DISKSIG_MACHINE="$folder/$machine" "$static_program" "$@" > "$folder/$name.out"
    local entries bytes
    entries=$(grep -o physicaldrive "$folder/$name.out" | wc -l)
    bytes=$(stat -c %s "$folder/$name.out")
    if [ "$1" = -ds ] && grep -q 'Report truncated' "$folder/$name.out"; then
        whole_reports=false
    fi
    local static_peak dynamic_peak
    cp "$folder/disk1.original" "$folder/disk1.img"
    static_peak=$(DISKSIG_MACHINE="$folder/$machine" /usr/bin/time -f %M "$static_program" "$@" 2>&1 > /dev/null)
    cp "$folder/disk1.original" "$folder/disk1.img"
    dynamic_peak=$(DISKSIG_MACHINE="$folder/$machine" /usr/bin/time -f %M "$dynamic_program" "$@" 2>&1 > /dev/null)
    cp "$folder/disk1.original" "$folder/disk1.img"
    DISKSIG_MACHINE="$folder/$machine" valgrind --tool=callgrind --callgrind-out-file="$folder/$name.callgrind" \
        "$static_program" "$@" > /dev/null 2> "$folder/$name.valgrind"
    local command simulator own
    read -r command simulator < <(split_instructions "$folder/$name.callgrind")
    own=$((command - simulator))
    # The simulator's copy of a machine of thousands of volumes is itself
    # megabytes; that case's peak is shown, not checked.
    if [ "$machine" != unmounted-5000.machine ]; then
        static_peaks+=("$static_peak")
    fi
    if [ "$1" = -ds ]; then
        system_per_entry+=($((own / entries)))
        simulator_per_entry[$machine]=$((simulator / entries))
    fi
    awk -v name="$name" -v entries="$entries" -v bytes="$bytes" -v wall="${wall[$benchmark]:-0}" \
        -v static_peak="$static_peak" -v dynamic_peak="$dynamic_peak" -v command="$command" \
        -v simulator="$simulator" -v own="$own" 'BEGIN {
            printf "| %s | %d | %d | %.1f | %.2f | %.0f | %.0f | %d | %d | %d | %d | %.1f%% |\n",
                name, entries, bytes, wall, wall / entries, static_peak, dynamic_peak,
                command / entries, simulator / entries, own / entries, own, 100 * own / command
        }'
}

echo "| command | entries | report bytes | wall µs | wall µs/entry | peak KB static | peak KB dynamic | instr/entry | simulator instr/entry | system instr/entry | system instr | system share |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|"
measure "-ds, 10 mount points" mounts-10.machine BM_DisplaySignatures/10 -ds
measure "-ds, 100 mount points" mounts-100.machine BM_DisplaySignatures/100 -ds
measure "-ds, 500 mount points" mounts-500.machine BM_DisplaySignatures/500 -ds
measure "-ds, 10 mount points, 5000 unmounted volumes" unmounted-5000.machine BM_DisplaySignaturesAmongUnmounted/5000 -ds
measure "-ld, 64 disks and 26 letters" disks-64.machine BM_ListDisks/0 -ld
measure "-ld json, 64 disks and 26 letters" disks-64.machine BM_ListDisks/1 -ld json
measure "-ws, image-backed disk" image-disk.machine BM_WriteSignature -ws physicaldrive1 1A2B3C4D

if $check; then
    failed=false
    read -r smallest largest < <(printf '%s\n' "${system_per_entry[@]}" | sort -n | sed -n '1p;$p' | paste -sd' ')
    if ((largest * 100 > smallest * 125)); then
        echo "CHECK FAILED: the system's own instructions per entry range from $smallest to $largest"
        failed=true
    fi
    read -r least most < <(printf '%s\n' "${simulator_per_entry[mounts-10.machine]}" \
        "${simulator_per_entry[mounts-100.machine]}" "${simulator_per_entry[mounts-500.machine]}" |
        sort -n | sed -n '1p;$p' | paste -sd' ')
    if ((most * 100 > least * 150)); then
        echo "CHECK FAILED: the simulator's instructions per entry range from $least to $most over 10 to 500 mount points"
        failed=true
    fi
    few=${simulator_per_entry[mounts-10.machine]}
    among=${simulator_per_entry[unmounted-5000.machine]}
    if ((among * 100 > few * 110)); then
        echo "CHECK FAILED: 5000 unmounted volumes raise the simulator's instructions per entry from $few to $among"
        failed=true
    fi
    if ! $whole_reports; then
        echo "CHECK FAILED: a -ds report was truncated, so not every entry was counted"
        failed=true
    fi
    for peak in "${static_peaks[@]}"; do
        if ((peak >= 4096)); then
            echo "CHECK FAILED: peak resident memory of $peak KB"
            failed=true
        fi
    done
    $failed && exit 1
    echo "checks passed: system instructions per entry $smallest to $largest;" \
        "simulator instructions per entry $least to $most, $among among 5000 unmounted volumes;" \
        "peak memory under 4 MB; reports whole"
fi
