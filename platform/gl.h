#pragma once
// The one way into OpenGL for the show: the OpenGL ES 3.0 API (WebGL 2's), and nothing of the
// fixed-function pipeline. Natively the calls go to libGLESv2; a browser build gets the same
// header from its compiler.
#include <GLES3/gl3.h>
