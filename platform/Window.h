// A native window handle as the platform layer passes it around; opaque.
#pragma once

namespace platform {
using WindowHandle = void*;
} // namespace platform
