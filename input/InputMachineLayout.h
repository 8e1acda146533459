// The input machine's object as the generator reads it through the pointer the
// input machine registers. Both plug-ins compile this header: field order,
// widths and offsets are a binary contract between the two libraries.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hostsdk/MachineInterface.h"

namespace InputMachine {

constexpr int blockCapacityFrames = 256;

#pragma pack(push, 1)
// The six global parameters, packed in parameter order.
struct GlobalValues {
    uint16_t latency;
    uint8_t autoPunch;
    uint16_t threshold;
    uint16_t release;
    uint8_t punchMidiNote;
    uint8_t punch;
};
#pragma pack(pop)
static_assert(sizeof(GlobalValues) == 9, "packed parameter block");

class mi;

class miex : public CMachineInterfaceEx {
public:
    bool query48() override { return true; }
    mi* owner = nullptr;
};

// Every field of the input machine, without its behaviour; the input plug-in
// derives its machine from this and adds no data.
class Fields : public CMachineInterface {
public:
    miex ex;
    GlobalValues values;
    CMachine* ownMachine = nullptr;
    int32_t latencySamples = 0;
    int32_t blockPosInTick = -1;
    int32_t blockFrames = 0;
    float blockBuffer[2 * blockCapacityFrames] = {};
    uint8_t punchState = 1;
    uint8_t autoPunchEnabled = 0;
    float threshold = 0;
    int32_t release = 0;
    int32_t releaseCounter = 0;
    void* generatorLibrary = nullptr;

protected:
    ~Fields() = default;
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(Fields, ex) == 48, "input machine layout");
static_assert(offsetof(Fields, values) == 64, "input machine layout");
static_assert(offsetof(Fields, ownMachine) == 80, "input machine layout");
static_assert(offsetof(Fields, latencySamples) == 88, "input machine layout");
static_assert(offsetof(Fields, blockPosInTick) == 92, "input machine layout");
static_assert(offsetof(Fields, blockFrames) == 96, "input machine layout");
static_assert(offsetof(Fields, blockBuffer) == 100, "input machine layout");
static_assert(offsetof(Fields, punchState) == 2148, "input machine layout");
static_assert(offsetof(Fields, autoPunchEnabled) == 2149, "input machine layout");
static_assert(offsetof(Fields, threshold) == 2152, "input machine layout");
static_assert(offsetof(Fields, release) == 2156, "input machine layout");
static_assert(offsetof(Fields, releaseCounter) == 2160, "input machine layout");
static_assert(offsetof(Fields, generatorLibrary) == 2168, "input machine layout");
static_assert(sizeof(Fields) == 2176, "input machine layout");
#pragma GCC diagnostic pop

} // namespace InputMachine
