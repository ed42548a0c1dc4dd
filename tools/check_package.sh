#!/usr/bin/env bash
# Builds the Debian package from an existing build folder and checks what it installs:
#   tools/check_package.sh BUILD_DIR
# The package is unpacked into a scratch root (dpkg -x); the check compares the file list, runs
# desktop-file-validate and appstreamcli on the installed desktop entry and metainfo, and makes
# sure every library the program links comes from a package the .deb depends on; it also checks
# the licence, changelog and manual page Debian expects, and runs lintian when it is installed
# (an error fails the check, warnings are shown).
# Exit codes: 0 passed, 1 failed, 77 a needed tool is missing (ctest reports a skip).
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" && pwd)
id=org.example.norak.zevez
[ -x "$build/shell/norak" ] || { echo "FAIL: $build/shell/norak is not built"; exit 1; }

for tool in cpack dpkg dpkg-deb dpkg-parsechangelog desktop-file-validate appstreamcli readelf ldd gzip; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (see build.sh TEST_PACKAGES)"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/norak-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# --- Build the package -----------------------------------------------------------------------
if ! (cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/out") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack did not build the package"
    exit 1
fi
debs=("$work"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    ls -l "$work/out"
    echo "FAIL: expected one .deb"
    exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

root=$work/root
dpkg -x "$deb" "$root"

# --- File list -------------------------------------------------------------------------------
expected=$(printf '%s\n' \
    usr/bin/norak \
    usr/share/doc/norak-zevez/changelog.gz \
    usr/share/doc/norak-zevez/copyright \
    usr/share/man/man1/norak.1.gz \
    "usr/share/applications/$id.desktop" \
    "usr/share/icons/hicolor/256x256/apps/$id.png" \
    "usr/share/icons/hicolor/scalable/apps/$id.svg" \
    "usr/share/metainfo/$id.metainfo.xml" | sort)
actual=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)
if [ "$expected" != "$actual" ]; then
    fail "file list differs (- expected, + packaged):"
    diff <(echo "$expected") <(echo "$actual") || true
fi

binary=$root/usr/bin/norak
[ -x "$binary" ] || fail "usr/bin/norak is not executable"
if readelf -S "$binary" 2>/dev/null | grep -q '\.debug_info'; then
    fail "usr/bin/norak still carries debug information"
fi
png=$root/usr/share/icons/hicolor/256x256/apps/$id.png
if [ -f "$png" ]; then
    # PNG header: width and height are the big-endian words at bytes 16 and 20.
    size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$size" = "256x256" ] || fail "the 256x256 icon is $size"
fi

# --- Licence, changelog, manual page --------------------------------------------------------
doc=$root/usr/share/doc/norak-zevez
if [ -f "$doc/copyright" ]; then
    head -n1 "$doc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
        fail "the copyright file is not in the machine-readable format"
    grep -q '^License: GPL-3+$' "$doc/copyright" || fail "the copyright file does not give GPL-3+"
fi
if [ -f "$doc/changelog.gz" ]; then
    gzip -dc "$doc/changelog.gz" >"$work/changelog"
    version=$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>&1) ||
        fail "the changelog does not parse: $version"
    [ "$version" = "$(dpkg-deb -f "$deb" Version)" ] ||
        fail "the changelog's last version is '$version', the package's $(dpkg-deb -f "$deb" Version)"
fi
man=$root/usr/share/man/man1/norak.1.gz
if [ -f "$man" ] && command -v man >/dev/null; then
    warnings=$(gzip -dc "$man" | LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l - 2>&1 >/dev/null) ||
        fail "man cannot format the manual page"
    [ -z "$warnings" ] || fail "the manual page gives warnings: $warnings"
fi

# --- Desktop entry and metainfo --------------------------------------------------------------
desktop=$root/usr/share/applications/$id.desktop
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"

entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = norak ] || fail "desktop entry Exec is '$(entry Exec)', not the installed program"
[ "$(entry Icon)" = "$id" ] || fail "desktop entry Icon is '$(entry Icon)', not the installed icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
grep -q '<release version="2.0.1"' "$metainfo" || fail "the metainfo lacks release 2.0.1"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" ||
    fail "the metainfo does not give the project licence"
# A software centre fetches every link of the metainfo; the program has no public address.
if grep -n 'https\?://' "$metainfo"; then
    fail "the metainfo points at a web address"
fi

# --- Dependencies ----------------------------------------------------------------------------
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
declare -A declared=()
IFS=',' read -ra items <<<"$depends"
for item in "${items[@]}"; do
    for alternative in ${item//|/ }; do
        case $alternative in
            [a-z0-9]*) declared[$alternative]=1 ;;
        esac
    done
done
for runtime in qt6-qpa-plugins qt6-translations-l10n fonts-liberation; do
    [ -n "${declared[$runtime]:-}" ] || fail "Depends lacks $runtime"
done

# Each library the program links directly must belong to a declared package.
owner_of() {  # library path -> package name, trying both sides of the merged /usr
    local path=$1 alt
    alt=${path#/usr}
    [ "$alt" = "$path" ] && alt=/usr$path
    for p in "$path" "$alt" "$(readlink -f "$path")"; do
        dpkg -S "$p" 2>/dev/null | head -n1 | cut -d: -f1 && return 0
    done
    return 1
}
while read -r lib; do
    # "libX.so => /path (addr)", or for the dynamic loader "/path/ld-linux....so.2 (addr)".
    path=$(ldd "$binary" | awk -v l="$lib" '$1 == l && $2 == "=>" {print $3} $1 ~ ("/" l "$") {print $1}' | head -n1)
    if [ -z "$path" ] || [ "$path" = "not" ]; then
        fail "$lib is not found on this system"
        continue
    fi
    package=$(owner_of "$path") || { fail "no package owns $path"; continue; }
    [ -n "${declared[$package]:-}" ] || fail "$lib comes from $package, which Depends does not name"
done < <(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')

# --- lintian ---------------------------------------------------------------------------------
if command -v lintian >/dev/null; then
    # Errors fail the check; warnings and notes are shown for a person to weigh.
    lintian --tag-display-limit 0 --display-level '>=warning' "$deb" | tee "$work/lintian.log" || true
    if grep -q '^E: ' "$work/lintian.log"; then
        fail "lintian reports errors"
    fi
else
    echo "lintian is not installed: the package is not checked against Debian's policy"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "package check passed"
