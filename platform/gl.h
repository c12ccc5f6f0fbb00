#pragma once
// The one way into OpenGL for the show: entry points through libepoxy, plus GLU for
// gluPerspective. epoxy must come first so that GLU's own include of GL/gl.h is a no-op.
#include <epoxy/gl.h>

#include <GL/glu.h>
