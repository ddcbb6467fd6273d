#pragma once
// The one-shot decoding worker: owns a copy of one frame, checks and decodes it on a
// thread of its own, hands the words to the sensor image object and reports what it
// found on the status board; it frees itself when done.

#include "link/LinkCore.h"

#include <cstdint>
#include <memory>
#include <vector>

class TThreadCOMRecv {
public:
    // Copies len bytes of data as the worker's frame. The receive handler has raised
    // ComRecvBusy and counted the worker (TLinkCore::WorkerStarting) before.
    TThreadCOMRecv(std::shared_ptr<TLinkCore> core, const uint8_t *data, int32_t len);

    // Runs the worker on a detached thread that deletes it when done. When no thread
    // can be started the frame is dropped: the busy flag falls, the worker is
    // uncounted, and the result is false.
    static bool Start(std::unique_ptr<TThreadCOMRecv> worker);

    // Decodes (ThreadCOMRecv), then lowers ComRecvBusy unless the decoder already
    // did so before its hand-off. Public so that tests can run a worker inline.
    void Execute();

    std::vector<uint8_t> dats;  // the worker's own copy of the frame
    int32_t datLen;             // its length in bytes

private:
    // Where the parts of a whole ("FRM") or half ("FR0"/"FR1") frame lie.
    struct TFrameShape {
        bool Whole;
        int MinLen;      // below this the frame is not decoded
        int SubpagePos;  // the subpage byte (the low byte of frame-memory word 833)
        int BlockPos;    // the optional system-parameter block ...
        int BlockLen;    // ... present when the frame holds at least this many bytes
    };
    static const TFrameShape WholeFrame;
    static const TFrameShape HalfFrame;

    void ThreadCOMRecv();
    void DecodeSys();
    void DecodeEem();
    // FRM, FR0 or FR1: which half a half frame carries is read from its subpage byte.
    void DecodeFrame(TFrameType type, const TFrameShape &shape);
    void DecodePht();
    // Lowers ComRecvBusy once; a later worker may already have raised it again.
    void ReleaseBusy();
    // Notes the frame taken up: type, length and subpage.
    void ReportFrame(TFrameType type, uint8_t subpage);
    void ReadWords(int firstByte, int count, TUINT16s &words) const;

    std::shared_ptr<TLinkCore> fCore;
    TUINT16s tempDatas;
    bool fBusyReleased = false;
};
