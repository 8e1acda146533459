#include <utility>

#include "generator/machine/Machine.h"
#include "generator/transfers/Importer.h"
#include "generator/transfers/SndFileImporter.h"
#include "generator/wavestore/FileSource.h"
#include "generator/wavestore/StorableSampleRate.h"

namespace spoolex {

namespace {
// A WAV layout whose rate a take can keep.
bool readImportable(wav::FileSource& file, wav::Layout& layout) {
    return file.isOpen() && wav::readLayout(file, layout) &&
           isStorableSampleRate(layout.format.sampleRate);
}
} // namespace

bool WavImporter::canImport(const std::string& path) {
    wav::FileSource file(path);
    wav::Layout layout;
    return readImportable(file, layout);
}

bool WavImporter::importInto(Take& take, const std::string& path) {
    wav::FileSource file(path);
    wav::Layout layout;
    Samples samples;
    // The file may have changed since canImport looked at it.
    if (!readImportable(file, layout) || !wav::decodeAll(file, layout, samples))
        return false;
    replaceTakeSamples(take, std::move(samples), static_cast<int32_t>(layout.format.sampleRate));
    return true;
}

void replaceTakeSamples(Take& take, Samples&& samples, int32_t sampleRate) {
    Samples old = std::move(samples);
    if (!take.machine || !take.owner) {
        take.changeSamples().swap(old);
        take.sampleRate = sampleRate;
        return;
    }
    auto hold = take.machine->lockAudio();
    take.changeSamples().swap(old);
    take.sampleRate = sampleRate;
    take.machine->resyncPlayers(*take.owner);
    hold.unlock();
    // old now holds the previous samples and is freed here, unlocked.
}

const std::vector<std::unique_ptr<Importer>>& importerRegistry() {
    static const std::vector<std::unique_ptr<Importer>> registry = [] {
        std::vector<std::unique_ptr<Importer>> importers;
        importers.push_back(std::make_unique<WavImporter>());
#if SPOOLEX_HAVE_SNDFILE
        for (auto& importer : sndFileImporters())
            importers.push_back(std::move(importer));
#endif
        return importers;
    }();
    return registry;
}

const std::string& importFilter() {
    static const std::string filter = [] {
        std::string patterns;
        for (const auto& importer : importerRegistry())
            patterns += (patterns.empty() ? "" : ";") + std::string(importer->filePattern());
        std::string text = "All supported (" + patterns + ")\n" + patterns + "\n";
        for (const auto& importer : importerRegistry())
            text += std::string(importer->description()) + " (" + importer->filePattern() + ")\n" +
                    importer->filePattern() + "\n";
        for (char& c : text)
            if (c == '\n')
                c = '\0';
        return text;
    }();
    return filter;
}

bool importAny(Take& take, const std::string& path, std::string& error) {
    for (const auto& importer : importerRegistry()) {
        if (!importer->canImport(path))
            continue;
        if (importer->importInto(take, path))
            return true;
        error =
            "The importer for '" + std::string(importer->description()) + "' encountered an error.";
        return false;
    }
    error = "The file format is not recognised by any of the importers.";
    return false;
}

} // namespace spoolex
