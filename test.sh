#!/usr/bin/env bash
# Installs what is missing, builds the native and Windows trees and runs every
# test: native unit tests directly, a short run of each fuzz target, Windows
# and window tests under Wine on a virtual display; the XP build is made and
# its imports checked; the help file, the installers and the portable zips are
# made, and the x86_64 ones installed, started and removed under Wine.
set -uo pipefail
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"
scripts/setup.sh || exit 1
scripts/build.sh native win64 || exit 1
status=0
scripts/check-xp.sh || status=1
# The installers and zips, which the Windows tests install and start.
scripts/package.sh win64 win32 || status=1
ctest --test-dir build/native --output-on-failure -j2 | tail -n 40 || status=1
# Every fuzz target for a few seconds: a crash or a failed check fails the run.
scripts/fuzz.sh all 5s || status=1
LANZHAN_XVFB=1 scripts/with-display.sh ctest --test-dir build/win64 --output-on-failure || status=1
exit $status
