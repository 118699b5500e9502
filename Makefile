# Orders the set-up, the builds and the runs; CMake presets do the building.
#   make run         set up, build, start the calculator (under Wine on Linux)
#   make test        set up, build, run every test
#   make build       build the core natively and the Windows program
#   make bench       core benchmarks natively, click and plan benchmarks under Wine
#   make fuzz        each fuzz target for a bounded time (FUZZ_SECONDS)
#   make soak        the long random soak of the window under Wine
#   make screenshot  render the window to docs/tallyhorn.png, at 144 DPI to
#                    docs/tallyhorn-144dpi.png, and beside its plan window to
#                    docs/tallyhorn-plan.png
#   make dist        the download: dist/tallyhorn-<version>-win64.zip
.PHONY: all setup build build-native build-asan build-mingw build-fuzz test run bench fuzz soak screenshot dist clean

all: build

setup:
	@bash scripts/setup.sh

# build-native, build-asan, build-mingw, build-fuzz: configure and build
# one CMake preset.
PRESETS := native asan mingw fuzz
$(addprefix build-,$(PRESETS)): build-%: setup
	cmake --preset $* >/dev/null
	cmake --build --preset $*

build: build-native build-mingw

test: build-native build-asan build-mingw build-fuzz
	@bash scripts/test.sh

run: build-mingw
	@bash scripts/run.sh

bench: build-native build-mingw
	@bash scripts/bench.sh

fuzz: build-fuzz
	@bash scripts/fuzz.sh

soak: build-mingw
	@bash scripts/soak.sh

screenshot: build-mingw
	@bash scripts/screenshot.sh
	@bash scripts/screenshot.sh --dpi 144
	@bash scripts/screenshot-plan.sh

# The two programs, the player's guide and the licence, zipped
# reproducibly; the SHA-256 is printed and written beside the zip.
dist: setup
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw --target dist

clean:
	rm -rf build dist
