#!/usr/bin/env bash
# Checks the source tree's rules that the compiler does not:
#   format        every C++ file is as clang-format (the repository's .clang-format) leaves it;
#   dependencies  each src/ folder includes only the folders it may depend on (its README
#                 says which), the plain-C++ folders include no Qt, and nothing under src/
#                 includes anything from tools/ or tests/.
# Usage: check-style.sh format|dependencies|all   (run from anywhere)
set -euo pipefail
cd "$(dirname "$0")/.."

check_format() {
    local files
    mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' \
                                      'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
    clang-format --dry-run -Werror "${files[@]}"
    echo "format: ${#files[@]} files clean"
}

# Folders each src/ folder may include (its own included), and whether it may use Qt.
declare -A allowed=(
    [protocol]="protocol"
    [sensor]="sensor"
    [pipeline]="pipeline sensor"
    [analysis]="analysis pipeline"
    [link]="link protocol pipeline sensor"
    [serial]="serial"
    [timing]="timing"
    [sim]="sim sensor protocol"
    [ui]="ui analysis link protocol pipeline sensor serial timing sim"
    [app]="app ui analysis link protocol pipeline sensor serial timing sim"
)
declare -A qt=([serial]=1 [timing]=1 [ui]=1 [app]=1)

check_dependencies() {
    local bad=0 folder file inc target
    for folder in "${!allowed[@]}"; do
        while IFS= read -r file; do
            while IFS= read -r inc; do
                target=${inc%%/*}
                if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
                    echo "$file: includes \"$inc\" (src/$folder may use: ${allowed[$folder]})"
                    bad=1
                fi
            done < <(grep -oE '^#include "[^"]+"' "$file" | sed -E 's/#include "(.*)"/\1/')
            if [[ -z "${qt[$folder]:-}" ]] && grep -qE '^#include <Q' "$file"; then
                echo "$file: includes Qt (src/$folder is plain C++)"
                bad=1
            fi
        done < <(git ls-files "src/$folder/*.cpp" "src/$folder/*.h")
    done
    [ "$bad" -eq 0 ] && echo "dependencies: every src/ folder keeps to its own"
    return "$bad"
}

case "${1:-all}" in
    format) check_format ;;
    dependencies) check_dependencies ;;
    all) check_format && check_dependencies ;;
    *) echo "usage: $0 format|dependencies|all" >&2; exit 2 ;;
esac
