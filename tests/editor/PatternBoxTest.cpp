// The pattern box picture the host asks for through extension slot 21.
#include <algorithm>
#include <cmath>

#include "generator/machine/PatternBox.h"
#include "platform/posix/SurfaceCairo.h"
#include "tests/editor/EditorViewFixture.h"

class PatternBoxTest : public EditorViewTest {
protected:
    platform::testing::RecordingSurface paintBox(spoolex::Pattern& pattern, int width, int height,
                                                 float scale) {
        platform::testing::RecordingSurface surface({0, 0, 500, 500});
        PatternBoxRequest request{pattern.hostPattern, &surface, 10, 20, width, height, scale};
        machine().ex.paintPatternBox(&request);
        return surface;
    }
    static constexpr uint32_t line = 0xFFA1B5BD;
    static constexpr uint32_t wave = 0xFF80949C;
};

TEST_F(PatternBoxTest, RowsAreTheCeilingOfLengthOverScale) {
    spoolex::Pattern& pattern = patternOf(createPattern("p", 16));
    paintBox(pattern, 40, 100, 1.0f);
    EXPECT_EQ(pattern.overview.rows(), 16);
    paintBox(pattern, 40, 100, 3.0f);
    EXPECT_EQ(pattern.overview.rows(), 6);
    // No take: one line at row 0, leaving a pixel free at each side, and
    // an empty mask.
    auto surface = paintBox(pattern, 40, 100, 3.0f);
    auto lines = surface.of(Op::Fill, line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x, 11.0f);
    EXPECT_EQ(lines[0].y, 20.0f);
    EXPECT_EQ(lines[0].w, 38.0f);
    EXPECT_EQ(lines[0].h, 1.0f);
    auto masks = surface.of(Op::Mask, wave);
    ASSERT_EQ(masks.size(), 1u);
    EXPECT_EQ(masks[0].stride, 6); // 40 bits padded to 48
    EXPECT_EQ(std::count(masks[0].rows.begin(), masks[0].rows.end(), 0), 36);
}

TEST_F(PatternBoxTest, FullScaleReachesTheLastAndFirstColumnsAndTakeChangesDrawLines) {
    spoolex::Pattern& pattern = patternOf(createPattern("p", 16));
    spoolex::Take& loud = constantTake(pattern, 16 * samplesPerTick, 40000.0f, -40000.0f);
    spoolex::Take& half = constantTake(pattern, 16 * samplesPerTick, 0.0f, 0.0f);
    assign(pattern, 0.0, 16.0, &loud);
    assign(pattern, 4.0, 8.0, &half);
    auto surface = paintBox(pattern, 40, 5, 2.0f);
    const spoolex::PatternOverview& overview = pattern.overview;
    EXPECT_TRUE(overview.bit(0, 0));
    EXPECT_TRUE(overview.bit(0, 39));
    EXPECT_FALSE(overview.bit(2, 0));
    EXPECT_TRUE(overview.bit(2, 20)); // silence sits in the middle column
    EXPECT_EQ(overview.boundaryRows(), (std::vector<int32_t>{0, 2, 4}));
    // Rows at or past the box height (5) are not drawn.
    auto lines = surface.of(Op::Fill, line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].y, 22.0f);

    // A new width rebuilds, so the picture fills the box; so does an edit.
    paintBox(pattern, 80, 5, 2.0f);
    EXPECT_EQ(overview.width(), 80);
    EXPECT_TRUE(overview.bit(0, 79));
    pattern.invalidateOverview();
    EXPECT_TRUE(overview.empty());
    paintBox(pattern, 80, 5, 2.0f);
    EXPECT_EQ(overview.width(), 80);
}

TEST_F(PatternBoxTest, AnEntryStartingBetweenRowsBeginsInTheRowItStartsIn) {
    spoolex::Pattern& pattern = patternOf(createPattern("p", 16));
    spoolex::Take& loud = constantTake(pattern, 16 * samplesPerTick, 40000.0f, -40000.0f);
    assign(pattern, 5.0, 16.0, &loud); // row 2 holds ticks 4 .. 6
    paintBox(pattern, 40, 8, 2.0f);
    const spoolex::PatternOverview& overview = pattern.overview;
    EXPECT_EQ(overview.boundaryRows(), (std::vector<int32_t>{0, 2}));
    EXPECT_FALSE(overview.bit(1, 0));
    EXPECT_TRUE(overview.bit(2, 0)); // ticks 5 .. 6 are loud
    EXPECT_TRUE(overview.bit(2, 39));
}

TEST_F(PatternBoxTest, UnknownPatternsAndAbsurdScalesPaintNothingHarmful) {
    spoolex::Pattern& pattern = patternOf(createPattern("p", 16));
    platform::testing::RecordingSurface surface({0, 0, 10, 10});
    PatternBoxRequest unknown{reinterpret_cast<CPattern*>(&surface), &surface, 0, 0, 10, 10, 1.0f};
    machine().ex.paintPatternBox(&unknown);
    EXPECT_TRUE(surface.ops.empty());
    for (float scale : {0.0f, -1.0f, 1e-30f, std::nanf("")}) {
        paintBox(pattern, 40, 10, scale);
        // The picture of no rows is remembered: the next paint at the same
        // width and scale does not build it again.
        EXPECT_FALSE(pattern.overview.empty());
        EXPECT_TRUE(pattern.overview.builtFor(40, scale));
        EXPECT_FALSE(pattern.overview.builtFor(41, scale));
    }
}

TEST_F(PatternBoxTest, RasterPictureHasItsLinesAndWaveformWhereTheyBelong) {
    spoolex::Pattern& pattern = patternOf(createPattern("p", 16));
    spoolex::Take& loud = constantTake(pattern, 16 * samplesPerTick, 40000.0f, -40000.0f);
    assign(pattern, 0.0, 4.0, nullptr);
    assign(pattern, 4.0, 16.0, &loud);
    platform::SurfaceCairo picture(60, 30);
    PatternBoxRequest request{pattern.hostPattern, &picture, 5, 5, 40, 16, 1.0f};
    machine().ex.paintPatternBox(&request);
    EXPECT_EQ(picture.pixel(5, 5), 0xFFFFFFFFu); // lines leave the first pixel
    EXPECT_EQ(picture.pixel(6, 5), line);
    EXPECT_EQ(picture.pixel(43, 5), line);
    EXPECT_EQ(picture.pixel(44, 5), 0xFFFFFFFFu);
    EXPECT_EQ(picture.pixel(25, 7), 0xFFFFFFFFu); // silence: nothing
    EXPECT_EQ(picture.pixel(25, 9), wave);        // the waveform covers the line
    EXPECT_EQ(picture.pixel(5, 12), wave);
    EXPECT_EQ(picture.pixel(44, 12), wave);
    EXPECT_EQ(picture.pixel(45, 12), 0xFFFFFFFFu);
}
