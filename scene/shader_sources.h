#pragma once
#include <cstdint>

// Shader text stored without a terminating NUL; `length` is what GL gets.
struct ShaderSource {
    const char* text;
    std::int32_t length;
};

// Vertex shader of the hair shells. Uniforms: "camera", "factor", "rotation",
// "bassline", "basslineintensity".
extern const ShaderSource hairShellSource;

// Vertex shader of the scroller's fish-eye bend. Uniforms: "zoom", "fader"
// (declared, unused).
extern const ShaderSource fishEyeSource;
