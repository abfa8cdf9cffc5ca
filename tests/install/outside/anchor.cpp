// The public anchor point through the installed C++ interface, and an
// unknown name caught as lomitra::UnknownCrs across the library's boundary.
#include <lomitra/lomitra.hpp>

#include <cstdio>

int main() {
    const lomitra::Transformer ykjToTm35fin("EPSG:2393", "EPSG:3067");
    lomitra::Point point{6700000.0, 3210000.0};
    const lomitra::Status status = ykjToTm35fin.transform(point);
    const char* unknown = "accepted";
    try {
        lomitra::Crs("WGS 84");
    } catch (const lomitra::UnknownCrs&) {
        unknown = "refused";
    }
    std::printf("%d %.3f %.3f %s %s\n", static_cast<int>(status), point.north, point.east, unknown,
                lomitra::version());
    return 0;
}
