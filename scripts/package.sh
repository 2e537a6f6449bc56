#!/usr/bin/env bash
# Builds the Debian package qrvlink_<version>_<arch>.deb (everything
# `cmake --install` lays out, under /usr) into out/ and prints its path.
#   scripts/package.sh
# Install it with:  apt-get install ./out/qrvlink_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

# A build of its own: the package is configured for /usr and needs no tests.
# RelWithDebInfo (-O2) as everywhere else; CPack strips the binaries. (g++ 12
# at -O3 reports false -Wrestrict warnings in std::string concatenation.)
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DQRV_WERROR=ON -DQRV_BUILD_TESTS=OFF -DQRV_BUILD_BENCH=OFF >/dev/null
cmake --build build-package -j "$(nproc)"
mkdir -p out
(cd build-package && cpack -G DEB -B "$PWD/../out" >/dev/null)
rm -rf out/_CPack_Packages
deb=$(ls -t out/qrvlink_*.deb | head -n 1)
echo "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
