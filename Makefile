# make demo  - build the program and run it on the sample database and the portal stand-in
# make test  - build with AddressSanitizer and UndefinedBehaviorSanitizer and run every test, headless
# make bench - build optimised and print the benchmark figures
# make windows [ARCH=i686] - cross-build for Windows and write dist/quilvanor-<version>-windows-<arch>.zip
# make test-windows - build the tests for Windows and run them under Wine, headless
JOBS ?= $(shell nproc)
RELEASE_DIR := build
TEST_DIR := build-test

.PHONY: deps deps-windows demo test bench release clean fuzz windows test-windows
ARCH ?= x86_64

deps:
	@scripts/install-deps.sh

deps-windows:
	@scripts/install-deps.sh --windows

release: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DQUILVANOR_TESTS=OFF >/dev/null
	cmake --build $(RELEASE_DIR) -j$(JOBS)

demo: release
	scripts/demo.sh $(RELEASE_DIR)

test: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DQUILVANOR_SANITIZE=ON -DQUILVANOR_WERROR=ON >/dev/null
	cmake --build $(TEST_DIR) -j$(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j$(JOBS)

bench: release
	scripts/bench.sh $(RELEASE_DIR)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILVANOR_FUZZ=ON -DQUILVANOR_TESTS=OFF >/dev/null
	cmake --build build-fuzz -j$(JOBS)

windows: deps-windows
	ARCH=$(ARCH) scripts/windows-build.sh build-windows-$(ARCH) -DCMAKE_BUILD_TYPE=Release -DQUILVANOR_TESTS=OFF
	cd build-windows-$(ARCH) && cpack -G ZIP

test-windows: deps-windows
	scripts/windows-test.sh build-windows-test $(RELEASE_DIR)

clean:
	rm -rf $(RELEASE_DIR) $(TEST_DIR) build-fuzz build-windows-* dist
