#pragma once
#include <cstdint>
#include <string>

// The names the desktop vertex shaders read and write through GL's built-in
// state, as the ES texts declare them instead. Attribute locations are bound
// before linking.
constexpr std::uint32_t kPositionAttribute = 0;
constexpr std::uint32_t kNormalAttribute = 1;
constexpr std::uint32_t kTexCoordAttribute = 2;

// Rewrites a desktop vertex shader into GLSL ES 1.00: a "#version 100" and
// precision prefix, a declaration for each built-in the text uses, and the
// built-ins renamed to them:
//   gl_Vertex, gl_Normal, gl_MultiTexCoord0   attributes a_Vertex, a_Normal, a_MultiTexCoord0
//   gl_ModelViewMatrix, gl_ProjectionMatrix   uniforms u_ModelViewMatrix, u_ProjectionMatrix
//   gl_NormalMatrix                           uniform u_NormalMatrix (mat3)
//   gl_FrontColor, gl_TexCoord[0], [1]        varyings v_FrontColor, v_TexCoord0, v_TexCoord1
// gl_Position stays. Any other gl_ name, or a text with its own #version, is
// refused with the name in *error, so nothing the ES path cannot honour
// slips through.
bool EsVertexText(const char* text, std::int32_t length, std::string* out, std::string* error);
