#include <filesystem>
#include <new>

#include "tests/settings/SettingsFixture.h"

namespace {

using SettingsFile = SettingsTest;
using spoolex::WavSampleFormat;

const std::string fileError =
    "'Buzz\\Gear\\Generators\\Korvane Spoolex settings.xml' contains an error.\n\n";

void expectDefaults(const spoolex::mi& machine) {
    EXPECT_TRUE(machine.waveEditors().empty());
    EXPECT_TRUE(machine.shortcuts().empty());
    EXPECT_EQ(spoolex::defaultProjectFolder(), "");
    EXPECT_TRUE(spoolex::askForProjectFolder());
    EXPECT_TRUE(spoolex::redrawWhileRecording());
}

TEST_F(SettingsFile, AMissingFileIsReportedWithoutAPositionAndEveryMachineRunsOnDefaults) {
    spoolex::setSettingsFilePath(path + ".absent");
    spoolex::mi& first = generatorOf(placeGenerator("one"));
    spoolex::mi& second = generatorOf(placeGenerator("two"));
    const std::string expected = fileError + "Failed to open file\nLine 0, Column 0";
    EXPECT_EQ(host.messages, (std::vector<std::string>{expected, expected}));
    EXPECT_TRUE(shownMessages().empty());
    expectDefaults(first);
    expectDefaults(second);
    EXPECT_EQ(host.subMenu(*host.machines().back(), 1), std::vector<std::string>{"Arm"});
}

TEST_F(SettingsFile, AMalformedFileShowsTheParsersTextAndPositionAndAppliesNothing) {
    spoolex::mi& machine = placeWithSettings("<settings>\n"
                                             "  <no_redraw_while_recording/>\n"
                                             "  <keys>\n"
                                             "</settings>\n");
    EXPECT_EQ(host.messages,
              std::vector<std::string>{fileError + "Error reading end tag.\nLine 4, Column 1"});
    expectDefaults(machine);

    host.messages.clear();
    placeWithSettings("<a>\n\t<b x='1' x='2'/>\n</a>");
    EXPECT_EQ(host.messages,
              std::vector<std::string>{fileError + "Error parsing Element.\nLine 2, Column 14"});

    host.messages.clear();
    placeWithSettings("");
    EXPECT_EQ(host.messages,
              std::vector<std::string>{fileError + "Error document empty.\nLine 0, Column 0"});
}

TEST_F(SettingsFile, AFileEndingInsideAMultiByteCharacterIsReportedLikeAnyDamage) {
    // The parser steps over each lead byte's whole character, past the end.
    spoolex::mi& machine = placeWithSettings(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<s>\r\n<keys><key vkey=\"VK_X\" com"
        "\xe0\xe0\xe0\xe0");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind(fileError, 0), 0u) << host.messages[0];
    EXPECT_NE(host.messages[0].find("Line 3,"), std::string::npos) << host.messages[0];
    expectDefaults(machine);
}

TEST_F(SettingsFile, WithoutTheKnownSectionsOrWithoutAnyElementNothingIsReported) {
    spoolex::mi& plain = placeWithSettings("<anything><other/><Keys/>text</anything>");
    expectDefaults(plain);
    // No root element at all: a file of comments configures nothing.
    spoolex::mi& rootless =
        placeWithSettings("<?xml version=\"1.0\"?>\n<!-- nothing configured yet -->\n");
    expectDefaults(rootless);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(shownMessages().empty());
}

TEST_F(SettingsFile, WaveEditorsAreReadInOrderAndBadOnesAreReportedAndDropped) {
    spoolex::mi& machine = placeWithSettings(
        "<s><waveeditors>\n"
        "  <editor name='One' path='C:\\one.exe' arguments='-o %1' format='16i'/>\n"
        "  <!-- skipped -->text<other name='x' path='x' arguments='x' format='16i'/>\n"
        "  <editor path='x' arguments='x' format='16i'/>\n"
        "  <editor name='x' arguments='x'/>\n"
        "  <editor name='x' path='x' format='16i'/>\n"
        "  <editor name='x' path='x' arguments='x'/>\n"
        "  <editor name='x' path='x' arguments='x' format='32F'/>\n"
        "  <editor name='One' path='' arguments='' format='24i'/>\n"
        "  <editor name='Three' path='p' arguments='%1 %1' format='32i'/>\n"
        "  <editor name='Four' path='p' arguments='a' format='32f'/>\n"
        "</waveeditors></s>");
    EXPECT_EQ(host.messages, (std::vector<std::string>{
                                 "Missing 'name' attribute", "Missing 'path' attribute",
                                 "Missing 'arguments' attribute", "Missing 'format' attribute",
                                 "Invalid 'format' attribute"}));
    ASSERT_EQ(machine.waveEditors().size(), 4u);
    EXPECT_EQ(machine.waveEditors()[0].name, "One");
    EXPECT_EQ(machine.waveEditors()[0].path, "C:\\one.exe");
    EXPECT_EQ(machine.waveEditors()[0].arguments, "-o %1");
    EXPECT_EQ(machine.waveEditors()[0].format, WavSampleFormat::Int16);
    // Equal names are kept; empty values are values.
    EXPECT_EQ(machine.waveEditors()[1].name, "One");
    EXPECT_EQ(machine.waveEditors()[1].path, "");
    EXPECT_EQ(machine.waveEditors()[1].format, WavSampleFormat::Int24);
    EXPECT_EQ(machine.waveEditors()[2].format, WavSampleFormat::Int32);
    EXPECT_EQ(machine.waveEditors()[3].format, WavSampleFormat::Float32);
}

TEST_F(SettingsFile, OnlyTheFirstSectionOfEachNameIsRead) {
    spoolex::mi& machine = placeWithSettings(
        "<s>\n"
        "  <waveeditors><editor name='first' path='p' arguments='' format='16i'/></waveeditors>\n"
        "  <projectfolder default='/first'/>\n"
        "  <keys><key char='a' command='1'/></keys>\n"
        "  <waveeditors><editor name='second' path='p' arguments='' format='16i'/></waveeditors>\n"
        "  <projectfolder default='/second' noask=''/>\n"
        "  <keys><key char='b' command='2'/></keys>\n"
        "</s>");
    ASSERT_EQ(machine.waveEditors().size(), 1u);
    EXPECT_EQ(machine.waveEditors()[0].name, "first");
    EXPECT_EQ(spoolex::defaultProjectFolder(), "/first");
    EXPECT_TRUE(spoolex::askForProjectFolder());
    ASSERT_EQ(machine.shortcuts().size(), 1u);
    EXPECT_EQ(machine.shortcuts()[0].command, 1);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(SettingsFile, TheProjectFolderNeedsItsDefaultAndNoaskCountsByPresence) {
    placeWithSettings("<s><projectfolder noask='1'/></s>");
    EXPECT_EQ(spoolex::defaultProjectFolder(), "");
    EXPECT_TRUE(spoolex::askForProjectFolder());

    placeWithSettings("<s><projectfolder default='D:\\Takes' noask='0'/></s>");
    EXPECT_EQ(spoolex::defaultProjectFolder(), "D:\\Takes");
    EXPECT_FALSE(spoolex::askForProjectFolder());

    placeWithSettings("<s><projectfolder default='/music'/></s>");
    EXPECT_EQ(spoolex::defaultProjectFolder(), "/music");
    EXPECT_TRUE(spoolex::askForProjectFolder());

    // A later machine whose file says nothing keeps what the earlier one read.
    placeWithSettings("<s/>");
    EXPECT_EQ(spoolex::defaultProjectFolder(), "/music");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(SettingsFile, NoRedrawWhileRecordingStaysOffForTheProcess) {
    placeWithSettings("<s><projectfolder/><no_redraw_while_recording/></s>");
    EXPECT_FALSE(spoolex::redrawWhileRecording());
    placeWithSettings("<s/>");
    EXPECT_FALSE(spoolex::redrawWhileRecording());
    // A missing file applies nothing, so it cannot turn it back on either.
    spoolex::setSettingsFilePath(path + ".absent");
    placeGenerator();
    EXPECT_FALSE(spoolex::redrawWhileRecording());
}

TEST_F(SettingsFile, EachBadKeyIsShownWithItsLineAndTheOthersAreKept) {
    spoolex::mi& machine = placeWithSettings("<s>\n"
                                             "<keys>\n"
                                             "  <key char='a' command='10'/>\n"
                                             "  <key char='ab'/>\n"
                                             "  <note/>\n"
                                             "  <key vkey='VK_DELETE' command='20'/>\n"
                                             "\n"
                                             "  <key command='30'/>\n"
                                             "</keys>\n"
                                             "</s>");
    ASSERT_EQ(machine.shortcuts().size(), 2u);
    EXPECT_EQ(machine.shortcuts()[0].command, 10);
    EXPECT_EQ(machine.shortcuts()[1].command, 20);
    auto shown = shownMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Error in keys section of Spoolex settings file: \n"
                             "char attribute must be a string of length 1\n(line 4)");
    EXPECT_EQ(shown[1].text, "Error in keys section of Spoolex settings file: \n"
                             "Missing char or vkey element\n(line 8)");
    for (const auto& message : shown) {
        EXPECT_EQ(message.owner, nullptr);
        EXPECT_FALSE(message.hasCaption);
        EXPECT_EQ(message.icon, platform::MessageIcon::Error);
    }
    EXPECT_TRUE(host.messages.empty());
}

// A user interface that cannot show anything: the allocation for the text fails.
class ExhaustedUserInterface final : public spoolex::UserInterface {
public:
    void showMessage(void*, const std::string&, const char*, spoolex::MessageIcon) override {
        throw std::bad_alloc();
    }
    bool askYesNo(const std::string&, const char*) override { return false; }
    spoolex::FolderChoice chooseFolder(const std::string&, const std::string&,
                                       std::string&) override {
        return spoolex::FolderChoice::Cancelled;
    }
};

TEST_F(SettingsFile, AFailureHalfWayIsReportedAndWhatWasReadStays) {
    ExhaustedUserInterface exhausted;
    spoolex::setUserInterface(&exhausted);
    host::HostMachine* placed = nullptr;
    writeSettings(
        "<s>\n"
        "  <waveeditors><editor name='e' path='p' arguments='' format='16i'/></waveeditors>\n"
        "  <projectfolder default='/kept'/>\n"
        "  <keys><key char='a' command='1'/><key char=''/><key char='b' command='2'/></keys>\n"
        "</s>");
    EXPECT_NO_THROW(placed = placeGenerator());
    spoolex::setUserInterface(nullptr);
    ASSERT_NE(placed, nullptr);
    spoolex::mi& machine = generatorOf(placed);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"'Buzz\\Gear\\Generators\\Korvane Spoolex settings.xml' "
                                       "could not be read completely.\n\nstd::bad_alloc"});
    EXPECT_EQ(machine.waveEditors().size(), 1u);
    EXPECT_EQ(spoolex::defaultProjectFolder(), "/kept");
    ASSERT_EQ(machine.shortcuts().size(), 1u);
    EXPECT_EQ(machine.shortcuts()[0].command, 1);
    // The machine was initialised to the end and works.
    EXPECT_EQ(editorViewOf(machine)->machine, &machine);
    EXPECT_EQ(host.subMenu(*placed, 1), std::vector<std::string>{"Arm"});
}

TEST_F(SettingsFile, AFolderInTheFilesPlaceCannotBeOpened) {
    ASSERT_TRUE(std::filesystem::create_directory(path));
    spoolex::setSettingsFilePath(path);
    host::HostMachine* placed = nullptr;
    EXPECT_NO_THROW(placed = placeGenerator());
    std::filesystem::remove(path);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{fileError + "Failed to open file\nLine 0, Column 0"});
    expectDefaults(generatorOf(placed));
}

} // namespace
