#include "scene/shader_sources.h"

#include <cstddef>

namespace {

// Keeps the characters of a literal and drops its NUL, so that nothing can
// pass the text to GL without its length and get away with it.
template <std::size_t N>
struct UnterminatedText {
    char chars[N - 1];
    constexpr UnterminatedText(const char (&literal)[N]) : chars{} {
        for (std::size_t i = 0; i + 1 < N; ++i) chars[i] = literal[i];
    }
    static constexpr std::int32_t length = static_cast<std::int32_t>(N - 1);
};

// Normals and positions from the model-view matrix are world coordinates: the
// camera lives in the projection matrix. Where the surface faces straight up
// the lean vector vanishes; its direction is then zero rather than the
// undefined result of normalising a null vector. The reflection coordinate
// gets q = 1: fixed-function cube lookups may divide by q, and the direction
// is the same.
constexpr UnterminatedText kHairShell(R"(uniform vec3 camera;
uniform float factor;
uniform mat4 rotation;
uniform float bassline;
uniform float basslineintensity;

void main()
{
    const vec3 up = vec3(0.0, 1.0, 0.0);
    float pi = 2.0 * asin(1.0);

    float bassSize = sin(gl_MultiTexCoord0.s * bassline * pi) * basslineintensity;
    vec4 displaced = gl_Vertex + vec4(gl_Normal, 0.0) * bassSize;
    vec3 n = normalize(gl_NormalMatrix * gl_Normal);
    vec4 world = gl_ModelViewMatrix * displaced;

    float intensity = (1.0 - dot(up, n)) * 0.5;
    vec3 lean = n * vec3(0.5, intensity, 0.5);
    float leanLength = length(lean);
    vec3 dir = leanLength > 0.0 ? lean / leanLength : vec3(0.0);
    vec3 bow = dir * factor + vec3(0.0, -intensity, 0.0) * factor * factor;

    gl_Position = gl_ProjectionMatrix * vec4(world.xyz + bow, 1.0);
    gl_FrontColor = vec4(1.0, 1.0, 1.0, 1.0 - factor);
    gl_TexCoord[0] = gl_MultiTexCoord0;

    vec3 eye = normalize(displaced.xyz - camera);
    vec3 refl = eye - 2.0 * dot(n, eye) * n;
    gl_TexCoord[1] = vec4((rotation * vec4(refl, 0.0)).xyz, 1.0);
}
)");

constexpr UnterminatedText kFishEye(R"(uniform float zoom;
uniform float fader;

void main()
{
    vec4 world = gl_ModelViewMatrix * gl_Vertex;
    world.z = world.z * (cos(world.x / 2.0) + 1.0) * 0.7;
    world.z = world.z + zoom;
    gl_Position = gl_ProjectionMatrix * world;
    gl_FrontColor = vec4(1.0, 1.0, 1.0, 0.2 - zoom * 0.1);
    gl_TexCoord[0] = gl_MultiTexCoord0;
}
)");

}  // namespace

const ShaderSource hairShellSource = {kHairShell.chars, kHairShell.length};
const ShaderSource fishEyeSource = {kFishEye.chars, kFishEye.length};
