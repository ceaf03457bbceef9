#!/usr/bin/env bash
# The include rule: the system's folders point one way, down to platform/.
#
#   platform/          includes only platform/
#   base/              includes only platform/ and base/
#   a command folder   includes only platform/, base/ and itself
#   app/               includes what it runs
#
# Reads every #include "..." line of the .h and .cpp files in those folders
# under the root (the repository by default), names each line that breaks
# the rule and exits 1 if any does. An include without a folder names a file
# of the including folder.
#
# Usage: include_rule.sh [ROOT]
set -euo pipefail

root=${1:-$(dirname "$0")/..}

# The command folders. A new command's folder is one more word here.
commands="signature report disks identifier"

# The folders that a file of the folder may include.
allowed_folders() {
    case "$1" in
        platform) echo "platform" ;;
        base) echo "platform base" ;;
        *) echo "platform base $1" ;;
    esac
}

broken=0

check_folder() {
    local folder=$1 allowed hit file rest line text target included
    allowed=" $(allowed_folders "$folder") "
    while IFS= read -r hit; do
        file=${hit%%:*}
        rest=${hit#*:}
        line=${rest%%:*}
        text=${rest#*:}
        target=$text
        if [[ "$text" =~ \"([^\"]*)\" ]]; then
            target=${BASH_REMATCH[1]}
        fi
        case "$target" in
            */*) included=${target%%/*} ;;
            *) included=$folder ;;
        esac
        if [[ "$allowed" != *" $included "* ]]; then
            echo "$file:$line: $folder/ may not include \"$target\"" \
                 "(allowed: $(allowed_folders "$folder"))"
            broken=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' \
                  --include='*.h' --include='*.cpp' "$root/$folder" || true)
}

for folder in platform base $commands; do
    if [ ! -d "$root/$folder" ]; then
        echo "$root/$folder: no such folder"
        broken=1
        continue
    fi
    check_folder "$folder"
done
exit $broken
