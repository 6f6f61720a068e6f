# The interface people use. `make test` sets up the machine when needed,
# builds the native and Windows builds and runs every test; `make run` starts
# the program under Wine.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
PREFIX = $(shell tools/setup.sh --print-prefix)
export VELTRAN_MINGW_PREFIX = $(PREFIX)

.PHONY: all check-cache setup configure build native win32 program test run fuzz bench screenshots clean

all: build

# Nothing is installed, built or started in a cache that is not this user's
# to change: one line says so first.
check-cache:
	@tools/check-cache

setup: check-cache
	@tools/setup.sh

build/native/build.ninja: | setup
	cmake --preset native >/dev/null

build/win32/build.ninja: | setup
	cmake --preset win32 -DVELTRAN_MINGW_PREFIX=$(PREFIX) >/dev/null

native: setup build/native/build.ninja
	cmake --build --preset native -j $(JOBS)

win32: setup build/win32/build.ninja
	cmake --build --preset win32 -j $(JOBS)

build: native win32

# Native and Windows tests run side by side; each ctest prints its own summary.
# Ctrl+C ends them and all they started (tools/run-tests). The tests' Wine
# prefix is prepared first, so that what it says reaches the terminal.
test: build
	@tools/wine-session prepare
	@tools/run-tests $(JOBS) build/native build/win32

# Veltran.exe under Wine, once the script that runs it holds the run's lock
# and has built the program: a run going on, or started at the same moment,
# is told before anything is configured or built.
run:
	@tools/run-veltran --build $(MAKE) --no-print-directory program

# The program and what ships beside it.
program: setup build/win32/build.ninja
	cmake --build --preset win32 -j $(JOBS) --target Veltran varizi vodoze program_sounds program_help icons_icl

FUZZ_SECONDS ?= 60
# FUZZ_TARGETS: names (e.g. "image_png clocks_unzip") to run only those.
FUZZ_TARGETS ?=
# Each target's final coverage is listed at the end, so a target that stalls
# (at a checksum, say) shows against the others.
fuzz: setup
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	@set -o pipefail; summary=""; for f in build/fuzz/fuzz/fuzz_*; do \
	  [ -x "$$f" ] || continue; \
	  name=$${f##*/fuzz_}; corpus=build/fuzz/corpus/$$name; \
	  if [ -n "$(FUZZ_TARGETS)" ] && ! echo " $(FUZZ_TARGETS) " | grep -q " $$name "; then continue; fi; \
	  mkdir -p $$corpus; log=build/fuzz/$$name.log; \
	  echo "== fuzzing $$name for $(FUZZ_SECONDS) s"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $$corpus fuzz/corpus/$$name >$$log 2>&1; rc=$$?; \
	  tail -n 12 $$log; \
	  cov=$$(grep -o 'cov: [0-9]*' $$log | tail -n 1 | cut -d' ' -f2); \
	  runs=$$(grep -o '^stat::number_of_executed_units: *[0-9]*' $$log | grep -o '[0-9]*$$'); \
	  summary="$$summary$$(printf '%-24s coverage %6s  runs %10s' $$name "$${cov:-?}" "$${runs:-?}")"$$'\n'; \
	  if [ $$rc -ne 0 ]; then echo "fuzz_$$name failed ($$rc), log in $$log"; printf '%s' "$$summary"; exit $$rc; fi; \
	done; \
	echo "== final coverage per target"; printf '%s' "$$summary"

# Figures only mean something from optimised code without sanitizers.
# BENCH_THREADS: threads each side of a comparison may use.
BENCH_THREADS ?= 1
# The benchmarks, one a source file; bench.readme_table finds them the same way
# (bench/CMakeLists.txt), so each has its rows in the README's table.
BENCHES = $(basename $(notdir $(wildcard bench/bench_*.cpp)))
WINBENCHES = $(basename $(notdir $(wildcard bench/winbench_*.cpp)))
BENCH_SCRIPTS = $(wildcard bench/*.py)
bench: setup build/win32/build.ninja
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS) --target $(BENCHES)
	@set -e; for b in $(BENCHES); do \
	  echo "== $$b"; build/bench/bench/$$b --threads=$(BENCH_THREADS); \
	done
	@# The window benchmarks (bench/winbench_*) need Windows: the win32 build, under Wine,
	@# in a Wine session of their own that ends with them, however they end (the default
	@# session that tools/wine-run makes alone may be someone's).
	cmake --build build/win32 -j $(JOBS) --target $(WINBENCHES)
	@set -e; export VELTRAN_WINE_SESSION="$(CURDIR)/build/bench/wine-session"; \
	trap 'tools/wine-session stop "$$VELTRAN_WINE_SESSION"' EXIT; \
	for b in $(WINBENCHES); do \
	  echo "== $$b.exe (under Wine)"; tools/wine-run build/win32/bench/$$b.exe; \
	done
	@# Memory as Linux counts it, beside a minimal Win32 program's.
	cmake --build build/win32 -j $(JOBS) --target Veltran varizi veltranctl
	@set -e; for p in $(BENCH_SCRIPTS); do \
	  echo "== $$(basename $$p .py) (under Wine)"; python3 $$p build/win32; \
	done

# Pictures of the real windows for the README, from a run under Wine.
screenshots: win32
	tools/screenshots docs/screenshots

clean:
	rm -rf build
