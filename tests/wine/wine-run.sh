#!/usr/bin/env bash
# Runs one Windows program of a build tree under Wine: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# The prefix and the virtual display are the ones wine-fixture.sh made for that tree.
set -euo pipefail
build=$1
shift
source "$(dirname "$0")/wine-env.sh" "$build"
exec "$SW_WINE" "$@"
