// Files made and read by sox beside our importer and exporter.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class SoxFiles {
public:
    static bool haveSox() {
#if defined(_WIN32)
        return false; // under Wine the path exists, but sox is a Linux program
#else
        return std::filesystem::exists("/usr/bin/sox");
#endif
    }

    SoxFiles() {
        folder = std::filesystem::temp_directory_path() /
                 ("spoolex-wav-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
        std::filesystem::create_directories(folder);
    }
    ~SoxFiles() {
        std::filesystem::remove_all(folder);
    }

    std::string path(const std::string& name) const {
        return (folder / name).string();
    }

    static void run(const std::string& command) {
        ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
    }

    static void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    static std::vector<uint8_t> readBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    }

    // A WAV file made by sox from 16-bit values (interleaved when stereo):
    // every format below holds them exactly.
    std::string soxWav(const std::string& name, const std::vector<int16_t>& values, int channels,
                       const std::string& format, int rate = 22050) {
        std::string raw = path(name + ".raw");
        std::vector<uint8_t> bytes(values.size() * 2);
        for (size_t i = 0; i < values.size(); ++i) {
            bytes[2 * i] = static_cast<uint8_t>(values[i]);
            bytes[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(values[i]) >> 8);
        }
        writeBytes(raw, bytes);
        std::string wav = path(name);
        run("sox -D -t raw -r " + std::to_string(rate) + " -e signed -b 16 -c " +
            std::to_string(channels) + " " + raw + " " + format + " " + wav);
        return wav;
    }

    // What sox reads from a WAV file, as 16-bit values.
    std::vector<int16_t> soxValues(const std::string& wav) {
        std::string raw = path("read.raw");
        run("sox -D " + wav + " -t raw -e signed -b 16 " + raw);
        std::vector<uint8_t> bytes = readBytes(raw);
        std::vector<int16_t> values(bytes.size() / 2);
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
        return values;
    }

    // -32768, -32767 ... a staircase that shows every offset error.
    static std::vector<int16_t> staircase(size_t count) {
        std::vector<int16_t> values(count);
        for (size_t i = 0; i < count; ++i)
            values[i] = static_cast<int16_t>(static_cast<int>(i * 257 % 65536) - 32768);
        return values;
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path folder;
};
