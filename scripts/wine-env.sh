# Shared by the scripts that run Windows programs: a private Wine prefix and an Xvfb display.
# Source it; it defines functions and changes nothing until they are called.

WINE_ENV_SCRIPTS="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: the programs here need neither, and there is no network.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

WINE_DESKTOP_SIZE="${WINE_DESKTOP_SIZE:-1024x768}"

# Starts Xvfb on a free display and exports DISPLAY; remembers its pid in XVFB_PID.
start_xvfb() {
    local number
    for number in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 "${WINE_DESKTOP_SIZE}x24" -nolisten tcp \
            >/dev/null 2>&1 &
        XVFB_PID=$!
        local tries
        for tries in $(seq 1 100); do
            if xdpyinfo -display ":$number" >/dev/null 2>&1; then
                export DISPLAY=":$number"
                return 0
            fi
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
    done
    echo "wine-env: no X display could be started" >&2
    return 1
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# Writes the settings every bench prefix shares: a virtual desktop (so that windows get frames
# and captions without a window manager), Japanese glyphs linked into Tahoma, 96 DPI.
configure_prefix() {
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$WINE_DESKTOP_SIZE" /f >/dev/null
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v Tahoma /t REG_MULTI_SZ /d 'NotoSansCJK-Regular.ttc,Noto Sans CJK JP' /f >/dev/null
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v 'MS Shell Dlg' /t REG_MULTI_SZ /d 'NotoSansCJK-Regular.ttc,Noto Sans CJK JP' /f >/dev/null
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v 'Segoe UI' /t REG_MULTI_SZ /d 'NotoSansCJK-Regular.ttc,Noto Sans CJK JP' /f >/dev/null
    register_automation_ids
    set_prefix_dpi 96
    install_marlett
}

# The automation identifiers that cadsim registers under (--automation 24 or 25).
register_automation_ids() {
    wine reg add 'HKCR\Autocad.Application.24\CLSID' /ve /d '{CA7A9482-BEF8-4320-8904-360DEB3EA500}' /f >/dev/null
    wine reg add 'HKCR\CLSID\{CA7A9482-BEF8-4320-8904-360DEB3EA500}\ProgID' /ve /d 'Autocad.Application.24' /f >/dev/null
    wine reg add 'HKCR\Autocad.Application.25\CLSID' /ve /d '{BA2D8404-F055-4251-9F54-A73024E92352}' /f >/dev/null
    wine reg add 'HKCR\CLSID\{BA2D8404-F055-4251-9F54-A73024E92352}\ProgID' /ve /d 'Autocad.Application.25' /f >/dev/null
}

# Wine draws the caption buttons (close box, minimise, maximise) as letters of its Marlett font.
# Debian's wine does not load the fonts of fonts-wine from /usr/share/wine/fonts, so without a
# copy in the prefix the close box shows the letter "r"; the prefix's own Fonts folder is read.
install_marlett() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
        /v 'Marlett (TrueType)' /d marlett.ttf /f >/dev/null
}

set_prefix_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}

# Makes sure a configured template prefix exists at $1 (built once, under a lock). The marker
# names the prefix's make-up, so that a template made by an older script is built afresh.
ensure_template_prefix() {
    local template="$1"
    mkdir -p "$(dirname "$template")"
    (
        flock 9
        if [ ! -f "$template/.merido-ready-2" ]; then
            rm -rf "$template"
            WINEPREFIX="$template" wineboot -i >/dev/null 2>&1
            WINEPREFIX="$template" configure_prefix
            WINEPREFIX="$template" wineserver -w
            touch "$template/.merido-ready-2"
        fi
    ) 9>"$template.lock"
}
