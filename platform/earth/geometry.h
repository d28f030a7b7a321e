// The globe's geometry: a spherical Earth, the camera's frame from its focus
// point, range, tilt and azimuth, view rays through normalised view
// positions, and where a ray meets the terrain.
#pragma once

#include <cmath>
#include <functional>
#include <optional>

#include "platform/earth/camera_info.h"

namespace altimar::earth {

inline constexpr double kEarthRadius = 6371000.0;
inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kDeg = kPi / 180.0;
// The view's vertical field of view.
inline constexpr double kVerticalFovDeg = 40.0;

struct Vec3 {
  double x = 0, y = 0, z = 0;
  Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vec3 operator*(double k) const { return {x * k, y * k, z * k}; }
  double dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
  Vec3 cross(const Vec3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
  double length() const { return std::sqrt(dot(*this)); }
  Vec3 unit() const { return *this * (1.0 / length()); }
};

// Earth-centred position of a point at a height above the sphere.
Vec3 ToCartesian(double lat, double lon, double height);
// Latitude, longitude and height above the sphere of a position.
void ToGeographic(const Vec3& p, double& lat, double& lon, double& height);

struct GroundPoint {
  double lat = 0, lon = 0, alt = 0;
};

// Heights the rays are cast against (already times the exaggeration).
using HeightField = std::function<double(double lon, double lat)>;

class ViewFrame {
 public:
  // focusHeight: the focus point's height above the sphere.
  ViewFrame(const CameraState& camera, double focusHeight, double aspect);

  const Vec3& eye() const { return eye_; }
  // The direction through view position (x, y), each -1..1, x right, y up
  // (outside values are clamped).
  Vec3 Ray(double x, double y) const;
  // The same without clamping, for positions just outside the view.
  Vec3 RayThrough(double x, double y) const {
    return (forward_ + right_ * (x * tanH_) + up_ * (y * tanV_)).unit();
  }
  // Where that ray meets the terrain; a ray that misses the globe gives the
  // point on the horizon in its direction (altitude 0).
  // hint: a height the ground near the point is likely to have (the last
  // answer, say); a good one saves most of the search.
  GroundPoint Cast(double x, double y, const HeightField& heights, double maxHeight,
                   double hint = 0) const;
  // Where the ray meets the sphere of the given height, if it does.
  std::optional<Vec3> HitSphere(const Vec3& dir, double height) const;
  Vec3 Horizon(const Vec3& dir) const;
  // The view position (x right, y up, -1..1 across the view) of a point in
  // front of the eye; false for a point behind it.
  bool Project(const Vec3& p, double& x, double& y) const;

 private:
  Vec3 eye_, forward_, right_, up_;
  double tanV_, tanH_;
};

}  // namespace altimar::earth
