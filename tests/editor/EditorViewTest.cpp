// The editor view: scrolling, and what a paint draws, pinned with the
// recording surface.
#include <cmath>
#include <random>

#include "generator/editor/SnapshotSettings.h"
#include "tests/editor/EditorViewFixture.h"

using platform::ScrollBar;

TEST_F(EditorViewTest, ScrollRangesFollowZoomAndTakesAndClampLikeTheSystem) {
    spoolex::Pattern& pattern = show(16, 160, 100);
    constantTake(pattern, 100, 0, 0);
    constantTake(pattern, 100, 0, 0);
    view->patternChanged(pattern);
    platform::ScrollState h = platform::scrollState(viewWindow, ScrollBar::Horizontal);
    EXPECT_EQ(h.maximum, 159);
    EXPECT_EQ(h.page, 160u);
    view->setScrollX(50);
    EXPECT_EQ(view->scrollX, 0); // at zoom 1 the view cannot scroll sideways

    view->zoom = 2.0;
    view->updateScrollBars();
    view->setScrollX(1000);
    EXPECT_EQ(view->scrollX, 160);
    platform::ScrollState v = platform::scrollState(viewWindow, ScrollBar::Vertical);
    EXPECT_EQ(v.maximum, 400); // two rows of 200, no "- 1"
    EXPECT_EQ(v.page, 100u);
    view->setScrollY(1000);
    EXPECT_EQ(view->scrollY, 301);

    // The scroll messages move by a pixel, a page, or to an end.
    platform::sendMessage(viewWindow, platform::messageHorizontalScroll, platform::scrollLineUp, 0);
    EXPECT_EQ(view->scrollX, 159);
    platform::sendMessage(viewWindow, platform::messageHorizontalScroll, platform::scrollPageUp, 0);
    EXPECT_EQ(view->scrollX, 0);
    platform::sendMessage(viewWindow, platform::messageVerticalScroll, platform::scrollTop, 0);
    EXPECT_EQ(view->scrollY, 0);
    platform::sendMessage(viewWindow, platform::messageVerticalScroll, platform::scrollBottom, 0);
    EXPECT_EQ(view->scrollY, 301);

    // A deep zoom pins the range instead of wrapping past 32 bits.
    view->zoom = 1e12;
    view->updateScrollBars();
    h = platform::scrollState(viewWindow, ScrollBar::Horizontal);
    EXPECT_EQ(h.maximum, 2147483646);
    view->setScrollX(2147483647);
    EXPECT_EQ(view->scrollX, 2147483646 - 159);
    // The selection's edges out there are pinned, not wrapped.
    view->currentTake = pattern.takes[0].get();
    view->selStart = 8.0;
    view->selEnd = 12.0;
    paint();
    EXPECT_EQ(view->selLeftPx, 2147483647);
}

TEST_F(EditorViewTest, TickColumnsSelectionAndFrameWithTheDefaults) {
    spoolex::Pattern& pattern = show(32, 320, 300);
    spoolex::Take& take = constantTake(pattern, 10, 0, 0);
    view->currentTake = &take;
    view->selStart = 2.0;
    view->selEnd = 6.0;
    auto surface = paint();
    // Background first, over the whole client area.
    ASSERT_FALSE(surface.ops.empty());
    EXPECT_EQ(surface.ops[0].argb, background);
    EXPECT_EQ(surface.ops[0].w, 320.0f);
    // Every fourth tick column dark, every sixteenth very dark, 10 px wide.
    auto dark = surface.of(Op::Fill, fine);
    auto veryDark = surface.of(Op::Fill, coarse);
    ASSERT_EQ(veryDark.size(), 2u);
    EXPECT_EQ(veryDark[1].x, 160.0f);
    ASSERT_EQ(dark.size(), 6u);
    EXPECT_EQ(dark[0].x, 40.0f);
    EXPECT_EQ(dark[0].w, 10.0f);
    EXPECT_EQ(dark[0].h, 300.0f);
    // Selection: x1 = 20, w = 4 ticks x 10 + 1, alpha 200.
    auto selection = surface.of(Op::Fill, 0xC8665544);
    ASSERT_EQ(selection.size(), 1u);
    EXPECT_EQ(selection[0].x, 20.0f);
    EXPECT_EQ(selection[0].w, 41.0f);
    EXPECT_EQ(selection[0].h, 200.0f);
    EXPECT_EQ(view->selLeftPx, 20);
    EXPECT_EQ(view->selRightPx, 61);
    const platform::PixelRect marching = view->frameState().rect;
    EXPECT_EQ(marching.right, 320);
    EXPECT_EQ(marching.bottom, 200);

    // The marching frame: one step of phase, four edges one pixel wide.
    platform::testing::RecordingSurface screen(platform::clientRect(viewWindow));
    viewWindow->screenSurface = &screen;
    platform::headless::fireTimer(viewWindow, 2);
    viewWindow->screenSurface = nullptr;
    EXPECT_EQ(view->frameState().phase, 1);
    auto edges = screen.of(Op::Pattern);
    ASSERT_EQ(edges.size(), 4u);
    EXPECT_EQ(edges[0].rect.bottom, 1);
    EXPECT_EQ(edges[1].rect.right, 1);
    EXPECT_EQ(edges[2].rect.top, 199);
    EXPECT_EQ(edges[3].rect.left, 319);
    EXPECT_EQ(edges[0].originX, 1);
    EXPECT_EQ(edges[0].rows[1], 0x1E);
    EXPECT_EQ(edges[0].argb, 0xFFFFFFFFu);
    // While the host hides the editor, the ticks draw nothing.
    platform::headless::windowOf(platform::parentOf(viewWindow))->visible = false;
    platform::testing::RecordingSurface hidden(platform::clientRect(viewWindow));
    viewWindow->screenSurface = &hidden;
    platform::headless::fireTimer(viewWindow, 2);
    viewWindow->screenSurface = nullptr;
    platform::headless::windowOf(platform::parentOf(viewWindow))->visible = true;
    EXPECT_TRUE(hidden.ops.empty());

    // Without a current take: no highlight, no frame, the edges stay.
    view->currentTake = nullptr;
    surface = paint();
    EXPECT_TRUE(surface.of(Op::Fill, 0xC8665544).empty());
    EXPECT_EQ(view->frameState().rect.right, 0);
    EXPECT_EQ(view->selRightPx, 61);
}

TEST_F(EditorViewTest, GridValuesBelowOneFromSongDataCountAsOne) {
    show(8, 80, 100);
    machine().grid.fineTicks = 0;
    machine().grid.coarseFactor = -3;
    auto surface = paint();
    // Every tick a fine column, and every one of them also coarse.
    EXPECT_EQ(surface.of(Op::Fill, coarse).size(), 8u);
    EXPECT_TRUE(surface.of(Op::Fill, fine).empty());
}

TEST_F(EditorViewTest, OutlinesAreAtLeastOnePixelAndAnEllipseWhereNoTakeIsActive) {
    spoolex::Pattern& pattern = show(16, 160, 400);
    spoolex::Take& first = constantTake(pattern, 10, 0, 0);
    spoolex::Take& second = constantTake(pattern, 10, 0, 0);
    assign(pattern, 0.0, 4.0, &second);
    assign(pattern, 4.0, 4.2, &first); // two pixels wide
    auto surface = paint();
    auto rects = surface.of(Op::Rect);
    auto ellipses = surface.of(Op::Ellipse);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].x, 2.0f);
    EXPECT_EQ(rects[0].y, 202.0f); // the second take's row
    EXPECT_EQ(rects[0].w, 36.0f);
    EXPECT_EQ(rects[0].h, 196.0f);
    EXPECT_EQ(rects[0].penWidth, 4.0f);
    EXPECT_EQ(rects[0].argb, 0x80FF0000u);
    EXPECT_EQ(rects[1].w, 1.0f);
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_FLOAT_EQ(ellipses[0].x, 44.0f);
    EXPECT_EQ(ellipses[0].y, 2.0f);
    EXPECT_FLOAT_EQ(ellipses[0].w, 160.0f - 42.0f - 4.0f);
    EXPECT_EQ(ellipses[0].h, 396.0f);
}

namespace {

// The column rule read straight off the frames, for comparing the drawn
// columns with.
std::vector<float> formulaColumn(const spoolex::Samples& samples, double spp, uint32_t c,
                                 std::vector<float>& previous) {
    const auto frames = static_cast<int64_t>(samples.size() / 2);
    const auto a = static_cast<int64_t>(c * spp);
    const int64_t b = std::min(static_cast<int64_t>((c + 1) * spp), frames);
    if (a >= b)
        return previous;
    std::vector<float> e{1e20f, -1e20f, 1e20f, -1e20f};
    for (int64_t f = a; f < b; ++f)
        for (int ch = 0; ch < 2; ++ch) {
            const float v = std::clamp(samples[2 * f + ch], -32768.0f, 32768.0f);
            e[2 * ch] = std::min(e[2 * ch], v);
            e[2 * ch + 1] = std::max(e[2 * ch + 1], v);
        }
    previous = e;
    return e;
}

} // namespace

TEST_F(EditorViewTest, DrawnColumnsMatchTheColumnRuleAtEveryZoom) {
    spoolex::Pattern& pattern = show(16, 200, 200);
    spoolex::Take& take = pattern.addTake();
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-40000.0f, 40000.0f);
    take.changeSamples().resize(2 * 16 * samplesPerTick);
    for (float& s : take.changeSamples())
        s = value(random);
    view->patternChanged(pattern);
    for (double zoom : {0.01, 0.37, 1.0, 3.7, 150.0, 9000.0}) {
        view->zoom = zoom;
        view->updateScrollBars();
        view->setScrollX(static_cast<int32_t>(200 * zoom / 3));
        paint();
        const PeakCache& cache = view->caches().at(&take);
        std::vector<float> previous{0, 0, 0, 0};
        const uint32_t first = cache.firstColumn;
        // The rule chains empty columns to the ones before: run it from 0.
        for (uint32_t c = 0; c < first; ++c)
            formulaColumn(take.samples(), cache.samplesPerPixel, c, previous);
        for (uint32_t c = first; c < first + cache.columns.size() / 4; ++c) {
            std::vector<float> want =
                formulaColumn(take.samples(), cache.samplesPerPixel, c, previous);
            const float* got = cache.column(c);
            ASSERT_EQ(std::vector<float>(got, got + 4), want) << "zoom " << zoom << " column " << c;
        }
    }
}

TEST_F(EditorViewTest, WaveformColumnsClampAndTheFirstEmptyColumnShowsZeros) {
    spoolex::Pattern& pattern = show(16, 160, 400);
    spoolex::Take& take = constantTake(pattern, 2, 50000.0f, -50000.0f);
    take.sampleRate = 44100;
    view->zoom = 1050.0; // half a frame per pixel
    view->updateScrollBars();
    auto surface = paint();
    auto columns = surface.of(Op::Fill, text);
    ASSERT_GE(columns.size(), 4u);
    // Column 0 of a row 200 high: lanes at 50 and 150, full scale reaches 50.
    EXPECT_EQ(columns[0].x, -0.5f);
    EXPECT_EQ(columns[0].h, 1.0f); // zeros: a flat line
    EXPECT_EQ(columns[0].y, 50.0f);
    const PeakCache& cache = view->caches().at(&take);
    // Column 1 holds frame 0, clamped; the empty columns after repeat it.
    EXPECT_EQ(std::vector<float>(cache.column(1), cache.column(1) + 4),
              (std::vector<float>{32768, 32768, -32768, -32768}));
    EXPECT_EQ(cache.column(2)[0], 32768.0f);
    EXPECT_EQ(columns[2].y, 0.0f);
    EXPECT_EQ(columns[2].h, 1.0f);
}

TEST_F(EditorViewTest, ATakeWithNoFramesHasNoColumns) {
    spoolex::Pattern& pattern = show(16, 160, 400);
    pattern.addTake();
    auto surface = paint();
    EXPECT_TRUE(surface.of(Op::Fill, text).empty());
    EXPECT_EQ(PeakCache::countColumns(0, 0.5), 0u);
    EXPECT_EQ(PeakCache::countColumns(int64_t{1} << 40, 1e-3), 4294967295u);
}

TEST_F(EditorViewTest, RedrawAskedFromAnotherThreadIsCarriedOutByTheTimer) {
    show(16, 160, 100);
    viewWindow->invalid = false;
    const int before = viewWindow->invalidations;
    machine().requestRedraw();
    EXPECT_EQ(viewWindow->invalidations, before);
    platform::headless::fireTimer(viewWindow, 2);
    EXPECT_GT(viewWindow->invalidations, before);
    EXPECT_FALSE(viewWindow->invalid); // painted at once
}

// Any program may send the view's window the snapshot message: every value
// travels in the message itself and is checked as a user's would be.
TEST_F(EditorViewTest, SnapshotMessagesCarryTheirValuesAndAreChecked) {
    spoolex::Pattern& pattern = show(16, 160, 400);
    constantTake(pattern, 16 * samplesPerTick, 1000.0f, -1000.0f);
    SnapshotSettings settings;
    settings.zoom = 2.0;
    settings.rowHeight = 50.0f;
    settings.selStart = 1.0;
    settings.selEnd = 3.0;
    settings.currentTake = 0;
    sendSnapshotSettings(settings, [&](unsigned message, uintptr_t field, intptr_t value) {
        EXPECT_EQ(platform::sendMessage(viewWindow, message, field, value), 1);
    });
    EXPECT_EQ(view->zoom, 2.0);
    EXPECT_EQ(view->rowHeight, 50.0f);
    EXPECT_EQ(view->selEnd, 3.0);
    EXPECT_EQ(view->currentTake, pattern.takes[0].get());

    // What once was read as a pointer is only a number now; a take past the
    // list, a value that is not a number, an unknown field change nothing.
    auto send = [&](uintptr_t field, intptr_t value) {
        return platform::sendMessage(viewWindow, messageSnapshotSetting, field, value);
    };
    EXPECT_EQ(send(SnapshotCurrentTake, static_cast<intptr_t>(0x7fff12345678)), 1);
    EXPECT_EQ(view->currentTake, nullptr);
    EXPECT_EQ(send(SnapshotZoom, snapshotBits(std::nan(""))), 0);
    EXPECT_EQ(send(SnapshotZoom, snapshotBits(-1.0)), 0);
    EXPECT_EQ(send(SnapshotRowHeight, snapshotBits(INFINITY)), 0);
    EXPECT_EQ(send(99, 0x1234), 0);
    EXPECT_EQ(view->zoom, 2.0);
    EXPECT_EQ(view->rowHeight, 50.0f);
    paint();
}

TEST_F(EditorViewTest, DeletingTheShownPatternOrShiftClickingARowRepaints) {
    spoolex::Pattern& pattern = show(16, 160, 400);
    constantTake(pattern, 10, 0, 0);
    constantTake(pattern, 10, 0, 0);
    view->updateScrollBars();
    // Shift held: the second row becomes the current take, highlighted at once.
    viewWindow->invalid = false;
    platform::sendMessage(viewWindow, platform::messageLeftButtonDown, platform::mouseShift,
                          platform::mousePosition(50, 300));
    platform::sendMessage(viewWindow, platform::messageLeftButtonUp, 0,
                          platform::mousePosition(50, 300));
    EXPECT_EQ(view->currentTake, pattern.takes[1].get());
    EXPECT_TRUE(viewWindow->invalid);
    paint();
    EXPECT_EQ(view->frameState().rect.top, 200);

    // The host deletes the shown pattern: its rows and the frame go.
    viewWindow->invalid = false;
    host.deletePattern(hostPattern);
    EXPECT_EQ(view->shownPattern(), nullptr);
    EXPECT_TRUE(viewWindow->invalid);
    platform::testing::RecordingSurface screen(platform::clientRect(viewWindow));
    viewWindow->screenSurface = &screen;
    platform::headless::fireTimer(viewWindow, 2);
    viewWindow->screenSurface = nullptr;
    EXPECT_TRUE(screen.of(Op::Pattern).empty());
    EXPECT_EQ(paint().ops.size(), 1u); // the background alone
}
