#include "scene/es2/es_shader_text.h"

#include <cctype>
#include <cstddef>

namespace {

struct BuiltIn {
    const char* name;         // as written in the desktop text
    const char* replacement;  // the declared name
    const char* declaration;
};

const BuiltIn kBuiltIns[] = {
    {"gl_Vertex", "a_Vertex", "attribute vec4 a_Vertex;\n"},
    {"gl_Normal", "a_Normal", "attribute vec3 a_Normal;\n"},
    {"gl_MultiTexCoord0", "a_MultiTexCoord0", "attribute vec4 a_MultiTexCoord0;\n"},
    {"gl_ModelViewMatrix", "u_ModelViewMatrix", "uniform mat4 u_ModelViewMatrix;\n"},
    {"gl_ProjectionMatrix", "u_ProjectionMatrix", "uniform mat4 u_ProjectionMatrix;\n"},
    {"gl_NormalMatrix", "u_NormalMatrix", "uniform mat3 u_NormalMatrix;\n"},
    {"gl_FrontColor", "v_FrontColor", "varying vec4 v_FrontColor;\n"},
    {"gl_TexCoord[0]", "v_TexCoord0", "varying vec4 v_TexCoord0;\n"},
    {"gl_TexCoord[1]", "v_TexCoord1", "varying vec4 v_TexCoord1;\n"},
};
constexpr std::size_t kBuiltInCount = sizeof kBuiltIns / sizeof kBuiltIns[0];

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

}  // namespace

bool EsVertexText(const char* text, std::int32_t length, std::string* out, std::string* error) {
    const std::string source(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (source.find("#version") != std::string::npos) {
        *error = "#version";
        return false;
    }
    bool used[kBuiltInCount] = {};
    std::string body;
    std::size_t i = 0;
    while (i < source.size()) {
        if (!IsNameChar(source[i])) {
            body += source[i++];
            continue;
        }
        std::size_t end = i;
        while (end < source.size() && IsNameChar(source[end])) ++end;
        std::string name = source.substr(i, end - i);
        // gl_TexCoord is only accepted with a literal index: [0] or [1].
        if (name == "gl_TexCoord" && source.compare(end, 1, "[") == 0) {
            const std::size_t close = source.find(']', end);
            if (close != std::string::npos) {
                name = source.substr(i, close + 1 - i);
                end = close + 1;
            }
        }
        std::size_t k = 0;
        while (k < kBuiltInCount && name != kBuiltIns[k].name) ++k;
        if (k < kBuiltInCount) {
            used[k] = true;
            body += kBuiltIns[k].replacement;
        } else if (name.compare(0, 3, "gl_") == 0 && name != "gl_Position") {
            *error = name;
            return false;
        } else {
            body += name;
        }
        i = end;
    }
    std::string result = "#version 100\nprecision highp float;\n";
    for (std::size_t k = 0; k < kBuiltInCount; ++k)
        if (used[k]) result += kBuiltIns[k].declaration;
    *out = result + body;
    return true;
}
