#pragma once

// A column-major 4x4 matrix as GL stores it, and the desktop matrix stack's
// operations done on the CPU with its conventions: each one multiplies the
// current matrix on the right, as glRotatef and friends do.
struct Matrix4 {
    float m[16];
};

Matrix4 Identity();
Matrix4 Multiply(const Matrix4& a, const Matrix4& b);
// The right-hand factors of glRotatef (degrees, any axis), glTranslatef,
// glScalef, gluPerspective and gluLookAt.
Matrix4 Rotate(const Matrix4& current, float degrees, float x, float y, float z);
Matrix4 Translate(const Matrix4& current, float x, float y, float z);
Matrix4 Scale(const Matrix4& current, float x, float y, float z);
Matrix4 Perspective(const Matrix4& current, double fovyDegrees, double aspect, double zNear, double zFar);
Matrix4 LookAt(const Matrix4& current, const float eye[3], const float center[3], const float up[3]);
Matrix4 Transpose(const Matrix4& a);
// The upper-left 3x3 block, column-major: the normal matrix of a rigid motion.
void UpperLeft3x3(const Matrix4& a, float out[9]);
