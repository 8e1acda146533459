// The machine description a plug-in returns from GetInfo, and its parameter
// and attribute records, in the host's field order.
#pragma once

#include <cstddef>
#include <cstdint>

enum MachineType : int32_t {
    MachineTypeMaster = 0,
    MachineTypeGenerator = 1,
    MachineTypeEffect = 2
};

enum ParameterType : int32_t {
    ParameterTypeNote = 0,
    ParameterTypeSwitch = 1,
    ParameterTypeByte = 2,
    ParameterTypeWord = 3,
};

struct CMachineParameter {
    int32_t type;
    const char* name;
    const char* description;
    int32_t minValue;
    int32_t maxValue;
    int32_t noValue;
    int32_t flags;
    int32_t defaultValue;
};

struct CMachineAttribute {
    const char* name;
    int32_t minValue;
    int32_t maxValue;
    int32_t defaultValue;
};

struct CMachineInfo {
    int32_t type;
    int32_t version;
    int32_t flags;
    int32_t minTracks;
    int32_t maxTracks;
    int32_t numGlobalParameters;
    int32_t numTrackParameters;
    const CMachineParameter* const* parameters;
    int32_t numAttributes;
    const CMachineAttribute* const* attributes;
    const char* name;
    const char* shortName;
    const char* author;
    const char* commands;
    void* libraryInterface;
};

static_assert(offsetof(CMachineInfo, parameters) == 32, "host layout");
static_assert(offsetof(CMachineInfo, attributes) == 48, "host layout");
static_assert(offsetof(CMachineInfo, name) == 56, "host layout");
static_assert(offsetof(CMachineInfo, libraryInterface) == 88, "host layout");
static_assert(offsetof(CMachineParameter, defaultValue) == 40, "host layout");
