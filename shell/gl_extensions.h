#pragma once
// The extension entry points the scene calls, fetched once after the context
// is current and read-only afterwards. Core GL 1.1 and GLU come straight from
// the system libraries.
#include "shell/gl_headers.h"

// Every entry point the scene may call: its pointer type, its name (also the
// name the driver knows it by) and whether the scene needs it to run. The
// buffer objects and the unused uniform setters may be missing without harm;
// shader objects, framebuffer objects and multitexture may not.
#define QUILLON_GL_EXTENSIONS(X) \
    X(PFNGLACTIVETEXTUREARBPROC, glActiveTextureARB, true) \
    X(PFNGLGENBUFFERSARBPROC, glGenBuffersARB, false) \
    X(PFNGLBINDBUFFERARBPROC, glBindBufferARB, false) \
    X(PFNGLBUFFERDATAARBPROC, glBufferDataARB, false) \
    X(PFNGLDELETEBUFFERSARBPROC, glDeleteBuffersARB, false) \
    X(PFNGLMAPBUFFERARBPROC, glMapBufferARB, false) \
    X(PFNGLUNMAPBUFFERARBPROC, glUnmapBufferARB, false) \
    X(PFNGLCREATESHADEROBJECTARBPROC, glCreateShaderObjectARB, true) \
    X(PFNGLSHADERSOURCEARBPROC, glShaderSourceARB, true) \
    X(PFNGLCOMPILESHADERARBPROC, glCompileShaderARB, true) \
    X(PFNGLCREATEPROGRAMOBJECTARBPROC, glCreateProgramObjectARB, true) \
    X(PFNGLATTACHOBJECTARBPROC, glAttachObjectARB, true) \
    X(PFNGLLINKPROGRAMARBPROC, glLinkProgramARB, true) \
    X(PFNGLUSEPROGRAMOBJECTARBPROC, glUseProgramObjectARB, true) \
    X(PFNGLGETOBJECTPARAMETERFVARBPROC, glGetObjectParameterfvARB, false) \
    X(PFNGLGETOBJECTPARAMETERIVARBPROC, glGetObjectParameterivARB, true) \
    X(PFNGLGETUNIFORMLOCATIONARBPROC, glGetUniformLocationARB, true) \
    X(PFNGLUNIFORM1IARBPROC, glUniform1iARB, false) \
    X(PFNGLUNIFORM1FARBPROC, glUniform1fARB, true) \
    X(PFNGLUNIFORM2FARBPROC, glUniform2fARB, false) \
    X(PFNGLUNIFORM3FARBPROC, glUniform3fARB, false) \
    X(PFNGLUNIFORM4FARBPROC, glUniform4fARB, false) \
    X(PFNGLUNIFORM1FVARBPROC, glUniform1fvARB, false) \
    X(PFNGLUNIFORM2FVARBPROC, glUniform2fvARB, false) \
    X(PFNGLUNIFORM3FVARBPROC, glUniform3fvARB, true) \
    X(PFNGLUNIFORM4FVARBPROC, glUniform4fvARB, false) \
    X(PFNGLUNIFORMMATRIX4FVARBPROC, glUniformMatrix4fvARB, true) \
    X(PFNGLGETINFOLOGARBPROC, glGetInfoLogARB, true) \
    X(PFNGLFRAMEBUFFERTEXTURE2DEXTPROC, glFramebufferTexture2DEXT, true) \
    X(PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC, glFramebufferRenderbufferEXT, true) \
    X(PFNGLBINDRENDERBUFFEREXTPROC, glBindRenderbufferEXT, true) \
    X(PFNGLGENFRAMEBUFFERSEXTPROC, glGenFramebuffersEXT, true) \
    X(PFNGLBINDFRAMEBUFFEREXTPROC, glBindFramebufferEXT, true) \
    X(PFNGLGENRENDERBUFFERSEXTPROC, glGenRenderbuffersEXT, true) \
    X(PFNGLRENDERBUFFERSTORAGEEXTPROC, glRenderbufferStorageEXT, true) \
    X(PFNGLGENERATEMIPMAPEXTPROC, glGenerateMipmapEXT, true) \
    X(PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC, glCheckFramebufferStatusEXT, true)

struct GlExtensions {
#define QUILLON_GL_MEMBER(type, name, required) type name;
    QUILLON_GL_EXTENSIONS(QUILLON_GL_MEMBER)
#undef QUILLON_GL_MEMBER
};

extern GlExtensions glExtensions;

// The backend's proc-address lookup (wglGetProcAddress, glXGetProcAddressARB,
// eglGetProcAddress), wrapped to one signature.
using GlProcLookup = void* (*)(const char* name);

// Fills glExtensions; a name the driver does not know stays null.
void LoadGlExtensions(GlProcLookup lookup);

// Name of the first entry the scene cannot do without (shader objects,
// framebuffer objects, multitexture) that is still null, or nullptr when all
// are present.
const char* MissingRequiredGlExtension();
