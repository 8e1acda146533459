#include <gtest/gtest.h>

#include <map>
#include <string>
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

// The whole table against the names the keys section may use, with the
// values the Windows SDK gives them: the letters and digits, then the named
// constants.
TEST(VirtualKeyNames, EveryNameHasItsSdkValueAndNothingElseIsThere) {
    std::map<std::string, int32_t> expected;
    for (char c = '0'; c <= '9'; ++c)
        expected[std::string("VK_") + c] = c;
    for (char c = 'A'; c <= 'Z'; ++c)
        expected[std::string("VK_") + c] = c;
    for (int i = 0; i <= 9; ++i)
        expected["VK_NUMPAD" + std::to_string(i)] = 0x60 + i;
    for (int i = 1; i <= 24; ++i)
        expected["VK_F" + std::to_string(i)] = 0x6F + i;
    const std::pair<const char*, int32_t> named[] = {{"VK_LBUTTON", 0x01},
                                                     {"VK_RBUTTON", 0x02},
                                                     {"VK_CANCEL", 0x03},
                                                     {"VK_MBUTTON", 0x04},
                                                     {"VK_BACK", 0x08},
                                                     {"VK_TAB", 0x09},
                                                     {"VK_CLEAR", 0x0C},
                                                     {"VK_RETURN", 0x0D},
                                                     {"VK_SHIFT", 0x10},
                                                     {"VK_CONTROL", 0x11},
                                                     {"VK_MENU", 0x12},
                                                     {"VK_PAUSE", 0x13},
                                                     {"VK_CAPITAL", 0x14},
                                                     {"VK_KANA", 0x15},
                                                     {"VK_HANGEUL", 0x15},
                                                     {"VK_HANGUL", 0x15},
                                                     {"VK_JUNJA", 0x17},
                                                     {"VK_FINAL", 0x18},
                                                     {"VK_HANJA", 0x19},
                                                     {"VK_KANJI", 0x19},
                                                     {"VK_ESCAPE", 0x1B},
                                                     {"VK_CONVERT", 0x1C},
                                                     {"VK_NONCONVERT", 0x1D},
                                                     {"VK_ACCEPT", 0x1E},
                                                     {"VK_MODECHANGE", 0x1F},
                                                     {"VK_SPACE", 0x20},
                                                     {"VK_PRIOR", 0x21},
                                                     {"VK_NEXT", 0x22},
                                                     {"VK_END", 0x23},
                                                     {"VK_HOME", 0x24},
                                                     {"VK_LEFT", 0x25},
                                                     {"VK_UP", 0x26},
                                                     {"VK_RIGHT", 0x27},
                                                     {"VK_DOWN", 0x28},
                                                     {"VK_SELECT", 0x29},
                                                     {"VK_PRINT", 0x2A},
                                                     {"VK_EXECUTE", 0x2B},
                                                     {"VK_SNAPSHOT", 0x2C},
                                                     {"VK_INSERT", 0x2D},
                                                     {"VK_DELETE", 0x2E},
                                                     {"VK_HELP", 0x2F},
                                                     {"VK_LWIN", 0x5B},
                                                     {"VK_RWIN", 0x5C},
                                                     {"VK_APPS", 0x5D},
                                                     {"VK_SLEEP", 0x5F},
                                                     {"VK_MULTIPLY", 0x6A},
                                                     {"VK_ADD", 0x6B},
                                                     {"VK_SEPARATOR", 0x6C},
                                                     {"VK_SUBTRACT", 0x6D},
                                                     {"VK_DECIMAL", 0x6E},
                                                     {"VK_DIVIDE", 0x6F},
                                                     {"VK_NUMLOCK", 0x90},
                                                     {"VK_SCROLL", 0x91},
                                                     {"VK_OEM_NEC_EQUAL", 0x92},
                                                     {"VK_OEM_FJ_JISHO", 0x92},
                                                     {"VK_OEM_FJ_MASSHOU", 0x93},
                                                     {"VK_OEM_FJ_TOUROKU", 0x94},
                                                     {"VK_OEM_FJ_LOYA", 0x95},
                                                     {"VK_OEM_FJ_ROYA", 0x96},
                                                     {"VK_LSHIFT", 0xA0},
                                                     {"VK_RSHIFT", 0xA1},
                                                     {"VK_LCONTROL", 0xA2},
                                                     {"VK_RCONTROL", 0xA3},
                                                     {"VK_LMENU", 0xA4},
                                                     {"VK_RMENU", 0xA5},
                                                     {"VK_OEM_1", 0xBA},
                                                     {"VK_OEM_PLUS", 0xBB},
                                                     {"VK_OEM_COMMA", 0xBC},
                                                     {"VK_OEM_MINUS", 0xBD},
                                                     {"VK_OEM_PERIOD", 0xBE},
                                                     {"VK_OEM_2", 0xBF},
                                                     {"VK_OEM_3", 0xC0},
                                                     {"VK_OEM_4", 0xDB},
                                                     {"VK_OEM_5", 0xDC},
                                                     {"VK_OEM_6", 0xDD},
                                                     {"VK_OEM_7", 0xDE},
                                                     {"VK_OEM_8", 0xDF},
                                                     {"VK_OEM_AX", 0xE1},
                                                     {"VK_OEM_102", 0xE2},
                                                     {"VK_ICO_HELP", 0xE3},
                                                     {"VK_ICO_00", 0xE4},
                                                     {"VK_PROCESSKEY", 0xE5},
                                                     {"VK_ICO_CLEAR", 0xE6},
                                                     {"VK_OEM_RESET", 0xE9},
                                                     {"VK_OEM_JUMP", 0xEA},
                                                     {"VK_OEM_PA1", 0xEB},
                                                     {"VK_OEM_PA2", 0xEC},
                                                     {"VK_OEM_PA3", 0xED},
                                                     {"VK_OEM_WSCTRL", 0xEE},
                                                     {"VK_OEM_CUSEL", 0xEF},
                                                     {"VK_OEM_ATTN", 0xF0},
                                                     {"VK_OEM_FINISH", 0xF1},
                                                     {"VK_OEM_COPY", 0xF2},
                                                     {"VK_OEM_AUTO", 0xF3},
                                                     {"VK_OEM_ENLW", 0xF4},
                                                     {"VK_OEM_BACKTAB", 0xF5},
                                                     {"VK_ATTN", 0xF6},
                                                     {"VK_CRSEL", 0xF7},
                                                     {"VK_EXSEL", 0xF8},
                                                     {"VK_EREOF", 0xF9},
                                                     {"VK_PLAY", 0xFA},
                                                     {"VK_ZOOM", 0xFB},
                                                     {"VK_NONAME", 0xFC},
                                                     {"VK_PA1", 0xFD},
                                                     {"VK_OEM_CLEAR", 0xFE}};
    for (const auto& [name, code] : named)
        expected[name] = code;
    ASSERT_EQ(expected.size(), 175u);
    EXPECT_EQ(spoolex::virtualKeyNames(), expected);
}

} // namespace
