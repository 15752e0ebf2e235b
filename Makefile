# The two commands a newcomer needs: `make play` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: play test build deps configure clean fuzz package

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

# Fuzzing: a clang build of the fuzz targets in $(FUZZ_BUILD), then each
# target for SECONDS seconds, one at a time. New inputs go to
# $(FUZZ_BUILD)/corpus/<target>; the kept corpus in fuzz/corpus is only read.
FUZZ_BUILD ?= build-fuzz
SECONDS ?= 60
FUZZ_TARGETS = levels figures menu save hiscores settings fonts tga bmp jpeg replay

fuzz: deps
	@if [ ! -f $(FUZZ_BUILD)/build.ninja ]; then \
	  CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DVOXARINE_FUZZ=ON -DVOXARINE_SANITIZED_TESTS=OFF; fi
	cmake --build $(FUZZ_BUILD) -j 2 --target fuzz-targets
	@failed=""; for t in $(FUZZ_TARGETS); do \
	  echo "== fuzz-$$t for $(SECONDS) s"; \
	  fuzz/run.sh $(FUZZ_BUILD) $$t -max_total_time=$(SECONDS) || failed="$$failed $$t"; \
	done; \
	if [ -n "$$failed" ]; then echo "findings in:$$failed (see $(FUZZ_BUILD)/findings/)"; exit 1; fi
