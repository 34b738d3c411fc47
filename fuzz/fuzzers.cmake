# The fuzz targets, one per line: fuzz/NAME_fuzzer.cpp each. fuzz/CMakeLists.txt builds them
# (and fails for a name here without its add_demo_fuzzer line, or the reverse); the ordinary
# build's CTest runs each over its seed corpus.
set(DEMO_FUZZERS
  texture
  texture_file
  heightmap
  path
  text
  wsprintf
  input_script
  run_options
  md2
  profile
  bsp
  x_mesh
  tree_mesh
)
