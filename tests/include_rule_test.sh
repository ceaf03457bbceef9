#!/usr/bin/env bash
# The include-rule check itself: each row puts one include line into one file
# of a small tree that keeps the rule, and says whether the check must pass.
#
# Usage: include_rule_test.sh CHECK
set -euo pipefail

check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

# file | include line | expected: pass or fail
cases='
base/text.cpp|#include "platform/platform.h"|pass
base/disk_device.h|#include "base/text.h"|pass
base/text.cpp|#include "text.h"|pass
signature/disk_signature.cpp|#include "base/disk_device.h"|pass
report/mount_points.cpp|#include "report/volume_chain.h"|pass
app/disksig.cpp|#include "report/display_signatures.h"|pass
platform/sim/sim.h|#include "platform/sim/machine.h"|pass
report/mount_points.cpp|#include <stdio.h>|pass
disks/disk_survey.cpp|#include "base/whole_disk.h"|pass
base/text.cpp|#include "app/disksig.h"|fail
base/error_text.h|#include "report/working_text.h"|fail
signature/disk_signature.cpp|#include "report/working_text.h"|fail
report/mount_points.h|#include "signature/disk_signature.h"|fail
report/label_line.h|  #  include "app/disksig.h"  // spaced|fail
report/mount_points.cpp|#include "../app/disksig.h"|fail
platform/sim/sim.h|#include "base/text.h"|fail
disks/listing.h|#include "report/working_text.h"|fail
identifier/new_identifier.cpp|#include "base/random_source.h"|pass
identifier/other_disks.cpp|#include "disks/disk_survey.h"|fail
'

failures=0
while IFS='|' read -r file include expected; do
    [ -n "$file" ] || continue
    rm -rf "$tree"/*
    mkdir -p "$tree"/{platform/sim,base,signature,report,disks,identifier,app}
    echo '#include "platform/platform.h"' > "$tree/report/clean.cpp"
    echo "$include" >> "$tree/$file"
    if bash "$check" "$tree" > "$tree.log" 2>&1; then actual=pass; else actual=fail; fi
    if [ "$actual" != "$expected" ]; then
        echo "$file with '$include': expected $expected, got $actual"
        cat "$tree.log"
        failures=$((failures + 1))
    fi
    rm -f "$tree.log"
done <<<"$cases"

# A command folder that is gone is a broken rule, not a folder with nothing
# to check.
rm -rf "$tree"/*
mkdir -p "$tree"/{platform,base,signature}
if bash "$check" "$tree" > /dev/null 2>&1; then
    echo "a missing command folder passed the check"
    failures=$((failures + 1))
fi
exit $((failures > 0))
