# The two commands of the README: `make run` and `make test`.
BUILD    ?= build
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
GENERATOR = $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps configure build run test bench test-asan test-tsan clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/parlovance

test: build
	cd $(BUILD) && dbus-run-session -- ctest --output-on-failure -j $(JOBS) --timeout 600

bench: deps
	cmake -S . -B $(BUILD)-bench $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DPARLOVANCE_BENCH=ON -DPARLOVANCE_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS) --target bench

test-asan: deps
	cmake -S . -B $(BUILD)-asan $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DPARLOVANCE_SANITIZE=ON
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && dbus-run-session -- ctest --output-on-failure -j $(JOBS) --timeout 900

# ThreadSanitizer over the tests of the code that runs threads of its own (album art); add a
# test's label here when its area starts threads.
TSAN_LABELS = albumart
test-tsan: deps
	cmake -S . -B $(BUILD)-tsan $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DPARLOVANCE_SANITIZE_THREAD=ON
	cmake --build $(BUILD)-tsan -j $(JOBS) --target $$(cd $(BUILD)-tsan && ctest -N -L '$(TSAN_LABELS)' | sed -n 's/^ *Test *#[0-9]*: //p')
	cd $(BUILD)-tsan && dbus-run-session -- ctest --output-on-failure -j $(JOBS) --timeout 900 -L '$(TSAN_LABELS)'

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan $(BUILD)-tsan
