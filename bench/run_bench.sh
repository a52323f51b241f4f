#!/usr/bin/env bash
# Idle-cost benchmark under Wine: CPU time of the running panel beside bench_reference, with the
# AutoCAD look-alike and 10, 100 and 1000 other top-level windows on the desktop; then the
# longest monitor tick while the thread of AutoCAD's window does not answer (bench_ime_guard);
# then the panel's longest unresponsive stretch beside a refusing or hung cadsim (bench_busy_cad).
#
#   bash bench/run_bench.sh BIN_DIR [--panel EXE] [--pointer] [--hold-shift] [--idle-only]
#                           [bench_driver options...]
#
# BIN_DIR holds bench_driver.exe, bench_reference.exe, bench_windows.exe, bench_ime_guard.exe,
# bench_busy_cad.exe (with cadsim.exe) and, unless --panel
# names another program, MERIDO_B.exe. Any other option goes to bench_driver (--counts, --seconds,
# --warmup, --runs, --no-cad, --cad-front: the look-alike in the foreground, so that the
# panel also watches the keyboard; --keys: in front and typed into, 20 key events a second, so
# that the panel also takes every key press).
#
# --pointer moves the X pointer over the look-alike 100 times a second for the whole run, and
# --hold-shift holds Shift down on the X keyboard meanwhile: real input to Wine, as a user's
# mouse and keyboard make it (xdotool). With a modifier down the panel takes raw mouse input; the
# cost of that: run them twice as for --keys, the second time with a build configured with
# -DMERIDO_BENCH_WITHOUT_MOUSE_BUTTONS=ON (make bench-pointer does all four). --idle-only leaves
# out the IME-guard and busy-AutoCAD figures.
#
# The cost of taking the key presses: run --keys twice, once with the panel as built and once
# with --panel naming a build that takes none (make bench-keys does both):
#   cmake --preset windows -B build/windows-without-key-presses \
#       -DMERIDO_BENCH_WITHOUT_KEY_PRESSES=ON
#   cmake --build build/windows-without-key-presses --target MERIDO_B
#
# Under Wine most of the work of a window search (the window list, every title read) is done by
# the wineserver on behalf of the searching program, and Wine's GetProcessTimes does not follow
# other processes. So this script runs bench_driver with --sync and, at the start and the end of
# every measured period, samples from the Linux side the CPU time of the program under test and of
# the wineserver (/proc/<pid>/task/*/schedstat, nanoseconds). Both are given per second of wall
# time, together with their ratio panel/reference; the driver's own figures (10 ms resolution
# under Wine) follow below the table.
#
# It starts its own Xvfb display and uses its own Wine prefix next to BIN_DIR (created on first
# use), and removes both the display and the wineserver on every way out.
#
# Environment: BENCH_DISPLAY (a display number to use instead of a free one), BENCH_WINEPREFIX,
# BENCH_RESULTS (default: the folder above BIN_DIR, bench-results.txt).

set -euo pipefail

fail() {
    echo "run_bench: $*" >&2
    exit 1
}

[[ $# -ge 1 ]] || {
    sed -n '2,42p' "$0" >&2
    exit 2
}
bin_dir=$(cd "$1" 2>/dev/null && pwd) || fail "no such folder: $1"
shift

panel="$bin_dir/MERIDO_B.exe"
driver_args=()
pointer="" hold_shift="" idle_only=""
while [[ $# -gt 0 ]]; do
    case $1 in
        --pointer | --hold-shift | --idle-only)
            case $1 in
                --pointer) pointer=yes ;;
                --hold-shift) hold_shift=yes ;;
                *) idle_only=yes ;;
            esac
            shift
            ;;
        --panel)
            [[ $# -ge 2 ]] || fail "--panel needs a value"
            panel=$2
            shift 2
            ;;
        --sync | --panel=* | --reference | --windows)
            fail "$1 is set by this script"
            ;;
        *)
            driver_args+=("$1")
            shift
            ;;
    esac
done

for program in bench_driver.exe bench_reference.exe bench_windows.exe bench_ime_guard.exe \
    bench_busy_cad.exe; do
    [[ -f $bin_dir/$program ]] || fail "missing $bin_dir/$program (build the windows preset first)"
done
[[ -f $panel ]] || fail "missing the program under test: $panel"
panel=$(cd "$(dirname "$panel")" && pwd)/$(basename "$panel")
tools=(wine wineserver wineboot winepath Xvfb)
[[ -z $pointer$hold_shift ]] || tools+=(xdotool)
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

build_dir=$(dirname "$bin_dir")
results=${BENCH_RESULTS:-$build_dir/bench-results.txt}
export WINEPREFIX=${BENCH_WINEPREFIX:-$build_dir/bench-wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

work=$(mktemp -d "${TMPDIR:-/tmp}/merido-bench.XXXXXX")
xvfb_pid=""
driver_pid=""
pointer_pid=""
wine_started=""

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    if [[ -n $driver_pid ]] && kill -0 "$driver_pid" 2>/dev/null; then
        kill "$driver_pid" 2>/dev/null || true
    fi
    if [[ -n $pointer_pid ]]; then
        kill "$pointer_pid" 2>/dev/null || true
        wait "$pointer_pid" 2>/dev/null || true
    fi
    if [[ -n $hold_shift && -n $xvfb_pid ]]; then
        xdotool keyup shift 2>/dev/null || true
    fi
    if [[ -n $wine_started ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# --- display ---------------------------------------------------------------------------------
if [[ -n ${BENCH_DISPLAY:-} ]]; then
    Xvfb ":$BENCH_DISPLAY" -screen 0 1600x1200x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    echo "${BENCH_DISPLAY}" >"$work/display"
    sleep 1
else
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s $work/display ]] && break
        sleep 0.1
    done
fi
kill -0 "$xvfb_pid" 2>/dev/null && [[ -s $work/display ]] ||
    fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"

# --- Wine prefix and its wineserver -----------------------------------------------------------
wine_started=yes
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "run_bench: creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -n5 "$work/wineboot.log")"
    wineserver -w
fi
# A persistent server keeps one process, and so one pid to sample, for the whole run.
wineserver -p

# The wineserver of a prefix works in a folder named after the prefix's device and inode.
server_folder="server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"
wineserver_pid=""
for _ in $(seq 50); do
    for proc in /proc/[0-9]*; do
        [[ $(cat "$proc/comm" 2>/dev/null) == wineserver* ]] || continue
        if [[ $(basename "$(readlink "$proc/cwd" 2>/dev/null)") == "$server_folder" ]]; then
            wineserver_pid=${proc#/proc/}
            break 2
        fi
    done
    sleep 0.1
done
[[ -n $wineserver_pid ]] || fail "cannot find the wineserver of $WINEPREFIX"

# --- sampling --------------------------------------------------------------------------------
# CPU nanoseconds of all threads of a process (schedstat's first field: time on the CPU).
cpu_ns() {
    local total=0 ns rest task
    for task in /proc/"$1"/task/*/schedstat; do
        read -r ns rest 2>/dev/null <"$task" || continue
        total=$((total + ns))
    done
    echo "$total"
}

# The Linux pid of the Windows program started as $1 (Wine shows the command line as argv).
unix_pid_of() {
    local proc first
    for proc in /proc/[0-9]*; do
        IFS= read -r -d '' first 2>/dev/null <"$proc/cmdline" || continue
        if [[ $first == "$1" ]]; then
            echo "${proc#/proc/}"
            return 0
        fi
    done
    return 1
}

field() { # field NAME LINE: the value of NAME=... in a marker line
    local pattern=" $1=([^ ]*)"
    [[ $2 =~ $pattern ]] && echo "${BASH_REMATCH[1]}"
}

now_ns() { echo $((10#${EPOCHREALTIME//[.,]/} * 1000)); }

# --- real input through the X server ------------------------------------------------------------
# The look-alike lies at the middle of the 1600x1200 screen, 160x48 pixels (bench_windows); the
# pointer goes to and fro inside it, one move every 10 ms.
if [[ -n $pointer ]]; then
    for _ in $(seq 50); do
        echo "mousemove 820 635"
        echo "sleep 0.01"
        echo "mousemove 900 640"
        echo "sleep 0.01"
    done >"$work/pointer.xdo"
    (while :; do xdotool "$work/pointer.xdo" || exit 1; done) >/dev/null 2>&1 &
    pointer_pid=$!
fi
if [[ -n $hold_shift ]]; then
    xdotool keydown shift || fail "xdotool cannot press Shift"
fi

# --- the run ---------------------------------------------------------------------------------
mkfifo "$work/to_driver" "$work/from_driver"
driver_win=$(winepath -w "$bin_dir/bench_driver.exe" 2>/dev/null)
panel_win=$(winepath -w "$panel" 2>/dev/null)
echo "run_bench: display $DISPLAY, prefix $WINEPREFIX, wineserver pid $wineserver_pid"
wine "$driver_win" --sync --panel "$panel_win" "${driver_args[@]}" \
    <"$work/to_driver" >"$work/from_driver" 2>&1 &
driver_pid=$!
exec {to_driver}>"$work/to_driver" {from_driver}<"$work/from_driver"

data="$work/runs.txt"
: >"$data"
: >"$work/driver.txt"
client_pid="" client_start=0 server_start=0 wall_start=0
while IFS= read -r line <&"$from_driver"; do
    line=${line%$'\r'}
    case $line in
        @@begin*)
            image=$(field image "$line")
            client_pid=$(unix_pid_of "$image") || fail "cannot find the process of $image"
            client_start=$(cpu_ns "$client_pid")
            server_start=$(cpu_ns "$wineserver_pid")
            wall_start=$(now_ns)
            echo go >&"$to_driver"
            ;;
        @@end*)
            client_end=$(cpu_ns "$client_pid")
            server_end=$(cpu_ns "$wineserver_pid")
            wall_end=$(now_ns)
            echo go >&"$to_driver"
            [[ -d /proc/$client_pid ]] || fail "the program under test ended during its period"
            echo "$(field n "$line") $(field program "$line") $(field run "$line")" \
                "$((client_end - client_start)) $((server_end - server_start))" \
                "$((wall_end - wall_start))" >>"$data"
            ;;
        *)
            printf '%s\n' "$line" | tee -a "$work/driver.txt"
            ;;
    esac
done
driver_status=0
wait "$driver_pid" || driver_status=$?
driver_pid=""
exec {to_driver}>&- {from_driver}<&-
[[ $driver_status -eq 0 ]] || fail "bench_driver failed (exit code $driver_status)"
[[ -s $data ]] || fail "no measurements"

ime_guard="(left out: --idle-only)" busy_cad="(left out: --idle-only)"
if [[ -z $idle_only ]]; then
# --- the IME guard beside a blocked AutoCAD ---------------------------------------------------
ime_guard=$(wine "$(winepath -w "$bin_dir/bench_ime_guard.exe" 2>/dev/null)" 2>"$work/ime_guard.txt" |
    tr -d '\r') || fail "bench_ime_guard failed: $(tail -n5 "$work/ime_guard.txt")"

# --- beside a busy or hung AutoCAD ------------------------------------------------------------
# cadsim's automation identifiers, for the look-alike (idempotent).
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine-env.sh"
register_automation_ids
busy_cad=$(wine "$(winepath -w "$bin_dir/bench_busy_cad.exe" 2>/dev/null)" 2>"$work/busy_cad.txt" |
    tr -d '\r') || fail "bench_busy_cad failed: $(tail -n5 "$work/busy_cad.txt")"
fi

# --- the table -------------------------------------------------------------------------------
# Each run: CPU per second of wall time. Per N: the mean rate over the runs (so "ratio" is that of
# the totals), and the median and range of the per-run ratios, panel run k against reference
# run k; the median stands firm against a run that the machine disturbed.
table=$(awk '
    { n = $1; prog = $2; run = $3; wall = $6 / 1e9
      client[n, prog, run] = $4 / 1e6 / wall; server[n, prog, run] = $5 / 1e6 / wall
      if (!(n in seen)) { seen[n] = 1; order[++count] = n }
      if (run > runs[n]) runs[n] = run }
    function ratio(a, b) { return b > 0 ? sprintf("%.3f", a / b) : "n/a" }
    # Median and range of list[1..k], as "median min-max".
    function stats(list, k,    i, j, v, median) {
      if (k == 0) return sprintf("%7s %13s", "n/a", "n/a")
      for (i = 2; i <= k; i++) {
        v = list[i]
        for (j = i - 1; j >= 1 && list[j] > v; j--) list[j + 1] = list[j]
        list[j + 1] = v
      }
      median = k % 2 ? list[(k + 1) / 2] : (list[k / 2] + list[k / 2 + 1]) / 2
      return sprintf("%7.3f %13s", median, sprintf("%.3f-%.3f", list[1], list[k]))
    }
    END {
      printf "CPU time per second of wall time (ms/s), mean of the runs; ratio = panel/reference\n"
      printf "%6s %4s | %-47s | %-33s | %-29s\n", "", "", "client process", "wineserver",
             "client + wineserver"
      printf "%6s %4s | %8s %8s %7s %7s %13s | %8s %8s %7s %7s | %7s %7s %13s\n", "N", "runs",
             "panel", "ref", "ratio", "median", "range", "panel", "ref", "ratio", "median",
             "ratio", "median", "range"
      for (i = 1; i <= count; i++) {
        n = order[i]; k = runs[n]; pc = rc = ps = rs = 0
        split("", cr); split("", sr); split("", tr); nc = ns = nt = 0
        for (r = 1; r <= k; r++) {
          pc += client[n, "panel", r]; rc += client[n, "reference", r]
          ps += server[n, "panel", r]; rs += server[n, "reference", r]
          if (client[n, "reference", r] > 0) cr[++nc] = client[n, "panel", r] / client[n, "reference", r]
          if (server[n, "reference", r] > 0) sr[++ns] = server[n, "panel", r] / server[n, "reference", r]
          rt = client[n, "reference", r] + server[n, "reference", r]
          if (rt > 0) tr[++nt] = (client[n, "panel", r] + server[n, "panel", r]) / rt
        }
        server_stats = stats(sr, ns)
        printf "%6s %4d | %8.3f %8.3f %7s %s | %8.3f %8.3f %7s %s | %7s %s\n", n, k,
               pc / k, rc / k, ratio(pc, rc), stats(cr, nc),
               ps / k, rs / k, ratio(ps, rs), substr(server_stats, 1, 7),
               ratio(pc + ps, rc + rs), stats(tr, nt)
      }
    }' "$data")

{
    echo "MERIDO_B idle-cost benchmark, $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "program under test: $panel"
    echo "reference: $bin_dir/bench_reference.exe"
    echo "Wine: $(wine --version), display $DISPLAY"
    echo "input through X: pointer $([[ -n $pointer ]] && echo "moving 100 times a second" || echo still)," \
        "Shift $([[ -n $hold_shift ]] && echo held || echo up)"
    echo
    echo "$table"
    echo
    echo "per run: N program run client_ns wineserver_ns wall_ns"
    cat "$data"
    echo
    echo "bench_driver (client CPU from the Windows side):"
    grep -v '^#' "$work/driver.txt"
    echo
    echo "monitor ticks with AutoCAD's UI thread blocked, and answering:"
    echo "$ime_guard"
    echo
    echo "the panel beside a busy or hung AutoCAD:"
    echo "$busy_cad"
} >"$results"

echo
echo "$table"
echo
echo "$ime_guard"
echo
echo "$busy_cad"
echo
echo "run_bench: written to $results"
