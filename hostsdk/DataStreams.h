// The host's byte streams for song data and menu texts. One operation each.
#pragma once

class CMachineDataInput {
public:
    virtual void read(void* buffer, int size) = 0;

protected:
    ~CMachineDataInput() = default;
};

class CMachineDataOutput {
public:
    virtual void write(const void* buffer, int size) = 0;

protected:
    ~CMachineDataOutput() = default;
};
