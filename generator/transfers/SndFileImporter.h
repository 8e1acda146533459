// Audio files other than WAV (FLAC, AIFF and more), read through libsndfile.
// One importer per family of formats, so the open-file dialog lists each
// with its own patterns. WAV files are left to WavImporter, so what it
// refuses stays refused.
#pragma once

#include <initializer_list>
#include <vector>

#include "generator/transfers/Importer.h"

namespace spoolex {

class SndFileImporter final : public Importer {
public:
    // majorFormats: libsndfile's major format codes this importer reads.
    SndFileImporter(const char* description, const char* pattern,
                    std::initializer_list<int> majorFormats)
        : label(description), patterns(pattern), majors(majorFormats) {}
    const char* description() const override { return label; }
    const char* filePattern() const override { return patterns; }
    // One of the importer's formats, one or two channels, a rate a take can
    // keep.
    bool canImport(const std::string& path) override;
    // False when the file no longer opens as canImport saw it, cannot be
    // decoded to its end, or its audio cannot be held in memory.
    bool importInto(Take& take, const std::string& path) override;

private:
    const char* label;
    const char* patterns;
    std::vector<int> majors;
};

// The importers of the formats libsndfile reads, in the order they are
// registered after the WAV importer.
std::vector<std::unique_ptr<Importer>> sndFileImporters();

} // namespace spoolex
