#!/usr/bin/env bash
# Installs a build into a fresh folder and checks what a user and a desktop get:
# the programs, the desktop entry and AppStream description (run through their
# validators), the icon in every size, the manual page and the licence.
#   CheckInstall.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build=$1 version=$2 id=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing: run scripts/setup.sh" >&2; exit 1; }
done

# The programs, each runnable from where it was installed.
for program in korvale korvale-sim korvale-replay; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/korvale" --version) || fail "installed korvale --version failed"
[ "$out" = "korvale $version" ] || fail "installed korvale --version printed '$out', not 'korvale $version'"
"$prefix/bin/korvale-sim" --help >/dev/null || fail "installed korvale-sim --help failed"

# The desktop entry: valid, and naming an installed program and icon.
desktop=$prefix/share/applications/$id.desktop
if [ -f "$desktop" ]; then
  # Errors fail the validator; warnings and hints only print: none of either.
  { said=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$said" ]; } || fail "desktop-file-validate: $said"
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  [ -x "$prefix/bin/${exec_line%% *}" ] || fail "the desktop entry starts '$exec_line', which is not installed"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon '$icon'"
else
  fail "share/applications/$id.desktop is not installed"
fi

# The AppStream description: valid with nothing to remark, and the newest release is
# this version (a version raised in CMakeLists.txt must get a release entry).
metainfo=$prefix/share/metainfo/$id.metainfo.xml
if [ -f "$metainfo" ]; then
  said=$(appstreamcli validate --no-net --strict --pedantic "$metainfo" 2>&1) || fail "appstreamcli validate: $said"
  said=$(appstreamcli validate-tree --no-net "$root" 2>&1) || fail "appstreamcli validate-tree: $said"
  newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | sed 's/.*="//; s/"$//')
  [ "$newest" = "$version" ] || fail "the newest release in the metainfo is '$newest', not '$version'"
else
  fail "share/metainfo/$id.metainfo.xml is not installed"
fi

# The icon: a PNG of the right size for every size a desktop asks for.
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/korvale.png
  if [ ! -f "$png" ]; then
    fail "no ${size}x${size} icon"
    continue
  fi
  magic=$(od -An -tx1 -N8 "$png" | tr -d ' \n')
  [ "$magic" = 89504e470d0a1a0a ] || fail "${size}x${size} icon is not a PNG"
  # Width and height: big-endian 32-bit numbers at bytes 16 and 20 of the header.
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w $h" = "$size $size" ] || fail "${size}x${size} icon is ${w}x${h}"
done

# The manual page: it names every option of the program's usage.
man=$prefix/share/man/man1/korvale.1.gz
if [ -f "$man" ]; then
  page=$(gzip -dc "$man")
  for option in $("$prefix/bin/korvale" --help | grep -o -- '--[a-z]*' | sort -u); do
    grep -q -- "\\\\-\\\\-${option#--}" <<<"$page" || fail "the manual page does not mention $option"
  done
  for word in dialout Photos Pictures/Korvale "$version"; do
    grep -q -- "$word" <<<"$page" || fail "the manual page does not mention $word"
  done
else
  fail "share/man/man1/korvale.1.gz is not installed"
fi

# The licence.
copyright=$prefix/share/doc/korvale/copyright
[ -f "$copyright" ] && grep -q 'GPL-3.0-or-later' "$copyright" || fail "no copyright file naming GPL-3.0-or-later"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installed tree in order: programs, desktop entry, metainfo, icons, manual page, licence"
