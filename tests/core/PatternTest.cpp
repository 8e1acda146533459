#include <memory>

#include "tests/core/PlaybackFixture.h"

namespace {

using spoolex::ActiveTakeEntry;
using spoolex::Pattern;
using spoolex::Take;
using List = std::vector<ActiveTakeEntry>;

class PatternModel : public PlaybackTest {
protected:
    // A pattern outside the machine's tables, for the list operations.
    std::unique_ptr<Pattern> loose(int length) {
        return std::make_unique<Pattern>(machine(), nullptr, length);
    }
};

TEST_F(PatternModel, ANewPatternHasOneSilentEntry) {
    auto p = loose(16);
    EXPECT_EQ(p->activeTakes, (List{{0, nullptr}}));
    EXPECT_EQ(p->length, 16);
    EXPECT_TRUE(p->takes.empty());
}

TEST_F(PatternModel, AssignTakeCases) {
    auto p = loose(16);
    Take* t = &p->addTake();
    Take* u = &p->addTake();

    p->assignTake(4, 8, t);
    p->tidyActiveTakes();
    EXPECT_EQ(p->activeTakes, (List{{0, nullptr}, {4, t}, {8, nullptr}}));

    auto whole = loose(16);
    Take* w = &whole->addTake();
    whole->assignTake(0, 16, w);
    whole->tidyActiveTakes();
    EXPECT_EQ(whole->activeTakes, (List{{0, w}, {16, nullptr}}));

    auto hole = loose(16);
    Take* h = &hole->addTake();
    hole->activeTakes = {{0, h}};
    hole->assignTake(4, 8, nullptr);
    hole->tidyActiveTakes();
    EXPECT_EQ(hole->activeTakes, (List{{0, h}, {4, nullptr}, {8, h}}));

    // Across entries: the middle ones go, the last one begins at t1.
    p->activeTakes = {{0, t}, {2, u}, {4, t}, {6, u}};
    p->assignTake(1, 5, nullptr);
    p->tidyActiveTakes();
    EXPECT_EQ(p->activeTakes, (List{{0, t}, {1, nullptr}, {5, t}, {6, u}}));
    // Starting exactly at an entry replaces it.
    p->assignTake(1, 3, u);
    p->tidyActiveTakes();
    EXPECT_EQ(p->activeTakes, (List{{0, t}, {1, u}, {3, nullptr}, {5, t}, {6, u}}));
}

TEST_F(PatternModel, AssignTakeOverAnEmptyOrReversedRangeChangesNothing) {
    auto p = loose(16);
    Take* t = &p->addTake();
    p->assignTake(4, 4, t);
    p->assignTake(8, 4, t);
    EXPECT_EQ(p->activeTakes, (List{{0, nullptr}}));
    // A start before the pattern begins at 0.
    p->assignTake(-3, 2, t);
    p->tidyActiveTakes();
    EXPECT_EQ(p->activeTakes, (List{{0, t}, {2, nullptr}}));
}

TEST_F(PatternModel, SetLengthCutsEntriesAtAndAfterTheEnd) {
    auto p = loose(16);
    Take* t = &p->addTake();
    Take* u = &p->addTake();
    Take* v = &p->addTake();
    p->activeTakes = {{0, t}, {4, u}, {12, v}};
    p->setLength(8);
    EXPECT_EQ(p->activeTakes, (List{{0, t}, {4, u}, {8, nullptr}}));
    p->setLength(4);
    EXPECT_EQ(p->activeTakes, (List{{0, t}, {4, nullptr}}));
    p->setLength(0);
    EXPECT_EQ(p->activeTakes, (List{{0, nullptr}}));
}

TEST_F(PatternModel, TidyKeepsTheLaterOfTwoEntriesAtOneTick) {
    auto p = loose(16);
    Take* t = &p->addTake();
    Take* u = &p->addTake();
    p->activeTakes = {{0, t}, {4, u}, {4, nullptr}, {8, t}, {8, t}};
    p->tidyActiveTakes();
    EXPECT_EQ(p->activeTakes, (List{{0, t}, {4, nullptr}, {8, t}}));
    // The surviving entry may name its earlier neighbour's take: they merge.
    p->activeTakes = {{0, t}, {4, u}, {4, t}, {6, u}};
    p->tidyActiveTakes();
    EXPECT_EQ(p->activeTakes, (List{{0, t}, {6, u}}));
    // A damaged song may bring thousands of entries at one tick: the last
    // wins, and here merges with the first.
    p->activeTakes = {{0, t}};
    for (int i = 0; i < 20000; ++i)
        p->activeTakes.push_back({4, i % 2 ? u : nullptr});
    p->activeTakes.push_back({4, t});
    p->activeTakes.push_back({9, nullptr});
    p->tidyActiveTakes();
    EXPECT_EQ(p->activeTakes, (List{{0, t}, {9, nullptr}}));
}

TEST_F(PatternModel, TakeIndexAndRemoval) {
    auto p = loose(16);
    Take* t = &p->addTake();
    Take* u = &p->addTake();
    EXPECT_EQ(t->sampleRate, 44100);
    EXPECT_EQ(t->owner, p.get());
    EXPECT_EQ(p->takeIndex(*u), 1);
    EXPECT_EQ(p->takeAt(0), t);
    EXPECT_EQ(p->takeAt(2), nullptr);
    EXPECT_EQ(p->takeAt(-1), nullptr);
    p->activeTakes = {{0, t}, {4, u}, {8, t}};
    std::weak_ptr<Take> watch = u->shared_from_this();
    std::shared_ptr<Take> removed = p->removeTake(*u);
    EXPECT_EQ(removed.get(), u);
    EXPECT_EQ(p->activeTakes, (List{{0, t}, {4, nullptr}, {8, t}}));
    EXPECT_EQ(p->takeIndex(*u), -1);
    EXPECT_EQ(p->takes.size(), 1u);
    removed.reset();
    EXPECT_TRUE(watch.expired());

    Take* fresh = &p->addTake();
    watch = fresh->shared_from_this();
    EXPECT_TRUE(p->discardTake(*fresh));
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(p->takes.size(), 1u);
}

TEST_F(PatternModel, ACopyOwnsItsTakesAndOutlivesItsSource) {
    host::HostPattern* a = createPattern("A", 16);
    Pattern& source = patternOf(a);
    Take& t = staircaseTake(source, 1000, 22050);
    Take& u = constantTake(source, 10, 1, 2);
    assign(source, 0, 4, &u);
    assign(source, 4, 12, &t);
    host::HostPattern* b = host.copyPattern(*a, "B");
    Pattern& copy = patternOf(b);
    ASSERT_EQ(copy.takes.size(), 2u);
    EXPECT_EQ(copy.length, 16);
    EXPECT_EQ(copy.hostPattern, b->handle());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_NE(copy.takes[i], source.takes[i]);
        EXPECT_EQ(copy.takes[i]->owner, &copy);
        EXPECT_EQ(copy.takes[i]->samples(), source.takes[i]->samples());
        EXPECT_EQ(copy.takes[i]->sampleRate, source.takes[i]->sampleRate);
    }
    EXPECT_EQ(copy.activeTakes,
              (List{{0, copy.takes[1].get()}, {4, copy.takes[0].get()}, {12, nullptr}}));

    play(b);
    render(512);
    host.deletePattern(a);
    EXPECT_EQ(machine().findPattern(b->handle()), &copy);
    EXPECT_EQ(machine().patterns().size(), 1u);
    EXPECT_EQ(machine().patternPlayerCount(), 1u);
    ASSERT_EQ(machine().takePlayerCount(), 1u);
    EXPECT_EQ(machine().soundingTakePlayers()[0]->take.get(), copy.takes[1].get());
}

TEST_F(PatternModel, ARestoredPatternWaitsForItsNameAndTakesTheHostsLength) {
    auto restored = std::make_unique<Pattern>(machine(), nullptr, 32);
    Take& t = staircaseTake(*restored, 32 * samplesPerTick);
    Take* u = &restored->addTake();
    restored->activeTakes = {{0, &t}, {8, u}, {16, &t}, {24, nullptr}};
    Pattern* kept = restored.get();
    machine().keepAwaitingPattern("Verse", std::move(restored));

    host::HostPattern* other = createPattern("verse", 8);
    EXPECT_NE(machine().findPattern(other->handle()), kept);
    host::HostPattern* verse = createPattern("Verse", 16);
    EXPECT_EQ(machine().findPattern(verse->handle()), kept);
    EXPECT_TRUE(machine().awaitingPatternNames().empty());
    EXPECT_EQ(kept->hostPattern, verse->handle());
    EXPECT_EQ(kept->length, 16);
    EXPECT_EQ(kept->activeTakes, (List{{0, &t}, {8, u}, {16, nullptr}}));
    EXPECT_EQ(t.frameCount(), static_cast<size_t>(32 * samplesPerTick));
}

TEST_F(PatternModel, ACopyOntoAPlayingHandleStopsTheOldPatternFirst) {
    host::HostPattern* a = createPattern("A", 16);
    host::HostPattern* b = createPattern("B", 8);
    Take& t = constantTake(patternOf(a), 16 * samplesPerTick, 1000, 1000);
    std::weak_ptr<Take> watch = t.shared_from_this();
    assign(patternOf(a), 0, 16, &t);
    machine().ex.showPattern(a->handle());
    play(a);
    render(256);
    machine().ex.onPatternCopied(a->handle(), b->handle());
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(machine().patternPlayerCount(), 0u);
    EXPECT_EQ(machine().takePlayerCount(), 0u);
    EXPECT_EQ(machine().editor()->shownPattern(), nullptr);
    EXPECT_EQ(patternOf(a).length, 8);
    EXPECT_EQ(render(256), std::vector<float>(512, 0.0f));
}

TEST_F(PatternModel, NotificationsForUnknownHandlesChangeNothing) {
    host::HostPattern* a = createPattern("A", 16);
    CPattern stranger{nullptr};
    machine().ex.onPatternDeleted(&stranger);
    machine().ex.onPatternLengthChanged(&stranger, 4);
    machine().ex.onPatternCopied(&stranger, &stranger);
    EXPECT_EQ(machine().patterns().size(), 1u);
    EXPECT_EQ(patternOf(a).length, 16);
}

TEST_F(PatternModel, TheEditorIsShownTheHostsPattern) {
    host::HostPattern* a = createPattern("A", 16);
    machine().ex.showPattern(a->handle());
    EXPECT_EQ(machine().editor()->shownPattern(), &patternOf(a));
    CPattern stranger{nullptr};
    machine().ex.showPattern(&stranger);
    EXPECT_EQ(machine().editor()->shownPattern(), nullptr);
    machine().ex.showPattern(a->handle());
    host.deletePattern(a);
    EXPECT_EQ(machine().editor()->shownPattern(), nullptr);
}

TEST_F(PatternModel, ResizingAPlayingPatternLeavesNoPlayerBeyondTheCut) {
    LeftRight a = leftRightPattern("A");
    assign(*a.pattern, 0, 8, a.left);
    assign(*a.pattern, 8, 16, a.right);
    play(a.hostPattern, 10);
    render(256);
    host.resizePattern(*a.hostPattern, 8);
    EXPECT_EQ(a.pattern->activeTakes, (List{{0, a.left}, {8, nullptr}}));
    std::vector<float> out = render(512);
    // U fades out; nothing new starts.
    EXPECT_EQ(out[1], 1000.0f);
    EXPECT_EQ(out[2 * 300 + 1], 0.0f);
    EXPECT_EQ(out[2 * 300], 0.0f);
}

} // namespace
