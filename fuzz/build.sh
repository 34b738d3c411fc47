#!/bin/sh
# Builds the libFuzzer targets with clang (ASan + UBSan) into fuzz/out and writes their seed
# corpora. The heightmap, texture file, MD2, tree mesh, BSP and X-mesh targets link the
# platform library (and the MD2 target the framework library) of an ordinary g++ build; pass
# that build folder as the first argument.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
platform_build=${1:-$root/build-fuzz}
out=$here/out
for name in texture texture_file heightmap input_script run_options path text wsprintf md2 profile tree_mesh bsp x_mesh; do
  mkdir -p "$out/corpus/$name"
done

cxx=${CXX:-clang++}
flags="-std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all"
includes="-I$root -I$root/platform/include -I$root/platform/src"

d3dx=$root/platform/src/d3dx
$cxx $flags $includes -o "$out/texture_fuzzer" "$here/texture_fuzzer.cpp" \
    "$d3dx/image.cpp" "$d3dx/bmp_decoder.cpp" "$d3dx/dds_decoder.cpp" "$d3dx/jpeg_decoder.cpp" \
    "$d3dx/dxt_codec.cpp" "$d3dx/mip_chain.cpp" "$d3dx/texture_loader.cpp" \
    "$root/platform/src/core/paths.cpp" "$root/platform/src/core/text.cpp"

tools=$root/tools/demo-run
$cxx $flags $includes -o "$out/input_script_fuzzer" "$here/input_script_fuzzer.cpp" \
    "$tools/input_script.cpp" "$tools/run_options.cpp" "$tools/quoting.cpp"
$cxx $flags $includes -o "$out/run_options_fuzzer" "$here/run_options_fuzzer.cpp" "$tools/run_options.cpp" \
    "$tools/quoting.cpp"

platform_libraries="$platform_build/platform/libplatform.a $(pkg-config --libs sdl2 epoxy freetype2 fontconfig) -lassimp -lpthread"
$cxx $flags $includes -o "$out/heightmap_fuzzer" "$here/heightmap_fuzzer.cpp" "$root/terrain/heightmap.cpp" \
    $platform_libraries

# The loader from a file name: the decoders, the loader and the resolver instrumented, the
# trace device from the platform library.
$cxx $flags $includes -o "$out/texture_file_fuzzer" "$here/texture_file_fuzzer.cpp" \
    "$d3dx/image.cpp" "$d3dx/bmp_decoder.cpp" "$d3dx/dds_decoder.cpp" "$d3dx/jpeg_decoder.cpp" \
    "$d3dx/dxt_codec.cpp" "$d3dx/mip_chain.cpp" "$d3dx/texture_loader.cpp" \
    "$root/platform/src/core/paths.cpp" "$root/platform/src/core/text.cpp" $platform_libraries

core=$root/platform/src/core
$cxx $flags $includes -o "$out/path_fuzzer" "$here/path_fuzzer.cpp" "$core/paths.cpp" "$core/text.cpp"
$cxx $flags $includes -o "$out/text_fuzzer" "$here/text_fuzzer.cpp" "$core/code_pages.cpp" "$core/text.cpp"
$cxx $flags $includes -o "$out/wsprintf_fuzzer" "$here/wsprintf_fuzzer.cpp" "$core/wsprintf.cpp" "$core/text.cpp"

md2=$root/md2
$cxx $flags $includes -o "$out/md2_fuzzer" "$here/md2_fuzzer.cpp" "$md2/md2_file.cpp" "$md2/md2_mesh.cpp" \
    "$md2/md2_model.cpp" "$md2/md2_actor.cpp" "$md2/md2_normals.cpp" "$md2/animation_ranges.cpp" \
    "$platform_build/framework/libframework.a" $platform_libraries

$cxx $flags $includes -o "$out/tree_mesh_fuzzer" "$here/tree_mesh_fuzzer.cpp" "$root/scene/tree_mesh.cpp" \
    $platform_libraries

$cxx $flags $includes -o "$out/profile_fuzzer" "$here/profile_fuzzer.cpp" \
    "$core/profile_file.cpp" "$core/profile_edit.cpp" "$core/profile_text.cpp" "$core/profile_encoding.cpp" \
    "$core/regular_file.cpp" "$core/last_error.cpp" "$core/paths.cpp" "$core/text.cpp" "$core/code_pages.cpp"

# The .bsp reader and ray cast, sanitized, over the platform's maths; the X-mesh loader and the
# mesh object sanitized (assimp, a system library, is not), over the rest of the platform.
bsp=$root/bsp
$cxx $flags $includes -o "$out/bsp_fuzzer" "$here/bsp_fuzzer.cpp" "$bsp/bsp_geometry.cpp" "$bsp/bsp_tree.cpp" \
    "$bsp/bsp_file.cpp" "$platform_build/platform/libplatform.a" \
    $(pkg-config --libs sdl2 epoxy freetype2 fontconfig) -lassimp -lz -lpthread
$cxx $flags $includes -o "$out/x_mesh_fuzzer" "$here/x_mesh_fuzzer.cpp" "$d3dx/x_file_reader.cpp" \
    "$d3dx/x_file_prepare.cpp" "$d3dx/x_file_isolation.cpp" "$d3dx/x_mesh_builder.cpp" "$d3dx/mesh.cpp" \
    "$d3dx/sphere.cpp" \
    "$platform_build/platform/libplatform.a" \
    $(pkg-config --libs sdl2 epoxy freetype2 fontconfig) -lassimp -lz -lpthread

# Seeds: small valid files of every kind each parser accepts.
${CXX_SEEDS:-clang++} -std=c++20 $includes -o "$out/seed_writer" "$here/seed_writer.cpp"
"$out/seed_writer" "$out/corpus/texture" "$out/corpus/heightmap"
${CXX_SEEDS:-clang++} -std=c++20 $includes -o "$out/md2_seed_writer" "$here/md2_seed_writer.cpp" \
    "$root/tests/md2/md2_test_files.cpp"
"$out/md2_seed_writer" "$out/corpus/md2"
cp "$out"/corpus/texture/* "$out/corpus/texture_file/"
printf '..\\Resource\\SKIN.bmp' > "$out/corpus/path/resource.txt"
printf '..//resource//models//tree.x' > "$out/corpus/path/doubled.txt"
printf '/tmp/../tmp/./x\\y\\' > "$out/corpus/path/absolute.txt"
printf '..\\Resource\\loop\\x' > "$out/corpus/path/loop.txt"
printf 'plain ASCII, \303\251t\303\251, \350\275\275\345\205\245, \360\237\214\250' > "$out/corpus/text/mixed.txt"
printf '\300\200\355\240\200\364\220\200\200\377' > "$out/corpus/text/invalid.txt"
printf '%%\0d\0 \0%%\0s\0 \0%%\0-\0001\0000\0x\0 \0%%\0#\0X\0 \0%%\0c\0 \0%%\0h\0s\0 \0%%\0I\0006\0004\0d\0' \
    > "$out/corpus/wsprintf/conversions.bin"
${CXX_SEEDS:-clang++} -std=c++20 $includes -o "$out/mesh_seed_writer" "$here/mesh_seed_writer.cpp" \
    "$root/tests/support/x_binary_writer.cpp"
"$out/mesh_seed_writer" "$out/corpus/bsp" "$out/corpus/x_mesh"
printf '# keys and mouse\n1 down A\n2 up a\n3 move 10 -20\n4 ldown\n4 lup\n5 rdown  # right\n6 rup\n7 down F12\n8 down ESCAPE\n9 close\n' \
    > "$out/corpus/input_script/all_events.txt"
printf '3 down SPACE\n1 down UP\n2 up subtract\n' > "$out/corpus/input_script/unordered.txt"
printf 'water\000--frames\00030\000--capture\00010:shot.png\000--dt-ms\00020\000--text' \
    > "$out/corpus/run_options/capture.bin"
printf 'rain\000--start-ms\0004294967295\000--input\000in.txt\000--timing\000--resources\000res' \
    > "$out/corpus/run_options/resources.bin"
# Profile seeds: operation, section and key choice, value length, value, then the file.
printf '\000\001\000\003a7.; scene\r\n[3DSNumber]\r\nnum=1\r\n[3DS0]\r\npath=..\\Resource\\House\\\r\nsize = 0.1f \r\n' \
    > "$out/corpus/profile/ansi.ini"
printf '\001\000\001\000\357\273\277[s]\nk=\346\235\276\nj="q"\n[t]\nx=1' > "$out/corpus/profile/utf8_bom.ini"
printf '\000\000\000\002\013\014\377\376[\000s\000]\000\r\000\n\000k\000=\000~g\r\000\n\000' \
    > "$out/corpus/profile/utf16.ini"
printf '\002\001\000\000[a]\nx=1\n[b]\ny=2\n[c]\nz=3\n' > "$out/corpus/profile/sections.ini"
# Tree mesh seeds: one triangle with a named texture, and the generated tree when there is one.
{ printf '\001\000\000\000\003\000\000\000\001\000\000\000\001\000\000\000'
  printf '\010\000\000\000l\000e\000a\000f\000.\000b\000m\000p\000'
  head -c 60 /dev/zero
  printf '\000\000\001\000\002\000\000\000\000\000'; } > "$out/corpus/tree_mesh/triangle.mesh"
if [ -f "$platform_build/Resource/tree.mesh" ]; then cp "$platform_build/Resource/tree.mesh" "$out/corpus/tree_mesh/"; fi
echo "built in $out"
