#include "generator/settings/ShortcutMatching.h"
#include "tests/settings/SettingsFixture.h"

namespace {

using ShortcutMatching = SettingsTest;
using spoolex::modifierCtrl;
using spoolex::modifierShift;

constexpr uint32_t vkDelete = 0x2E;
constexpr uint32_t vkF5 = 0x74;

class Fired {
public:
    spoolex::SendCommand sink() {
        return [this](uint16_t command) { commands.push_back(command); };
    }
    std::vector<uint16_t> commands;
};

std::vector<uint16_t> keyDown(const spoolex::mi& machine, uint32_t key, uint32_t modifiers) {
    Fired fired;
    spoolex::fireKeyDown(machine.shortcuts(), key, modifiers, fired.sink());
    return fired.commands;
}

std::vector<uint16_t> character(const spoolex::mi& machine, uint32_t c) {
    Fired fired;
    spoolex::fireCharacter(machine.shortcuts(), c, fired.sink());
    return fired.commands;
}

using Commands = std::vector<uint16_t>;

TEST_F(ShortcutMatching, AKeyBoundTwiceFiresBothInFileOrder) {
    spoolex::mi& machine = placeWithSettings("<s><keys>"
                                             "<key vkey='VK_DELETE' command='32817'/>"
                                             "<key vkey='VK_F5' command='32825'/>"
                                             "<key vkey='VK_DELETE' command='32810'/>"
                                             "</keys></s>");
    EXPECT_EQ(keyDown(machine, vkDelete, 0), (Commands{32817, 32810}));
    // Every repeated key-down fires again.
    EXPECT_EQ(keyDown(machine, vkDelete, 0), (Commands{32817, 32810}));
    EXPECT_EQ(keyDown(machine, 0x2D, 0), Commands{});
}

TEST_F(ShortcutMatching, ModifiersMustMatchExactly) {
    spoolex::mi& machine = placeWithSettings("<s><keys>"
                                             "<key vkey='VK_DELETE' command='1'/>"
                                             "<key vkey='VK_F5' ctrl='0' command='2'/>"
                                             "<key vkey='VK_F5' ctrl='' shift='' command='3'/>"
                                             "</keys></s>");
    EXPECT_EQ(keyDown(machine, vkDelete, 0), Commands{1});
    EXPECT_EQ(keyDown(machine, vkDelete, modifierShift), Commands{});
    EXPECT_EQ(keyDown(machine, vkDelete, modifierCtrl), Commands{});
    EXPECT_EQ(keyDown(machine, vkF5, 0), Commands{});
    EXPECT_EQ(keyDown(machine, vkF5, modifierCtrl), Commands{2});
    EXPECT_EQ(keyDown(machine, vkF5, modifierCtrl | modifierShift), Commands{3});
}

TEST_F(ShortcutMatching, CharacterBindingsIgnoreModifiersAndMatchTheTypedCharacter) {
    spoolex::mi& machine = placeWithSettings("<s><keys>"
                                             "<key char='a' command='7'/>"
                                             "<key char='+' command='8'/>"
                                             "<key vkey='VK_A' command='9'/>"
                                             "</keys></s>");
    // Modifiers are no input: a character message fires whatever is held.
    EXPECT_EQ(character(machine, 'a'), Commands{7});
    EXPECT_EQ(character(machine, '+'), Commands{8});
    // Shift+A types 'A', Ctrl+A a control character: neither is 'a'.
    EXPECT_EQ(character(machine, 'A'), Commands{});
    EXPECT_EQ(character(machine, 0x01), Commands{});
    // A character message never fires a virtual-key binding, nor the reverse.
    EXPECT_EQ(character(machine, 0x41), Commands{});
    EXPECT_EQ(keyDown(machine, 'a', 0), Commands{});
}

// A keyboard whose state has more than Shift and Ctrl down.
class EveryKeyDown final : public spoolex::ModifierKeys {
public:
    uint32_t held() const override { return 0xFFFFFFFFu; }
};

TEST_F(ShortcutMatching, TheCurrentModifiersAreShiftAndCtrlOnly) {
    EXPECT_EQ(spoolex::currentModifiers(), 0u);
    spoolex::defaultModifierKeys().hold(modifierShift);
    EXPECT_EQ(spoolex::currentModifiers(), modifierShift);
    EveryKeyDown everything;
    spoolex::setModifierKeys(&everything);
    EXPECT_EQ(spoolex::currentModifiers(), modifierShift | modifierCtrl);
    spoolex::setModifierKeys(nullptr);
    EXPECT_EQ(spoolex::currentModifiers(), modifierShift);
}

TEST_F(ShortcutMatching, TheEditorTakesKeysWithOrWithoutAWindow) {
    // Both keys run Info, whose report shows as a message.
    spoolex::mi& machine = placeWithSettings("<s><keys><key char='a' command='32832'/>"
                                             "<key vkey='VK_DELETE' command='32832'/></keys></s>");
    ASSERT_NE(machine.editor(), nullptr);
    host::HostMachine* placed = host.findMachine("Spoolex");
    host.createPattern(*placed, "P", 16);
    placed->extension->showPattern(host.findPattern("P")->handle());
    const size_t before = shownMessages().size();
    editorViewOf(machine)->onKeyDown(vkDelete);
    EXPECT_EQ(shownMessages().size(), before + 1);
    editorViewOf(machine)->onKeyDown(vkDelete + 1); // unbound
    editorViewOf(machine)->onCharacter('a');
    ASSERT_EQ(shownMessages().size(), before + 2);
    EXPECT_NE(shownMessages().back().text.find("16 ticks"), std::string::npos);
    EXPECT_FALSE(editorViewOf(machine)->onCommand(0));
    // An editor no machine has given its bindings yet takes keys and does nothing.
    PatternEditor detached;
    detached.onKeyDown(vkDelete);
    detached.onCharacter('a');
    EXPECT_EQ(shownMessages().size(), before + 2);
}

} // namespace
