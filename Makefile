# Front door: `make run` and `make test` do all the set-up on a fresh Debian machine.
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
BUILD     ?= build
ASAN      ?= build-asan
RELEASE   ?= build-release
MINIMAL   ?= build-minimal
FUZZ      ?= build-fuzz
TSAN      ?= build-tsan
# `make package`'s sources, build and results, and `make install`'s build: folders of their own.
PACKAGE_DIR ?= build-package
INSTALL_DIR ?= build-install
PREFIX    ?= /usr/local
MUTATE    ?= build-mutate
# `make mutate`: which sources (default every folder's), how many mutants of each, which draw.
FILES     ?=
PER_FILE  ?= 4
SEED      ?= 1
# Seconds each fuzz target runs in `make fuzz`; `make test` runs the short fixed pass (0).
FUZZ_TIME ?= 60
FUZZ_TEST_TIME ?= 0
# Warnings are errors in the project's own checks (`make test`, CI), never by default for the
# people who only build and run it, whose compilers may warn about more.
WERROR    ?= OFF
CMAKE_GEN := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps build build-asan run test test-plain test-asan test-configs test-fuzz fuzz \
        mutate test-mutate \
        package install install-build uninstall tsan bench pictures format clean

all: build

deps:
	@./scripts/install-deps.sh

# Configured again whenever this file changes, so that its options reach existing build folders.
$(BUILD)/CMakeCache.txt: Makefile | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELLA_WERROR=$(WERROR)

$(ASAN)/CMakeCache.txt: Makefile | deps
	cmake -S . -B $(ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTESSELLA_SANITIZE=ON \
	    -DTESSELLA_WERROR=$(WERROR)

$(FUZZ)/CMakeCache.txt: Makefile | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTESSELLA_FUZZ=ON

$(TSAN)/CMakeCache.txt: Makefile | deps
	cmake -S . -B $(TSAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELLA_TSAN=ON \
	    -DTESSELLA_WERROR=$(WERROR)

# The warning setting is applied on every build, as `make run` and `make test` share the folder.
build: deps $(BUILD)/CMakeCache.txt
	cmake -S . -B $(BUILD) -DTESSELLA_WERROR=$(WERROR) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN)/CMakeCache.txt
	cmake -S . -B $(ASAN) -DTESSELLA_WERROR=$(WERROR) >/dev/null
	cmake --build $(ASAN) -j $(JOBS)

test test-plain test-asan test-configs test-fuzz tsan: WERROR = ON

run: build
	@./scripts/run.sh $(BUILD)

test-plain: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp \
	    ctest --output-on-failure -j $(JOBS) -LE plain-only

# The builds users and packagers make: Release without tests, and without the toolkit.
test-configs: deps
	./scripts/build-configs.sh $(RELEASE) $(MINIMAL) $(JOBS)

test-fuzz:
	$(MAKE) fuzz FUZZ_TIME=$(FUZZ_TEST_TIME)

test: test-plain test-asan test-configs test-fuzz test-mutate

# Small faults put into the sources one at a time, each against the tests of its folder: the
# figures per folder and every survivor's change. Resumable; FILES=controls/TextBoxCustom.cpp
# PER_FILE=0 takes every mutant of one file.
mutate: deps
	./scripts/mutate.py --build $(MUTATE) --per-file $(PER_FILE) --seed $(SEED) --jobs $(JOBS) $(FILES)

# The check `make test` runs: a fixed draw of mutants of the engine, every one of which the
# tests must kill.
test-mutate: deps
	./scripts/mutate.py --build $(MUTATE) --folders engine --per-file 1 --seed 1 --jobs $(JOBS) \
	    --fresh --fail-on engine

fuzz: deps $(FUZZ)/CMakeCache.txt
	cmake --build $(FUZZ) -j $(JOBS)
	./scripts/fuzz.sh $(FUZZ) $(FUZZ_TIME)

# The Debian source and binary packages (tessella, tessella-cli), built from debian/ by
# dpkg-buildpackage into $(PACKAGE_DIR); no root needed. Says what to install when the build
# dependencies are missing, rather than installing the test tools of `deps`.
package:
	./scripts/package.sh $(PACKAGE_DIR) $(JOBS)

# Installing from the sources: a Release build of the programs alone in $(INSTALL_DIR), which
# nothing else uses, installed under $(PREFIX) (inside $(DESTDIR) when set); `make uninstall`
# removes what the last install put there. No `deps`: installing needs no test tools.
install-build:
	@test -f $(INSTALL_DIR)/CMakeCache.txt || cmake -S . -B $(INSTALL_DIR) $(CMAKE_GEN) \
	    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTESSELLA_DEMOS=OFF
	cmake --build $(INSTALL_DIR) -j $(JOBS)

install: install-build
	DESTDIR="$(DESTDIR)" ./scripts/install.sh install $(INSTALL_DIR) $(PREFIX)

uninstall:
	DESTDIR="$(DESTDIR)" ./scripts/install.sh uninstall $(INSTALL_DIR) $(PREFIX)

tsan: deps $(TSAN)/CMakeCache.txt
	./scripts/tsan.sh $(TSAN) $(JOBS)

bench: build
	@./scripts/bench.sh $(BUILD)

# The README's pictures of the utility, drawn again by its own window, off any desktop;
# ctest fails while a committed one differs from what the program draws.
pictures: build
	env -u DISPLAY -u WAYLAND_DISPLAY $(BUILD)/tests/app/tessella-pictures --write docs

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN) $(RELEASE) $(MINIMAL) $(FUZZ) $(TSAN) $(MUTATE) $(PACKAGE_DIR) \
	    $(INSTALL_DIR)
