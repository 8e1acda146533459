#include <gtest/gtest.h>
#include <tinyxml.h>

#include "generator/settings/KeyboardShortcut.h"
#include "generator/settings/VirtualKeyNames.h"

namespace {

using spoolex::KeyboardShortcut;
using Kind = KeyboardShortcut::Kind;

// Parses one <key .../> written as XML.
KeyboardShortcut parse(const std::string& xml) {
    TiXmlDocument document;
    document.Parse(xml.c_str());
    EXPECT_FALSE(document.Error()) << document.ErrorDesc();
    return spoolex::parseShortcut(*document.RootElement());
}

std::string errorOf(const std::string& xml) {
    try {
        parse(xml);
    } catch (const KeyboardShortcut::Error& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(ParseShortcut, ErrorsComeInTheirOrder) {
    EXPECT_EQ(errorOf("<key char='ab' vkey='VK_A' command='1'/>"),
              "char attribute must be a string of length 1");
    EXPECT_EQ(errorOf("<key char=''/>"), "char attribute must be a string of length 1");
    // A multi-byte character is more than one byte.
    EXPECT_EQ(errorOf("<key char='\xC3\xA9' command='1'/>"),
              "char attribute must be a string of length 1");
    EXPECT_EQ(errorOf("<key ctrl='' shift=''/>"), "Missing char or vkey element");
    EXPECT_EQ(errorOf("<key vkey='vk_f5'/>"), "vkey attribute invalid");
    EXPECT_EQ(errorOf("<key vkey='VK_F5'/>"), "command attribute missing");
    EXPECT_EQ(errorOf("<key char='a'/>"), "command attribute missing");
    // Only the first failing check speaks.
    EXPECT_EQ(errorOf("<key vkey='VK_NOPE'/>"), "vkey attribute invalid");
}

TEST(ParseShortcut, ACharacterBindingIgnoresTheVirtualKeyAttributes) {
    KeyboardShortcut shortcut = parse("<key char='a' vkey='bogus' ctrl='' shift='' command='5'/>");
    EXPECT_EQ(shortcut.kind, Kind::Character);
    EXPECT_EQ(shortcut.key, 'a');
    EXPECT_EQ(shortcut.modifiers, 0u);
    EXPECT_EQ(shortcut.command, 5);

    // Bytes of 128 and more are kept sign-extended.
    TiXmlElement high("key");
    high.SetAttribute("char", "\xE9");
    high.SetAttribute("command", "1");
    EXPECT_EQ(spoolex::parseShortcut(high).key, -23);
}

TEST(ParseShortcut, CtrlAndShiftCountByPresence) {
    KeyboardShortcut plain = parse("<key vkey='VK_DELETE' command='32817'/>");
    EXPECT_EQ(plain.kind, Kind::VirtualKey);
    EXPECT_EQ(plain.key, 0x2E);
    EXPECT_EQ(plain.modifiers, 0u);
    EXPECT_EQ(parse("<key vkey='VK_F5' ctrl='0' command='1'/>").modifiers, spoolex::modifierCtrl);
    EXPECT_EQ(parse("<key vkey='VK_F5' shift='no' command='1'/>").modifiers,
              spoolex::modifierShift);
    EXPECT_EQ(parse("<key vkey='VK_F5' shift='' ctrl='' command='1'/>").modifiers, 3u);
}

TEST(ParseShortcut, CommandTextsReadLikeTheStandardConversion) {
    auto command = [](const char* text) {
        return parse(std::string("<key char='x' command='") + text + "'/>").command;
    };
    EXPECT_EQ(command("32843"), 32843);
    EXPECT_EQ(command("57635abc"), 57635);
    EXPECT_EQ(command("  +12"), 12);
    EXPECT_EQ(command("cut"), 0);
    EXPECT_EQ(command(""), 0);
    EXPECT_EQ(command("65536"), 0);
    EXPECT_EQ(command("65537"), 1);
    EXPECT_EQ(command("-1"), 65535);
    EXPECT_EQ(command("4294967296"), 0);
    // Far beyond any integer: still only the low 16 bits of the number written.
    EXPECT_EQ(spoolex::commandIdentifier("100000000000000000000000000000000000032810"), 32810);
}

TEST(VirtualKeyNames, TheTableHoldsTheSdkNamesAndValues) {
    const auto& names = spoolex::virtualKeyNames();
    EXPECT_EQ(names.size(), 175u);
    const std::pair<const char*, int32_t> telling[] = {{"VK_0", 0x30},
                                                       {"VK_9", 0x39},
                                                       {"VK_A", 0x41},
                                                       {"VK_Z", 0x5A},
                                                       {"VK_BACK", 0x08},
                                                       {"VK_RETURN", 0x0D},
                                                       {"VK_SPACE", 0x20},
                                                       {"VK_LEFT", 0x25},
                                                       {"VK_DELETE", 0x2E},
                                                       {"VK_F1", 0x70},
                                                       {"VK_F24", 0x87},
                                                       {"VK_OEM_1", 0xBA},
                                                       {"VK_OEM_CLEAR", 0xFE},
                                                       {"VK_KANA", 0x15},
                                                       {"VK_HANGEUL", 0x15},
                                                       {"VK_HANGUL", 0x15},
                                                       {"VK_HANJA", 0x19},
                                                       {"VK_KANJI", 0x19},
                                                       {"VK_OEM_NEC_EQUAL", 0x92},
                                                       {"VK_OEM_FJ_JISHO", 0x92},
                                                       {"VK_LBUTTON", 0x01},
                                                       {"VK_SLEEP", 0x5F},
                                                       {"VK_NUMPAD9", 0x69},
                                                       {"VK_DIVIDE", 0x6F},
                                                       {"VK_RMENU", 0xA5},
                                                       {"VK_OEM_102", 0xE2},
                                                       {"VK_PA1", 0xFD}};
    for (const auto& [name, code] : telling) {
        int32_t found = 0;
        EXPECT_TRUE(spoolex::findVirtualKey(name, found)) << name;
        EXPECT_EQ(found, code) << name;
    }
    int32_t unused = 0;
    for (const char* refused :
         {"VK_XBUTTON1", "VK_XBUTTON2", "VK_PACKET", "VK_VOLUME_UP", "VK_BROWSER_BACK",
          "VK_MEDIA_PLAY_PAUSE", "VK_LAUNCH_MAIL", "VK_a", "vk_A", "VK_", "A"})
        EXPECT_FALSE(spoolex::findVirtualKey(refused, unused)) << refused;
}

} // namespace
