#!/usr/bin/env bash
# cpack -G DEB, then the package's metadata, lintian's verdict, and its contents unpacked with
# dpkg -x, launcher included.
. "$(dirname "$0")/lib.sh"
cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail cpack; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { fail "cpack made no single .deb"; finish; }
deb=${debs[0]}
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
field() { dpkg-deb -f "$deb" "$1"; }
check "Package blockrise, Section games, for this machine" \
    [ "$(field Package) $(field Section) $(field Architecture)" = "blockrise games $(dpkg --print-architecture)" ]
packages=$(field Depends | tr ',|' '\n\n' | sed 's/(.*//; s/[[:space:]]//g')
echo "Depends: $(field Depends)"
for needed in liballegro4.4 libc6 libstdc++6; do check "depends on $needed" grep -qxF "$needed" <<<"$packages"; done
check "depends on no development package" not grep -q -- '-dev$' <<<"$packages"
check "every file is under /usr" not grep -v '^\./\(usr/.*\)\?$' < <(dpkg-deb -c "$deb" | awk '{ print $6 }')
# The checks Debian runs on every package it ships; the informational tags are printed, not judged.
lintian --display-info --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1
check "lintian finds no error and no warning" [ $? -eq 0 ]
sed 's/^/lintian: /' "$work/lintian.log"
dpkg -x "$deb" "$work/root"
check_installed "$work/root/usr" /usr
check "the changelog's latest entry is signed by the package's maintainer" [ "$(gzip -dc "$work/root/usr/$DOC_DIR/changelog.gz" |
    dpkg-parsechangelog -l - -S Maintainer 2>/dev/null)" = "$(field Maintainer)" ]
finish
