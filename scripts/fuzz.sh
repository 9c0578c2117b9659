#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time over its seed corpus.
# New inputs go to a scratch folder, so the checked-in corpus stays as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${VPL_FUZZ_SECONDS:-20}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for target in number_text likert_evidence survey_file workbook; do
  scratch=$(mktemp -d)
  echo "fuzzing $target for ${seconds} s"
  ./build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build-fuzz/ "$scratch" "fuzz/corpus/$target" 2>&1 | tail -n 12
  rm -rf "$scratch"
done
