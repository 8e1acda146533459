#include <gtest/gtest.h>

#include "platform/Library.h"
#include "platform/ModulePath.h"
#include "tests/support/GearPaths.h"

namespace {

TEST(Library, HostFormPathsBecomeLocalPaths) {
#if defined(_WIN32)
    EXPECT_EQ(platform::localLibraryPath("Gear\\Generators\\A b.x64.dll"),
              "Gear\\Generators\\A b.x64.dll");
#else
    EXPECT_EQ(platform::localLibraryPath("Gear\\Generators\\A b.x64.dll"),
              "Gear/Generators/A b.x64.so");
    // Only a trailing ".dll" is the library ending.
    EXPECT_EQ(platform::localLibraryPath("a.dll.txt"), "a.dll.txt");
#endif
}

TEST(Library, LoadsTheGeneratorByTheHostFormRelativePath) {
    // The tests run in the build folder, where Gear/ is.
    platform::LibraryHandle library =
        platform::loadLibrary("Gear\\Generators\\Korvane Spoolex REVA 081029.x64.dll");
    ASSERT_NE(library, nullptr) << platform::lastSystemErrorText();
    EXPECT_NE(platform::librarySymbol(library, "GetInfo"), nullptr);
    EXPECT_NE(platform::librarySymbol(library, "CreateMachine"), nullptr);
    EXPECT_EQ(platform::librarySymbol(library, "noSuchExport"), nullptr);
    EXPECT_FALSE(platform::lastSystemErrorText().empty());
    platform::freeLibrary(library);
}

TEST(Library, AMissingLibraryExplainsItself) {
    EXPECT_EQ(platform::loadLibrary("Gear\\Nowhere\\missing.dll"), nullptr);
    std::string text = platform::lastSystemErrorText();
    EXPECT_FALSE(text.empty());
}

TEST(ModulePath, NamesTheProgramAndItsFolder) {
    static int anchor;
    std::string path = platform::modulePath(&anchor);
    EXPECT_NE(path.find("platform_tests"), std::string::npos) << path;
    EXPECT_EQ(platform::folderOf("a/b/c.so"), "a/b/");
    EXPECT_EQ(platform::folderOf("a\\b\\c.dll"), "a\\b\\");
    EXPECT_EQ(platform::folderOf("c.so"), "");
}

} // namespace
