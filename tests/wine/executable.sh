#!/usr/bin/env bash
# executable.sh OBJDUMP EXE MANIFEST
# Reads the Windows executable itself: what it imports and the manifest it
# carries. An admin copies the one file to a server, so it may import from
# Windows system DLLs alone, and the design fixes how it reaches some of the
# platform's services. It stays small: stripped, with nothing linked that
# nothing calls.
set -euo pipefail
objdump=$1 exe=$2 manifest=$3

headers=$(mktemp)
trap 'rm -f "$headers"' EXIT
"$objdump" -p "$exe" > "$headers"
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# The names that one DLL's import table lists, one a line.
imports_from() {
    awk -v dll="$1" '
        /DLL Name:/ { inside = (tolower($3) == tolower(dll)); next }
        /^[[:space:]]*$/ { inside = 0 }
        inside && $1 ~ /^[0-9a-f]+$/ { print $3 }' "$headers"
}

# KERNEL32 and the C runtime, and no DLL of the compiler's runtimes
# (libstdc++, libgcc, winpthread) that would have to travel beside it.
while read -r dll; do
    case "${dll,,}" in
    kernel32.dll | msvcrt.dll) ;;
    *) fail "imports from $dll" ;;
    esac
done < <(awk '/DLL Name:/ { print $3 }' "$headers")

kernel32=$(imports_from KERNEL32.dll)
msvcrt=$(imports_from msvcrt.dll)

# Every platform service the system calls, by name, from KERNEL32: the
# mount-point services bound at load time, and for the label step the module
# functions that find GetVolumeInformationA and the random source at run time,
# the Windows directory for the boot-disk guard (the mount-point walk
# calls GetVolumeInformationA directly too).
for name in GetVersion GetLastError CreateFileA DeviceIoControl CloseHandle QueryDosDeviceA \
    FindFirstVolumeMountPointA FindNextVolumeMountPointA FindVolumeMountPointClose \
    GetVolumeNameForVolumeMountPointA GetVolumeInformationA LoadLibraryA GetProcAddress \
    FreeLibrary GetSystemWindowsDirectoryA; do
    grep -qx "$name" <<< "$kernel32" || fail "KERNEL32.dll does not supply $name"
done

# The older generation's pipe comes from the C runtime.
for name in _popen _pclose; do
    grep -qx "$name" <<< "$msvcrt" || fail "msvcrt.dll does not supply $name"
done

# Formatting is MinGW-w64's C99 stdio, linked in: the C runtime's own
# vsnprintf family reports truncation differently.
for name in printf vprintf sprintf vsprintf snprintf vsnprintf _snprintf _vsnprintf; do
    if grep -qx "$name" <<< "$msvcrt"; then
        fail "msvcrt.dll supplies $name: the C99 stdio is not in use"
    fi
done

# 200 KB at most (the stripped release build is about a quarter of that).
limit=204800
size=$(stat -c %s "$exe")
if [ "$size" -gt "$limit" ]; then
    fail "the executable has $size bytes, more than $limit"
fi

# The manifest is resource 1 of type RT_MANIFEST (24), embedded whole.
if grep -A2 'Entry: ID: 0x000018' "$headers" | grep -q 'Entry: ID: 0x000001,'; then
    while IFS= read -r line; do
        if ! grep -aqF -- "$line" "$exe"; then
            fail "the manifest resource lacks the line: $line"
            break
        fi
    done < "$manifest"
else
    fail "no RT_MANIFEST resource 1"
fi

if [ "$failures" -ne 0 ]; then
    echo "executable: $failures failed"
    exit 1
fi
echo "executable: imports, manifest and size ($size bytes) as designed"
