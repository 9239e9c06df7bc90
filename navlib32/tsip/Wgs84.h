// WGS-84 conversions between Earth-centred Earth-fixed coordinates and latitude, longitude
// and height above the ellipsoid. Portable: standard C++ only.
#pragma once

namespace navlib::tsip {

struct Lla {
  double latitudeDeg = 0.0;
  double longitudeDeg = 0.0;
  double ellipsoidHeightMetres = 0.0;
};

struct Ecef {
  double x = 0.0, y = 0.0, z = 0.0;  // metres
};

// Exact to well below a millimetre from the Earth's centre to far above its surface,
// including the poles and the equator.
Lla EcefToLla(const Ecef& ecef);

struct Enu {
  double east = 0.0, north = 0.0, up = 0.0;
};

// A vector in ECEF axes (a velocity) in the east-north-up axes at latitude, longitude.
Enu EcefVectorToEnu(const Ecef& v, double latitudeDeg, double longitudeDeg);
Ecef LlaToEcef(const Lla& lla);

}  // namespace navlib::tsip
