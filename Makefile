# Two commands do the whole set-up on a fresh Debian 12 machine:
#   make run   installs what is missing, builds Release into build/ and starts the player
#   make test  installs what is missing, builds Debug with ASan/UBSan into build-test/ and runs every test
JOBS ?= $(shell nproc)

.PHONY: run test build build-test bench clean

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

clean:
	rm -rf build build-test
