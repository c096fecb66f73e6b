#!/usr/bin/env bash
# Installs what `make fuzz` needs beyond the ordinary build: Debian's clang with its
# libFuzzer and sanitizer runtimes, and the symbolizer for readable crash reports.
# Only the missing packages are installed.
set -euo pipefail

exec "$(dirname "$0")/install-deps.sh" clang-14 libclang-rt-14-dev llvm-14
