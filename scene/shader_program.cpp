#include "scene/shader_program.h"

#include <cstdio>
#include <vector>

#include "shell/gl_extensions.h"

std::uint32_t CreateShaderProgram(const char* source, std::int32_t length) {
    const GlExtensions& ext = glExtensions;
    const GLhandleARB program = ext.glCreateProgramObjectARB();
    const GLhandleARB shader = ext.glCreateShaderObjectARB(GL_VERTEX_SHADER_ARB);
    const GLcharARB* sources[1] = {source};
    const GLint lengths[1] = {length};
    ext.glShaderSourceARB(shader, 1, sources, lengths);
    ext.glCompileShaderARB(shader);
    glGetError();

    GLint compiled = 0;
    ext.glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
    if (compiled == 1) {
        ext.glAttachObjectARB(program, shader);
        glGetError();
        ext.glLinkProgramARB(program);
        glGetError();
    } else {
        PrintInfoLog(static_cast<std::uint32_t>(shader), "vertex shader");
    }
    return static_cast<std::uint32_t>(program);
}

void PrintInfoLog(std::uint32_t object, const char* label) {
    const GlExtensions& ext = glExtensions;
    GLint logLength = 0;
    ext.glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &logLength);
    if (logLength <= 0) return;
    // One extra byte so the text is terminated even if the driver fills it all.
    std::vector<GLcharARB> log(static_cast<std::size_t>(logLength) + 1, '\0');
    ext.glGetInfoLogARB(object, logLength, nullptr, log.data());
    std::printf("error in %s: %s\n", label, log.data());
    std::fflush(stdout);
}

std::int32_t FindUniform(std::uint32_t program, const char* name) {
    GLint location = glExtensions.glGetUniformLocationARB(program, name);
    if (glGetError() != GL_NO_ERROR) {
        std::printf("unable to find %s \n", name);
        std::fflush(stdout);
        location = -1;
    }
    return location;
}
