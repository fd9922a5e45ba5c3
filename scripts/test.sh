#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine; fails when any test fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
export BUILD_DIR=$build_dir

"$here/scripts/build.sh"
cd "$build_dir"
ctest --output-on-failure "$@"
