#!/usr/bin/env bash
# Checks the Windows packages under wine, in a wine prefix of their own beside the
# MSI: the zip's files; an older version installed silently, then this one over
# it, leaving one entry in Apps & features with this version, which the older
# one cannot replace; the installed files and the Start-menu entry; the CLI
# showing the installed sample; the window, started from the Start-menu entry,
# showing its caption; the installed Help.chm opening in hh.exe; then a silent
# uninstall leaving nothing of ours; and the entry's Russian name on a Russian system.
#   tests/package/check_windows.sh MSI [ZIP]
set -euo pipefail
msi=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
zip=${2:-}
top=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "windows package check: $*" >&2; exit 1; }

# The window and the help need a display: the whole check runs on a virtual one.
if [ -z "${TIMINGCALC_CHECK_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" env TIMINGCALC_CHECK_DISPLAY=1 bash "$0" "$@"
fi

if [ -n "$zip" ]; then
  listed=$(unzip -Z1 "$zip")
  for file in timingcalc.exe timingcalc-cli.exe Help.chm README.md CDI.asm; do
    grep -q "/$file\$" <<<"$listed" || fail "the zip lacks $file"
  done
fi

export WINEPREFIX="${msi%.msi}-wine"
export WINEDEBUG=-all
# No menu entries in the user's own desktop, no prompt to download Gecko or Mono.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
wine=/usr/lib/wine/wine64
rm -rf "$WINEPREFIX"
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
"$wine" wineboot --init >/dev/null 2>&1

drive=$WINEPREFIX/drive_c
folder="$drive/Program Files/timingcalc"
# The entry is named in the system's language, as the Linux menu names it.
desktop="$top/data/io.github.timingcalc.desktop"
entry="$(sed -n 's/^Name=//p' "$desktop").lnk"
entry_ru="$(sed -n 's/^Name\[ru\]=//p' "$desktop").lnk"
# Our entries in the menu for all users (ProgramData) or in a user's own.
menu_entries() {
  find "$drive/ProgramData" "$drive/users" \( -path "*/Start Menu/Programs/$entry" -o \
    -path "*/Start Menu/Programs/$entry_ru" \) 2>/dev/null
}
win_msi=$("$wine" winepath -w "$msi" 2>/dev/null)
version=$(msiinfo export "$msi" Property | tr -d '\r' | awk '$1 == "ProductVersion" {print $2}')

# Apps & features: the name and version of each installed product of ours.
installed() {
  "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ {name = ""} $1 == "DisplayName" {name = $3} $1 == "DisplayVersion" && name == "timingcalc" {print name, $3}'
}

# An older version first: this MSI's files, packaged as version 0.1 by the same source.
older="${msi%.msi}-older.msi"
files=$(mktemp -d)
msiextract -C "$files" "$msi" >/dev/null
"$top/cmake/windows-msi" "$files/timingcalc" 0.1 "$older" 2>/dev/null
rm -rf "$files"
win_older=$("$wine" winepath -w "$older" 2>/dev/null)
"$wine" msiexec /i "$win_older" /qn || fail "the older version does not install"
[ "$(installed)" = "timingcalc 0.1" ] || fail "the older version is not in Apps & features: $(installed)"

"$wine" msiexec /i "$win_msi" /qn || fail "msiexec /i failed"
[ "$(installed)" = "timingcalc $version" ] || fail "Apps & features should list timingcalc $version once, lists: $(installed)"
# The older one again now is refused, and changes nothing.
! "$wine" msiexec /i "$win_older" /qn || fail "the older version installs over the newer"
[ "$(installed)" = "timingcalc $version" ] || fail "a refused downgrade left: $(installed)"
rm -f "$older"
for file in timingcalc.exe timingcalc-cli.exe Help.chm README.md CDI.asm; do
  [ -f "$folder/$file" ] || fail "not installed: $file"
done
# Per machine on Windows; wine's installer puts the entry into the user's menu.
lnk=$(menu_entries)
[ "$(basename "$lnk")" = "$entry" ] || fail "the Start-menu entries should be $entry alone, are: ${lnk:-none}"
link=$(strings -a "$lnk"; strings -a -e l "$lnk")
grep -qF 'C:\Program Files\timingcalc\timingcalc.exe' <<<"$link" || fail "the Start-menu entry does not start timingcalc.exe"
# Its icon is the window's, which the installer keeps under its product code.
grep -qE '^.?C:\\windows\\Installer\\\{[-0-9A-F]+\}\\timingcalc\.exe$' <<<"$link" ||
  fail "the Start-menu entry lacks the window's icon"

shown=$(cd "$folder" && "$wine" timingcalc-cli.exe show CDI.asm 2>&1) || fail "the installed CLI cannot show the sample: $shown"
grep -q '^ *460 ' <<<"$shown" || fail "the installed CLI shows no table: $shown"

# run_window TITLE_REGEX PROGRAM COMMAND...: its window shows with its title, then
# closes when asked as a user closes it (taskkill without /f sends WM_CLOSE).
run_window() {
  local title=$1 program=$2 pid status=0
  shift 2
  timeout 60 "$@" >/dev/null 2>&1 &
  pid=$!
  timeout 60 xdotool search --sync --onlyvisible --name "$title" >/dev/null || fail "no window named $title"
  "$wine" taskkill /im "$program" >/dev/null 2>&1 || fail "cannot ask $program to close"
  wait "$pid" || status=$?
  [ "$status" -ne 124 ] || fail "$program did not close"
}
run_window 'Перерасчет угла опережения' timingcalc.exe "$wine" start /wait /unix "$lnk"
# The title of the help is the one its project gives it.
run_window '^timingcalc$' hh.exe "$wine" hh.exe 'C:\Program Files\timingcalc\Help.chm'

"$wine" msiexec /x "$win_msi" /qn || fail "msiexec /x failed"
[ -z "$(installed)" ] || fail "still in Apps & features after the uninstall: $(installed)"
[ ! -e "$folder" ] || fail "left behind: $(ls -A "$folder")"
[ -z "$(menu_entries)" ] || fail "the Start-menu entry is left: $(menu_entries)"

# On a Russian system the entry has the Russian name, and an uninstall on a system
# that has changed its language since still removes it.
locales=$(mktemp -d)
localedef -i ru_RU -f UTF-8 "$locales/ru_RU.UTF-8" || fail "cannot make the Russian locale (package locales)"
LOCPATH=$locales LC_ALL=ru_RU.UTF-8 "$wine" msiexec /i "$win_msi" /qn || fail "msiexec /i failed on a Russian system"
lnk=$(menu_entries)
[ "$(basename "$lnk")" = "$entry_ru" ] || fail "on a Russian system the entry should be $entry_ru alone, is: ${lnk:-none}"
"$wine" msiexec /x "$win_msi" /qn || fail "msiexec /x failed after the Russian install"
rm -rf "$locales"
[ -z "$(menu_entries)" ] || fail "the Russian entry is left: $(menu_entries)"
[ ! -e "$folder" ] || fail "left behind by the Russian install: $(ls -A "$folder")"

# The prefix stays for a look after a failure only: it takes some 700 MB.
/usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
echo "windows package check: $(basename "$msi") ok"
