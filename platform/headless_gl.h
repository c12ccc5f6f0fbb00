#pragma once
#include <string>

// An OpenGL ES 3.0 context with no display: EGL on Mesa's surfaceless platform.
// It has no default framebuffer; draw into a framebuffer object (see render/picture_target.h).
struct HeadlessGl;

// Creates the context and makes it current on the calling thread. Returns null and fills
// `error` when no context can be made.
HeadlessGl* createHeadlessGl(std::string* error);

// Releases the context made by createHeadlessGl. Null is allowed.
void destroyHeadlessGl(HeadlessGl* gl);
