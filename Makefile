# The README's interface. Every target installs missing packages first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
FUZZ_TARGETS ?=

.PHONY: all deps build demo test bench bench-peers sanitize tsan fuzz install uninstall clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@scripts/demo.sh $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@scripts/bench.sh $(BUILD)

# tarvo beside ktoblzcheck, ibantools, python-stdnum, sepa and mt940js (installed on demand).
bench-peers: deps $(BUILD)/build.ninja
	@scripts/bench-peers.sh $(BUILD)

sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON \
		-DTARVO_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) tsan

# Optimised, as ThreadSanitizer slows every memory access; any report fails the test.
tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_TSAN=ON \
		-DTARVO_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	TSAN_OPTIONS=halt_on_error=1:exitcode=66:second_deadlock_stack=1:allocator_may_return_null=1 \
		ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS)

fuzz: deps
	@scripts/fuzz.sh $(FUZZ_TARGETS)

install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# Takes back the last install from $(BUILD); PREFIX, when given, must be where it went.
uninstall:
	cmake $(if $(PREFIX),-DPREFIX=$(PREFIX)) -P $(BUILD)/uninstall.cmake

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) build-fuzz
