// Writes a file through one page-aligned buffer, in whole buffers at file
// offsets that are multiples of its size. The system's copy into its cache
// then has aligned source and destination: on some processors that copy
// runs several times faster than the same bytes misaligned, and a WAV
// file's 44-byte header would otherwise misalign every write after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace spoolex::wav {

class AlignedFileWriter {
public:
    // Creates or empties the file; isOpen() says whether that worked.
    explicit AlignedFileWriter(const std::string& path);
    ~AlignedFileWriter(); // closes without reporting
    AlignedFileWriter(const AlignedFileWriter&) = delete;
    AlignedFileWriter& operator=(const AlignedFileWriter&) = delete;

    bool isOpen() const { return file != nullptr; }
    // False once any write has failed.
    bool write(const void* bytes, size_t count);
    // Writes what is left and closes the file: true when every byte reached
    // it (a full disk often shows only here).
    bool close();

private:
    bool flush();

    std::FILE* file = nullptr;
    std::vector<uint8_t> storage;
    uint8_t* buffer = nullptr;
    size_t used = 0;
    bool failed = false;
};

} // namespace spoolex::wav
