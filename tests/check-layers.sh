#!/usr/bin/env bash
# Fails when a file of the program includes from a folder that is not below its
# own: app -> options -> display -> sources, settings -> common, resources.
set -euo pipefail
cd "$(dirname "$0")/.."
rank() {
    case $1 in
    common | resources) echo 0 ;;
    sources | settings) echo 1 ;;
    display) echo 2 ;;
    options) echo 3 ;;
    app) echo 4 ;;
    *) echo -1 ;;
    esac
}
status=0
for file in {common,sources,settings,display,options,app}/*.{h,cpp}; do
    folder=${file%%/*}
    while read -r included; do
        target=${included%%/*}
        if [ "$target" != "$folder" ] && [ "$(rank "$target")" -ge "$(rank "$folder")" ]; then
            echo "$file includes $included: $target is not below $folder"
            status=1
        fi
    done < <(sed -n 's/^#include "\([a-z]*\/[^"]*\)".*/\1/p' "$file")
done
exit $status
