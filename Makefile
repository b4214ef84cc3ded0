# The two set-up commands (`make run`, `make test`) and `make dist`, `make bench`.
SHELL := /bin/bash
.DEFAULT_GOAL := dist
.PHONY: deps dist host windows run test bench format tidy clean

deps:
	@tools/install-deps.sh

windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

host: deps
	@cmake --preset host >/dev/null
	@cmake --build --preset host

# dist/ holds exactly what ships: the saver and its 50 pictures.
dist: windows host
	@rm -rf dist && mkdir -p dist
	@cp build/windows/slideshow.scr dist/
	@build/host/pictures/picture-generator dist
	@echo "dist/: $$(ls dist | wc -l) files, $$(du -sh dist | cut -f1)"

run: dist
	@tools/run.sh

test: dist
	@ctest --test-dir build/host --output-on-failure

bench: dist
	@bench/run.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

tidy: host
	@tools/tidy.sh

clean:
	@rm -rf build dist out
