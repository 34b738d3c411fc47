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
# glasshall: look down a little, back away and step aside, then wave at the mirror.
glasshall_input=$(mktemp)
printf '2 move 400 300\n2 rdown\n3 move 400 330\n4 rup\n5 down S\n92 up S\n5 down D\n17 up D\n100 down 9\n101 up 9\n' \
    > "$glasshall_input"
./demo-run glasshall --frames 200 --input "$glasshall_input" --capture "200:$shots/glasshall.png"
rm -f "$glasshall_input"
# halfspace: look down about 20 degrees and fire at the mouse; the ball is in flight near it.
halfspace_input=$(mktemp)
printf '2 move 400 300\n3 rdown\n4 move 400 340\n6 rup\n10 down SPACE\n11 up SPACE\n' > "$halfspace_input"
./demo-run halfspace --frames 30 --input "$halfspace_input" --capture "30:$shots/halfspace.png"
rm -f "$halfspace_input"

# landscaper: walk north into the village, look down 30 degrees (and a little left), then back
# away and up over it so the house, the well, the trees, the pond and the minimap show.
landscaper_input=$(mktemp)
printf '2 move 400 300\n8 down W\n120 up W\n122 rdown\n123 move 390 360\n125 rup\n127 down S\n347 up S\n' \
    > "$landscaper_input"
./demo-run landscaper --frames 350 --input "$landscaper_input" --capture "350:$shots/landscaper.png"
rm -f "$landscaper_input"
echo "Screenshots written to $shots"
