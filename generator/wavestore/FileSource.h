// A file opened for binary reading as a wav::ByteSource.
#pragma once

#include <cstdio>
#include <string>

#include "generator/wavestore/WavCodec.h"

namespace spoolex::wav {

class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool isOpen() const { return file != nullptr; }
    uint64_t size() const override { return length; }
    size_t readAt(uint64_t offset, void* out, size_t count) override;

private:
    std::FILE* file = nullptr;
    uint64_t length = 0;
    uint64_t position = 0; // where the next read starts without a seek
};

} // namespace spoolex::wav
