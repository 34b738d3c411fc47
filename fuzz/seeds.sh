#!/bin/sh
# Writes the seed corpus of every fuzzer: seeds.sh WRITERS CORPUS NAME..., WRITERS the folder
# of the seed writer programs (built with the fuzzers), CORPUS the folder that gets a folder
# of seeds for each fuzzer NAME. Each seed is a small valid input its parser accepts.
set -eu
writers=$1
corpus=$2
shift 2
for name in "$@"; do
  mkdir -p "$corpus/$name"
done
"$writers/seed_writer" "$corpus/texture" "$corpus/heightmap"
"$writers/md2_seed_writer" "$corpus/md2"
cp "$corpus"/texture/* "$corpus/texture_file/"
printf '..\\Resource\\SKIN.bmp' > "$corpus/path/resource.txt"
printf '..//resource//models//tree.x' > "$corpus/path/doubled.txt"
printf '/tmp/../tmp/./x\\y\\' > "$corpus/path/absolute.txt"
printf '..\\Resource\\loop\\x' > "$corpus/path/loop.txt"
printf 'plain ASCII, \303\251t\303\251, \350\275\275\345\205\245, \360\237\214\250' > "$corpus/text/mixed.txt"
printf '\300\200\355\240\200\364\220\200\200\377' > "$corpus/text/invalid.txt"
printf '%%\0d\0 \0%%\0s\0 \0%%\0-\0001\0000\0x\0 \0%%\0#\0X\0 \0%%\0c\0 \0%%\0h\0s\0 \0%%\0I\0006\0004\0d\0' \
    > "$corpus/wsprintf/conversions.bin"
"$writers/mesh_seed_writer" "$corpus/bsp" "$corpus/x_mesh"
printf '# keys and mouse\n1 down A\n2 up a\n3 move 10 -20\n4 ldown\n4 lup\n5 rdown  # right\n6 rup\n7 down F12\n8 down ESCAPE\n9 close\n' \
    > "$corpus/input_script/all_events.txt"
printf '3 down SPACE\n1 down UP\n2 up subtract\n' > "$corpus/input_script/unordered.txt"
printf 'water\000--frames\00030\000--capture\00010:shot.png\000--dt-ms\00020\000--text' \
    > "$corpus/run_options/capture.bin"
printf 'rain\000--start-ms\0004294967295\000--input\000in.txt\000--timing\000--resources\000res' \
    > "$corpus/run_options/resources.bin"
# Profile seeds: operation, section and key choice, value length, value, then the file.
printf '\000\001\000\003a7.; scene\r\n[3DSNumber]\r\nnum=1\r\n[3DS0]\r\npath=..\\Resource\\House\\\r\nsize = 0.1f \r\n' \
    > "$corpus/profile/ansi.ini"
printf '\001\000\001\000\357\273\277[s]\nk=\346\235\276\nj="q"\n[t]\nx=1' > "$corpus/profile/utf8_bom.ini"
printf '\000\000\000\002\013\014\377\376[\000s\000]\000\r\000\n\000k\000=\000~g\r\000\n\000' \
    > "$corpus/profile/utf16.ini"
printf '\002\001\000\000[a]\nx=1\n[b]\ny=2\n[c]\nz=3\n' > "$corpus/profile/sections.ini"
# Tree mesh seeds: one triangle with a named texture, and the generated tree when there is one.
{ printf '\001\000\000\000\003\000\000\000\001\000\000\000\001\000\000\000'
  printf '\010\000\000\000l\000e\000a\000f\000.\000b\000m\000p\000'
  head -c 60 /dev/zero
  printf '\000\000\001\000\002\000\000\000\000\000'; } > "$corpus/tree_mesh/triangle.mesh"
