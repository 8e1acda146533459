// Little-endian integers in byte buffers: the song data, take records and
// WAV files all store them so, whatever the processor.
#pragma once

#include <cstdint>
#include <cstring>

namespace byteorder {

namespace detail {
// On a little-endian processor the bytes are already in this order: a plain
// copy is one load or store, and loops over samples stay vectorisable.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool nativeIsLittleEndian = true;
#else
constexpr bool nativeIsLittleEndian = false;
#endif

template <typename T> T loadNative(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename T> void storeNative(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}
} // namespace detail

inline uint16_t readLe16(const uint8_t* p) {
    if constexpr (detail::nativeIsLittleEndian)
        return detail::loadNative<uint16_t>(p);
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t readLe32(const uint8_t* p) {
    if constexpr (detail::nativeIsLittleEndian)
        return detail::loadNative<uint32_t>(p);
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

inline uint64_t readLe64(const uint8_t* p) {
    if constexpr (detail::nativeIsLittleEndian)
        return detail::loadNative<uint64_t>(p);
    return uint64_t{readLe32(p)} | uint64_t{readLe32(p + 4)} << 32;
}

inline void writeLe16(uint8_t* p, uint16_t v) {
    if constexpr (detail::nativeIsLittleEndian)
        return detail::storeNative(p, v);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void writeLe32(uint8_t* p, uint32_t v) {
    if constexpr (detail::nativeIsLittleEndian)
        return detail::storeNative(p, v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void writeLe64(uint8_t* p, uint64_t v) {
    if constexpr (detail::nativeIsLittleEndian)
        return detail::storeNative(p, v);
    writeLe32(p, static_cast<uint32_t>(v));
    writeLe32(p + 4, static_cast<uint32_t>(v >> 32));
}

} // namespace byteorder
