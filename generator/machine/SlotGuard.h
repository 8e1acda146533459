// Nothing thrown inside the machine may reach the host: a host slot runs its
// work through guardSlot, which turns an exception (in practice only an
// allocation that failed) into a message and returns normally. Whatever the
// work had finished before it failed is kept.
#pragma once

#include <exception>
#include <new>

#include "hostsdk/HostServices.h"

namespace spoolex {

// Fixed texts: composing one could fail for the very reason being reported.
inline const char* const outOfMemoryWhileLoading =
    "An error occurred while loading pattern data for Korvane Spoolex.\n\nThere was not enough "
    "memory for all of it; the patterns and takes read before that point were kept.";
inline const char* const outOfMemoryWhileSaving =
    "Korvane Spoolex could not save all of its data: there was not enough memory. Save again "
    "after closing other programs, or the song will miss what follows this point.";
inline const char* const outOfMemory =
    "Korvane Spoolex ran out of memory; the last operation was not completed.";

template <typename Work>
void guardSlot(CMICallbacks* host, const char* failureText, Work&& work) noexcept {
    try {
        work();
    } catch (...) {
        try {
            if (host)
                host->hostMessage(failureText);
        } catch (...) {
        }
    }
}

} // namespace spoolex
