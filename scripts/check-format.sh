#!/usr/bin/env bash
# Checks that every C++ file of the tree is formatted by .clang-format:
#   scripts/check-format.sh [--fix]
# Names each file that is not and exits 1; with --fix, formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format-14}
if ! command -v "$format" >/dev/null; then
    echo "FAIL: $format is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
mapfile -d '' files < <(find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
if [ "${1:-}" = "--fix" ]; then
    "$format" -i --style=file "${files[@]}"
    exit 0
fi
# One run over every file; each unformatted file is reported as FILE:LINE:COL: error: ….
mapfile -t unformatted < <("$format" --style=file --dry-run -Werror "${files[@]}" 2>&1 \
    | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
if [ ${#unformatted[@]} -gt 0 ]; then
    printf 'not formatted: %s\n' "${unformatted[@]}" >&2
    echo "FAIL: ${#unformatted[@]} of ${#files[@]} files not formatted; run make format" >&2
    exit 1
fi
echo "${#files[@]} files formatted"
