// The record source: the input machine a generator records from, chosen by
// the user, named by the song, and dropped when its input machine goes.
#include "generator/machine/Machine.h"
#include "generator/machine/ProcessState.h"
#include "generator/machine/Recovery.h"

namespace spoolex {

std::string mi::inputName(const InputMachine::Fields* input) {
    const char* name =
        input->callbacks ? input->callbacks->machineNameOf(input->ownMachine) : nullptr;
    return name ? name : "";
}

void mi::setRecordSource(InputMachine::Fields* input) {
    // The audio thread reads the source every block: it must never see one
    // that has gone.
    auto hold = lockAudio();
    source = input;
    prepareAudioStorage();
}

void mi::chooseRecordSource(InputMachine::Fields* input) {
    // Under our lock only for the store: the host may hold its own lock
    // around markSongModified.
    setRecordSource(input);
    // The user's choice replaces a source the song named that never came.
    pendingRecordSourceName.clear();
    if (patternEditor)
        patternEditor->selectRecordSource();
    refreshRecoveryIdentity(*this);
    callbacks->markSongModified();
}

bool mi::takeNamedSource(InputMachine::Fields* input) {
    if (pendingRecordSourceName.empty() || inputName(input) != pendingRecordSourceName)
        return false;
    setRecordSource(input);
    pendingRecordSourceName.clear();
    return true;
}

void mi::nameRecordSource(const std::string& name) {
    pendingRecordSourceName = name;
    for (InputMachine::Fields* input : inputRegistry())
        if (takeNamedSource(input))
            return;
}

std::string mi::savedRecordSourceName() const {
    // An input the song named that has not appeared yet stays named.
    return source ? inputName(source) : pendingRecordSourceName;
}

void mi::inputRegistered(InputMachine::Fields* input) {
    if (patternEditor)
        patternEditor->refreshRecordSources();
    // A song loaded before this input existed named it as its source.
    if (takeNamedSource(input) && patternEditor)
        patternEditor->selectRecordSource();
}

void mi::inputUnregistered(InputMachine::Fields* input) {
    // The machine may be rendering: it may not read the input once it is gone.
    if (source == input)
        setRecordSource(nullptr);
    if (patternEditor)
        patternEditor->refreshRecordSources();
}

} // namespace spoolex
