// WGS84 geodesy for the workbench: geodetic latitude, longitude and ellipsoidal height to
// Earth-centred Earth-fixed coordinates and back, and a local east-north-up frame at a point.
// Exact (no flat-earth approximation). Portable: standard C++ only.
#pragma once

namespace pelmora::workbench {

struct Geodetic {
  double latitude = 0.0;   // degrees, north positive
  double longitude = 0.0;  // degrees, east positive
  double height = 0.0;     // metres above the WGS84 ellipsoid
};

struct Ecef {
  double x = 0.0, y = 0.0, z = 0.0;  // metres
};

struct Enu {
  double east = 0.0, north = 0.0, up = 0.0;  // metres
};

Ecef GeodeticToEcef(const Geodetic& g);
// Iterated to well below a micrometre anywhere near the Earth, poles and equator included.
Geodetic EcefToGeodetic(const Ecef& e);

// The east-north-up frame whose origin is a point on or near the ellipsoid.
class LocalFrame {
 public:
  explicit LocalFrame(const Geodetic& origin);

  const Geodetic& origin() const { return origin_; }
  Enu ToEnu(const Geodetic& g) const { return ToEnu(GeodeticToEcef(g)); }
  Enu ToEnu(const Ecef& e) const;
  Geodetic ToGeodetic(const Enu& v) const { return EcefToGeodetic(ToEcef(v)); }
  Ecef ToEcef(const Enu& v) const;

  // The affine map taking coordinates in `from` to coordinates in this frame:
  // this = rotation * from + offset.
  struct Transform {
    double rotation[3][3];
    Enu offset;
    Enu Apply(double east, double north, double up) const;
  };
  Transform From(const LocalFrame& from) const;

 private:
  Geodetic origin_;
  Ecef ecef_;
  double axes_[3][3];  // rows: east, north, up unit vectors in ECEF
};

}  // namespace pelmora::workbench
