#include "scene/es2/matrix4.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

namespace {

float& At(Matrix4& a, int row, int column) { return a.m[column * 4 + row]; }
float At(const Matrix4& a, int row, int column) { return a.m[column * 4 + row]; }

void Normalize(float v[3]) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f) return;
    for (int i = 0; i < 3; ++i) v[i] /= length;
}

void Cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

Matrix4 Identity() {
    Matrix4 a{};
    for (int i = 0; i < 4; ++i) At(a, i, i) = 1.0f;
    return a;
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 product{};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += At(a, row, k) * At(b, k, column);
            At(product, row, column) = sum;
        }
    return product;
}

Matrix4 Rotate(const Matrix4& current, float degrees, float x, float y, float z) {
    float axis[3] = {x, y, z};
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) return current;
    Normalize(axis);
    // The sine and cosine in double, rounded once, as the desktop stack does.
    const double radians = static_cast<double>(degrees) * kPi / 180.0;
    const auto s = static_cast<float>(std::sin(radians));
    const auto c = static_cast<float>(std::cos(radians));
    const float one = 1.0f - c;
    const float ax = axis[0], ay = axis[1], az = axis[2];
    Matrix4 r = Identity();
    At(r, 0, 0) = ax * ax * one + c;
    At(r, 0, 1) = ax * ay * one - az * s;
    At(r, 0, 2) = ax * az * one + ay * s;
    At(r, 1, 0) = ay * ax * one + az * s;
    At(r, 1, 1) = ay * ay * one + c;
    At(r, 1, 2) = ay * az * one - ax * s;
    At(r, 2, 0) = az * ax * one - ay * s;
    At(r, 2, 1) = az * ay * one + ax * s;
    At(r, 2, 2) = az * az * one + c;
    return Multiply(current, r);
}

Matrix4 Translate(const Matrix4& current, float x, float y, float z) {
    Matrix4 t = Identity();
    At(t, 0, 3) = x;
    At(t, 1, 3) = y;
    At(t, 2, 3) = z;
    return Multiply(current, t);
}

Matrix4 Scale(const Matrix4& current, float x, float y, float z) {
    Matrix4 s = Identity();
    At(s, 0, 0) = x;
    At(s, 1, 1) = y;
    At(s, 2, 2) = z;
    return Multiply(current, s);
}

// In double, then stored as float, as a double matrix handed to GL is.
Matrix4 Perspective(const Matrix4& current, double fovyDegrees, double aspect, double zNear, double zFar) {
    const double radians = fovyDegrees / 2.0 * kPi / 180.0;
    const double depth = zFar - zNear;
    const double sine = std::sin(radians);
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0) return current;
    const double cotangent = std::cos(radians) / sine;
    Matrix4 p{};
    At(p, 0, 0) = static_cast<float>(cotangent / aspect);
    At(p, 1, 1) = static_cast<float>(cotangent);
    At(p, 2, 2) = static_cast<float>(-(zFar + zNear) / depth);
    At(p, 3, 2) = -1.0f;
    At(p, 2, 3) = static_cast<float>(-2.0 * zNear * zFar / depth);
    return Multiply(current, p);
}

Matrix4 LookAt(const Matrix4& current, const float eye[3], const float center[3], const float up[3]) {
    float forward[3] = {center[0] - eye[0], center[1] - eye[1], center[2] - eye[2]};
    Normalize(forward);
    float side[3];
    Cross(forward, up, side);
    Normalize(side);
    float trueUp[3];
    Cross(side, forward, trueUp);
    Matrix4 view = Identity();
    for (int i = 0; i < 3; ++i) {
        At(view, 0, i) = side[i];
        At(view, 1, i) = trueUp[i];
        At(view, 2, i) = -forward[i];
    }
    return Translate(Multiply(current, view), -eye[0], -eye[1], -eye[2]);
}

Matrix4 Transpose(const Matrix4& a) {
    Matrix4 t{};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) At(t, row, column) = At(a, column, row);
    return t;
}

void UpperLeft3x3(const Matrix4& a, float out[9]) {
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row) out[column * 3 + row] = At(a, row, column);
}
