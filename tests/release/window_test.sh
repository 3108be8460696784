#!/usr/bin/env bash
# The installed game's window as a desktop sees it, read from the X server while the game runs:
# its title, its class (which the desktop entry's StartupWMClass must name for a dock to group
# the window under the game's icon) and its icon, which must show the installed icon's picture.
. "$(dirname "$0")/lib.sh"

[ -n "${WINDOW_ICON:-}" ] || skip "built without the X11 library"
[ "$WITH_DATA" = 1 ] || skip "this build makes no blocks.dat"
for tool in xprop xwininfo rsvg-convert compare; do
    command -v "$tool" >/dev/null || fail "needs $tool (scripts/setup.sh installs it)"
done
finish
start_display

install_prefix
record_sound
(exec env -i PATH="$PATH" HOME="$home" DISPLAY="$display" timeout 30 \
    "$prefix/$GAMES_DIR/blockrise" 2>"$scratch/stderr") &
game=$!
# The title comes a moment after the window; once the starfield's music plays, the game is up.
for _ in $(seq 100); do
    [ -s "$recording" ] && break
    sleep 0.1
done

x() { DISPLAY="$display" "$@"; }
# In full screen the library draws into an override-redirect window that no window manager
# sees; the window a desktop knows is the one with a class.
window=""
for id in $(x xwininfo -root -children | awk '$1 ~ /^0x/ { print $1 }'); do
    if x xprop -id "$id" WM_CLASS | grep -q ' = '; then window=$id; break; fi
done
if [ -z "$window" ]; then
    fail "the game showed no window with a class"
    sed 's/^/game: /' "$scratch/stderr" >&2
    finish
fi
echo "window $window:"
x xprop -id "$window" WM_NAME WM_CLASS WM_HINTS _NET_WM_ICON | tee "$scratch/props"

value() { sed -n "s/^$1([A-Z0-9_]*) = //p" "$scratch/props"; }
check "the window's title is Blockrise" [ "$(value WM_NAME)" = '"Blockrise"' ]
class=$(value WM_CLASS | sed -n 's/^"[^"]*", "\([^"]*\)"$/\1/p')
entry="$prefix/$DATAROOT_DIR/applications/blockrise.desktop"
startup=$(sed -n 's/^StartupWMClass=//p' "$entry")
check "the desktop entry's StartupWMClass '$startup' is the window's class '$class'" \
    [ -n "$class" -a "$startup" = "$class" ]
check "the window names an icon (WM_HINTS icon pixmap or _NET_WM_ICON)" \
    grep -q 'bitmap id # to use for icon\|^_NET_WM_ICON(CARDINAL) = ' "$scratch/props"

# The library has an icon of its own that it shows when the game sets none (or sets it too
# late): the pixels must be the installed SVG's, drawn at the icon's size on black, where the
# icon's mask leaves pixels uncovered.
if grep -q 'bitmap id # to use for icon' "$scratch/props" && x "$WINDOW_ICON" "$window" >"$scratch/icon.ppm"; then
    size=$(sed -n 2p "$scratch/icon.ppm")
    echo "icon pixmap: $size"
    rsvg-convert -w "${size% *}" -h "${size#* }" -b black -o "$scratch/svg.png" \
        "$prefix/$DATAROOT_DIR/icons/hicolor/scalable/apps/blockrise.svg"
    # Prints the error as "absolute (normalised)" on standard error, and fails when the two differ.
    error=$(compare -metric RMSE "$scratch/svg.png" "$scratch/icon.ppm" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p' || true)
    check "the window's icon is the installed icon's picture (RMS difference ${error:-unknown})" \
        awk -v e="${error:-1}" 'BEGIN { exit !(e < 0.05) }'
fi

kill "$game" 2>/dev/null || true
wait "$game" 2>/dev/null || true
finish
