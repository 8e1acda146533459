// What several benchmarks set up alike: a generator machine in the stand-in
// host, and takes filled with noise at a level well inside full scale.
#pragma once

#include <random>

#include "generator/editor/PlatformUserInterface.h"
#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"
#include "host/Host.h"

namespace benchmarks {

inline void fillNoise(spoolex::Take& take, size_t frames, std::mt19937& random) {
    std::uniform_real_distribution<float> value(-16000.0f, 16000.0f);
    take.changeSamples().resize(2 * frames);
    for (float& v : take.changeSamples())
        v = value(random);
}

// A generator in host at 44.1 kHz, 126 beats per minute, 4 ticks per beat
// (5250 samples per tick).
inline host::HostMachine* placeGenerator(host::Host& host) {
    spoolex::installPlatformUserInterface();
    host.echoMessages = false;
    host.setTiming(44100, 126, 4);
    return host.createMachine(
        spoolex::machineDescription(),
        [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Spoolex");
}

} // namespace benchmarks
