// A generator machine placed with a settings file written by the test.
#pragma once

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "generator/machine/ProcessState.h"
#include "generator/machine/SettingsLoader.h"
#include "generator/settings/ModifierKeys.h"
#include "tests/core/GeneratorFixture.h"

class SettingsTest : public GeneratorTest {
protected:
    void SetUp() override {
        GeneratorTest::SetUp();
        forgetProcessSettings();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path = ::testing::TempDir() + "spoolex-" + std::to_string(getpid()) + "-" + test->name() +
               ".xml";
    }

    void TearDown() override {
        std::remove(path.c_str());
        spoolex::setSettingsFilePath({});
        spoolex::defaultModifierKeys().hold(0);
        forgetProcessSettings();
        GeneratorTest::TearDown();
    }

    static void forgetProcessSettings() {
        spoolex::defaultProjectFolder().clear();
        spoolex::askForProjectFolder() = true;
        spoolex::redrawWhileRecording() = true;
    }

    void writeSettings(const std::string& xml) {
        std::ofstream(path, std::ios::binary) << xml;
        spoolex::setSettingsFilePath(path);
    }

    spoolex::mi& placeWithSettings(const std::string& xml, const std::string& name = "Spoolex") {
        writeSettings(xml);
        return generatorOf(placeGenerator(name));
    }

    std::string path;
};
