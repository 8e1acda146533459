// The machine core's recovery storage, served by the platform layer.
#include "generator/editor/PlatformRecoveryStorage.h"

#include "generator/machine/RecoveryStorage.h"
#include "platform/DurableFiles.h"

namespace spoolex {

namespace {

class PlatformFile final : public RecoveryFile {
public:
    explicit PlatformFile(std::unique_ptr<platform::DurableFile> file) : file(std::move(file)) {}
    bool writeAt(uint64_t offset, const void* data, size_t size, std::string& error) override {
        return file->writeAt(offset, data, size, error);
    }
    bool sync(std::string& error) override { return file->sync(error); }

private:
    std::unique_ptr<platform::DurableFile> file;
};

class PlatformRecoveryStorage final : public RecoveryStorage {
public:
    std::string userFolder() override {
        // A program that stands in for the host (and its tests) points the
        // copies elsewhere, so that the user's own are never touched.
        if (std::string chosen = platform::environmentVariable("SPOOLEX_RECORDINGS");
            !chosen.empty())
            return chosen;
        std::string base = platform::userStateFolder();
        if (base.empty())
            return "";
#if defined(_WIN32)
        return base + "\\Korvane Spoolex\\Recordings";
#else
        return base + "/korvane-spoolex/recordings";
#endif
    }
    char separator() override {
        return platform::folderSeparator;
    }
    bool makeFolders(const std::string& path, std::string& error) override {
        return platform::makeFolders(path, error);
    }
    std::unique_ptr<RecoveryFile> createNew(const std::string& path, std::string& error) override {
        auto file = platform::DurableFile::createNew(path, error);
        if (!file)
            return nullptr;
        return std::make_unique<PlatformFile>(std::move(file));
    }
    bool append(const std::string& path, const std::string& text, std::string& error) override {
        return platform::appendDurably(path, text, error);
    }
    std::vector<StoredFile> listFolder(const std::string& folder) override {
        std::vector<StoredFile> files;
        for (const platform::FolderFile& file : platform::listFolder(folder))
            files.push_back({file.name, file.size, file.ageSeconds});
        return files;
    }
    bool removeFile(const std::string& path) override {
        return platform::removeFile(path);
    }
};

PlatformRecoveryStorage platformStorage;

} // namespace

void installPlatformRecoveryStorage() {
    setRecoveryStorage(&platformStorage);
}

} // namespace spoolex
