#!/usr/bin/env bash
# Checks of what `cmake --install` puts on a disk, without touching the system: one
# install under a prefix with spaces in its path, one staged for /usr as the Debian
# package has it. Each ctest test runs one check:
#   install-checks.sh install | layout | desktop | metainfo | manpage | icons | starts | texts
# VORN_BUILD_DIR names the build folder, VORN_INSTALL_TEST_DIR the scratch folder.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${VORN_BUILD_DIR:?VORN_BUILD_DIR names the build folder}
scratch=${VORN_INSTALL_TEST_DIR:?VORN_INSTALL_TEST_DIR names a scratch folder}
prefix="$scratch/Vorn prefix/with spaces"
stage="$scratch/stage"
# Every character that the Desktop Entry rules reserve in an Exec line and that CMake can
# install to (it cannot to a path with a backslash).
odd_prefix="$scratch/odd \$HOME %f 'single' \"double\" \`tick\` & more"

fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
ok() { echo "ok: $*"; }
need() { command -v "$1" >/dev/null || fail "$1 is missing (tools/install-deps.sh installs it)"; }

metainfo_of() { find "$1/share/metainfo" -name '*.metainfo.xml' | head -1; }

case ${1:?which check} in
install)
  rm -rf "$scratch"
  mkdir -p "$scratch"
  cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"
  DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$scratch/stage.log"
  cmake --install "$build" --prefix "$odd_prefix" >"$scratch/odd.log"
  ok "installed under '$prefix', under '$odd_prefix' and staged for /usr"
  ;;

layout)
  for top in "$prefix" "$stage/usr"; do
    [ -L "$top/bin/vorn" ] || fail "$top/bin/vorn is not a symbolic link"
    [ "$(readlink "$top/bin/vorn")" = ../lib/vorn/vorn ] ||
      fail "$top/bin/vorn points at $(readlink "$top/bin/vorn"), not ../lib/vorn/vorn"
    [ "$(realpath "$top/bin/vorn")" = "$(realpath "$top/lib/vorn/vorn")" ] || fail "$top/bin/vorn leads nowhere"
    [ -x "$top/lib/vorn/vorn" ] && [ ! -L "$top/lib/vorn/vorn" ] || fail "no program in $top/lib/vorn"
    cmp -s "$top/lib/vorn/API.mdb" "$build/bin/API.mdb" || fail "$top/lib/vorn/API.mdb is not the built catalogue"
    if [ -d "$build/bin/help" ]; then
      diff -r "$build/bin/help" "$top/lib/vorn/help" >/dev/null || fail "$top/lib/vorn/help differs from the built help pages"
    fi
    [ ! -e "$top/bin/API.mdb" ] || fail "the catalogue leaked into $top/bin"
    ok "$top: bin/vorn links to lib/vorn/vorn, with API.mdb and help/ beside it"
  done
  ;;

desktop)
  need desktop-file-validate
  entry="$prefix/share/applications/vorn.desktop"
  desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
  grep -qxF "Exec=\"$prefix/bin/vorn\"" "$entry" || fail "$entry does not start the program by its quoted full path"
  grep -qxF "Exec=\"$prefix/bin/vorn\" -d" "$entry" || fail "$entry has no function-of-the-day action"
  ok "the entry under a prefix with spaces is valid and starts \"$prefix/bin/vorn\""
  entry="$stage/usr/share/applications/vorn.desktop"
  desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
  grep -qx 'Exec=vorn' "$entry" || fail "$entry does not start vorn by name"
  grep -qx 'Exec=vorn -d' "$entry" || fail "$entry does not start vorn -d by name"
  for key in Name 'Name\[fa\]' GenericName 'GenericName\[fa\]' Comment 'Comment\[fa\]' Icon; do
    grep -q "^$key=." "$entry" || fail "$entry has no $key"
  done
  grep -qx 'Categories=Development;' "$entry" || fail "$entry is not under Development"
  grep -qx 'Terminal=false' "$entry" || fail "$entry does not say Terminal=false"
  grep -qx 'Icon=vorn' "$entry" || fail "$entry does not name the icon vorn"
  ok "the entry for /usr is valid, starts vorn by name and carries both languages"
  entry="$odd_prefix/share/applications/vorn.desktop"
  desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
  expected=$(python3 -c 'import json, sys; p = sys.argv[1]; print(json.dumps([p])); print(json.dumps([p, "-d"]))' "$odd_prefix/bin/vorn")
  got=$(python3 "$here/read-exec.py" "$entry")
  [ "$got" = "$expected" ] || fail "the Exec lines of $entry read back as $got, not $expected"
  ok "under a prefix full of reserved characters the Exec lines read back as the program's path"
  ;;

metainfo)
  need appstreamcli
  for top in "$prefix" "$stage/usr"; do
    file=$(metainfo_of "$top")
    [ -n "$file" ] || fail "no metainfo under $top/share/metainfo"
    appstreamcli validate --no-net --pedantic "$file" || fail "$file does not validate"
    id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$file")
    [ "$(basename "$file")" = "$id.metainfo.xml" ] || fail "$file is not named after its id $id"
    grep -q '<launchable type="desktop-id">vorn.desktop</launchable>' "$file" || fail "$file does not launch vorn.desktop"
    grep -q '<screenshot type="default">' "$file" || fail "$file has no screenshot"
  done
  version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
  grep -q "<release version=\"$version\"" "$file" || fail "$file does not describe release $version"
  ok "the metainfo validates, is named after its id and describes release $version"
  ;;

manpage)
  need groff
  page="$stage/usr/share/man/man1/vorn.1.gz"
  [ -f "$page" ] || fail "no $page"
  warnings=$(zcat "$page" | groff -man -ww -z 2>&1) || fail "groff cannot read $page"
  [ -z "$warnings" ] || fail "groff warns about $page: $warnings"
  text=$(zcat "$page" | groff -man -Tutf8 -P-cbou 2>/dev/null)
  for must in '-d' 'API.mdb' 'Kel/Vorn.ini' 'autostart/vorn.desktop' 'XDG_CONFIG_HOME'; do
    grep -qF -- "$must" <<<"$text" || fail "the manual page does not mention $must"
  done
  ok "the manual page reads without warnings and tells of -d, the catalogue, the settings and the autostart entry"
  ;;

icons)
  python3 - "$prefix/share/icons/hicolor" <<'EOF'
import pathlib, struct, sys
theme = pathlib.Path(sys.argv[1])
sizes = [16, 22, 24, 32, 48, 64, 128, 256, 512]
for size in sizes:
    png = theme / f"{size}x{size}" / "apps" / "vorn.png"
    data = png.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"FAIL: {png} is no PNG image")
    width, height = struct.unpack(">II", data[16:24])
    if (width, height) != (size, size):
        sys.exit(f"FAIL: {png} is {width}x{height}, not {size}x{size}")
svg = theme / "scalable" / "apps" / "vorn.svg"
if b"<svg" not in svg.read_bytes():
    sys.exit(f"FAIL: {svg} is no SVG drawing")
EOF
  ok "the icon is installed as SVG and as PNGs of the nine hicolor sizes, each its folder's size"
  ;;

starts)
  # The installed program must find its catalogue beside its real executable, whichever
  # path starts it: the bin/ link, the program itself, the whole tree moved elsewhere, or
  # a link of the user's own in some other folder.
  home="$scratch/home"
  rm -rf "$home" "$scratch/moved"
  mkdir -p "$home/config" "$home/bin" "$scratch/moved"
  mkdir -m 700 "$home/runtime"
  cp -a "$prefix" "$scratch/moved/another place"
  ln -s "$scratch/moved/another place/lib/vorn/vorn" "$home/bin/vorn"
  for program in "$prefix/bin/vorn" "$prefix/lib/vorn/vorn" "$scratch/moved/another place/bin/vorn" "$home/bin/vorn"; do
    out=$(cd "$home" && env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config" \
      XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen VORN_REPORT_READY=1 \
      timeout 60 "$program" 2>"$scratch/starts.err") || fail "$program ended with status $? ($(cat "$scratch/starts.err"))"
    grep -q '^ready' <<<"$out" || fail "$program did not show its main window"
    ok "$program shows its main window"
  done
  ;;

texts)
  # Persian here is written as the program's own texts are: ARABIC LETTER YEH and KEHEH,
  # words parted by plain spaces.
  python3 - "$root/packaging" <<'EOF'
import pathlib, sys
folder = pathlib.Path(sys.argv[1])
wrong = {"\u06cc": "FARSI YEH", "\u0643": "ARABIC KAF", "\u200c": "ZERO WIDTH NON-JOINER"}
seen = 0
for path in sorted(folder.iterdir()):
    if not path.is_file() or path.suffix in (".png", ".svg"):
        continue
    text = path.read_text(encoding="utf-8")
    for number, line in enumerate(text.splitlines(), 1):
        for char, name in wrong.items():
            if char in line:
                sys.exit(f"FAIL: {path.name}:{number} has {name} (U+{ord(char):04X})")
        if any("\u0600" <= c <= "\u06ff" for c in line):
            seen += 1
if seen < 10:
    sys.exit(f"FAIL: only {seen} Persian lines in the packaging files")
EOF
  ok "the Persian of the menu entry and the metainfo uses ARABIC LETTER YEH and KEHEH only"
  ;;

*)
  fail "no check named $1"
  ;;
esac
