// Where the program's windows open on the screen, in plain rectangles.
//
// All rectangles are in screen pixels and describe whole windows with their
// frames (caption bar and borders) unless said otherwise; `available` is the
// part of the screen that windows may cover (without panels and docks).
#pragma once

#include <vector>

namespace lomitra {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }    // first column past the rectangle
    int bottom() const { return top + height; }   // first row past the rectangle
    bool isEmpty() const { return width <= 0 || height <= 0; }
    // Whether the two share at least one pixel (touching edges do not).
    bool intersects(const ScreenRect& other) const;
    // Whether `other` lies wholly inside this rectangle.
    bool contains(const ScreenRect& other) const;
    bool operator==(const ScreenRect&) const = default;
};

// `window` moved left and up just as far as needed to lie wholly in
// `available`, but never past its left or top edge (the caption stays
// reachable when the window is larger than the area).
ScreenRect fitInto(const ScreenRect& window, const ScreenRect& available);

// The help window: its frame in the top right corner of `available`.
ScreenRect topRightCorner(int frameWidth, int frameHeight, const ScreenRect& available);

// The file selection window beside the conversion window.
//
// owner: the conversion window's frame. keepClear: the controls the user
// still needs while choosing a file (buttons, input rows), in screen pixels.
// The chooser goes to the first of these places that lies wholly in
// `available` and covers none of `keepClear`: right of the owner, left of it,
// below it, above it, and over the owner's own lower part (its result list)
// just below the lowest control to keep clear. Where none fits, it stands
// over the result list, moved onto the screen.
ScreenRect placeBesideOwner(int frameWidth, int frameHeight, const ScreenRect& owner,
                            const std::vector<ScreenRect>& keepClear, const ScreenRect& available);

}  // namespace lomitra
