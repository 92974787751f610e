#!/usr/bin/env bash
# Sets up, builds and makes the Debian package build/tolvane_<version>_amd64.deb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
(cd build && cpack -G DEB)
