# Seedwright: the README's commands.
#   make demo         installs what is missing, builds, and shows Seedwright's whole job
#   make test         installs what is missing, checks the includes, builds native, tsan, win64 and
#                     win32, runs every test: the Windows suite against both builds on 64-bit
#                     Windows, and the shipped win32 program's end-to-end roads on 32-bit Windows
#   make screenshots  a PNG of every dialog in build/screenshots/
#   make fuzz         every libFuzzer target for a minute (scripts/fuzz.sh SECONDS for longer)
SHELL := /bin/bash
.PHONY: demo test deps configure build format-check check-includes clean screenshots fuzz

test: deps format-check check-includes build
	ctest --preset native
	ctest --preset tsan
	ctest --preset win64
	ctest --preset win32
	ctest --preset win32-on-x86

demo: deps
	scripts/demo.sh

deps:
	scripts/install-deps.sh

configure: deps
	cmake --preset native >/dev/null
	cmake --preset win64 >/dev/null
	cmake --preset win32 >/dev/null
	cmake --preset tsan >/dev/null

build: configure
	cmake --build --preset native
	cmake --build --preset win64
	cmake --build --preset win32
	cmake --build --preset tsan

screenshots: deps
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 --target dialog_gallery
	scripts/screenshots.sh build/win64 build/screenshots

fuzz: deps
	scripts/fuzz.sh

# Every #include follows the layers of docs/architecture.md.
check-includes:
	scripts/check-includes.py

format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	rm -rf build
