#include "generator/wavestore/AlignedFileWriter.h"

#include <algorithm>
#include <cstring>

namespace spoolex::wav {

namespace {
constexpr size_t pageBytes = 4096;
constexpr size_t bufferBytes = 64 * pageBytes;
} // namespace

AlignedFileWriter::AlignedFileWriter(const std::string& path) {
    // The buffer before the file: when it cannot be had, the constructor
    // throws with no file open (the destructor would not close it).
    storage.resize(bufferBytes + pageBytes);
    const auto address = reinterpret_cast<uintptr_t>(storage.data());
    buffer = storage.data() + ((pageBytes - address % pageBytes) % pageBytes);
    file = std::fopen(path.c_str(), "wb");
    // The buffer here does stdio's work: its own would copy every byte once
    // more and pass them on misaligned.
    if (file)
        std::setvbuf(file, nullptr, _IONBF, 0);
}

AlignedFileWriter::~AlignedFileWriter() {
    if (file)
        std::fclose(file);
}

bool AlignedFileWriter::write(const void* bytes, size_t count) {
    auto from = static_cast<const uint8_t*>(bytes);
    while (count > 0 && !failed) {
        const size_t n = std::min(count, bufferBytes - used);
        std::memcpy(buffer + used, from, n);
        used += n;
        from += n;
        count -= n;
        if (used == bufferBytes)
            flush();
    }
    return !failed;
}

bool AlignedFileWriter::flush() {
    if (used > 0 && !failed && std::fwrite(buffer, 1, used, file) != used)
        failed = true;
    used = 0;
    return !failed;
}

bool AlignedFileWriter::close() {
    if (!file)
        return false;
    flush();
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    return closed && !failed;
}

} // namespace spoolex::wav
