// Data for bench/compare_with_cct.sh, drawn from the built-in JHS 154 network.
//
//   lomitra_bench_data tinshift kkj-euref|euref-kkj
//       The network as a PROJ tinshift triangulation file (JSON) for PROJ's
//       +proj=tinshift: the affine transformation of each triangle from the
//       source work plane (YKJ, or ETRS-TM35FIN) to the target one. PROJ's x
//       is east and y north.
//   lomitra_bench_data points random-kkj|random-etrs|walk-etrs|sea-etrs COUNT SEED
//       COUNT lines "P<i> <north> <east>" (metres, three decimals, six
//       blanks, LF):
//       random-kkj    random points inside the triangles in YKJ (a random
//                     triangle, then a uniform point in it);
//       random-etrs   the same in ETRS-TM35FIN;
//       walk-etrs     neighbouring points in ETRS-TM35FIN, a walk north
//                     through the network near the meridian 27 deg;
//       sea-etrs      ETRS-TM35FIN points in the accepted area south and west
//                     of the network, in no triangle.
// Every point is checked after rounding to the printed millimetre: inside
// points lie in a triangle (and, in YKJ, east of 3 000 000 m, so that the
// east value reads as zone 3), sea points in none.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "geodesy/triangle_index.h"
#include "geodesy/triangulation_network.h"

namespace {

using lomitra::NetworkTriangle;
using lomitra::TriangleIndex;
using lomitra::TriangulationNetwork;

// The shortest text that reads back as the same double.
std::string exact(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

int printTinshift(const TriangulationNetwork& net, bool kkjToEuref) {
    const int sourceNorth = kkjToEuref ? 1 : 3;
    const int targetNorth = kkjToEuref ? 3 : 1;
    // The vertices the triangles use, numbered from 0 in ascending point number.
    std::set<int32_t> used;
    for (int32_t j = 1; j <= net.triangleCount(); ++j) {
        const NetworkTriangle& t = net.triangle(j);
        used.insert({t.first, t.second, t.third});
    }
    std::vector<int32_t> position(TriangulationNetwork::kPointSlots + 1, -1);
    std::printf("{\n\"file_type\": \"triangulation_file\",\n\"format_version\": \"1.0\",\n");
    std::printf("\"name\": \"JHS 154 %s\",\n", kkjToEuref ? "KKJ zone 3 to ETRS-TM35FIN" : "ETRS-TM35FIN to KKJ zone 3");
    std::printf("\"transformed_components\": [\"horizontal\"],\n");
    std::printf("\"vertices_columns\": [\"source_x\", \"source_y\", \"target_x\", \"target_y\"],\n");
    std::printf("\"triangles_columns\": [\"idx_vertex1\", \"idx_vertex2\", \"idx_vertex3\"],\n");
    std::printf("\"vertices\": [");
    int32_t next = 0;
    for (const int32_t number : used) {
        position[static_cast<std::size_t>(number)] = next;
        std::printf("%s\n[%s, %s, %s, %s]", next == 0 ? "" : ",",
                    exact(net.coordinate(number, sourceNorth + 1)).c_str(),
                    exact(net.coordinate(number, sourceNorth)).c_str(),
                    exact(net.coordinate(number, targetNorth + 1)).c_str(),
                    exact(net.coordinate(number, targetNorth)).c_str());
        ++next;
    }
    std::printf("],\n\"triangles\": [");
    for (int32_t j = 1; j <= net.triangleCount(); ++j) {
        const NetworkTriangle& t = net.triangle(j);
        std::printf("%s\n[%d, %d, %d]", j == 1 ? "" : ",", position[static_cast<std::size_t>(t.first)],
                    position[static_cast<std::size_t>(t.second)], position[static_cast<std::size_t>(t.third)]);
    }
    std::printf("]\n}\n");
    return 0;
}

double millimetres(double metres) { return std::round(metres * 1000.0) / 1000.0; }

int printPoints(const TriangulationNetwork& net, std::string_view kind, long count, unsigned long seed) {
    const bool kkj = kind == "random-kkj";
    const int north = kkj ? 1 : 3;
    TriangleIndex index;
    index.build(net, north, north + 1);
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int32_t> anyTriangle(1, net.triangleCount());
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto vertex = [&](int32_t number, int column) { return net.coordinate(number, column); };

    long written = 0;
    long step = 0;
    while (written < count) {
        double n = 0.0;
        double e = 0.0;
        if (kind == "random-kkj" || kind == "random-etrs") {
            // A uniform point of a random triangle: barycentric (1 - sqrt(r1), sqrt(r1)(1 - r2), sqrt(r1) r2).
            const NetworkTriangle& t = net.triangle(anyTriangle(random));
            const double s = std::sqrt(unit(random));
            const double r = unit(random);
            const double a = 1.0 - s, b = s * (1.0 - r), c = s * r;
            n = a * vertex(t.first, north) + b * vertex(t.second, north) + c * vertex(t.third, north);
            e = a * vertex(t.first, north + 1) + b * vertex(t.second, north + 1) + c * vertex(t.third, north + 1);
        } else if (kind == "walk-etrs") {
            // 6 700 000 ... 7 600 000 m north whatever the count, winding 30 km either side of 27 deg.
            if (step > 2 * count) {
                std::fprintf(stderr, "the walk left the network\n");
                return 1;
            }
            n = 6700000.0 + 900000.0 * static_cast<double>(step++) / static_cast<double>(count);
            e = 500000.0 + 30000.0 * std::sin(n / 40000.0);
        } else if (kind == "sea-etrs") {
            n = 6000000.0 + 700000.0 * unit(random);
            e = -100000.0 + 800000.0 * unit(random);
        } else {
            std::fprintf(stderr, "unknown kind of points: %.*s\n", static_cast<int>(kind.size()), kind.data());
            return 2;
        }
        n = millimetres(n);
        e = millimetres(e);
        const bool inside = index.find(n, e, 1) != 0;
        if (kind == "sea-etrs" ? inside : (!inside || (kkj && e < 3000000.0))) continue;
        // Blanks after the east value give the result room to grow (an
        // ETRS-TM35FIN east of 5 characters becomes a YKJ east of 11).
        std::printf("P%ld %.3f %.3f      \n", written + 1, n, e);
        ++written;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    TriangulationNetwork network;
    network.loadNetworkPoints();
    network.loadNetworkTriangles();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "tinshift" && (args[1] == "kkj-euref" || args[1] == "euref-kkj")) {
        return printTinshift(network, args[1] == "kkj-euref");
    }
    if (args.size() == 4 && args[0] == "points") {
        return printPoints(network, args[1], std::strtol(argv[3], nullptr, 10),
                           std::strtoul(argv[4], nullptr, 10));
    }
    std::fprintf(stderr,
                 "usage: lomitra_bench_data tinshift kkj-euref|euref-kkj\n"
                 "       lomitra_bench_data points random-kkj|random-etrs|walk-etrs|sea-etrs COUNT SEED\n");
    return 2;
}
