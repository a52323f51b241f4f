# The front door. `make` builds dist/MERIDO_B.exe; `make test` and `make demo` are the two
# commands the README describes. Every target installs what is missing first.
JOBS ?= 2

.PHONY: all deps host windows test unit wine-tests demo docs-screenshots bench bench-keys fuzz format clean

all: dist/MERIDO_B.exe

deps:
	@bash scripts/install-deps.sh

host: deps
	cmake --preset host >/dev/null
	cmake --build --preset host -j$(JOBS)

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j$(JOBS)

dist/MERIDO_B.exe: windows
	mkdir -p dist
	cp build/windows/bin/MERIDO_B.exe dist/MERIDO_B.exe

unit: host
	ctest --preset host

wine-tests: windows
	ctest --preset windows

test: dist/MERIDO_B.exe unit wine-tests

demo: dist/MERIDO_B.exe
	bash scripts/demo.sh build/windows/bin

# Refreshes the screenshots that the README shows.
docs-screenshots: dist/MERIDO_B.exe
	env -u DISPLAY bash scripts/demo.sh build/windows/bin --docs

bench: dist/MERIDO_B.exe
	bash bench/run_bench.sh build/windows/bin

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

# libFuzzer targets (clang), each run for a bounded time; not part of `make test`.
FUZZ_SECONDS ?= 60
FUZZ_FLAGS = -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I.
fuzz: deps
	mkdir -p build/fuzz/text-to-int-corpus
	clang++ $(FUZZ_FLAGS) tests/fuzz/text_to_int_fuzz.cpp settings/text_to_int.cpp \
	    -o build/fuzz/text_to_int_fuzz
	build/fuzz/text_to_int_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    build/fuzz/text-to-int-corpus
	mkdir -p build/fuzz/wblock-name-corpus
	clang++ $(FUZZ_FLAGS) tests/fuzz/wblock_name_fuzz.cpp commands/wblock_name.cpp \
	    settings/settings_path.cpp settings/text_to_int.cpp -o build/fuzz/wblock_name_fuzz
	build/fuzz/wblock_name_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    build/fuzz/wblock-name-corpus

format:
	find app cadlink cadsim commands monitor platform settings tests bench \
	    -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
