#!/usr/bin/env bash
# cmake --install into a scratch prefix: the file list, the desktop entry and the launcher.
. "$(dirname "$0")/lib.sh"

prefix="$scratch/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" >"$scratch/install.log" \
    || { cat "$scratch/install.log" >&2; fail "cmake --install failed"; finish; }
check_tree "$prefix"
check_desktop_entry "$prefix" "$prefix"
check_launcher "$prefix"
finish
