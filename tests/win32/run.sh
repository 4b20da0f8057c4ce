#!/bin/sh
# Runs a Win32 program under wine on a virtual X display of its own, big enough
# for the window at 150 % (tests/win32, scripts/screenshot windows):
#   tests/win32/run.sh PROGRAM.exe [ARGUMENTS...]
# In a wine prefix of its own, whose server ends with the display: wine's
# desktop process stays bound to the display it started on, and a later run
# on another display would find it gone.
set -e
wine_run="$(cd "$(dirname "$0")/../../cmake" && pwd)/wine-run"
TIMINGCALC_WINEPREFIX="${TIMINGCALC_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/timingcalc-wine}-display"
export TIMINGCALC_WINEPREFIX
# Without a window manager, wine waits two seconds for one as each managed
# window closes: the program's windows are wine's own to manage.
exec xvfb-run -a -s "-screen 0 1600x1200x24" sh -c '
    wine_run=$1
    shift
    "$wine_run" reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$1")\\X11 Driver" /v Managed /d N /f \
        >/dev/null 2>&1 || true
    status=0
    "$wine_run" "$@" || status=$?
    WINEPREFIX=$TIMINGCALC_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
    WINEPREFIX=$TIMINGCALC_WINEPREFIX /usr/lib/wine/wineserver -w 2>/dev/null || true
    exit $status' sh "$wine_run" "$@"
