# The two commands a newcomer needs: `make play` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: play test build deps configure clean package

deps:
	@tools/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake -S . -B $(BUILD) -G Ninja; fi

build: configure
	cmake --build $(BUILD) -j $(JOBS)

play: build
	cd $(BUILD)/game && ./voxarine

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package, $(BUILD)/voxarine_<version>_<arch>.deb.
package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD)
