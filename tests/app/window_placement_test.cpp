// Window placement on plain rectangles: the help window in the corner, and the
// file selection window clear of the conversion window's controls on the two
// screens a user most likely has, and on many other screens and positions.
#include <gtest/gtest.h>

#include <vector>

#include "app/window_placement.h"

namespace lomitra {
namespace {

// The conversion window as it stands on screen: 803 x 706 client pixels
// (12045 x 10590 twips) under a 24-pixel caption bar and 1-pixel borders;
// the controls to keep clear, relative to the client area: the button
// column, the guidance line and the two input frames (top 8 .. 249 pixels).
constexpr int kCaption = 24;
constexpr int kBorder = 1;
constexpr int kOwnerWidth = 803 + 2 * kBorder;
constexpr int kOwnerHeight = 706 + kCaption + kBorder;
// The file selection window: 683 x 373 client pixels, framed the same way.
constexpr int kChooserWidth = 683 + 2 * kBorder;
constexpr int kChooserHeight = 373 + kCaption + kBorder;

std::vector<ScreenRect> controlsOf(const ScreenRect& owner) {
    const int x = owner.left + kBorder;
    const int y = owner.top + kCaption;
    return {
        {x + 8, y + 48, 89, 25},    // "&Lähtötiedosto"
        {x + 112, y + 96, 89, 25},  // "&Ohje"
        {x + 8, y + 136, 193, 25},  // the wide buttons
        {x + 8, y + 224, 89, 25},   // "&Sulje"
        {x + 112, y + 224, 89, 25}, // "&Muunna"
        {x + 96, y + 8, 705, 17},   // guidance line
        {x + 216, y + 32, 585, 113},  // frame of the coordinate line
        {x + 216, y + 160, 585, 89},  // frame of the input rows
    };
}

bool coversAny(const ScreenRect& window, const std::vector<ScreenRect>& controls) {
    for (const ScreenRect& control : controls) {
        if (window.intersects(control)) return true;
    }
    return false;
}

TEST(ScreenRectTest, IntersectsAndContains) {
    const ScreenRect a{10, 10, 100, 50};
    struct Case {
        ScreenRect other;
        bool intersects;
        bool contained;
    };
    const Case cases[] = {
        {{10, 10, 100, 50}, true, true},
        {{110, 10, 20, 20}, false, false},  // touching the right edge
        {{10, 60, 20, 20}, false, false},   // touching the bottom edge
        {{109, 59, 5, 5}, true, false},     // one shared pixel
        {{0, 0, 10, 10}, false, false},     // touching the top-left corner
        {{20, 20, 0, 10}, false, true},     // empty: covers nothing
        {{-5, 20, 300, 5}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.other.left << "," << c.other.top << " " << c.other.width
                                        << "x" << c.other.height);
        EXPECT_EQ(a.intersects(c.other), c.intersects);
        EXPECT_EQ(c.other.intersects(a), c.intersects);
        EXPECT_EQ(a.contains(c.other), c.contained);
    }
}

TEST(WindowPlacementTest, FitIntoMovesOnlyAsFarAsNeeded) {
    const ScreenRect screen{0, 30, 1024, 738};  // a 30-pixel panel at the top
    struct Case {
        ScreenRect window;
        int left;
        int top;
    };
    const Case cases[] = {
        {{100, 100, 200, 100}, 100, 100},    // already inside
        {{900, 100, 200, 100}, 824, 100},    // past the right edge
        {{100, 700, 200, 100}, 100, 668},    // past the bottom
        {{-50, 0, 200, 100}, 0, 30},         // above and left of the area
        {{500, 500, 1200, 900}, 0, 30},      // larger than the area: its top-left corner shows
    };
    for (const Case& c : cases) {
        const ScreenRect fitted = fitInto(c.window, screen);
        EXPECT_EQ(fitted.left, c.left);
        EXPECT_EQ(fitted.top, c.top);
        EXPECT_EQ(fitted.width, c.window.width);
        EXPECT_EQ(fitted.height, c.window.height);
    }
}

TEST(WindowPlacementTest, HelpWindowFrameMeetsTheTopRightCorner) {
    const ScreenRect areas[] = {{0, 0, 1600, 1200}, {0, 0, 1024, 768}, {0, 27, 1920, 1053},
                                {1600, 0, 1280, 1024}, {-1280, 100, 1280, 900}};
    for (const ScreenRect& area : areas) {
        for (const int frameWidth : {275, 277, 300}) {
            const ScreenRect placed = topRightCorner(frameWidth, 727, area);
            EXPECT_EQ(placed.right(), area.right());
            EXPECT_EQ(placed.top, area.top);
            EXPECT_TRUE(area.contains(placed));
        }
    }
    // A screen lower than the window: the caption stays on the screen.
    const ScreenRect low{0, 0, 800, 600};
    const ScreenRect placed = topRightCorner(277, 727, low);
    EXPECT_EQ(placed.right(), 800);
    EXPECT_EQ(placed.top, 0);
}

// The conversion window where the settings window puts it: beside the
// settings window (686 + 2 pixels wide at the top left), moved onto the screen.
ScreenRect conversionWindowOn(const ScreenRect& screen) {
    return fitInto({screen.left + 688, screen.top, kOwnerWidth, kOwnerHeight}, screen);
}

TEST(WindowPlacementTest, ChooserLeavesTheControlsUncoveredOnCommonScreens) {
    struct Case {
        const char* name;
        ScreenRect screen;
    };
    const Case cases[] = {
        {"1600 x 1200", {0, 0, 1600, 1200}},
        {"1024 x 768", {0, 0, 1024, 768}},
        {"1024 x 768 with a panel", {0, 0, 1024, 740}},
        {"1280 x 1024", {0, 0, 1280, 1024}},
        {"1920 x 1080 with a panel", {0, 27, 1920, 1053}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScreenRect owner = conversionWindowOn(c.screen);
        const std::vector<ScreenRect> controls = controlsOf(owner);
        const ScreenRect placed = placeBesideOwner(kChooserWidth, kChooserHeight, owner, controls, c.screen);
        EXPECT_EQ(placed.width, kChooserWidth);
        EXPECT_EQ(placed.height, kChooserHeight);
        EXPECT_TRUE(c.screen.contains(placed));
        EXPECT_FALSE(coversAny(placed, controls));
    }
}

TEST(WindowPlacementTest, ChooserGoesBesideTheOwnerWhenThereIsRoom) {
    const ScreenRect screen{0, 0, 2560, 1440};
    const ScreenRect owner{300, 200, kOwnerWidth, kOwnerHeight};
    const ScreenRect right = placeBesideOwner(kChooserWidth, kChooserHeight, owner, controlsOf(owner), screen);
    EXPECT_EQ(right.left, owner.right()) << "right of the owner";
    EXPECT_EQ(right.top, owner.top);

    const ScreenRect nearRightEdge{2560 - kOwnerWidth, 200, kOwnerWidth, kOwnerHeight};
    const ScreenRect left =
        placeBesideOwner(kChooserWidth, kChooserHeight, nearRightEdge, controlsOf(nearRightEdge), screen);
    EXPECT_EQ(left.right(), nearRightEdge.left) << "left of it when the right has no room";
    EXPECT_EQ(left.top, 200);
}

TEST(WindowPlacementTest, AnyOwnerPositionOnAnyScreenGivesAPlaceWhollyOnTheScreen) {
    // Every owner position on a grid over several screens: the chooser is
    // always wholly on the screen, and it covers a control only where no
    // candidate place is clear, which on these screens never happens.
    const ScreenRect screens[] = {{0, 0, 1600, 1200}, {0, 0, 1024, 768}, {0, 0, 1366, 768},
                                  {0, 0, 1280, 800}, {-1024, 0, 1024, 768}};
    int placements = 0;
    for (const ScreenRect& screen : screens) {
        for (int x = screen.left - 200; x < screen.right(); x += 37) {
            for (int y = screen.top - 100; y < screen.bottom(); y += 41) {
                const ScreenRect owner = fitInto({x, y, kOwnerWidth, kOwnerHeight}, screen);
                const std::vector<ScreenRect> controls = controlsOf(owner);
                const ScreenRect placed =
                    placeBesideOwner(kChooserWidth, kChooserHeight, owner, controls, screen);
                ASSERT_TRUE(screen.contains(placed)) << "owner at " << owner.left << "," << owner.top;
                ASSERT_FALSE(coversAny(placed, controls)) << "owner at " << owner.left << "," << owner.top;
                ++placements;
            }
        }
    }
    EXPECT_GT(placements, 1000);
}

TEST(WindowPlacementTest, ScreenTooSmallForAClearPlaceStillShowsTheWholeChooser) {
    const ScreenRect screen{0, 0, 800, 600};
    const ScreenRect owner = fitInto({200, 0, kOwnerWidth, kOwnerHeight}, screen);
    const ScreenRect placed = placeBesideOwner(kChooserWidth, kChooserHeight, owner, controlsOf(owner), screen);
    EXPECT_TRUE(screen.contains(placed));
    const ScreenRect tiny{0, 0, 640, 350};
    const ScreenRect cramped = placeBesideOwner(kChooserWidth, kChooserHeight, owner, controlsOf(owner), tiny);
    EXPECT_EQ(cramped.left, 0) << "larger than the screen: its top-left corner shows";
    EXPECT_EQ(cramped.top, 0);
}

}  // namespace
}  // namespace lomitra
