// Window placement on plain rectangles.
#include "app/window_placement.h"

#include <algorithm>

namespace lomitra {

bool ScreenRect::intersects(const ScreenRect& other) const {
    if (isEmpty() || other.isEmpty()) return false;  // nothing to cover
    return left < other.right() && other.left < right() && top < other.bottom() &&
           other.top < bottom();
}

bool ScreenRect::contains(const ScreenRect& other) const {
    return other.left >= left && other.top >= top && other.right() <= right() &&
           other.bottom() <= bottom();
}

ScreenRect fitInto(const ScreenRect& window, const ScreenRect& available) {
    ScreenRect fitted = window;
    fitted.left = std::max(available.left, std::min(window.left, available.right() - window.width));
    fitted.top = std::max(available.top, std::min(window.top, available.bottom() - window.height));
    return fitted;
}

ScreenRect topRightCorner(int frameWidth, int frameHeight, const ScreenRect& available) {
    return fitInto({available.right() - frameWidth, available.top, frameWidth, frameHeight}, available);
}

ScreenRect placeBesideOwner(int frameWidth, int frameHeight, const ScreenRect& owner,
                            const std::vector<ScreenRect>& keepClear, const ScreenRect& available) {
    // A little room between the lowest control and a chooser over the result list.
    constexpr int kGap = 4;
    int lowestControl = owner.top;
    for (const ScreenRect& control : keepClear) lowestControl = std::max(lowestControl, control.bottom());

    const ScreenRect overResultList{owner.left + (owner.width - frameWidth) / 2, lowestControl + kGap,
                                    frameWidth, frameHeight};
    const ScreenRect candidates[] = {
        {owner.right(), owner.top, frameWidth, frameHeight},       // right of the owner
        {owner.left - frameWidth, owner.top, frameWidth, frameHeight},  // left of it
        {owner.left, owner.bottom(), frameWidth, frameHeight},     // below it
        {owner.left, owner.top - frameHeight, frameWidth, frameHeight},  // above it
        overResultList,
    };
    for (const ScreenRect& wanted : candidates) {
        const ScreenRect fitted = fitInto(wanted, available);
        if (!available.contains(fitted)) continue;  // larger than the screen
        const bool coversControl =
            std::any_of(keepClear.begin(), keepClear.end(),
                        [&fitted](const ScreenRect& control) { return fitted.intersects(control); });
        if (!coversControl) return fitted;
    }
    return fitInto(overResultList, available);
}

}  // namespace lomitra
