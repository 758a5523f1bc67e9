#include "scene/es2/es2_program.h"

#include <cstdio>
#include <vector>

#include "scene/es2/es_shader_text.h"
#include "scene/es2/gles2_headers.h"

namespace {

void PrintLog(GLuint object, bool isProgram, const char* label, const char* stage) {
    GLint length = 0;
    if (isProgram) {
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    } else {
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    }
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    if (length > 0) {
        if (isProgram) {
            glGetProgramInfoLog(object, length, nullptr, log.data());
        } else {
            glGetShaderInfoLog(object, length, nullptr, log.data());
        }
    }
    std::printf("error in %s %s: %s\n", label, stage, log.data());
    std::fflush(stdout);
}

GLuint Compile(GLenum type, const std::string& text, const char* label) {
    const GLuint shader = glCreateShader(type);
    const char* sources[1] = {text.c_str()};
    const GLint lengths[1] = {static_cast<GLint>(text.size())};
    glShaderSource(shader, 1, sources, lengths);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled) return shader;
    PrintLog(shader, false, label, type == GL_VERTEX_SHADER ? "vertex shader" : "fragment shader");
    glDeleteShader(shader);
    return 0;
}

}  // namespace

std::uint32_t CreateEsProgram(const std::string& vertex, const std::string& fragment, const char* label) {
    const GLuint vs = Compile(GL_VERTEX_SHADER, vertex, label);
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, fragment, label);
    GLuint program = 0;
    if (vs != 0 && fs != 0) {
        program = glCreateProgram();
        glAttachShader(program, vs);
        glAttachShader(program, fs);
        glBindAttribLocation(program, kPositionAttribute, "a_Vertex");
        glBindAttribLocation(program, kNormalAttribute, "a_Normal");
        glBindAttribLocation(program, kTexCoordAttribute, "a_MultiTexCoord0");
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            PrintLog(program, true, label, "program");
            glDeleteProgram(program);
            program = 0;
        }
    }
    // Flagged for deletion; they live on as long as the program does.
    if (vs != 0) glDeleteShader(vs);
    if (fs != 0) glDeleteShader(fs);
    return program;
}

std::uint32_t CreateDerivedEsProgram(const char* desktopText, std::int32_t length, const std::string& fragment,
                                     const char* label) {
    std::string vertex;
    std::string refused;
    if (!EsVertexText(desktopText, length, &vertex, &refused)) {
        std::printf("error in %s vertex shader: %s has no ES counterpart\n", label, refused.c_str());
        std::fflush(stdout);
        return 0;
    }
    return CreateEsProgram(vertex, fragment, label);
}
