#pragma once
#include <cstdint>
#include <string>

// Compiles both stages and links them with the attribute locations of
// es_shader_text.h bound. Prints "error in <label>: <log>" and returns 0 when
// a stage does not compile or the program does not link.
std::uint32_t CreateEsProgram(const std::string& vertex, const std::string& fragment, const char* label);

// The desktop vertex shader rewritten for ES (see EsVertexText) with the
// given fragment shader; 0 with the reason printed when the text is refused.
std::uint32_t CreateDerivedEsProgram(const char* desktopText, std::int32_t length, const std::string& fragment,
                                     const char* label);
