# make demo  - build the program and run it on the sample database and the portal stand-in
# make demo-https - the same with the stand-in behind TLS (socat, a demo authority) at the settings file's address
# make test  - build with AddressSanitizer and UndefinedBehaviorSanitizer and run every test, headless
# make bench - build optimised and print the benchmark figures
# make fuzz-run [FUZZ_SECONDS=60] - build the fuzz targets with clang and run each one that long
# make windows [ARCH=i686] - cross-build for Windows and write dist/quilvanor-<version>-windows-<arch>.zip
# make test-windows [ARCH=i686] - build the tests for Windows and run them under Wine, headless
#   (32-bit: under Debian's 32-bit Wine in an i386 chroot, as root)
# make screenshots - draw the operator's guide's pictures (docs/*.png) with the real program under Xvfb
# make package - Debian packages dist/quilvanor_<version>_amd64.deb and dist/quilvanor-outils_<version>_amd64.deb
# make package-check - install both packages, run the installed program under Xvfb, remove them (root)
# make faults [FAULT_RUNS=20] - kill the program at random moments and put it through full disks and a misbehaving portal
JOBS ?= $(shell nproc)
RELEASE_DIR := build
TEST_DIR := build-test
FAULTS_DIR := build-faults
FAULT_PORT ?= 18418

.PHONY: deps deps-windows demo demo-https test bench release clean fuzz fuzz-run windows test-windows screenshots package package-check faults
ARCH ?= x86_64
FUZZ_SECONDS ?= 60

deps:
	@scripts/install-deps.sh

deps-windows:
	@scripts/install-deps.sh --windows

release: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DQUILVANOR_TESTS=OFF >/dev/null
	cmake --build $(RELEASE_DIR) -j$(JOBS)

demo: release
	scripts/demo.sh $(RELEASE_DIR)

demo-https: release
	scripts/demo.sh $(RELEASE_DIR) --https

test: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DQUILVANOR_SANITIZE=ON -DQUILVANOR_WERROR=ON >/dev/null
	cmake --build $(TEST_DIR) -j$(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j$(JOBS)

bench: release
	scripts/bench.sh $(RELEASE_DIR)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILVANOR_FUZZ=ON -DQUILVANOR_TESTS=OFF -DQUILVANOR_BENCH=OFF >/dev/null
	cmake --build build-fuzz -j$(JOBS) --target fuzz_targets

fuzz-run: fuzz
	scripts/fuzz-run.sh build-fuzz $(FUZZ_SECONDS)

windows: deps-windows
	ARCH=$(ARCH) scripts/windows-build.sh build-windows-$(ARCH) -DCMAKE_BUILD_TYPE=Release -DQUILVANOR_TESTS=OFF
	cd build-windows-$(ARCH) && cpack -G ZIP

test-windows: deps-windows
	ARCH=$(ARCH) scripts/windows-test.sh build-windows-test-$(ARCH) $(RELEASE_DIR)

screenshots: release
	@scripts/install-deps.sh --screenshots
	scripts/screenshots.sh $(RELEASE_DIR)

package: release
	@scripts/install-deps.sh --package
	cmake --build $(RELEASE_DIR) -j$(JOBS) --target quilvanor-icons
	cd $(RELEASE_DIR) && cpack -G DEB

package-check: package
	scripts/package-check.sh $(RELEASE_DIR)

# Its own Release build, whose portal is the scripted portal on the loopback.
faults: deps
	@scripts/install-deps.sh --faults
	cmake -S . -B $(FAULTS_DIR) -DCMAKE_BUILD_TYPE=Release -DQUILVANOR_TESTS=OFF -DQUILVANOR_BENCH=OFF \
		-DPORTAL_BASE_URL=http://127.0.0.1:$(FAULT_PORT) >/dev/null
	cmake --build $(FAULTS_DIR) -j$(JOBS) --target quilvanor korva8-sample portal-standin
	scripts/faults.sh $(FAULTS_DIR) $(FAULT_PORT)

clean:
	rm -rf $(RELEASE_DIR) $(TEST_DIR) $(FAULTS_DIR) build-fuzz build-windows-* dist
