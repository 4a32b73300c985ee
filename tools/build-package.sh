#!/usr/bin/env bash
# Builds the Debian package of the suite: a release build for the /usr prefix
# in build-package/, then `cpack -G DEB`. Prints the package's path.
# Install it with: sudo apt install ./build-package/vorn_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-packages.sh $(cat tools/build-packages.txt)
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack -G DEB >/dev/null)
ls "$PWD"/build-package/vorn_*.deb
