#include "generator/wavestore/TakeRecordBatch.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>

#include "generator/wavestore/RecordBytes.h"
#include "generator/wavestore/StorableSampleRate.h"
#include "generator/wavestore/StreamCodec.h"
#include "hostsdk/HostServices.h"

namespace spoolex {

namespace {

// A long take is cut into a few pieces per thread, so that threads that
// finish early find work left; below this a piece is not worth its decoder.
constexpr size_t piecesPerThread = 4;
constexpr size_t smallestPiece = size_t{256} << 10;

} // namespace

TakeRecordReader::TakeRecordReader(CMICallbacks& services)
    : host(services), threads(WorkCrew::helperThreads() + 1),
      crew(static_cast<unsigned>(threads - 1)) {}

bool TakeRecordReader::read(Take& take, CMachineDataInput& in) {
    TakeRecordIn in_ = readTakeRecord(in);
    Record& record = records.emplace_back(take);
    if (in_.format == TakeFormatEmpty) {
        take.changeSamples().clear();
        return true;
    }
    if (in_.format != TakeFormatWavPack) {
        // The take stays as it was; nothing more of the record is read.
        record.reports.push_back(unrecognisedTakeFormat);
        return true;
    }
    record.stream = std::move(in_.stream);
    crew.add([this, &record] { decode(record); });
    return in_.whole;
}

void TakeRecordReader::finish() {
    crew.finish();
    for (const Record& record : records)
        for (const std::string& text : record.reports)
            host.hostMessage(text.c_str());
    records.clear();
}

void TakeRecordReader::decode(Record& record) {
    const Take::Stream& stream = record.stream;
    if (threads > 1) {
        const size_t pieceBytes =
            std::max(smallestPiece, stream->size() / (piecesPerThread * threads));
        record.pieces = splitStream(stream->data(), stream->size(), pieceBytes, record.frames);
    }
    if (!record.pieces.empty()) {
        decodePieces(record);
        return;
    }
    decodeRecordStream(record.take, stream, record.reports);
}

void TakeRecordReader::decodePieces(Record& record) {
    try {
        // Each piece writes its own frames of the take, sized once here
        // without a fill: the pieces' threads fault the pages in as they
        // write, in parallel.
        Samples& samples = record.take.changeSamples();
        samples = bulkSamples(2 * size_t{record.frames});
        record.samples = samples.data();
        record.facts.resize(record.pieces.size());
    } catch (const std::bad_alloc&) {
        record.pieces.clear();
        decodeRecordStream(record.take, record.stream, record.reports);
        return;
    }
    record.piecesLeft = record.pieces.size();
    // Pieces that cannot be queued are decoded here.
    for (size_t i = 0; i < record.pieces.size(); ++i) {
        try {
            crew.add([this, &record, i] { decodeOnePiece(record, i); });
        } catch (const std::bad_alloc&) {
            decodeOnePiece(record, i);
        }
    }
}

void TakeRecordReader::decodeOnePiece(Record& record, size_t index) {
    bool decoded = false;
    try {
        decoded = decodePiece(record.stream->data(), record.pieces[index], record.samples,
                              record.facts[index]);
    } catch (const std::bad_alloc&) {
    }
    if (!decoded)
        record.pieceFailed = true;
    if (record.piecesLeft.fetch_sub(1) == 1)
        piecesDone(record);
}

void TakeRecordReader::piecesDone(Record& record) {
    const PieceFacts& first = record.facts.front();
    bool agree = std::all_of(record.facts.begin(), record.facts.end(), [&](const PieceFacts& f) {
        return f.rate == first.rate && f.floatExponent == first.floatExponent;
    });
    if (record.pieceFailed || !agree) {
        // Decoded again whole, on this thread: damage is found and reported
        // exactly as one thread does.
        Samples().swap(record.take.changeSamples());
        decodeRecordStream(record.take, record.stream, record.reports);
        return;
    }
    if (isStorableSampleRate(first.rate)) {
        record.take.sampleRate = static_cast<int32_t>(first.rate);
        record.take.keepStoredStream(record.stream);
    }
}

std::vector<TakeRecordOut> makeTakeRecords(const std::vector<Take*>& takes) {
    std::vector<TakeRecordOut> records(takes.size());
    std::vector<std::vector<uint8_t>> made(takes.size());
    {
        WorkCrew crew;
        for (size_t i = 0; i < takes.size(); ++i) {
            const Take& take = *takes[i];
            if (take.frameCount() == 0)
                continue;
            records[i].stream = take.storedStream();
            if (records[i].stream)
                continue;
            crew.add([&take, &made, &records, i] {
                const bool encoded = encodeTakeStream(take.samples(), take.sampleRate, made[i]);
                records[i].stored = writableStream(made[i]) && encoded;
            });
        }
        crew.finish();
    }
    for (size_t i = 0; i < takes.size(); ++i) {
        if (records[i].stream || takes[i]->frameCount() == 0)
            continue;
        auto stream = std::make_shared<const std::vector<uint8_t>>(std::move(made[i]));
        if (records[i].stored)
            takes[i]->keepStoredStream(stream);
        records[i].stream = std::move(stream);
    }
    return records;
}

void writeTakeRecord(const TakeRecordOut& record, CMachineDataOutput& out) {
    if (!record.stream) {
        writeU8(out, TakeFormatEmpty);
        return;
    }
    writeU8(out, TakeFormatWavPack);
    writeU32(out, static_cast<uint32_t>(record.stream->size()));
    writeByteRun(out, *record.stream);
}

} // namespace spoolex
