// The audio clipboard: one for the whole process, shared by every editor of
// every generator machine. Interleaved stereo frames in a take's own format;
// it carries no sample rate and no take. User-interface thread only.
#pragma once

#include <vector>

std::vector<float>& audioClipboard();
