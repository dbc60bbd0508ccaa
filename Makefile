# The two commands of the README, and the pieces they are made of.
#   make demo   build everything and show what setup.exe carries
#   make test   build everything and run every test, native and under Wine
#   make run    start setup.exe on your own display
#   make test-pe32   run the PE32 build itself under wine32 in an emulated guest
#   make sign   sign the PE32 and its uninstaller into build/release/setup.exe
#               (scripts/sign says which certificate it needs)
# PRODUCT=folder builds the setup program of another product: the folder holds
# its description product.ini and its payload folder payload/ (README).
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory
JOBS ?= 2
GEN := $(CURDIR)/build/host/gen
PRODUCT ?= resources
PRODUCT_DIR := $(abspath $(PRODUCT))

.PHONY: demo run test test-pe32 sign bootstrap host win32 win32-tests win64 build bench fuzz size clean

# The demo prints the file table as setup.exe carries it: each MinGW tree
# packs its own payload.
demo: build
	@build/host/tools/peruse/portavo-inspect list build/win32/setup.exe | sed '/^Version resource/,$$d'
	@ls -l build/win32/setup.exe
	@scripts/demo
	@scripts/demo-pages

run: build
	@scripts/run

test: build
	@scripts/run-tests

build: win32 win64

test-pe32:
	@scripts/test-pe32

sign: win32
	@PRODUCT_DIR=$(PRODUCT_DIR) scripts/sign-release

bootstrap:
	@scripts/bootstrap

host: bootstrap
	@cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Release -DPORTAVO_PRODUCT_DIR=$(PRODUCT_DIR) >/dev/null
	@cmake --build build/host -j$(JOBS)

win32: host
	@cmake --no-warn-unused-cli -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=MinSizeRel -DPORTAVO_GEN_DIR=$(GEN) -DPORTAVO_PRODUCT_DIR=$(PRODUCT_DIR) >/dev/null
	@cmake --build build/win32 -j$(JOBS)

# The Win32 tests built for i686, run by test-pe32 inside its guest
# (PE32_BUILD: only these targets). Built as the shipped tree is, so that the
# uninstaller and stand-ins it packs, and so its payload and checksums, are
# those of build/win32/setup.exe, which the walk runs and checks.
win32-tests: host
	@cmake --no-warn-unused-cli -S . -B build/win32-tests -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DCMAKE_BUILD_TYPE=MinSizeRel -DPORTAVO_GEN_DIR=$(GEN) -DPORTAVO_WIN32_TESTS=ON -DPORTAVO_PRODUCT_DIR=$(PRODUCT_DIR) \
	  -DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/scripts/wine32-run >/dev/null
	@cmake --build build/win32-tests -j$(JOBS) $(if $(PE32_BUILD),--target $(PE32_BUILD))

win64: host
	@cmake --no-warn-unused-cli -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DPORTAVO_GEN_DIR=$(GEN) -DPORTAVO_WIN32_TESTS=ON -DPORTAVO_PRODUCT_DIR=$(PRODUCT_DIR) >/dev/null
	@cmake --build build/win64 -j$(JOBS)

# The shipped setup.exe's sections and what its code and data are made of.
size: win32
	@scripts/size build/win32

bench: build
	@build/host/tools/pack/portavo-pack bench
	@build/host/tools/pack/portavo-check-bench
	@scripts/with-wine scripts/wine-run build/win64/check-bench.exe
	@scripts/with-wine scripts/wine-run build/win64/walk-bench.exe

fuzz: bootstrap
	@CC=clang CXX=clang++ cmake -S . -B build/fuzz -DPORTAVO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build/fuzz -j$(JOBS)
	@build/fuzz/lzhuf-fuzz -max_total_time=$${FUZZ_SECONDS:-60} -max_len=4096 build/fuzz/corpus
	@build/fuzz/inspect-fuzz-seed build/fuzz/pe-corpus
	@build/fuzz/inspect-fuzz -max_total_time=$${FUZZ_SECONDS:-60} -max_len=8192 build/fuzz/pe-corpus

clean:
	rm -rf build
