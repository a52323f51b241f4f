#!/usr/bin/env bash
# The long run: soak_driver.exe runs the real MERIDO_B.exe beside cadsim under Wine, on an Xvfb
# display and in a fresh Wine prefix of its own, for a given time; this script runs xdotool for
# every mouse move, click and key that the driver asks for (a line "@@xdotool ARGS" from the
# driver, answered "ok" or "failed"), and keeps every other line of the driver as the report.
#
#   bash bench/soak/run_soak.sh BIN_DIR [--minutes M] [--sample-seconds S]
#
# BIN_DIR holds soak_driver.exe, MERIDO_B.exe and cadsim.exe. The report also goes to
# SOAK_RESULTS (default: the folder above BIN_DIR, soak-results.txt). Exit code: the driver's.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../../scripts/wine-env.sh"

fail() {
    echo "run_soak: $*" >&2
    exit 1
}

[ $# -ge 1 ] || { sed -n '2,10p' "$0" >&2; exit 2; }
bin="$(cd "$1" 2>/dev/null && pwd)" || fail "no such folder: $1"
shift
for program in soak_driver.exe MERIDO_B.exe cadsim.exe; do
    [ -f "$bin/$program" ] || fail "missing $bin/$program (build the windows preset first)"
done
for tool in wine wineserver Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
results="${SOAK_RESULTS:-$(dirname "$bin")/soak-results.txt}"

root="${MERIDO_WINE_ROOT:-$(dirname "$bin")/wine}"
ensure_template_prefix "$root/template" || fail "no Wine prefix"
export WINEPREFIX
WINEPREFIX="$(mktemp -d "$root/run-soak-XXXXXX")"
cp -a "$root/template/." "$WINEPREFIX/"
work="$(mktemp -d "${TMPDIR:-/tmp}/merido-soak.XXXXXX")"
driver_pid=""

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    if [ -n "$driver_pid" ] && kill -0 "$driver_pid" 2>/dev/null; then
        kill "$driver_pid" 2>/dev/null || true
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    stop_xvfb
    rm -rf "$WINEPREFIX" "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

start_xvfb || fail "no X display"
{
    echo "MERIDO_B long run, $(date -u '+%Y-%m-%d %H:%M UTC'), $(wine --version), display $DISPLAY"
    echo "panel: $bin/MERIDO_B.exe; arguments: ${*:-(defaults)}"
} | tee "$results"

mkfifo "$work/to_driver" "$work/from_driver"
(cd "$bin" && exec wine soak_driver.exe "$@") \
    <"$work/to_driver" >"$work/from_driver" 2>"$work/driver-errors.txt" &
driver_pid=$!
exec {to_driver}>"$work/to_driver" {from_driver}<"$work/from_driver"

while IFS= read -r line <&"$from_driver"; do
    line="${line%$'\r'}"
    case "$line" in
        "@@xdotool "*)
            read -ra arguments <<<"${line#@@xdotool }"
            if timeout 20 xdotool "${arguments[@]}" >/dev/null 2>&1; then
                echo ok >&"$to_driver"
            else
                echo failed >&"$to_driver"
            fi
            ;;
        *)
            printf '%s\n' "$line" | tee -a "$results"
            ;;
    esac
done
status=0
wait "$driver_pid" || status=$?
driver_pid=""
exec {to_driver}>&- {from_driver}<&-
if [ "$status" -ne 0 ] && [ -s "$work/driver-errors.txt" ]; then
    tail -n 5 "$work/driver-errors.txt" >&2
fi
echo "run_soak: exit code $status; written to $results"
exit "$status"
