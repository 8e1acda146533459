// The dialog bar's controls, the editor menu and keyboard shortcuts, used as
// the user uses them.
#include "generator/editor/EditorCommandIds.h"
#include "generator/editor/EditorMenu.h"
#include "generator/settings/ModifierKeys.h"
#include "tests/editor/EditorFixture.h"

namespace {

namespace cmd = editorcommand;
using platform::headless::chooseListItem;
using platform::headless::clickButton;
using platform::headless::typeText;

class Bar : public EditorTest {};

TEST_F(Bar, ShowsTheDefaultsAfterCreationAndTakesTheUsersChoices) {
    EXPECT_EQ(platform::listSelection(bar(), barcontrol::snapList), 1);
    EXPECT_EQ(platform::itemText(bar(), barcontrol::fineEdit), "4");
    EXPECT_EQ(platform::itemText(bar(), barcontrol::coarseEdit), "4");
    EXPECT_EQ(platform::itemText(bar(), barcontrol::zoomLabel), "100.000%");
    EXPECT_EQ(platform::itemText(bar(), barcontrol::heightLabel), "200.0px");
    ASSERT_EQ(platform::listCount(bar(), barcontrol::recordSourceList), 1);
    EXPECT_EQ(platform::listSelection(bar(), barcontrol::recordSourceList), 0);
    EXPECT_EQ(platform::listItemData(bar(), barcontrol::recordSourceList, 0), 0);

    typeText(bar(), barcontrol::fineEdit, "8");
    EXPECT_EQ(machine().grid.fineTicks, 8);
    typeText(bar(), barcontrol::fineEdit, ""); // emptied: the value stays
    EXPECT_EQ(machine().grid.fineTicks, 8);
    typeText(bar(), barcontrol::coarseEdit, "16384");
    EXPECT_EQ(machine().grid.coarseFactor, 16384);
    typeText(bar(), barcontrol::coarseEdit, "16385"); // past the spin's range: kept
    EXPECT_EQ(machine().grid.coarseFactor, 16384);
    chooseListItem(bar(), barcontrol::snapList, 3);
    EXPECT_EQ(machine().grid.snapMode, 3u);

    clickButton(bar(), barcontrol::armToggle);
    EXPECT_TRUE(machine().isArmed());
    EXPECT_FALSE(host.songModified);
    clickButton(bar(), cmd::zoomIn);
    EXPECT_EQ(platform::itemText(bar(), barcontrol::zoomLabel), "141.421%");
    clickButton(bar(), cmd::rowHeightDown);
    EXPECT_EQ(platform::itemText(bar(), barcontrol::heightLabel), "141.4px");
}

// The host closes its pattern view (the editor's window and the editor go)
// and opens it again: a new editor, on the grid the user chose, which the
// song keeps all along.
TEST_F(Bar, AClosedEditorComesBackOnTheGridTheSongKeeps) {
    typeText(bar(), barcontrol::fineEdit, "8");
    typeText(bar(), barcontrol::coarseEdit, "3");
    chooseListItem(bar(), barcontrol::snapList, 2);
    host.closeEditorWindow(*placed);
    EXPECT_EQ(machine().editor(), nullptr);

    const std::vector<uint8_t> song = host.saveSongData(*placed);
    host::HostMachine* loaded = host.createMachine(
        spoolex::machineDescription(),
        [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Loaded", &song);
    EXPECT_EQ(generatorOf(loaded).grid.fineTicks, 8);
    EXPECT_EQ(generatorOf(loaded).grid.coarseFactor, 3);
    EXPECT_EQ(generatorOf(loaded).grid.snapMode, 2u);

    frameWindow = host.editorWindow(*placed);
    ASSERT_NE(frameWindow, nullptr);
    placed->extension->showPattern(hostPattern->handle());
    EXPECT_EQ(platform::itemText(bar(), barcontrol::fineEdit), "8");
    EXPECT_EQ(platform::itemText(bar(), barcontrol::coarseEdit), "3");
    EXPECT_EQ(platform::listSelection(bar(), barcontrol::snapList), 2);
    // The new editor edits as the first did.
    addTake(1600);
    press(10, rowY(0)); // the current take
    release(10, rowY(0));
    selectTicks(1, 3);
    command(cmd::copy);
    EXPECT_EQ(audioClipboard().size(), 2u * 199);
}

TEST_F(Bar, TheRecSrcListFollowsTheRegistryAndChoosesTheSource) {
    InputMachine::Fields* mic = registerInput("Mic");
    InputMachine::Fields* line = registerInput("Line");
    view().frame->refreshRecordSources();
    ASSERT_EQ(platform::listCount(bar(), barcontrol::recordSourceList), 3);
    EXPECT_EQ(
        platform::headless::windowOf(platform::dialogItem(bar(), barcontrol::recordSourceList))
            ->items[2]
            .first,
        "Line");
    chooseListItem(bar(), barcontrol::recordSourceList, 2);
    EXPECT_EQ(machine().recordSource(), line);
    EXPECT_TRUE(host.songModified);
    machine().chooseRecordSource(mic); // the machine's menu: the bar follows
    EXPECT_EQ(platform::listSelection(bar(), barcontrol::recordSourceList), 1);
}

TEST_F(Bar, TheMenuLabelOpensTheMenuAtTheViewAndOnlyEnabledEntriesAct) {
    ui().chooseMenuItem(cmd::selectAll);
    clickButton(bar(), cmd::openMenu);
    ASSERT_EQ(ui().menus().size(), 1u);
    const platform::testing::ShownMenu shown = ui().menus()[0];
    EXPECT_EQ(shown.owner, viewWindow());
    EXPECT_EQ(shown.ids, editorMenuCommands());
    EXPECT_EQ(view().selEnd, 16.0);

    for (size_t i = 0; i < shown.ids.size(); ++i) {
        if (shown.ids[i] == cmd::trim) {
            EXPECT_FALSE(shown.enabled[i]);
        }
    }
    selectTicks(2.0, 2.0);
    ui().chooseMenuItem(cmd::selectSuffix);
    ui().chooseMenuItem(cmd::exportToFile); // enabled, does nothing
    clickButton(bar(), cmd::openMenu);
    clickButton(bar(), cmd::openMenu);
    EXPECT_EQ(view().selStart, 2.0);
    EXPECT_EQ(view().selEnd, 16.0);
}

class Keys : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        installPlatformModifierKeys();
    }
    void TearDown() override {
        spoolex::setModifierKeys(nullptr);
        EditorTest::TearDown();
    }
    void bind(uint32_t virtualKey, uint32_t modifiers, uint16_t command) {
        spoolex::KeyboardShortcut shortcut;
        shortcut.key = static_cast<int32_t>(virtualKey);
        shortcut.modifiers = modifiers;
        shortcut.kind = spoolex::KeyboardShortcut::Kind::VirtualKey;
        shortcut.command = command;
        machine().addShortcut(shortcut);
    }
    void keyDown(uint32_t virtualKey) {
        platform::sendMessage(viewWindow(), platform::messageKeyDown, virtualKey, 0);
    }
};

TEST_F(Keys, AKeyBoundTwiceFiresBothCommandsInOrderWithCtrlHeld) {
    constexpr uint32_t vkA = 0x41;
    bind(vkA, spoolex::modifierCtrl, cmd::selectAll);
    bind(vkA, spoolex::modifierCtrl, cmd::zoomSelection);
    addTake(10);
    press(0, rowY(0));
    release(0, rowY(0));
    keyDown(vkA); // no Ctrl held: nothing
    EXPECT_EQ(view().selEnd, 0.0);
    ui().holdModifiers(platform::modifierCtrl);
    keyDown(vkA);
    EXPECT_EQ(view().selEnd, 16.0);
    EXPECT_EQ(view().zoom, 1.0); // the second saw the first's selection
    EXPECT_EQ(view().rowHeight, 600.0f);
    ui().holdModifiers(platform::modifierCtrl | platform::modifierShift);
    selectTicks(0.0, 0.0);
    keyDown(vkA);
    EXPECT_EQ(view().selEnd, 0.0);
}

} // namespace
