// The stand-in host's patterns and sequences.
#pragma once

#include <map>
#include <string>

#include "hostsdk/Handles.h"

namespace host {
class HostMachine;
class HostPattern;
class HostSequence;
} // namespace host

// The host's pattern and sequence handles: plug-ins only compare them and
// pass them back.
struct CPattern {
    host::HostPattern* pattern;
};
struct CSequence {
    host::HostSequence* sequence;
};

namespace host {

class HostPattern {
public:
    HostPattern(HostMachine& owner, std::string patternName, int ticks)
        : machine(owner), name(std::move(patternName)), length(ticks) {}

    CPattern* handle() { return &ownHandle; }

    HostMachine& machine;
    std::string name;
    int length; // ticks

private:
    CPattern ownHandle{this};
};

// One track of the song: the ticks at which patterns of one machine start.
// A null pattern stops whatever the sequence plays.
class HostSequence {
public:
    explicit HostSequence(HostMachine& owner) : machine(owner) {}

    CSequence* handle() { return &ownHandle; }
    void place(int tick, HostPattern* pattern) { starts[tick] = pattern; }

    HostMachine& machine;
    std::map<int, HostPattern*> starts;

private:
    CSequence ownHandle{this};
};

} // namespace host
