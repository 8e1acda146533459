#include "generator/machine/RecoveryStorage.h"

#include <atomic>

namespace spoolex {

namespace {
std::atomic<RecoveryStorage*> installed{nullptr};
} // namespace

RecoveryStorage* recoveryStorage() {
    return installed.load();
}

void setRecoveryStorage(RecoveryStorage* storage) {
    installed.store(storage);
}

} // namespace spoolex
