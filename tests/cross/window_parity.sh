#!/usr/bin/env bash
# The scenarios of tests/support/window_scenarios.h as the Qt window and the
# Win32 window left them: the file saved, the messages and the grid, byte for byte.
#
#   tests/cross/window_parity.sh QT_RESULTS WIN32_RESULTS
#
# Each folder is written by its window's tests (gui_tests natively, win32_tests under wine).
set -euo pipefail
qt=$1 win32=$2
for dir in "$qt" "$win32"; do
    if [ -z "$(ls -A "$dir" 2>/dev/null)" ]; then
        echo "window parity: no results in $dir: run the window's tests first" >&2
        exit 1
    fi
done
passed=0
failed=0
for file in "$qt"/*; do
    name=$(basename "$file")
    if cmp -s "$file" "$win32/$name"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "window parity: $name differs:" >&2
        diff "$file" "$win32/$name" 2>&1 | head -20 >&2 || true
    fi
done
# A result the Win32 window wrote for a scenario the Qt one did not run is a difference too.
for file in "$win32"/*; do
    [ -e "$qt/$(basename "$file")" ] || { failed=$((failed + 1)); echo "window parity: only Win32: $(basename "$file")" >&2; }
done
echo "window parity: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
