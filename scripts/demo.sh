#!/usr/bin/env bash
# Runs the panel beside the simulated AutoCAD under Wine and leaves screenshots of the panel and
# of its open pop-up menu in build/demo/. With DISPLAY set, the demo runs on that display and
# stays until the panel is closed; otherwise it uses a virtual display of its own and ends.
#   demo.sh [bin-folder] [--docs]
# --docs also opens the drawing picker, the overwrite question of the export, the message of the
# registration and the message of ACT with nothing registered, labels the panel's parts on a
# copy of its picture, and copies every screenshot into docs/ for the README and the user guide.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"

bin="${1:-$here/../build/windows/bin}"
docs=0
[ "${2:-}" = "--docs" ] && docs=1
bin="$(realpath "$bin")"
programs=(MERIDO_B.exe cadsim.exe cadsim_send.exe)
[ "$docs" = 1 ] && programs+=(docs_bench.exe)
for program in "${programs[@]}"; do
    [ -f "$bin/$program" ] || { echo "demo: $bin/$program is missing (run make first)" >&2; exit 1; }
done

# The pictures show Wine's own dialogs in Japanese, as an operator's Windows would have them.
if [ "$docs" = 1 ] && locale -a 2>/dev/null | grep -qi '^ja_JP.utf-\?8$'; then
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
fi
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
for program in "${programs[@]}"; do cp "$bin/$program" "$work/"; done
# AutoCAD 2025 answers to version 25, and the panel's settings say 25, as the guide's table has
# it; the registered path shows in the menu. Written as the panel itself creates the file: UTF-16.
printf '[AutoCAD]\r\nApiVerNum=25\r\nAppFullName=C:\\Program Files\\Autodesk\\AutoCAD 2025\\acad.exe\r\n' |
    iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/MERIDO_B,ini"
(cd "$work" && wine cadsim.exe --rect 560,420,420,300 --control demo --automation 25 \
    >/dev/null 2>&1 &)
# Open drawings for the picker and the export, as an operator's AutoCAD would have them.
cad() { (cd "$work" && wine cadsim_send.exe demo "$@" >/dev/null 2>&1); }
for attempt in $(seq 1 50); do cad ping && break; sleep 0.2; done
cad full-name 'C:\Program Files\Autodesk\AutoCAD 2025\acad.exe'
for drawing in 1階平面図 2階平面図 立面図 site-plan A-101; do
    cad doc add "$drawing.dwg|C:\\demo\\$drawing.dwg|12"
done
cad doc active 0
cad title 'Autodesk AutoCAD 2025 - [1階平面図.dwg]'
(cd "$work" && wine MERIDO_B.exe >/dev/null 2>&1 &)

# Let the desktop come up and the monitor see the simulated AutoCAD (lamp lime).
sleep 6
shot() { import -display "$DISPLAY" -window root "$1"; }
shot "$out/desktop.png"
convert "$out/desktop.png" -crop 200x82+410+342 +repage -strip "$out/panel.png"

# The pop-up menu: a right-click on the panel's label, then the screenshot, then Esc.
xdotool mousemove --sync 537 384 click 3 2>/dev/null
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
    # Each picture is cut to the windows it shows: docs_bench reports the rectangle that the
    # visible windows of a class cover (the panel, a box, a menu and its sub-menu, a dialog).
    rect_of() { (cd "$work" && wine docs_bench.exe rect "$1" 2>/dev/null | tr -d '\r'); }
    wait_rect() {
        local r attempt
        for attempt in $(seq 1 50); do
            r="$(rect_of "$1")" && [ -n "$r" ] && { echo "$r"; return 0; }
            sleep 0.2
        done
        echo "demo: no window of class $1" >&2
        return 1
    }
    # The rectangle that two WxH+X+Y rectangles cover together, optionally cut at a bottom.
    union() {
        python3 -c 'import sys, re
a, b = ([int(v) for v in re.split("[x+]", r)] for r in sys.argv[1:3])
l, t = min(a[2], b[2]), min(a[3], b[3])
r, bt = max(a[2] + a[0], b[2] + b[0]), max(a[3] + a[1], b[3] + b[1])
if len(sys.argv) > 3: bt = min(bt, int(sys.argv[3]))
print("%dx%d+%d+%d" % (r - l, bt - t, l, t))' "$@"
    }
    crop_shot() {  # NAME RECT: a screenshot of the desktop, cut to RECT
        sleep 0.5  # the last paint of the window that has just been found
        shot "$out/desktop-$1.png"
        convert "$out/desktop-$1.png" -crop "$2" +repage -strip "$out/$1.png"
        shots+=("$1.png")
    }
    wait_gone() {
        local attempt
        for attempt in $(seq 1 50); do rect_of "$1" >/dev/null || return 0; sleep 0.2; done
    }
    panel_rect="$(wait_rect TMERIDO_A_MainForm)"
    cad_rect="$(wait_rect AfxMDIFrame140u)"
    cad_top="$(echo "$cad_rect" | cut -d+ -f3)"
    # Points on the panel's face, from its top-left corner: the label (the menu opens there),
    # the number field and LIST.
    panel_x="$(echo "$panel_rect" | cut -d+ -f2)"
    panel_y="$(echo "$panel_rect" | cut -d+ -f3)"
    label=($((panel_x + 121)) $((panel_y + 36)))
    field=($((panel_x + 168)) $((panel_y + 35)))
    list=($((panel_x + 72)) $((panel_y + 36)))

    # The panel with 25 beside AutoCAD 2025's caption.
    crop_shot panel "$(union "$panel_rect" "$cad_rect" $((cad_top + 60)))"

    # The panel alone, twice its size, each part named in Japanese as the guide names it.
    # docs_bench reports where each control lies in the panel (control id WxH+X+Y).
    controls="$(cd "$work" && wine docs_bench.exe controls TMERIDO_A_MainForm 2>/dev/null | tr -d '\r')"
    control_centre() {  # ID: the control's centre on the screen, "X Y"
        echo "$controls" | awk -v id="$1" -v x="$panel_x" -v y="$panel_y" '$1 == id {
            split($2, r, /[x+]/); print x + r[3] + int(r[1] / 2), y + r[4] + int(r[2] / 2) }'
    }
    convert "$out/desktop-panel.png" -crop "$panel_rect" +repage "$out/panel-alone.png"
    python3 - "$out/panel-alone.png" "$out/panel-parts.png" "$controls" <<'LABELS' || exit 1
import re, subprocess, sys
source, target, controls = sys.argv[1:4]
# Control ids (app/panel_layout.h) and the names the guide gives them: the first row is named
# above the panel, the second below it; the title bar and the close box at the sides.
above = [(501, "ランプ"), (102, "ACT"), (104, "LIST"), (301, "番号の欄（API Ver.=）")]
below = [(203, "IME"), (201, "Shift"), (202, "Ctrl"), (204, "OFF")]
rects = {}
for line in controls.splitlines():
    if line.strip():
        ident, rect = line.split()
        w, h, x, y = (int(v) for v in re.split("[x+]", rect))
        rects[int(ident)] = (x, y, w, h)
width, height = (int(v) for v in subprocess.run(
    ["identify", "-format", "%w %h", source], capture_output=True, text=True,
    check=True).stdout.split())
scale, left, right, top, bottom = 2, 120, 80, 56, 56
canvas_w = width * scale + left + right
canvas_h = height * scale + top + bottom
lines, names = [], []

def edge(ident, side):  # the middle of the part's top or bottom edge, where its pointer ends
    x, y, w, h = rects[ident]
    return left + (x + w // 2) * scale, top + (y + (h if side == "bottom" else 0)) * scale

def pointer(x1, y1, x2, y2):  # a line ending in a dot on the part
    lines.extend(["-draw", "line %d,%d %d,%d" % (x1, y1, x2, y2),
                  "-draw", "circle %d,%d %d,%d" % (x2, y2, x2 + 3, y2)])

for ident, name in above:
    x, y = edge(ident, "top")
    pointer(x, top - 16, x, y)
    names.extend(["-gravity", "North", "-annotate", "%+d%+d" % (x - canvas_w // 2, 10), name])
for ident, name in below:
    x, y = edge(ident, "bottom")
    pointer(x, top + height * scale + 16, x, y)
    names.extend(["-gravity", "North", "-annotate",
                  "%+d%+d" % (x - canvas_w // 2, top + height * scale + 20), name])
client_top = min(rects[ident][1] for ident, _ in above)
bar_y = top + client_top * scale // 2
pointer(left - 10, bar_y, left + 70, bar_y)
names.extend(["-gravity", "NorthWest", "-annotate", "+10%+d" % (bar_y - 12), "タイトル バー"])
close_x = left + width * scale - 12 * scale
pointer(left + width * scale + 10, bar_y, close_x, bar_y)
names.extend(["-gravity", "NorthWest", "-annotate",
              "%+d%+d" % (left + width * scale + 14, bar_y - 12), "閉じる"])
subprocess.run(["convert", "-size", "%dx%d" % (canvas_w, canvas_h), "xc:white",
                "(", source, "-scale", "%d%%" % (scale * 100), ")",
                "-geometry", "+%d+%d" % (left, top), "-composite",
                "-fill", "none", "-stroke", "#d03030", "-strokewidth", "2"] + lines +
               ["-font", "Noto-Sans-CJK-JP", "-pointsize", "15", "-fill", "#1a1a1a",
                "-stroke", "none"] + names + ["-strip", target], check=True)
LABELS
    shots+=(panel-parts.png)

    # The pop-up menu with its AppFullName sub-menu open: the registered path.
    xdotool mousemove --sync "${label[@]}" click 3 2>/dev/null
    wait_rect '#32768' >/dev/null
    first_menu="$(rect_of '#32768')"
    xdotool key Down Down Right 2>/dev/null
    for attempt in $(seq 1 50); do
        [ "$(rect_of '#32768')" != "$first_menu" ] && break
        sleep 0.2
    done
    crop_shot panel-menu "$(union "$panel_rect" "$(rect_of '#32768')")"
    xdotool key Escape Escape Escape 2>/dev/null
    wait_gone '#32768'

    # The version error: a number that no AutoCAD registers, then the registration.
    xdotool mousemove --sync "${field[@]}" click 1 2>/dev/null  # the number field
    xdotool key End BackSpace BackSpace 2 2 2>/dev/null
    xdotool mousemove --sync "${label[@]}" click 3 2>/dev/null
    wait_rect '#32768' >/dev/null
    xdotool key Down Return 2>/dev/null
    crop_shot version-error "$(wait_rect TMessageForm)"
    xdotool key Return 2>/dev/null
    wait_gone TMessageForm
    xdotool mousemove --sync "${field[@]}" click 1 2>/dev/null
    xdotool key End BackSpace BackSpace 2 5 2>/dev/null

    # An information box: the registration of the running AutoCAD, from the pop-up menu.
    xdotool mousemove --sync "${label[@]}" click 3 2>/dev/null
    wait_rect '#32768' >/dev/null
    xdotool key Down Return 2>/dev/null
    crop_shot message "$(wait_rect TMessageForm)"
    xdotool key Return 2>/dev/null
    wait_gone TMessageForm

    # The export: the number field, Tab three times to WBLOCK, Enter. The proposed name exists
    # already, so accepting it brings the overwrite question.
    : >"$work/1階平面図_wblock1.dwg"
    xdotool mousemove --sync "${field[@]}" click 1 2>/dev/null
    xdotool key Tab Tab Tab Return 2>/dev/null
    crop_shot save-as "$(wait_rect '#32770')"
    xdotool key Return 2>/dev/null
    crop_shot confirm "$(wait_rect TMessageForm)"
    xdotool key Escape 2>/dev/null
    wait_gone TMessageForm

    # The drawing picker over AutoCAD, opened by LIST.
    xdotool mousemove --sync "${list[@]}" click 1 2>/dev/null
    crop_shot picker "$(wait_rect TInputListForm)"
    xdotool key Escape 2>/dev/null
    wait_gone TInputListForm

    # The caption that the IME guard writes (AutoCAD's window handle in hexadecimal). Wine shows
    # no IME of another process, so the guard cannot act here: docs_bench writes the program's
    # own caption text for the AutoCAD window that the program's own search finds.
    (cd "$work" && wine docs_bench.exe ime-caption >/dev/null 2>&1) ||
        { echo "demo: the IME guard's caption was not written" >&2; exit 1; }
    crop_shot panel-ime-caption "$panel_rect"

    # ACT with no AutoCAD and nothing that can be started (the registered path does not exist
    # here): "OFF" unticked first, so that the panel stays when AutoCAD's window is no longer
    # recognised, then AutoCAD's title changed to one that the panel does not take for AutoCAD.
    xdotool mousemove --sync $(control_centre 204) click 1 2>/dev/null
    sleep 1  # the click has unticked "OFF" before any tick misses AutoCAD
    cad title 'Drawing1'
    xdotool mousemove --sync $(control_centre 102) click 1 2>/dev/null
    crop_shot not-registered "$(wait_rect TMessageForm)"
    xdotool key Return 2>/dev/null
    wait_gone TMessageForm

    # The box about administrator rights: Wine has no integrity levels, so the real program
    # cannot meet the case; docs_bench shows the program's own box with the program's text.
    (cd "$work" && exec wine docs_bench.exe box Merido_b \
        'AutoCAD が管理者として実行されているため、接続できません。AutoCAD と MERIDO_B を同じ権限で起動してください。' \
        >/dev/null 2>&1) &
    box_pid=$!
    crop_shot elevation "$(wait_rect TMessageForm)"
    kill "$box_pid" 2>/dev/null
    wait "$box_pid" 2>/dev/null
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
