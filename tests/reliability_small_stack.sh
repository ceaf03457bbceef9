#!/usr/bin/env bash
# "-ds" end to end on big machines, run as the built program under a 1 MB
# stack (Windows' default for a program's main thread): chains of nested mount
# points as deep as the report can show, a report past the 32 KB working
# text, and 26 hard-disk letters each with mount points. Every run must exit
# 0, say nothing on standard error, stay within the working text and end as
# expected: with the last entry when the report fits, with the truncation line
# after a correct beginning when it does not.
#
# Usage: reliability_small_stack.sh PROGRAM
set -euo pipefail

program=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

truncation='DISPLAY SIGNATURE: Report truncated.'
longest_report=32767 # the working text less its terminator
failures=0

# Writes NAME.machine and NAME.expected, the whole report that the machine
# gives when nothing is cut: C: holds M1 in d\, M1 holds M2 in d\, and so on.
nested() {
    local name=$1 levels=$2 holder=ROOT folder_path='C:\' i
    {
        printf 'version 5.0\ndisk 0 signature 1\nvolume ROOT disk 0 fs NTFS label ROOT\n'
        printf 'letter C \\Device\\HarddiskVolume1 ROOT\n'
        for ((i = 1; i <= levels; i++)); do
            printf 'volume M%d disk 0 fs NTFS label M%d\nmount %s d\\ M%d\n' "$i" "$i" "$holder" "$i"
            holder=M$i
        done
    } > "$folder/$name.machine"
    {
        printf 'C:\tphysicaldrive0\tSignature = 1\tVolume Name = ROOT.\n'
        for ((i = 1; i <= levels; i++)); do
            folder_path+='d\'
            printf '  %s \tphysicaldrive0\tSignature = 1.\tVolume Name = M%d.\n' "$folder_path" "$i"
        done
    } > "$folder/$name.expected"
}

# Every letter A to Z on a hard disk (disk 0, signature 1), each with MOUNTS
# volumes (disk 1, signature 2) in its folders: f1\ to fN\ side by side, and
# in f1\ one more level, in\.
letters() {
    local name=$1 mounts=$2 letter i
    {
        printf 'version 5.0\ndisk 0 signature 1\ndisk 1 signature 2\n'
        for letter in {A..Z}; do
            printf 'volume %s disk 0 fs NTFS label %s\n' "$letter" "$letter"
            printf 'letter %s \\Device\\HarddiskVolume%d %s\n' "$letter" "$(printf '%d' "'$letter")" "$letter"
            for ((i = 1; i <= mounts; i++)); do
                printf 'volume %s%d disk 1 fs NTFS label %s%d\nmount %s f%d\\ %s%d\n' \
                    "$letter" "$i" "$letter" "$i" "$letter" "$i" "$letter" "$i"
            done
            printf 'volume %sIN disk 1 fs NTFS label %sIN\nmount %s1 in\\ %sIN\n' \
                "$letter" "$letter" "$letter" "$letter"
        done
    } > "$folder/$name.machine"
    {
        for letter in {A..Z}; do
            printf '%s:\tphysicaldrive0\tSignature = 1\tVolume Name = %s.\n' "$letter" "$letter"
            for ((i = 1; i <= mounts; i++)); do
                printf '  %s:\\f%d\\ \tphysicaldrive1\tSignature = 2.\tVolume Name = %s%d.\n' \
                    "$letter" "$i" "$letter" "$i"
                if ((i == 1)); then
                    printf '  %s:\\f1\\in\\ \tphysicaldrive1\tSignature = 2.\tVolume Name = %sIN.\n' \
                        "$letter" "$letter"
                fi
            done
        done
    } > "$folder/$name.expected"
}

fail() {
    echo "FAIL $1: $2"
    failures=$((failures + 1))
}

# Runs "-ds" on NAME.machine under a 1 MB stack and checks the report against
# NAME.expected: equal when WHOLE is "whole", else the truncation line after
# a beginning of it.
check() {
    local name=$1 whole=$2 status=0
    (
        ulimit -s 1024
        DISKSIG_MACHINE="$folder/$name.machine" exec "$program" -ds
    ) > "$folder/$name.out" 2> "$folder/$name.err" || status=$?
    local size
    size=$(stat -c %s "$folder/$name.out")
    if ((status != 0)); then
        fail "$name" "exit status $status"
    elif [ -s "$folder/$name.err" ]; then
        fail "$name" "standard error: $(head -c 200 "$folder/$name.err")"
    elif ((size > longest_report)); then
        fail "$name" "report of $size bytes"
    elif [ "$whole" = whole ]; then
        cmp -s "$folder/$name.out" "$folder/$name.expected" || fail "$name" "report differs from the expected one"
    else
        local kept
        kept=$((size - ${#truncation} - 1))
        [ "$(tail -c $((${#truncation} + 1)) "$folder/$name.out")" = "$truncation" ] ||
            fail "$name" "report does not end with the truncation line"
        cmp -s -n "$kept" "$folder/$name.out" "$folder/$name.expected" ||
            fail "$name" "report does not begin as the whole report does"
        (($(stat -c %s "$folder/$name.expected") > longest_report)) ||
            fail "$name" "the whole report would have fitted"
    fi
    echo "$name: exit $status, $size bytes, ends: $(tail -c 60 "$folder/$name.out" | tr '\t\n' '  ')"
}

nested nested-150 150 # about 31 KB: the deepest chain whose report fits
check nested-150 whole
nested nested-450 450 # past the working text long before its deepest level
check nested-450 truncated
letters letters-3 3 # 26 letters, 4 mount points each, about 7 KB
check letters-3 whole
letters letters-25 25 # 26 letters, 26 mount points each, about 40 KB
check letters-25 truncated

if ((failures > 0)); then
    echo "$failures failed"
    exit 1
fi
echo "small stack: all passed"
