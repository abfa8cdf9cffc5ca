// lomitra-gis: converts GIS datasets (GeoPackage, Shapefile, GeoJSON,
// FlatGeobuf, CSV ...) between EUREF-FIN and KKJ through GDAL/OGR.
#include <csignal>

#include "platform/interrupt_cleanup.h"
#include "gis/dataset_conversion.h"
#include "core/texts.h"

int main(int argc, char** argv) {
    // Past a file size limit a write then fails with an error instead of
    // ending the program, so the temporary dataset is removed and the old one kept.
    std::signal(SIGXFSZ, SIG_IGN);
    lomitra::installInterruptCleanup(lomitra::texts::kGisInterrupted.data());
    return lomitra::gis::gisMain({argv + 1, argv + argc}, stderr);
}
