# The browser build: every program as NAME.js + NAME.wasm for a page of its own
# (scripts/build-web.sh writes the pages and packs the data files each one preloads).
#
# Asyncify lets the programs keep their blocking message loops: each wait and each Present
# yields to the browser. Only the functions that can reach such a yield are instrumented.
#
# GLOBAL_BASE: Windows never maps the lowest 64 KiB of an address space, and its APIs tell an
# atom (MAKEINTATOM, MAKEINTRESOURCE) from a string pointer by that; WebAssembly would place
# the programs' constant strings there.
set(DEMO_WEB_LINK_OPTIONS
  -sGLOBAL_BASE=65536
  -sASYNCIFY
  -sASYNCIFY_STACK_SIZE=65536
  "-sASYNCIFY_IMPORTS=['emscripten_sleep','WaitForAnimationFrame']"
  -sMIN_WEBGL_VERSION=2
  -sMAX_WEBGL_VERSION=2
  -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=64MB
  -sTOTAL_STACK=1MB
  -sEXIT_RUNTIME=1
  -sFORCE_FILESYSTEM=1
  "-sEXPORTED_RUNTIME_METHODS=['FS','callMain','UTF8ToString']"
  -sMODULARIZE=0
  -sENVIRONMENT=web)
add_link_options(${DEMO_WEB_LINK_OPTIONS})
