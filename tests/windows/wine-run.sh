#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, on an X display:
# the cross build's emulator for tests and for any Windows tool the build runs.
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
enigo_wine_ready
exec wine "$@"
