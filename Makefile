# The front door. `make` builds dist/MERIDO_B.exe (stripped), `make dist` the release zip;
# `make test` and `make demo` are the two commands the README describes. Every target installs what is missing first.
JOBS ?= 2

# PANEL_VERSION, the release number, and the program's other versions.
include version.txt
DIST_ZIP = dist/MERIDO_B-$(PANEL_VERSION)-win64.zip
# Debian's interpreter, the one that Debian's python3-markdown (the guide's renderer) serves.
PYTHON ?= $(firstword $(wildcard /usr/bin/python3) python3)

.PHONY: all deps host windows windows-exe windows-clang dist dist-check test unit wine-tests demo \
        docs-screenshots bench bench-keys bench-pointer soak fuzz format tidy clean

all: dist/MERIDO_B.exe

deps:
	@bash scripts/install-deps.sh

host: deps
	cmake --preset host >/dev/null
	cmake --build --preset host -j$(JOBS)

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j$(JOBS)

# The program alone, without the test programs.
windows-exe: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j$(JOBS) --target MERIDO_B

# The second compiler: clang builds the program (every product source) with warnings as errors.
windows-clang: deps
	cmake --preset windows-clang >/dev/null
	cmake --build --preset windows-clang -j$(JOBS)

# The release zip: the stripped exe, the Japanese guide rendered to one HTML page with its
# pictures, and the list of changes; the debug information stays in build/dist/MERIDO_B.exe.debug.
dist: windows-exe
	$(PYTHON) tools/make_dist.py build build/windows/bin/MERIDO_B.exe $(DIST_ZIP)

# The zip's entries, page and exe; then the page opened from the unpacked zip in headless
# Chromium, which must load every picture; its first screen lands in build/guide-first-screen.png.
dist-check: dist
	$(PYTHON) tools/make_dist.py check $(DIST_ZIP)
	$(PYTHON) tools/check_guide_in_browser.py $(DIST_ZIP) build/guide-first-screen.png

dist/MERIDO_B.exe: dist
	cp build/dist/MERIDO_B.exe dist/MERIDO_B.exe

unit: host
	ctest --preset host

wine-tests: windows
	ctest --preset windows

# tidy adds about 70 s at -j2 on a quiet two-core machine.
test: dist/MERIDO_B.exe dist-check windows-clang unit tidy wine-tests

demo: windows
	bash scripts/demo.sh build/windows/bin

# Refreshes the screenshots that the README shows.
docs-screenshots: windows
	env -u DISPLAY bash scripts/demo.sh build/windows/bin --docs

# The idle figures; then the same with the X pointer moving 100 times a second over the desktop,
# no modifier down.
POINTER_BENCH = --idle-only --pointer --counts 10 --seconds 10 --runs 3
bench: windows
	bash bench/run_bench.sh build/windows/bin
	BENCH_RESULTS=build/bench-pointer-results.txt bash bench/run_bench.sh build/windows/bin \
	    $(POINTER_BENCH)

# What taking every key press costs the panel: 20 key events a second into the look-alike for
# 10 s, the panel as built against a build of it that takes none.
KEYS_BENCH = --keys --counts 10 --seconds 10 --runs 3
bench-keys: dist/MERIDO_B.exe
	cmake --preset windows -B build/windows-without-key-presses \
	    -DMERIDO_BENCH_WITHOUT_KEY_PRESSES=ON >/dev/null
	cmake --build build/windows-without-key-presses --target MERIDO_B -j$(JOBS)
	BENCH_RESULTS=build/bench-keys-results.txt bash bench/run_bench.sh build/windows/bin $(KEYS_BENCH)
	BENCH_RESULTS=build/bench-keys-without-results.txt bash bench/run_bench.sh build/windows/bin \
	    --panel build/windows-without-key-presses/bin/MERIDO_B.exe $(KEYS_BENCH)

# What taking raw mouse input while Shift or Ctrl is down costs: the pointer moving 100 times a
# second, the look-alike at the bottom, then in front (the detector running), then in front with
# Shift held; each time the panel as built and a build of it that never takes the mouse.
bench-pointer: windows
	cmake --preset windows -B build/windows-without-mouse-buttons \
	    -DMERIDO_BENCH_WITHOUT_MOUSE_BUTTONS=ON >/dev/null
	cmake --build build/windows-without-mouse-buttons --target MERIDO_B -j$(JOBS)
	for mode in idle front shift; do \
	    case $$mode in idle) args= ;; front) args=--cad-front ;; *) args="--cad-front --hold-shift" ;; esac; \
	    BENCH_RESULTS=build/bench-pointer-$$mode-results.txt bash bench/run_bench.sh \
	        build/windows/bin $(POINTER_BENCH) $$args && \
	    BENCH_RESULTS=build/bench-pointer-$$mode-without-results.txt bash bench/run_bench.sh \
	        build/windows/bin --panel build/windows-without-mouse-buttons/bin/MERIDO_B.exe \
	        $(POINTER_BENCH) $$args || exit 1; \
	done
# The long run, not part of `make test`: the real panel beside cadsim under Wine for SOAK_MINUTES,
# cycling a day's work through the X server's mouse and keys; its handles, private bytes and
# windows are sampled each minute (report: build/windows/soak-results.txt).
SOAK_MINUTES ?= 10
soak: windows
	bash bench/soak/run_soak.sh build/windows/bin --minutes $(SOAK_MINUTES)

# libFuzzer targets (clang, the fuzz preset), each run for a bounded time; not part of `make test`.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j$(JOBS)
	for target in text_to_int wblock_name; do \
	    mkdir -p build/fuzz/$$target-corpus && \
	    build/fuzz/bin/$${target}_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        build/fuzz/$$target-corpus || exit 1; \
	done

format:
	$(PYTHON) tools/format_sources.py

# clang-tidy with the checks of .clang-tidy over the sources of the host build (product and
# tests, as compile_commands.json lists them); any finding fails.
tidy: host
	run-clang-tidy -p build/host -j$(JOBS) -quiet \
	    '$(CURDIR)/(app|cadlink|commands|monitor|platform|settings|tests)/'

clean:
	rm -rf build dist
