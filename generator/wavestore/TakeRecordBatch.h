// The take records of a whole song, read and written on every core.
//
// The host hands the song data over one byte run at a time on its
// user-interface thread, so records are read and written in order there;
// the streams inside them are decoded and encoded on a work crew meanwhile.
// What comes out is what one thread makes: the same samples, the same bytes,
// the same messages in the same order.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <vector>

#include "generator/model/Take.h"
#include "generator/wavestore/StreamPieces.h"
#include "generator/wavestore/TakeRecord.h"
#include "generator/wavestore/WorkCrew.h"
#include "hostsdk/DataStreams.h"

class CMICallbacks;

namespace spoolex {

class TakeRecordReader {
public:
    explicit TakeRecordReader(CMICallbacks& host);
    TakeRecordReader(const TakeRecordReader&) = delete;
    TakeRecordReader& operator=(const TakeRecordReader&) = delete;
    // Waits for decoding still under way; its reports are dropped.
    ~TakeRecordReader() = default;

    // Reads one whole take record for take (fresh from addTake); its stream
    // may decode later, on another thread, so nothing else may touch the
    // take until finish(). False when the host's stream ran dry inside the
    // record: nothing useful follows.
    bool read(Take& take, CMachineDataInput& in);
    // Waits until every take read is decoded, then reports each problem
    // through hostMessage, in the order of the records.
    void finish();

private:
    struct Record {
        explicit Record(Take& take) : take(take) {}
        Take& take;
        Take::Stream stream;
        TakeReports reports;
        // A long stream decoded in pieces; the last piece to end finishes it.
        std::vector<StreamPiece> pieces;
        std::vector<PieceFacts> facts;
        uint32_t frames = 0;
        float* samples = nullptr; // the take's, sized for every frame
        std::atomic<size_t> piecesLeft{0};
        std::atomic<bool> pieceFailed{false};
    };

    void decode(Record& record);
    void decodePieces(Record& record);
    void decodeOnePiece(Record& record, size_t index);
    void piecesDone(Record& record);

    CMICallbacks& host;
    std::deque<Record> records; // in song order; never moved while jobs run
    const size_t threads;       // the crew's helpers and the reading thread
    // Last, so it is gone (every job ended) before the records are.
    WorkCrew crew;
};

// One take's record, made ahead of writing.
struct TakeRecordOut {
    Take::Stream stream; // none: a take without frames (format 0)
    bool stored = true;  // false: encoding failed, the stream holds what was made
};

// The records of takes, in order. A take whose stored stream is current
// gives it again; the others are encoded on a work crew and keep their new
// stream. Nothing may change the takes' samples meanwhile (a take the audio
// thread is recording into is passed as a stable copy).
std::vector<TakeRecordOut> makeTakeRecords(const std::vector<Take*>& takes);
void writeTakeRecord(const TakeRecordOut& record, CMachineDataOutput& out);

} // namespace spoolex
