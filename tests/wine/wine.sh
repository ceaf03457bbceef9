#!/usr/bin/env bash
# The Windows executable under Wine, on a prefix shaped so that every answer
# comes from Wine itself and none from the host.
#
#   wine.sh setup PROGRAM...  makes the prefix when it is missing, shapes its
#                             drives and installs each program once for every
#                             Windows version that the cases use
#   wine.sh cases GROUP       runs one group of cases: banner, signature,
#                             display, disks or probe
#   wine.sh end               ends the prefix's wineserver
#
# WINEPREFIX names the prefix (in the build tree) and DISKSIG_USAGE the file
# of the expected usage (tests/golden/usage.txt); CTest sets both.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX names the prefix}"
export WINEDEBUG=-all

# C:\disksig, the current folder of every run: the prefix has no drive that
# reaches the host's files.
programs=$WINEPREFIX/drive_c/disksig
fixture=$WINEPREFIX/disksig-fixture
versions=(nt40 win2k winxp win2003 win7 win10)

make_prefix() {
    if [ -f "$WINEPREFIX/.disksig-ready" ]; then
        return
    fi
    # A half-made prefix of ours is made again; any other is left alone.
    if [ -e "$WINEPREFIX" ] && [ ! -f "$WINEPREFIX/.disksig-prefix" ]; then
        echo "$WINEPREFIX exists and is not a prefix of these tests" >&2
        exit 1
    fi
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    touch "$WINEPREFIX/.disksig-prefix"
    # A console program needs neither .NET nor the browser engine, and their
    # installers would look for a network.
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i
    wineserver -w
    touch "$WINEPREFIX/.disksig-ready"
}

# The drive letters that "-ds" sees:
#   C:  the prefix's drive_c, a hard-disk volume on physicaldrive0
#   D:  a folder whose device is a folder as well: opening \\.\D: is refused
#   E:  a CD-ROM drive (see the registry below): not a hard disk
#   J:  a folder on a 1 MiB image file, which Wine makes a second disk
# Every other letter goes: Z: (the host's root) and whatever the host mounts.
shape_drives() {
    local devices=$WINEPREFIX/dosdevices
    find "$devices" -maxdepth 1 -name '?:*' ! -name 'c:' -exec rm -f {} +
    mkdir -p "$fixture/d" "$fixture/e" "$fixture/j"
    truncate -s 1M "$fixture/j.img"
    ln -s "$fixture/d" "$devices/d:"
    ln -s "$fixture/d" "$devices/d::"
    ln -s "$fixture/e" "$devices/e:"
    ln -s "$fixture/j" "$devices/j:"
    ln -s "$fixture/j.img" "$devices/j::"
}

# Each program is installed as NAME-VERSION.exe, and Wine reports VERSION to
# that name alone (AppDefaults), so that cases of different versions can run
# at the same time.
install_programs() {
    rm -rf "$programs"
    mkdir -p "$programs"
    local registry=$programs/setup.reg
    printf 'REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n\r\n' > "$registry"
    printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n"e:"="cdrom"\r\n\r\n' >> "$registry"
    local program version name
    for program in "$@"; do
        for version in "${versions[@]}"; do
            name=$(basename "$program" .exe)-$version.exe
            cp "$program" "$programs/$name"
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s]\r\n"Version"="%s"\r\n\r\n' \
                "$name" "$version" >> "$registry"
        done
    done
    (cd "$programs" && wine reg import setup.reg < /dev/null)
}

setup() {
    make_prefix
    wineserver -k 2> /dev/null || true
    shape_drives
    install_programs "$@"
    # The next run starts Wine's services afresh, which read the drives then.
    wineserver -w
}

passed=0
failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# check NAME PROGRAM STATUS EXPECTED [ARGUMENT...]
# Runs C:\disksig\PROGRAM.exe with the arguments, then compares its exit
# status with STATUS and its standard output, byte for byte, with EXPECTED.
# EXPECTED is written with printf's escapes (\t, \\) and \n for each line
# break, which a Windows program writes as CR LF.
check() {
    local name=$1 program=$2 status=$3 expected=$4
    shift 4
    printf '%b' "${expected//\\n/\\r\\n}" > "$work/expected"
    run_and_compare "$name" "$program" "$status" "$@"
}

# run_and_compare NAME PROGRAM STATUS [ARGUMENT...]
# As check, with the expected output already in $work/expected.
run_and_compare() {
    local name=$1 program=$2 status=$3
    shift 3
    local actual=0
    (cd "$programs" && wine "$program.exe" "$@" < /dev/null > "$work/output" 2> "$work/errors") ||
        actual=$?
    if [ "$actual" = "$status" ] && cmp -s "$work/expected" "$work/output"; then
        passed=$((passed + 1))
        return
    fi
    failed=$((failed + 1))
    echo "FAILED $name: exit status $actual (expected $status); output (<) against expected (>):"
    diff <(cat -A "$work/output") <(cat -A "$work/expected") || true
    sed 's/^/  stderr: /' "$work/errors"
}

# The banner, the platform line and the usage, for each version that Wine
# can report. Only 5.x has names of its own. The expected text is the
# simulator tests' own (DISKSIG_USAGE names it: Windows 2000's platform
# line, LF line breaks), with the version's platform line and CR LF.
cases_banner() {
    : "${DISKSIG_USAGE:?DISKSIG_USAGE names the expected usage}"
    local line='Current Platform: Windows 2000'
    grep -qxF "$line" "$DISKSIG_USAGE" || {
        echo "FAILED banner: $DISKSIG_USAGE has no line '$line'"
        failed=$((failed + 1))
        return
    }
    local version platform
    while IFS='|' read -r version platform; do
        awk -v line="$line" -v platform="Current Platform: $platform" \
            '{ printf "%s\r\n", ($0 == line ? platform : $0) }' "$DISKSIG_USAGE" > "$work/expected"
        run_and_compare "banner-$version" "disksig-$version" 0
    done <<'TABLE'
nt40|Windows NT 4.0
win2k|Windows 2000
winxp|Unrecognized Windows Version 5.1
win2003|Windows .Net
win7|Windows NT 4.0
win10|Windows NT 4.0
TABLE
}

# "-es" and "-ws" with Wine's own error codes: no layout can be read from any
# disk (50), physicaldrive1 and "\\.\(null)" don't exist (2), D:'s device is
# refused (5). The exit status is the result code's lowest byte: -1 is 255.
cases_signature() {
    local program=disksig-win10
    local absent='Device may not exist:  Error 2: ERROR_FILE_NOT_FOUND\n'
    local noLayout='Could not get device information:  Error 50: ERROR_NOT_SUPPORTED\n'
    local longName
    longName=$(printf 'physicaldrive%0287d' 1)
    check erase-without-device "$program" 2 "ERASE SIGNATURE failed: $absent" -es
    check erase-absent-disk "$program" 2 "ERASE SIGNATURE failed: $absent" -es physicaldrive1
    check erase-refused-device "$program" 5 \
        'ERASE SIGNATURE failed: Device may not exist:  Error 5: ERROR_ACCESS_DENIED\n' -es d:
    check erase-no-layout "$program" 50 "ERASE SIGNATURE: $noLayout" -es physicaldrive0
    check erase-long-device "$program" 123 \
        'ERASE SIGNATURE failed: Device may not exist:  Error 123: ERROR_INVALID_NAME\n' -es "$longName"
    check write-no-layout "$program" 50 "WRITE SIGNATURE: $noLayout" -ws physicaldrive0 1A2B3C4D
    check write-absent-disk "$program" 2 "WRITE SIGNATURE failed: $absent" -ws physicaldrive1 1A2B3C4D
    check write-without-signature "$program" 87 \
        'WRITE SIGNATURE Failed:  Error 87: ERROR_INVALID_PARAMETER\n' -ws physicaldrive1
    check write-usage-order "$program" 255 \
        'WRITE SIGNATURE: New signature needs to be 8 digits in length.\n' -ws 1A2B3C4D physicaldrive1
    check write-no-digit "$program" 13 \
        'WRITE SIGNATURE Failed:  Error 13: ERROR_INVALID_DATA\n' -ws physicaldrive0 ZZZZZZZZ
}

# "-ds" over the shaped drives: C: and J: on two disks whose layouts can't
# be read, D: refused, E: left out, in letter order. The layout fails before
# the label step, so both generations give the same report.
cases_display() {
    local noLayout='\tDISPLAY SIGNATURE: Could not get device information:  Error 50: ERROR_NOT_SUPPORTED\n'
    local report="C:\\tphysicaldrive0$noLayout"
    report+='D:Error opening \\\\.\\D:. Error: 5:  Error 5: ERROR_ACCESS_DENIED\n'
    report+="J:\\tphysicaldrive1$noLayout"
    check display-win10 disksig-win10 0 "$report" -ds
    check display-nt40 disksig-nt40 0 "$report" -ds
}

# "-ld" lists the one disk Wine names, PhysicalDrive0, whose layout, length
# and attributes all fail with 50: the layout failure stands in for its style
# and identifier, size and state are unknown, C: is on it. J:'s disk is not
# among Wine's disk names and is left out. The JSON document parses as it
# comes (CR LF is white space to JSON) and both exit with 0: no collision.
cases_disks() {
    local program=disksig-win10
    local table='DISK            SIZE  STATE  LETTERS  STYLE  IDENTIFIER\n'
    table+='physicaldrive0     ?  ?      C:       layout: Error 50: ERROR_NOT_SUPPORTED\n'
    local json='{"disks": [\n'
    json+='  {"number": 0, "device": "physicaldrive0", "style": null, "signature": null, "guid": null, '
    json+='"size": null, "offline": null, "readonly": null, "letters": ["C:"], '
    json+='"error": {"step": "layout", "code": 50, "text": " Error 50: ERROR_NOT_SUPPORTED"}}\n'
    json+=' ],\n "collisions": [],\n "unlisted": 0}\n'
    check disks-table "$program" 0 "$table" -ld
    check disks-older disksig-win2k 0 "$table" -ld
    check disks-operand "$program" 87 \
        'LIST DISKS: Unknown operand "xml"; the only operand accepted is json.\n' -ld xml
    check disks-json "$program" 0 "$json" -LD Json
    if jq -e '.disks[0].error.code == 50 and .collisions == []' "$work/output" > /dev/null; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED disks-json-parses: jq does not read the document as it should"
    fi
}

# Steps that no run reaches under Wine, called one by one (probe.cpp). The
# manifest's supportedOS entries let Wine report 10.0, not 6.2. The label of
# C: (NTFS, no label) comes through the entry point looked up at run time on
# the newer generation, and from the "dir" header through the command
# interpreter's pipe on the older; J:'s image has no file system, so no label
# line. Wine has no mount points to enumerate.
cases_probe() {
    check manifest-version disksig_probe-win10 0 '10.0\n' version
    check label-lookup disksig_probe-win10 0 '\tVolume Name = .\n' label C
    check label-no-file-system disksig_probe-win10 0 '' label J
    check label-dir-header disksig_probe-nt40 0 '\tVolume in drive C has no label.\n' label C
    check mount-walk disksig_probe-win10 0 '' mounts C
}

# "-us" and "-wg" with Wine's codes: C: (the Windows directory) is on disk 0,
# so the boot-disk guard refuses PhysicalDrive0 before any layout is read;
# with force, the layout read fails with 50. PhysicalDrive1 doesn't exist.
# The random source is looked up in the real ADVAPI32 (probe random).
cases_identifier() {
    local program=disksig-win10
    local refused='UNIQUE IDENTIFIER refused: physicaldrive0 holds the Windows directory; a new identifier '
    refused+='makes its next boot fail with 0xc000000e.\n'
    refused+='The boot configuration names this disk by its identifier; repair it with:\n'
    refused+='  bcdedit /set {bootmgr} device partition=C:\n'
    refused+='  bcdedit /set {default} device partition=C:\n'
    refused+='  bcdedit /set {default} osdevice partition=C:\n'
    refused+='Nothing was written; add force to change it and then run those commands.\n'
    local noLayout='could not read the drive layout: Error 50: ERROR_NOT_SUPPORTED\n'
    check unique-boot-guard "$program" 5 "$refused" -us physicaldrive0
    check unique-force-no-layout "$program" 50 "UNIQUE IDENTIFIER failed: $noLayout" -us physicaldrive0 force
    check unique-absent-disk "$program" 2 \
        'UNIQUE IDENTIFIER failed: could not open the disk: Error 2: ERROR_FILE_NOT_FOUND\n' -us physicaldrive1
    check unique-no-device "$program" 87 'UNIQUE IDENTIFIER failed: no device given (physicaldriveN).\n' -us
    check guid-force-no-layout "$program" 50 "WRITE GUID failed: $noLayout" \
        -wg physicaldrive0 1B2C3D4E-0000-4000-8000-00000000AAAB force
    check guid-nil "$program" 13 'WRITE GUID failed: "00000000-0000-0000-0000-000000000000" is not a disk GUID '\
'(32 hexadecimal digits as XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX, not all zero).\n' \
        -wg physicaldrive0 00000000-0000-0000-0000-000000000000
    check random-lookup disksig_probe-win10 0 'drawn\n' random
    check system-disk disksig_probe-win10 0 '0\n' system-disk
}

run_cases() {
    local group=$1
    "cases_$group"
    echo "$group: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

case "${1:-}" in
setup) shift && setup "$@" ;;
cases) run_cases "$2" ;;
end) wineserver -k 2> /dev/null || true ;;
*)
    echo "usage: wine.sh setup PROGRAM... | cases GROUP | end" >&2
    exit 2
    ;;
esac
