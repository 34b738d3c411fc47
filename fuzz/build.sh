#!/bin/sh
# Builds the libFuzzer targets with clang (ASan + UBSan) into fuzz/out and writes their seed
# corpora. The heightmap, MD2, BSP and X-mesh targets link the platform library (and the MD2
# target the framework library) of an ordinary g++ build; pass that build folder as the first
# argument.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
platform_build=${1:-$root/build-fuzz}
out=$here/out
mkdir -p "$out/corpus/texture" "$out/corpus/heightmap" "$out/corpus/input_script" \
         "$out/corpus/run_options" "$out/corpus/md2" "$out/corpus/bsp" "$out/corpus/x_mesh"

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
    "$tools/input_script.cpp" "$tools/run_options.cpp"
$cxx $flags $includes -o "$out/run_options_fuzzer" "$here/run_options_fuzzer.cpp" "$tools/run_options.cpp"

$cxx $flags $includes -o "$out/heightmap_fuzzer" "$here/heightmap_fuzzer.cpp" "$root/terrain/heightmap.cpp" \
    "$platform_build/platform/libplatform.a" \
    $(pkg-config --libs sdl2 epoxy freetype2 fontconfig) -lpthread

md2=$root/md2
$cxx $flags $includes -o "$out/md2_fuzzer" "$here/md2_fuzzer.cpp" "$md2/md2_file.cpp" "$md2/md2_mesh.cpp" \
    "$md2/md2_model.cpp" "$md2/md2_actor.cpp" "$md2/md2_normals.cpp" "$md2/animation_ranges.cpp" \
    "$platform_build/framework/libframework.a" "$platform_build/platform/libplatform.a" \
    $(pkg-config --libs sdl2 epoxy freetype2 fontconfig) -lpthread

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
echo "built in $out"
