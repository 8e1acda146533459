// Where recovery copies of recordings live: the files the core writes while
// it records and reads back when a song comes back. The core never includes
// platform headers; the plug-in installs an implementation before it makes
// machines. Without one (tests of the core alone) no copies are kept.
//
// Every operation may be called from any thread; they share no state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace spoolex {

// A file open for writing at chosen offsets.
class RecoveryFile {
public:
    virtual ~RecoveryFile() = default;
    // False with error set to the system's reason.
    virtual bool writeAt(uint64_t offset, const void* data, size_t size, std::string& error) = 0;
    // What was written reaches the disk before this returns.
    virtual bool sync(std::string& error) = 0;
};

struct StoredFile {
    std::string name; // without folder
    uint64_t size = 0;
    int64_t ageSeconds = 0; // since its last change
};

class RecoveryStorage {
public:
    // The per-user folder for recordings made without a project folder.
    virtual std::string userFolder() = 0;
    // The folder separator of this system.
    virtual char separator() = 0;
    // Creates path and its missing parents. False with the system's reason.
    virtual bool makeFolders(const std::string& path, std::string& error) = 0;
    // A new file; false (null) when path exists or cannot be made.
    virtual std::unique_ptr<RecoveryFile> createNew(const std::string& path,
                                                    std::string& error) = 0;
    // Appends text to an existing file and makes it durable.
    virtual bool append(const std::string& path, const std::string& text, std::string& error) = 0;
    // The plain files of folder; empty when it does not exist.
    virtual std::vector<StoredFile> listFolder(const std::string& folder) = 0;
    virtual bool removeFile(const std::string& path) = 0;

protected:
    ~RecoveryStorage() = default;
};

// Null until the plug-in installs one.
RecoveryStorage* recoveryStorage();
void setRecoveryStorage(RecoveryStorage* storage);

} // namespace spoolex
