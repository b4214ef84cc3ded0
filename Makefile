# The two set-up commands (`make run`, `make test`) and `make dist`, `make bench`.
SHELL := /bin/bash
.DEFAULT_GOAL := dist
.PHONY: deps dist shipped release host windows run test bench format tidy clean

deps:
	@tools/install-deps.sh

windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

host: deps
	@cmake --preset host >/dev/null
	@cmake --build --preset host

# dist/ holds what ships, the saver and its 50 pictures, and the release made of them: the
# per-user installer, the MSI and the zip. With SIGN_PFX set (and SIGN_TIMESTAMP_URL,
# optionally) the saver and the release are signed with that certificate; installer/sign.sh says
# where the password comes from. With RELEASE_URL, the address the release's files will be
# downloaded from, dist/winget/ holds its manifest for the Windows Package Manager.
dist: shipped release
	@cd dist && for f in *-setup.exe *.msi *.zip; do echo "dist/$$f: $$(du -h "$$f" | cut -f1)"; done
	@if [ -n "$${RELEASE_URL:-}" ]; then installer/winget.sh dist dist/winget && \
	  echo "dist/winget/: the manifest for winget, for $$RELEASE_URL"; fi

shipped: windows host
	@rm -rf dist && mkdir -p dist
	@cp build/windows/slideshow.scr dist/
	@build/host/pictures/picture-generator dist
	@echo "dist/: $$(ls dist | wc -l) files, $$(du -sh dist | cut -f1)"

# The signing password, when a CI system gives it as a variable (empty included), is for
# installer/sign.sh alone, which keeps it out of the environment of the tools it runs. make hands
# a target's variables on to everything it builds for that target, so the release's recipe, the
# one step with the password in its environment, has no prerequisites of its own: it makes the
# release of what dist/ holds, after `dist` has built `shipped`, one target at a time. On make's
# command line the password would reach every step in MAKEFLAGS.
.NOTPARALLEL:
ifeq ($(origin SIGN_PFX_PASSWORD),command line)
$(error SIGN_PFX_PASSWORD goes in the environment, not on make's command line)
endif
ifneq ($(origin SIGN_PFX_PASSWORD),undefined)
release: export SIGN_PFX_PASSWORD := $(value SIGN_PFX_PASSWORD)
endif
# After the test of its origin: `unexport` defines it.
unexport SIGN_PFX_PASSWORD
release:
	@installer/sign.sh --around installer/build.sh dist build/windows/icon/slideshow.ico build/release

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
