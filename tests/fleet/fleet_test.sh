#!/usr/bin/env bash
# The fleet playbook (contrib/ansible) on the local hosts of inventory.ini,
# each listing its own simulated machine: its syntax, ansible-lint where it is
# installed, then a run over the whole fleet that fails the hosts whose own
# disks collide, and one that only reports them. The first run's report on
# the control node, as JSON and as text, must equal tests/golden/fleet/ byte
# for byte (with this checkout's tests folder written as TESTS); each run
# must fail exactly the hosts it should, and the host without disksig gets
# it copied on the first run only.
#
# Exits 77 (skipped) while PROGRAM has no "-ld" and answers it with its usage.
#
# Usage: fleet_test.sh PROGRAM
set -euo pipefail

program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
tests=$(dirname "$here")
playbook=$(dirname "$tests")/contrib/ansible/disksig-fleet.yml

if DISKSIG_MACHINE='' "$program" -ld json 2>/dev/null | grep -qx 'Usage:'; then
    echo "$program has no -ld yet: the fleet playbook is not run"
    exit 77
fi
if ! command -v ansible-playbook >/dev/null; then
    echo "ansible-playbook is missing (the test setup installs Debian's ansible)"
    exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
: > ansible.cfg
export ANSIBLE_CONFIG=$scratch/ansible.cfg ANSIBLE_HOME=$scratch/home XDG_CACHE_HOME=$scratch/cache
export ANSIBLE_NOCOLOR=1 ANSIBLE_PIPELINING=1 ANSIBLE_FORKS=7
mkdir epsilon # where that host's disksig is copied
for ((disk = 0; disk <= 256; disk++)); do # one disk more than a listing holds
    printf 'disk %d signature %X size 1T\n' "$disk" $((disk + 1))
done > theta.machine

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! ansible-playbook --syntax-check -i "$here/inventory.ini" "$playbook" > syntax.log 2>&1; then
    cat syntax.log
    fail "ansible-playbook --syntax-check"
fi
if command -v ansible-lint >/dev/null; then
    if ! (cd "$(dirname "$playbook")" && ansible-lint --offline --nocolor "$(basename "$playbook")") > lint.log 2>&1; then
        cat lint.log
        fail "ansible-lint"
    fi
else
    echo "ansible-lint is not installed: the playbook is not linted"
fi

# Each run: disksig_report_only, the hosts it runs on, ansible-playbook's
# exit status, "host:failed" (or "host:unreachable") for every host in its
# recap, how often the copy changed epsilon, and how its report is checked.
#  1. The whole fleet but theta, its report compared with the golden one:
#     gamma fails for its collision, zeta for a refused listing; eta can't be
#     reached, which makes the status 4.
#  2. Only reporting, the host whose own disks collide, the one that had its
#     copy, and theta: gamma passes, epsilon is not copied to again, and
#     theta's first 256 disks are in the report, the one left out is counted,
#     and theta fails all the same.
runs=(
    "false|all:!theta|4|alpha:0 beta:0 delta:0 epsilon:0 eta:unreachable gamma:1 zeta:1|1|golden"
    "true|gamma,epsilon,theta|2|epsilon:0 gamma:0 theta:1|0|theta"
)
for run in "${runs[@]}"; do
    IFS='|' read -r report_only limit want_status want_failed want_copied compare <<< "$run"
    rm -f report.json report.txt
    status=0
    ansible-playbook -i "$here/inventory.ini" "$playbook" --limit "$limit" -e "fleet_program=$program" \
        -e "fleet_scratch=$scratch" -e "disksig_report_only=$report_only" \
        -e disksig_report_json=report.json -e disksig_report_text=report.txt > run.log 2>&1 || status=$?
    recap=$(sed -n '/^PLAY RECAP/,$p' run.log)
    failed=$(awk '/ : ok=/ {
        f = $0; sub(/.*failed=/, "", f); u = $0; sub(/.*unreachable=/, "", u)
        printf "%s%s:%s", sep, $1, (u + 0 > 0 ? "unreachable" : f + 0); sep = " " }' <<< "$recap")
    copied=$(awk '$1 == "epsilon" { c = $0; sub(/.*changed=/, "", c); print c + 0 }' <<< "$recap")
    problems=()
    [ "$status" -eq "$want_status" ] || problems+=("ansible-playbook exited $status, not $want_status")
    [ "$failed" = "$want_failed" ] || problems+=("failed hosts: $failed, not $want_failed")
    [ "$copied" = "$want_copied" ] || problems+=("epsilon changed $copied times, not $want_copied")
    for report in report.json report.txt; do
        if [ ! -f "$report" ]; then
            problems+=("no $report")
        elif [ "$compare" = theta ] && [ "$report" = report.txt ]; then
            grep -Eq '^theta +- +NOT LISTED: 1 more disks; their collisions are not checked$' report.txt \
                || problems+=("report.txt has no line for theta's disk left out")
        elif [ "$compare" = theta ]; then
            jq -e '(.hosts | map(select(.host == "theta"))) == [{"host": "theta", "status": 122, "disks": 256,
                "collisions": 0, "unlisted": 1, "error": null}] and ([.disks[] | select(.host == "theta")] | length) == 256' \
                report.json > /dev/null || problems+=("report.json: $(jq -c .hosts report.json)")
        elif [ "$compare" = golden ]; then
            content=$(cat "$report" && echo .) # the dot keeps the last line break
            content=${content%.}
            printf '%s' "${content//"$tests"/TESTS}" > "normalized-$report"
            diff -u "$tests/golden/fleet/$report" "normalized-$report" > report.diff \
                || problems+=("$report differs from the golden one: $(cat report.diff)")
        fi
    done
    if [ ${#problems[@]} -gt 0 ]; then
        cat run.log
        printf '%s\n' "${problems[@]}"
        fail "run on $limit with disksig_report_only=$report_only"
    else
        echo "ok: run on $limit with disksig_report_only=$report_only"
    fi
done

[ "$failures" -eq 0 ] || exit 1
echo "The fleet playbook passed"
