#!/usr/bin/env bash
# Fails when a C++ file is not laid out as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
find app bench common display options resources settings sources tests tools -name '*.cpp' -o -name '*.h' |
    xargs clang-format --dry-run -Werror
