#pragma once
// The one way into OpenGL for the show: entry points through libepoxy, plus GLU for
// gluPerspective. epoxy must come first so that GLU's own include of GL/gl.h is a no-op.
// The web build has WebGL 2, which is OpenGL ES 3.0, through Emscripten's ES 3.0 header.
#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
#else
#include <epoxy/gl.h>

#include <GL/glu.h>
#endif
