#!/usr/bin/env bash
# cpack -G DEB, then the package's metadata, its contents unpacked with dpkg -x, and its launcher.
. "$(dirname "$0")/lib.sh"

cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; finish; }
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { fail "cpack made no single .deb"; finish; }
deb=${debs[0]}
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = blockrise ] || fail "package name is '$(field Package)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture is '$(field Architecture)'"
[ "$(field Section)" = games ] || fail "section is '$(field Section)'"
depends=$(field Depends)
echo "Depends: $depends"
packages=$(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/[[:space:]]//g')
for needed in liballegro4.4 libc6 libstdc++6; do
    grep -qxF "$needed" <<<"$packages" && pass "depends on $needed" || fail "no dependency on $needed"
done
if grep -q -- '-dev$' <<<"$packages"; then fail "depends on a development package"; fi

root="$scratch/root"
dpkg -x "$deb" "$root"
if dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -qv '^\./$'; then
    fail "files outside /usr: $(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/')"
fi
check_tree "$root/usr"
check_manual "$root/usr"
check_desktop_entry "$root/usr" /usr
check_launcher "$root/usr"
finish
