#pragma once
// A direction or displacement in 3D world units (millimetres in generated data).
#include <cmath>

class CPoint3D;

class CVector3D {
public:
    constexpr CVector3D() = default;
    constexpr CVector3D(double ax, double ay, double az) : x(ax), y(ay), z(az) {}

    // Dot product.
    constexpr double operator*(const CVector3D& v) const { return x * v.x + y * v.y + z * v.z; }
    constexpr CVector3D operator*(double f) const { return CVector3D(x * f, y * f, z * f); }
    // Cross product: (a ^ b) is perpendicular to both, right-handed.
    constexpr CVector3D operator^(const CVector3D& v) const {
        return CVector3D(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
    }
    constexpr CVector3D operator+(const CVector3D& v) const { return CVector3D(x + v.x, y + v.y, z + v.z); }
    constexpr CVector3D operator-(const CVector3D& v) const { return CVector3D(x - v.x, y - v.y, z - v.z); }
    constexpr CVector3D operator-() const { return CVector3D(-x, -y, -z); }
    // The point displaced by this vector; keeps the point's validity.
    CPoint3D operator+(const CPoint3D& p) const;
    constexpr bool operator==(const CVector3D& v) const { return x == v.x && y == v.y && z == v.z; }

    double Length() const { return std::sqrt(x * x + y * y + z * z); }
    // The unit vector along this one; a zero (or non-finite) vector stays as it is.
    CVector3D Normalised() const {
        double len = Length();
        return (len > 0.0 && std::isfinite(len)) ? CVector3D(x / len, y / len, z / len) : *this;
    }

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

constexpr CVector3D operator*(double f, const CVector3D& v) { return v * f; }
