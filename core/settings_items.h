// The Finnish names of the settings' positions: the texts of the settings
// window's lists, in list order, which the heading lines of the result list
// and the table file repeat (UTF-8). A list's position is a field of
// ConversionSettings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lomitra {

// The fixed lists.
std::vector<std::string> directionItems();   // cboMuunnos: direction
std::vector<std::string> sourceKindItems();  // cboLahto: sourceKind
std::vector<std::string> resultKindItems();  // cboTulos: resultKind
std::vector<std::string> formatItems();      // cboLFormaatti and cboTFormaatti: sourceFormat, resultFormat

// Whether a direction (cboMuunnos position) is EUREF-FIN -> KKJ as the lists
// and headings take it: position 0; any other value, including -1 for no
// selection, is KKJ -> EUREF-FIN.
inline bool eurefToKkj(int32_t direction) { return direction == 0; }

// The zone lists of a direction.
std::vector<std::string> sourceZoneItems(int32_t direction);  // cboLKaista: sourceZone
std::vector<std::string> resultZoneItems(int32_t direction);  // cboTKaista: resultZone

// The item at `position`, or the empty text when the list has no such item.
std::string itemAt(const std::vector<std::string>& items, int32_t position);

// The first 11 characters of a format item: "aa.aaaaaaaa", "aamm.mmmmmm" or
// "aammss.ssss"; empty for a position outside the list.
std::string formatPattern(int32_t format);

}  // namespace lomitra
