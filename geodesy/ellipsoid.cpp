// The ellipsoid table of JHS 154: GRS80 (EUREF-FIN; a = 6 378 137 m,
// f = 1/298.257222101) and the International ellipsoid of Hayford 1924 (KKJ;
// a = 6 378 388 m, f = 1/297), with the derived b, e^2 and e'^2 computed from
// a and f in double precision (b to about 1e-9 m).
#include "geodesy/ellipsoid.h"

#include "geodesy/transverse_mercator.h"

#include <cstddef>

namespace lomitra {

namespace {

Ellipsoid makeEllipsoid(double semiMajorAxis, double inverseFlattening) {
    Ellipsoid e;
    e.semiMajorAxis = semiMajorAxis;
    e.flattening = 1.0 / inverseFlattening;
    e.semiMinorAxis = (1.0 - e.flattening) * semiMajorAxis;
    const double a2 = semiMajorAxis * semiMajorAxis;
    const double b2 = e.semiMinorAxis * e.semiMinorAxis;
    e.eccentricitySquared = (a2 - b2) / a2;
    e.secondEccentricitySquared = (a2 - b2) / b2;
    e.series = tmSeriesOf(e);
    return e;
}

}  // namespace

void EllipsoidTable::initEllipsoids() {
    entries_[kGrs80 - 1] = makeEllipsoid(6378137.0, 298.257222101);
    entries_[kHayford - 1] = makeEllipsoid(6378388.0, 297.0);
}

const EllipsoidTable& standardEllipsoids() {
    static const EllipsoidTable table = [] {
        EllipsoidTable t;
        t.initEllipsoids();
        return t;
    }();
    return table;
}

}  // namespace lomitra
