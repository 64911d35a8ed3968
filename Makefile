# The README's two commands: `make run` and `make test`. Both install what is
# missing first, so they work on a fresh machine.
JOBS        ?= 2
RELEASE_DIR := build/release
TEST_DIR    := build/test

.PHONY: deps run build test bench clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTAL_TESTS=OFF -DPICTAL_BENCH=ON
	ninja -C $(RELEASE_DIR) -j$(JOBS)

run: build
	$(RELEASE_DIR)/bin/pictal

# The test build compiles the benchmarks too (they are not run), so a change
# that breaks them fails here rather than in `make run`.
test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPICTAL_SANITIZE=ON -DPICTAL_TESTS=ON -DPICTAL_BENCH=ON
	ninja -C $(TEST_DIR) -j$(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j$(JOBS) --timeout 300

bench: build
	@bash bench/run.sh $(RELEASE_DIR)/bin

clean:
	rm -rf build
