#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite; non-zero exit on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
cd build
ctest --output-on-failure --timeout 600 -j2
