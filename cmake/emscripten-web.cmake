# The web build with Debian's emscripten: WebAssembly, WebGL and Web Audio.
# Its JavaScript optimizer needs Debian's node-acorn, found through NODE_PATH;
# its system libraries come prebuilt in its own cache, which stays as it is.
set(EMSCRIPTEN_ROOT_PATH /usr/share/emscripten)
include(${EMSCRIPTEN_ROOT_PATH}/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
