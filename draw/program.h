#pragma once
#include <string>

// Compiling and linking a GLSL program: the layer's one shader pair, and any other a host needs.

// The version line the current context's GLSL wants for the shared shader text: "#version 300
// es" on OpenGL ES 3.x and WebGL 2, "#version 330 core" on a desktop 3.3 core context.
const char* shaderVersionLine();

// Compiles both stages (each given its version line, then `vertexBody` or `fragmentBody`) and
// links them with the attribute locations bound in order to `attributes` (null-terminated).
// Returns the program, or 0 with `error` naming the stage and carrying the compiler's or
// linker's log; nothing is left behind on failure.
unsigned int buildProgram(const char* vertexBody, const char* fragmentBody,
                          const char* const* attributes, std::string* error);
