// The integer rules that place and size the windows: the frame's centring, the splitter's
// share, the About box's dialog units and centring.
#include "ui/ApplicationEntry.h"
#include "ui/DialogLayout.h"
#include "ui/MulDiv.h"
#include "ui/ProportionalSplitter.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

TEST(FrameRectangleTest, CentresOnFullHdScreen) {
    EXPECT_EQ(FrameRectangle({1920, 1080}), QRect(460, 290, 1000, 500));
}

TEST(FrameRectangleTest, TruncatesAnOddMarginTowardZero) {
    EXPECT_EQ(FrameRectangle({1365, 768}).left(), 182);
    // (999 - 1000) / 2 is 0, not -1.
    EXPECT_EQ(FrameRectangle({999, 499}).topLeft(), QPoint(0, 0));
}

TEST(FrameRectangleTest, DoesNotClampOnASmallScreen) {
    EXPECT_EQ(FrameRectangle({800, 600}), QRect(-100, 50, 1000, 500));
}

TEST(MulDivTest, RoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(4200, 995, 10000), 418); // 417.9
    EXPECT_EQ(MulDiv(1, 5, 10), 1);           // 0.5
    EXPECT_EQ(MulDiv(1, 4, 10), 0);           // 0.4
    EXPECT_EQ(MulDiv(-1, 5, 10), -1);         // -0.5
    EXPECT_EQ(MulDiv(1, 5, -10), -1);
    EXPECT_EQ(MulDiv(-1, 5, -10), 1);
}

TEST(MulDivTest, KeepsLargeProductsExact) {
    EXPECT_EQ(MulDiv(2'000'000'000, 3, 6), 1'000'000'000);
}

TEST(MulDivTest, GivesMinusOneForAZeroDivisor) {
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TEST(ProportionalBarTest, TakesTheShareOfTheWidthBesideTheBar) {
    EXPECT_EQ(ProportionalBarPosition(4200, 1000), 420);
    EXPECT_EQ(ProportionalBarPosition(4200, 995), 418);
    EXPECT_EQ(ProportionalBarPosition(4200, 1), 0);
}

TEST(ProportionalBarTest, LeavesTheBarWhenNoWidthRemains) {
    EXPECT_EQ(ProportionalBarPosition(4200, 0), std::nullopt);
    EXPECT_EQ(ProportionalBarPosition(4200, -3), std::nullopt);
}

TEST(ProportionalBarTest, StoresTheShareOfADraggedBar) {
    EXPECT_EQ(ProportionOfBarPosition(250, 1000), 2500);
    EXPECT_EQ(ProportionOfBarPosition(333, 997), 3340); // 3340.02
    EXPECT_EQ(ProportionalBarPosition(ProportionOfBarPosition(300, 700), 700), 300);
}

TEST(DialogUnitsTest, MapsQuartersAndEighthsOfTheBaseUnits) {
    // The classic 8-point base units, 6 x 13 pixels.
    EXPECT_EQ(MapDialogRect({130, 81, 50, 14}, {6, 13}), QRect(195, 132, 75, 22));
    EXPECT_EQ(MapDialogRect({0, 0, 187, 102}, {6, 13}).size(), QSize(281, 166));
}

TEST(DialogUnitsTest, BaseUnitsGrowWithTheFont) {
    QFont small;
    small.setPixelSize(10);
    QFont large;
    large.setPixelSize(20);
    const QSize smallUnits = DialogBaseUnits(small);
    const QSize largeUnits = DialogBaseUnits(large);
    EXPECT_GT(smallUnits.width(), 0);
    EXPECT_GT(largeUnits.width(), smallUnits.width());
    EXPECT_GT(largeUnits.height(), smallUnits.height());
}

const QRect kWorkArea(0, 0, 1920, 1040);

TEST(DialogCentringTest, CentresOnTheReferenceWindow) {
    // Centre (500 + 1500) / 2 = 1000, (200 + 700) / 2 = 450.
    EXPECT_EQ(CenteredDialogPosition({281, 166}, QRect(500, 200, 1000, 500), kWorkArea),
              QPoint(1000 - 140, 450 - 83));
}

TEST(DialogCentringTest, CentresOnTheWorkAreaWithoutReference) {
    EXPECT_EQ(CenteredDialogPosition({280, 160}, std::nullopt, kWorkArea), QPoint(820, 440));
}

TEST(DialogCentringTest, StaysInsideWhenTheOwnerIsPartlyOffTheLeftEdge) {
    const QPoint position =
        CenteredDialogPosition({281, 166}, QRect(-900, 50, 1000, 500), kWorkArea);
    EXPECT_EQ(position, QPoint(0, 300 - 83));
}

TEST(DialogCentringTest, StaysInsideWhenTheOwnerIsPartlyOffTheBottomRight) {
    const QPoint position =
        CenteredDialogPosition({281, 166}, QRect(1700, 900, 1000, 500), kWorkArea);
    EXPECT_EQ(position, QPoint(1920 - 281, 1040 - 166));
}

TEST(DialogCentringTest, AlignsATooLargeDialogWithTheWorkAreasTopLeft) {
    EXPECT_EQ(CenteredDialogPosition({2000, 1100}, std::nullopt, kWorkArea), QPoint(0, 0));
}

TEST(DialogCentringTest, KeepsToAWorkAreaThatDoesNotStartAtTheOrigin) {
    const QRect secondScreen(1920, 0, 1280, 1000);
    EXPECT_EQ(CenteredDialogPosition({280, 160}, QRect(1000, 100, 1000, 500), secondScreen),
              QPoint(1920, 350 - 80));
}

} // namespace
} // namespace ferrow
