#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
preset=default
[ "${CI:-}" = "true" ] && preset=ci   # CI treats warnings as errors
bash scripts/start-printer.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
# The Debian package made of this build, checked and linted.
bash scripts/package-check.sh build

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# fuzz targets for a bounded time each.
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
bash scripts/fuzz.sh
