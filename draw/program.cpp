#include "draw/program.h"

#include <cstring>
#include <vector>

#include "platform/gl.h"

const char* shaderVersionLine() {
    const char* const version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const bool es = version != nullptr && (std::strncmp(version, "OpenGL ES", 9) == 0 ||
                                           std::strncmp(version, "WebGL", 5) == 0);
    return es ? "#version 300 es\n" : "#version 330 core\n";
}

static std::string shaderLog(const GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 1 ? length : 1), '\0');
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return log.data();
}

static std::string programLog(const GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 1 ? length : 1), '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return log.data();
}

// One stage, or 0 with the error.
static GLuint compileStage(const GLenum stage, const char* const name, const char* const body,
                           std::string* const error) {
    if (body == nullptr) {
        *error = std::string("no ") + name + " shader text";
        return 0;
    }
    const GLuint shader = glCreateShader(stage);
    if (shader == 0) {
        *error = std::string("cannot create the ") + name + " shader (no current GL context?)";
        return 0;
    }
    const char* const sources[2] = {shaderVersionLine(), body};
    glShaderSource(shader, 2, sources, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        *error = std::string("the ") + name + " shader does not compile: " + shaderLog(shader);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

unsigned int buildProgram(const char* const vertexBody, const char* const fragmentBody,
                          const char* const* const attributes, std::string* const error) {
    std::string ignored;
    std::string* const message = error != nullptr ? error : &ignored;
    const GLuint vertex = compileStage(GL_VERTEX_SHADER, "vertex", vertexBody, message);
    if (vertex == 0) {
        return 0;
    }
    const GLuint fragment = compileStage(GL_FRAGMENT_SHADER, "fragment", fragmentBody, message);
    if (fragment == 0) {
        glDeleteShader(vertex);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    for (GLuint location = 0; attributes != nullptr && attributes[location] != nullptr;
         ++location) {
        glBindAttribLocation(program, location, attributes[location]);
    }
    glLinkProgram(program);
    glDeleteShader(vertex); // flagged; freed with the program
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        *message = "the shaders do not link: " + programLog(program);
        glDeleteProgram(program);
        return 0;
    }
    return program;
}
