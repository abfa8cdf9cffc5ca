// Map sheet identifiers of the KKJ and the UTM (ETRS-TM35FIN) sheet divisions.
#pragma once

#include <string>

namespace lomitra {

// N, E: YKJ metres. Eight characters such as "203406A3", the first the KKJ zone
// of the point, or empty outside the KKJ sheet area (or where the arithmetic
// would not give a well-formed identifier of the point's own zone).
std::string kkjSheetId(double N, double E);

// N, E: ETRS-TM35FIN metres. Seven characters such as "L4133B3", or empty
// outside the UTM sheet area 5 706 000 <= N < 8 010 000, -460 000 <= E < 1 460 000
// (the upper limits themselves are outside: they would name no sheet).
std::string utmSheetId(double N, double E);

}  // namespace lomitra
