#!/usr/bin/env bash
# Runs the panel beside the simulated AutoCAD under Wine and leaves screenshots of the panel and
# of its open pop-up menu in build/demo/. With DISPLAY set, the demo runs on that display and
# stays until the panel is closed; otherwise it uses a virtual display of its own and ends.
#   demo.sh [bin-folder] [--docs]   (--docs also copies the screenshots into docs/)
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"

bin="${1:-$here/../build/windows/bin}"
docs=0
[ "${2:-}" = "--docs" ] && docs=1
bin="$(realpath "$bin")"
for program in MERIDO_B.exe cadsim.exe; do
    [ -f "$bin/$program" ] || { echo "demo: $bin/$program is missing (run make first)" >&2; exit 1; }
done

out="$(realpath "$here/..")/build/demo"
mkdir -p "$out"
root="$(dirname "$bin")/wine"
ensure_template_prefix "$root/template" || exit 1
export WINEPREFIX="$root/demo"
rm -rf "$WINEPREFIX" && cp -a "$root/template" "$WINEPREFIX"

interactive=0
[ -n "${DISPLAY:-}" ] && interactive=1
cleanup() {
    wineserver -k 2>/dev/null || true
    stop_xvfb
}
trap cleanup EXIT
[ "$interactive" = 1 ] || start_xvfb || exit 1

# The panel runs from a folder of its own, so that its settings file lands there.
work="$WINEPREFIX/drive_c/demo"
mkdir -p "$work"
cp "$bin/MERIDO_B.exe" "$bin/cadsim.exe" "$work/"
(cd "$work" && wine cadsim.exe --rect 560,420,420,300 >/dev/null 2>&1 &)
(cd "$work" && wine MERIDO_B.exe >/dev/null 2>&1 &)

# Let the desktop come up and the monitor see the simulated AutoCAD (lamp lime).
sleep 6
shot() { import -display "$DISPLAY" -window root "$1"; }
shot "$out/desktop.png"
convert "$out/desktop.png" -crop 200x82+410+342 +repage "$out/panel.png"

# The pop-up menu: a right-click on the panel's label, then the screenshot, then Esc.
xdotool mousemove --sync 520 358 click 3 2>/dev/null
sleep 1.5
shot "$out/desktop-menu.png"
convert "$out/desktop-menu.png" -crop 310x118+410+342 +repage "$out/panel-menu.png"
xdotool key Escape 2>/dev/null

echo "demo: screenshots in $out (panel.png, panel-menu.png, desktop.png)"
if [ "$docs" = 1 ]; then
    mkdir -p "$here/../docs"
    cp "$out/panel.png" "$out/panel-menu.png" "$here/../docs/"
fi
if [ "$interactive" = 1 ]; then
    echo "demo: the panel runs on $DISPLAY; close it to end the demo"
    wineserver -w
fi
