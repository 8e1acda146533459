// A stand-in host with the generator's code linked in, so tests can look at
// the machine object directly.
#pragma once

#include <gtest/gtest.h>

#include "generator/editor/PatternEditorParent.h"
#include "generator/editor/PlatformUserInterface.h"
#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"
#include "generator/machine/ProcessState.h"
#include "host/Host.h"
#include "platform/testing/ScriptedUi.h"
#include "tests/support/FakeInputMachine.h"

class GeneratorTest : public ::testing::Test {
protected:
    void SetUp() override {
        spoolex::installPlatformUserInterface();
        installPatternEditor();
        host.echoMessages = false;
    }

    void TearDown() override { spoolex::inputRegistry().clear(); }

    host::HostMachine* placeGenerator(const std::string& name = "Spoolex") {
        return host.createMachine(
            spoolex::machineDescription(),
            [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, name);
    }

    static spoolex::mi& generatorOf(host::HostMachine* placed) {
        return *static_cast<spoolex::mi*>(placed->machine);
    }

    // Places an input machine and registers it as the input plug-in will.
    InputMachine::Fields* registerInput(const std::string& name) {
        InputMachine::Fields* input = testsupport::placeFakeInput(host, name);
        spoolex::inputRegistry().push_back(input);
        return input;
    }

    std::vector<platform::testing::ShownMessage> shownMessages() const {
        return platform::testing::ScriptedUi::instance().messages();
    }

    host::Host host;
};
