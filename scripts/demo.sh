#!/usr/bin/env bash
# Runs the panel beside the simulated AutoCAD under Wine and leaves screenshots of the panel and
# of its open pop-up menu in build/demo/. With DISPLAY set, the demo runs on that display and
# stays until the panel is closed; otherwise it uses a virtual display of its own and ends.
#   demo.sh [bin-folder] [--docs]
# --docs also opens the drawing picker, the overwrite question of the export and the message of
# the registration, and copies every screenshot into docs/ for the README and the user guide.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"

bin="${1:-$here/../build/windows/bin}"
docs=0
[ "${2:-}" = "--docs" ] && docs=1
bin="$(realpath "$bin")"
for program in MERIDO_B.exe cadsim.exe cadsim_send.exe; do
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
cp "$bin/MERIDO_B.exe" "$bin/cadsim.exe" "$bin/cadsim_send.exe" "$work/"
(cd "$work" && wine cadsim.exe --rect 560,420,420,300 --control demo --automation 24 \
    >/dev/null 2>&1 &)
# Open drawings for the picker and the export, as an operator's AutoCAD would have them.
cad() { (cd "$work" && wine cadsim_send.exe demo "$@" >/dev/null 2>&1); }
for attempt in $(seq 1 50); do cad ping && break; sleep 0.2; done
cad full-name 'C:\Program Files\Autodesk\AutoCAD 2025\acad.exe'
for drawing in 1F-plan 2F-plan elevation site-plan; do
    cad doc add "$drawing.dwg|C:\\demo\\$drawing.dwg|12"
done
cad doc active 0
cad title 'Autodesk AutoCAD 2025 - [1F-plan.dwg]'
(cd "$work" && wine MERIDO_B.exe >/dev/null 2>&1 &)

# Let the desktop come up and the monitor see the simulated AutoCAD (lamp lime).
sleep 6
shot() { import -display "$DISPLAY" -window root "$1"; }
shot "$out/desktop.png"
convert "$out/desktop.png" -crop 200x82+410+342 +repage -strip "$out/panel.png"

# The pop-up menu: a right-click on the panel's label, then the screenshot, then Esc.
xdotool mousemove --sync 520 358 click 3 2>/dev/null
sleep 1.5
shot "$out/desktop-menu.png"
convert "$out/desktop-menu.png" -crop 310x118+410+342 +repage -strip "$out/panel-menu.png"
xdotool key Escape 2>/dev/null
shots=(panel.png panel-menu.png)

# Clicks (button 1 or 3) at x y, or presses keys, then waits the given seconds, screenshots the
# desktop and cuts a picture out of it (WxH+X+Y), and finally presses the key that closes it.
#   picture NAME CROP WAIT CLOSE-KEY click|key ARGS...
picture() {
    local name="$1" crop="$2" wait="$3" close="$4" how="$5"
    shift 5
    if [ "$how" = click ]; then
        xdotool mousemove --sync "$2" "$3" click "$1" 2>/dev/null
    else
        xdotool key "$@" 2>/dev/null
    fi
    sleep "$wait"
    shot "$out/desktop-$name.png"
    convert "$out/desktop-$name.png" -crop "$crop" +repage -strip "$out/$name.png"
    xdotool key "$close" 2>/dev/null
    sleep 1
    shots+=("$name.png")
}

if [ "$docs" = 1 ]; then
    # The overwrite question: the export's proposed name exists already. From the panel's
    # first focus (the hidden register button) Tab, Tab reaches WBLOCK; Enter runs it and Enter
    # again accepts the proposed name in the save dialog.
    : >"$work/1F-plan_wblock1.dwg"
    xdotool mousemove --sync 470 358 click 1 2>/dev/null
    sleep 1
    xdotool key Tab Tab Return 2>/dev/null
    sleep 8
    picture confirm 240x130+391+318 3 Escape key Return

    # An information box: the registration of the running AutoCAD, from the pop-up menu.
    xdotool mousemove --sync 520 358 click 3 2>/dev/null
    sleep 1.5
    picture message 318x148+352+309 2 Return key Down Return

    # The drawing picker over AutoCAD, opened by LIST.
    picture picker 640x400+340+220 2 Escape click 1 488 383
fi

echo "demo: screenshots in $out (${shots[*]}, desktop.png)"
if [ "$docs" = 1 ]; then
    mkdir -p "$here/../docs"
    for picture in "${shots[@]}"; do cp "$out/$picture" "$here/../docs/"; done
fi
if [ "$interactive" = 1 ]; then
    echo "demo: the panel runs on $DISPLAY; close it to end the demo"
    wineserver -w
fi
