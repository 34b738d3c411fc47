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
# How each program is shown: frames to run and an input script; a program without a line here
# is captured after 300 frames of its own.
recipe() {
  case "$1" in
    relief) echo "2|" ;;
    # glasshall: look down a little, back away and step aside, then wave at the mirror.
    glasshall) echo "200|2 move 400 300\n2 rdown\n3 move 400 330\n4 rup\n5 down S\n92 up S\n5 down D\n17 up D\n100 down 9\n101 up 9\n" ;;
    # halfspace: look down about 20 degrees and fire at the mouse; the ball is in flight near it.
    halfspace) echo "30|2 move 400 300\n3 rdown\n4 move 400 340\n6 rup\n10 down SPACE\n11 up SPACE\n" ;;
    # landscaper: walk north into the village, look down 30 degrees (and a little left), then
    # back away and up over it so the house, the well, the trees, the pond and the minimap show.
    landscaper) echo "350|2 move 400 300\n8 down W\n120 up W\n122 rdown\n123 move 390 360\n125 rup\n127 down S\n347 up S\n" ;;
    *) echo "300|" ;;
  esac
}

input=$(mktemp)
trap 'rm -f "$input"' EXIT
while IFS='|' read -r name _; do
  case "$name" in '#'* | '') continue ;; esac
  name=$(echo $name)
  IFS='|' read -r frames script <<< "$(recipe "$name")"
  printf "$script" > "$input"
  ./demo-run "$name" --frames "$frames" --input "$input" --capture "$frames:$shots/$name.png"
done < "$top/programs/programs.txt"
echo "Screenshots written to $shots"
