#include "scene/es2/es2_shaders.h"

// The alpha test passes what is greater than the reference; it is a discard
// of the rest.
const std::string kHairFragment = R"(#version 100
precision mediump float;
uniform sampler2D u_Unit0;
uniform samplerCube u_Unit1;
uniform float u_AlphaRef;
varying vec4 v_FrontColor;
varying vec4 v_TexCoord0;
varying vec4 v_TexCoord1;
void main()
{
    vec4 color = v_FrontColor * texture2D(u_Unit0, v_TexCoord0.st) * textureCube(u_Unit1, v_TexCoord1.stp);
    if (!(color.a > u_AlphaRef)) discard;
    gl_FragColor = color;
}
)";

const std::string kScrollerFragment = R"(#version 100
precision mediump float;
uniform sampler2D u_Unit0;
uniform float u_AlphaRef;
varying vec4 v_FrontColor;
varying vec4 v_TexCoord0;
void main()
{
    vec4 color = v_FrontColor * texture2D(u_Unit0, v_TexCoord0.st);
    if (!(color.a > u_AlphaRef)) discard;
    gl_FragColor = color;
}
)";

const std::string kSkyVertex = R"(#version 100
attribute vec4 a_Vertex;
uniform mat4 u_ModelViewProjection;
varying vec3 v_Direction;
void main()
{
    gl_Position = u_ModelViewProjection * a_Vertex;
    v_Direction = a_Vertex.xyz;
}
)";

const std::string kSkyFragment = R"(#version 100
precision mediump float;
uniform samplerCube u_Unit0;
uniform vec4 u_Color;
uniform float u_AlphaRef;
varying vec3 v_Direction;
void main()
{
    vec4 color = u_Color * textureCube(u_Unit0, v_Direction);
    if (!(color.a > u_AlphaRef)) discard;
    gl_FragColor = color;
}
)";

const std::string kTexturedVertex = R"(#version 100
attribute vec4 a_Vertex;
attribute vec4 a_MultiTexCoord0;
uniform mat4 u_ModelViewProjection;
varying vec2 v_TexCoord;
void main()
{
    gl_Position = u_ModelViewProjection * a_Vertex;
    v_TexCoord = a_MultiTexCoord0.st;
}
)";

const std::string kTexturedFragment = R"(#version 100
precision mediump float;
uniform sampler2D u_Unit0;
uniform float u_AlphaRef;
varying vec2 v_TexCoord;
void main()
{
    vec4 color = texture2D(u_Unit0, v_TexCoord);
    if (!(color.a > u_AlphaRef)) discard;
    gl_FragColor = color;
}
)";
