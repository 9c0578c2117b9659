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
