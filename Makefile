# The two commands of the README: `make run` and `make test`.
BUILD    ?= build
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
GENERATOR = $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps configure build run test bench test-asan clean

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

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan
