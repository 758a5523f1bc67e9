#include <gtest/gtest.h>

#include <string>

#include "scene/es2/es_shader_text.h"
#include "scene/shader_sources.h"

namespace {

std::string Rewrite(const std::string& text, std::string* error) {
    std::string out;
    return EsVertexText(text.data(), static_cast<std::int32_t>(text.size()), &out, error) ? out : "";
}

std::string Rewrite(const ShaderSource& source) {
    std::string out;
    std::string error;
    EXPECT_TRUE(EsVertexText(source.text, source.length, &out, &error)) << error;
    return out;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// The desktop shaders come out as GLSL ES 1.00 that declares exactly the
// built-ins each one used, keeps its own arithmetic word for word, and names
// no built-in but gl_Position; what has no counterpart is refused.
TEST(EsShaderText, DerivesTheEsTextsAndRefusesWhatHasNoCounterpart) {
    const std::string hair = Rewrite(hairShellSource);
    EXPECT_EQ(hair.rfind("#version 100\nprecision highp float;\n", 0), 0u) << hair;
    for (const char* declared : {"attribute vec4 a_Vertex;", "attribute vec3 a_Normal;",
                                 "attribute vec4 a_MultiTexCoord0;", "uniform mat4 u_ModelViewMatrix;",
                                 "uniform mat4 u_ProjectionMatrix;", "uniform mat3 u_NormalMatrix;",
                                 "varying vec4 v_FrontColor;", "varying vec4 v_TexCoord0;", "varying vec4 v_TexCoord1;"})
        EXPECT_TRUE(Has(hair, declared)) << declared;
    EXPECT_TRUE(Has(hair, "vec3 n = normalize(u_NormalMatrix * a_Normal);"));
    EXPECT_TRUE(Has(hair, "gl_Position = u_ProjectionMatrix * vec4(world.xyz + bow, 1.0);"));
    EXPECT_TRUE(Has(hair, "v_TexCoord1 = vec4((rotation * vec4(refl, 0.0)).xyz, 1.0);"));

    const std::string fishEye = Rewrite(fishEyeSource);
    EXPECT_FALSE(Has(fishEye, "a_Normal")) << "an unused built-in is not declared";
    EXPECT_FALSE(Has(fishEye, "v_TexCoord1"));
    EXPECT_TRUE(Has(fishEye, "world.z = world.z * (cos(world.x / 2.0) + 1.0) * 0.7;"));
    for (const std::string& text : {hair, fishEye}) {
        std::string rest = text;
        for (std::size_t at; (at = rest.find("gl_Position")) != std::string::npos;) rest.erase(at, 11);
        EXPECT_FALSE(Has(rest, "gl_")) << text;
    }

    const struct {
        const char* text;
        const char* refused;
    } refusals[] = {
        {"void main() { gl_Position = gl_Color; }", "gl_Color"},
        {"void main() { gl_Position = gl_TexCoord[2]; }", "gl_TexCoord[2]"},
        {"void main() { gl_Position = ftransform(); gl_FogFragCoord = 1.0; }", "gl_FogFragCoord"},
        {"#version 120\nvoid main() { gl_Position = gl_Vertex; }", "#version"},
    };
    for (const auto& r : refusals) {
        std::string error;
        EXPECT_EQ(Rewrite(r.text, &error), "") << r.text;
        EXPECT_EQ(error, r.refused) << r.text;
    }
    std::string error;
    EXPECT_EQ(Rewrite("float my_gl_Vertex; void main() { gl_Position = vec4(my_gl_Vertex); }", &error),
              "#version 100\nprecision highp float;\nfloat my_gl_Vertex; void main() { gl_Position = vec4(my_gl_Vertex); }")
        << "names that merely contain a built-in's stay";
}
