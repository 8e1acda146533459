// The host's timing record; the host owns it and stores its address in every
// machine before the first initialisation call.
#pragma once

#include <cstdint>

struct CMasterInfo {
    int32_t beatsPerMin;
    int32_t ticksPerBeat;
    int32_t samplesPerSec;
    int32_t samplesPerTick; // the host's rounded value; our code never uses it
    int32_t posInTick;
};

static_assert(sizeof(CMasterInfo) == 20, "host layout");
