# The two commands: `make run` and `make test`. `make bench` runs the benchmarks.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build run test bench clean deb

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@./scripts/run.sh $(BUILD)/bin/quadrela

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@./scripts/bench.sh $(BUILD)

clean:
	@rm -rf $(BUILD)

# The Debian package of the release build, in $(BUILD)/quadrela_<version>_<arch>.deb.
deb: build
	@cd $(BUILD) && cpack -G DEB

# Reliability runs. `make fuzz` builds the libFuzzer targets with clang in build-fuzz and
# runs each for FUZZ_SECONDS; `make test-asan` runs the whole test suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer in build-asan.
ASAN_BUILD ?= build-asan
SANITIZER_ENV = QT_QPA_PLATFORM=offscreen \
	ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/sanitizers/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$(CURDIR)/fuzz/sanitizers/ubsan.supp

.PHONY: fuzz test-asan

fuzz:
	@./scripts/install-fuzz-deps.sh
	@./scripts/fuzz.sh

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUADRELA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)
