# Two commands do the whole set-up on a fresh Debian 12 machine:
#   make run   installs what is missing, builds Release into build/ and starts the player
#   make test  installs what is missing, builds Debug with ASan/UBSan into build-test/ and runs every test
JOBS ?= $(shell nproc)

#   make install  installs the Release build (PREFIX, default /usr/local; DESTDIR)
#   make deb      builds the Debian package velmora4_*.deb in build-deb/
#   make fuzz     builds the fuzz targets with clang and runs each FUZZ_SECONDS
PREFIX ?= /usr/local
BUILD_DEB ?= build-deb
FUZZ_SECONDS ?= 60

.PHONY: run test build build-test bench clean install deb fuzz

run: build
	./build/velmora4 $(ARGS)

build:
	tools/bootstrap
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
	cmake --build build -j$(JOBS)

build-test:
	tools/bootstrap
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF
	cmake --build build-test -j$(JOBS)

test: build-test
	@if [ -z "$$DISPLAY" ]; then \
		xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build-test --output-on-failure -j$(JOBS); \
	else \
		ctest --test-dir build-test --output-on-failure -j$(JOBS); \
	fi

bench: build
	@for b in build/bench/*; do [ -x "$$b" ] && echo "== $$b" && "$$b"; done

install: build
	DESTDIR=$(DESTDIR) cmake --install build --prefix $(PREFIX)

deb:
	tools/bootstrap
	cmake -S . -B $(BUILD_DEB) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
		-DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF
	cmake --build $(BUILD_DEB) -j$(JOBS)
	cd $(BUILD_DEB) && cpack -G DEB

fuzz:
	tools/bootstrap fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON \
		-DVELMORA_BENCH=OFF
	cmake --build build-fuzz -j$(JOBS) --target velmora_fuzz_targets
	tools/run-fuzz build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build build-test build-deb build-fuzz
