// Feeds arbitrary bytes to the stand-in host's song-file reader, as a user
// who names a damaged or foreign file would. A file that reads must write
// back into one that reads the same. Any crash, leak or sanitizer report
// fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/SongDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    host::SongDocument song;
    std::string error;
    if (!host::decodeSong(bytes, song, error))
        return 0;
    song.endTick();
    const std::vector<uint8_t> written = host::encodeSong(song);
    host::SongDocument again;
    if (!host::decodeSong(written, again, error) || host::encodeSong(again) != written)
        std::abort();
    return 0;
}
