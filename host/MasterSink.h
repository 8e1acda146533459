// Where the stand-in host's master output goes as it is rendered.
#pragma once

namespace host {

class MasterSink {
public:
    virtual ~MasterSink() = default;
    // frames stereo frames, interleaved left and right, in the host sample
    // scale; the buffer is only valid during the call.
    virtual void write(const float* stereo, int frames) = 0;
};

} // namespace host
