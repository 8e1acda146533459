#include "generator/wavestore/FileSource.h"

namespace spoolex::wav {

namespace {
// Offsets past 2 GB need the 64-bit seek, spelled differently per system.
bool seekTo(std::FILE* file, uint64_t offset) {
#if defined(_WIN32)
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

uint64_t sizeOf(std::FILE* file) {
#if defined(_WIN32)
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return 0;
    __int64 end = _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return 0;
    off_t end = ftello(file);
#endif
    return end > 0 ? static_cast<uint64_t>(end) : 0;
}
} // namespace

FileSource::FileSource(const std::string& path) : file(std::fopen(path.c_str(), "rb")) {
    if (file) {
        length = sizeOf(file);
        position = length;
    }
}

FileSource::~FileSource() {
    if (file)
        std::fclose(file);
}

size_t FileSource::readAt(uint64_t offset, void* out, size_t count) {
    if (!file || offset >= length)
        return 0;
    if (offset != position && !seekTo(file, offset))
        return 0;
    size_t got = std::fread(out, 1, count, file);
    // After a short read the stream's position is not known: seek next time.
    position = got == count ? offset + got : UINT64_MAX;
    return got;
}

} // namespace spoolex::wav
