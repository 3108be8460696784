#!/usr/bin/env bash
# cpack -G DEB, then the package's metadata, its contents unpacked with dpkg -x, and its launcher.
. "$(dirname "$0")/lib.sh"

cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; finish; }
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { fail "cpack made no single .deb"; finish; }
deb=${debs[0]}
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

for field in Package=blockrise Section=games "Architecture=$(dpkg --print-architecture)"; do
    check "$field" [ "$(dpkg-deb -f "$deb" "${field%%=*}")" = "${field#*=}" ]
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
packages=$(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/[[:space:]]//g')
for needed in liballegro4.4 libc6 libstdc++6; do
    check "depends on $needed" grep -qxF "$needed" <<<"$packages"
done
check "depends on no development package" not grep -- '-dev$' <<<"$packages"
check "every file is under /usr" not grep -v '^\./\(usr/.*\)\?$' < <(dpkg-deb -c "$deb" | awk '{print $6}')

# The checks Debian runs on every package it ships; the informational tags are printed, not judged.
if command -v lintian >/dev/null; then
    lintian --display-info --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 && lintian_status=0 || lintian_status=$?
    sed 's/^/lintian: /' "$scratch/lintian.log"
    check "lintian finds no error and no warning" [ "$lintian_status" -eq 0 ]
else
    fail "lintian is not installed (scripts/setup.sh installs it)"
fi
maintainer=$(dpkg-deb -f "$deb" Maintainer)
echo "Maintainer: $maintainer"

dpkg -x "$deb" "$scratch/root"
check_installed "$scratch/root/usr" /usr
gzip -dc "$scratch/root/usr/$DOC_DIR/changelog.gz" >"$scratch/changelog.deb" 2>/dev/null || true
check "the changelog's latest entry is signed by the package's maintainer" \
    [ "$(dpkg-parsechangelog -l "$scratch/changelog.deb" -S Maintainer 2>/dev/null)" = "$maintainer" ]
finish
