#!/usr/bin/env bash
# Installs what is missing, builds Zintar and starts the clock.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec build/bin/zintar
