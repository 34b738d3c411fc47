#!/usr/bin/env bash
# Regenerates the README's screenshots with the headless runner: docs/screenshots/NAME.png.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/setup.sh"
demo_install_packages
demo_build "$top"

shots="$top/docs/screenshots"
mkdir -p "$shots"
cd "$top/build/bin"
./demo-run relief --frames 2 --capture "2:$shots/relief.png"
./demo-run tether --frames 300 --capture "300:$shots/tether.png"
./demo-run flurry --frames 300 --capture "300:$shots/flurry.png"
./demo-run drizzle --frames 300 --capture "300:$shots/drizzle.png"
echo "Screenshots written to $shots"
