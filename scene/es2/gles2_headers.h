#pragma once
// The one place the ES drawing path takes its GL declarations from: OpenGL ES
// 2.0 as Mesa, Android and emscripten's WebGL 1 all provide it.
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>
