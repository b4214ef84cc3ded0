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

# dist/ holds what ships, the saver and its 50 pictures, and the release made of them: the
# per-user installer, the MSI and the zip. With SIGN_PFX and SIGN_PFX_PASSWORD set (and
# SIGN_TIMESTAMP_URL, optionally) the saver and the release are signed with that certificate.
dist: windows host
	@rm -rf dist && mkdir -p dist
	@cp build/windows/slideshow.scr dist/
	@if [ -n "$${SIGN_PFX:-}" ]; then installer/sign.sh dist/slideshow.scr; fi
	@build/host/pictures/picture-generator dist
	@echo "dist/: $$(ls dist | wc -l) files, $$(du -sh dist | cut -f1)"
	@installer/build.sh dist build/windows/icon/slideshow.ico build/release
	@cd dist && for f in *-setup.exe *.msi *.zip; do echo "dist/$$f: $$(du -h "$$f" | cut -f1)"; done

run: dist
	@tools/run.sh

test: dist
	@ctest --test-dir build/host --output-on-failure

bench: dist
	@bench/run.sh

# docs/ holds the README's pictures, made from the screenshots the last `make test` left in
# out/e2e/.
.PHONY: docs
docs:
	@tools/docs-pictures.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

tidy: host
	@tools/tidy.sh

clean:
	@rm -rf build dist out
