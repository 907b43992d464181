# make run   installs what is missing, builds the game and its data, starts it
# make test  installs, builds and runs every test (also under the sanitizers)
# make bench runs every benchmark and writes build/bench-report.md
# make lint  runs cppcheck and clang-tidy over src/ and tools/
# make contactsheet draws every model and texture into build/contact_sheet.png
# make screenshots  takes a picture of each level into build/screenshots/
# make demo  records the automated playthrough as build/game/demos/playthrough.dem
# make install  builds, then installs under PREFIX (/usr/local; DESTDIR is honoured)
# make uninstall removes what make install put under PREFIX (and DESTDIR)
# make package  builds and checks the Debian package build-package/talvemar_<version>_<arch>.deb (also: make deb)
# make fuzz  runs every file reader's libFuzzer target for FUZZ_SECONDS (60) seconds each

BUILD_DIR    ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS         ?= $(shell nproc)
CMAKE_FLAGS  ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
PREFIX       ?= /usr/local
PACKAGE_DIR  ?= build-package

.PHONY: all setup build run test test-fast test-sanitize bench lint fuzz contactsheet screenshots demo install uninstall package deb clean

all: build

setup:
	@scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	cd $(BUILD_DIR)/game && ./talvemar

test-fast: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-sanitize: setup
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DTALVEMAR_SANITIZE=ON -DTALVEMAR_BENCHMARKS=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j $(JOBS)

test: test-fast test-sanitize

bench: build
	@scripts/bench.sh $(BUILD_DIR)

# Needs only a configured build: the checks read its compile_commands.json.
lint: setup
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	@scripts/lint.sh $(BUILD_DIR)

# Seeds from the generated content, so the normal build comes first.
fuzz: build
	BUILD_DIR=$(BUILD_DIR) FUZZ_DIR=$(FUZZ_DIR) FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) scripts/fuzz.sh

# One picture of every model (several frames each) and every texture.
contactsheet: build
	cmake --build $(BUILD_DIR) --target contactsheet

# A picture of each level from its fixed spot (the README's pictures).
screenshots: build
	cmake --build $(BUILD_DIR) --target screenshots

# The automated playthrough, recorded as a demo the game plays back.
demo: build
	@scripts/record-demo.sh $(BUILD_DIR)

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# Needs no build: the manifest in the install says what is the install's.
uninstall:
	cmake -DPREFIX="$(PREFIX)" -DDESTDIR="$(DESTDIR)" -P cmake/uninstall.cmake

# A build of its own, as a packager makes it (see scripts/package.sh).
package: setup
	JOBS=$(JOBS) scripts/package.sh $(PACKAGE_DIR)

deb: package

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(PACKAGE_DIR)
