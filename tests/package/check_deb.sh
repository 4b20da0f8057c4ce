#!/usr/bin/env bash
# Checks a built package: its files, its Qt runtime dependencies, the desktop
# files' validity, and that both programs start from the unpacked paths.
# For a package of another architecture, RUN names the emulator that starts its
# programs (with the target's libraries installed through multiarch):
#   RUN=qemu-aarch64 tests/package/check_deb.sh DEB
set -euo pipefail
read -r -a run <<<"${RUN:-}"
deb=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "package check: $*" >&2; exit 1; }

listing=$(dpkg-deb -c "$deb")
files=$(awk '{print $NF}' <<<"$listing")
for path in ./usr/bin/timingcalc ./usr/bin/timingcalc-cli \
            ./usr/share/applications/io.github.timingcalc.desktop \
            ./usr/share/icons/hicolor/scalable/apps/io.github.timingcalc.svg \
            ./usr/share/metainfo/io.github.timingcalc.metainfo.xml \
            ./usr/share/doc/timingcalc/examples/CDI.asm \
            ./usr/share/timingcalc/Help.chm; do
  grep -qx -- "$path" <<<"$files" || fail "missing $path"
done
# The program reads the help from its data folder; the docs folder only links to it.
grep -q ' ./usr/share/doc/timingcalc/Help.chm -> ../../timingcalc/Help.chm$' <<<"$listing" ||
  fail "/usr/share/doc/timingcalc/Help.chm does not link to /usr/share/timingcalc/Help.chm"
recommends=$(dpkg-deb -f "$deb" Recommends)
grep -q '\bxchm\b' <<<"$recommends" || fail "Recommends lacks xchm, the viewer of Help.chm"
grep -q '\bqt6-translations-l10n\b' <<<"$recommends" || fail "Recommends lacks the open dialog's translations"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6charts6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

desktop-file-validate "$top/data/io.github.timingcalc.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$top/data/io.github.timingcalc.metainfo.xml" >/dev/null || fail "metainfo invalid"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
# Every page of the help in both languages, and its contents.
pages=$(chmls --name-only list "$root/usr/share/timingcalc/Help.chm" 2>/dev/null)
for page in /index.html /en/session.html /ru/session.html /en/safety.html /ru/safety.html /toc.hhc; do
  grep -qx -- "$page" <<<"$pages" || fail "Help.chm lacks $page"
done
"${run[@]}" "$root/usr/bin/timingcalc-cli" --help >/dev/null || fail "timingcalc-cli does not start"
"${run[@]}" "$root/usr/bin/timingcalc-cli" show "$root/usr/share/doc/timingcalc/examples/CDI.asm" >/dev/null ||
  fail "timingcalc-cli cannot read the packaged sample"
QT_QPA_PLATFORM=offscreen "${run[@]}" "$root/usr/bin/timingcalc" &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || fail "timingcalc exited at start"
kill "$pid"
wait "$pid" 2>/dev/null || true
echo "package check: $(basename "$deb") ok"
