# Entry points: `make run` and `make test` work on a fresh Debian machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
CMAKE_GEN  := -G Ninja
# ccache, when installed, makes rebuilds in several checkouts cheap.
CMAKE_GEN  += $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Line tables only: backtraces, sanitizer reports and profilers still name
# file and line, and the builds take a third less time than with full -g.
LINES_ONLY := -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_DEBUG="-g1"

.PHONY: deb gdb all deps configure build run run-headless screenshots coverage-demo test test-main test-asan bench fuzz fuzz-smoke format-check clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) $(LINES_ONLY) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD)

# The debugger window on the last program (the demo on the first start);
# without a display, the same demo headless.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD)/app/gui/hc11flow ]; then \
	  $(BUILD)/app/gui/hc11flow; \
	else echo "run: no display available, running the demo headless instead"; \
	  $(MAKE) --no-print-directory run-headless; fi

run-headless:
	$(BUILD)/app/cli/hc11flow-cli run examples/demo/demo --steps 300000 --inject LecE2P --key Menu

# docs/main.png and docs/panel.png, drawn offscreen from a copy of the demo
# in a temporary folder, with a throw-away settings file and a workspace (a
# breakpoint and three watches) written there by the CLI.
screenshots: build
	@tmp=$$(mktemp -d) && cp examples/demo/demo.lst examples/demo/demo.HEX $$tmp/ && : > $$tmp/hc11flow.ini && \
	  $(BUILD)/app/cli/hc11flow-cli run $$tmp/demo --steps 1 --no-workspace --settings $$tmp/hc11flow.ini \
	    --break E02D --watch leds:b --watch cfg:$$:1:4 --watch adval:D --save-workspace $$tmp/demo.Zan >/dev/null && \
	  QT_QPA_PLATFORM=offscreen $(BUILD)/app/gui/hc11flow --settings $$tmp/hc11flow.ini \
	    --screenshot docs $$tmp/demo; status=$$?; rm -rf $$tmp; exit $$status

# The demo's coverage as an HTML report of its listing (genhtml, Debian's
# lcov), with its profile printed on the way.
COVERAGE_DIR ?= $(BUILD)/coverage-demo
coverage-demo: build
	@mkdir -p $(COVERAGE_DIR)
	$(BUILD)/app/cli/hc11flow-cli run examples/demo/demo --steps 300000 --inject LecE2P --key Menu \
	  --no-workspace --profile --coverage $(COVERAGE_DIR)/demo.info | grep '^profile: '
	genhtml --branch-coverage --quiet --title "hc11flow demo" -o $(COVERAGE_DIR)/html $(COVERAGE_DIR)/demo.info
	@echo "coverage-demo: open $(COVERAGE_DIR)/html/index.html"

test: test-main test-asan fuzz-smoke

test-main: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300

# The Qt-free suite once more under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) $(LINES_ONLY) -DCMAKE_BUILD_TYPE=Debug -DHC11_SANITIZE=ON \
	  -DHC11_GUI=OFF -DHC11_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && ctest --output-on-failure --timeout 300

bench: build
	$(BUILD)/bench/hc11flow-bench
	$(BUILD)/bench/hc11flow-bench-break
	$(BUILD)/bench/hc11flow-bench-reverse
	$(BUILD)/bench/hc11flow-bench-state
	$(BUILD)/bench/hc11flow-bench-gdb
	$(BUILD)/bench/flowchart/hc11flow-bench-flowchart
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/flowchart/hc11flow-bench-paint

fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) $(LINES_ONLY) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DHC11_FUZZ=ON -DHC11_GUI=OFF -DHC11_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) --target fuzz-targets

# A few seconds per fuzz target when clang is present.
fuzz-smoke:
	@if command -v clang++ >/dev/null 2>&1 && [ -f tests/fuzz/CMakeLists.txt ]; then \
	  $(MAKE) --no-print-directory fuzz && scripts/fuzz-smoke $(FUZZ_BUILD); \
	else echo "fuzz-smoke: skipped (no clang++ or no fuzz targets)"; fi

# Every C++ source as the root .clang-format lays it out.
format-check: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
	@echo "format-check: every source file is formatted"

# An m68hc11 GDB from Debian's gdb source package into build/gdb/ (about 45
# minutes on two cores); `make test` then runs the GDB scenarios with it.
gdb:
	@scripts/build-gdb $(BUILD)/gdb

# A Debian package in $(BUILD)/package with CPack (dpkg-shlibdeps names its dependencies).
deb: build
	@rm -rf $(BUILD)/package
	@cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/package/*.deb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
