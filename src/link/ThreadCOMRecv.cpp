#include "link/ThreadCOMRecv.h"

#include "protocol/FrameFormat.h"
#include "protocol/HalfFrameMerge.h"
#include "protocol/SysParsBlock.h"

#include <thread>

using namespace FrameLayout;

const TThreadCOMRecv::TFrameShape TThreadCOMRecv::WholeFrame{true, FrmMinLen, FrmSubpagePos, FrmBlockPos,
                                                             FrmBlockLen};
const TThreadCOMRecv::TFrameShape TThreadCOMRecv::HalfFrame{false, HalfMinLen, HalfSubpagePos, HalfBlockPos,
                                                            HalfBlockLen};

TThreadCOMRecv::TThreadCOMRecv(std::shared_ptr<TLinkCore> core, const uint8_t *data, int32_t len)
    : dats(data, data + (len > 0 ? len : 0)), datLen(len > 0 ? len : 0), fCore(std::move(core)) {}

bool TThreadCOMRecv::Start(std::unique_ptr<TThreadCOMRecv> worker) {
    std::shared_ptr<TLinkCore> core = worker->fCore;
    TThreadCOMRecv *raw = worker.release();
    auto body = [raw] {
        std::shared_ptr<TLinkCore> keep = raw->fCore;
        raw->Execute();
        delete raw;
        keep->WorkerFinished();
    };
    bool started = false;
    try {
        if (core->Hooks.StartThread) {
            started = core->Hooks.StartThread(body);
        } else {
            std::thread(body).detach();
            started = true;
        }
    } catch (...) {  // no thread could be started (std::system_error) or no memory
        started = false;
    }
    if (!started) {
        delete raw;
        core->ComRecvBusy.store(false);
        core->WorkerFinished();
    }
    return started;
}

void TThreadCOMRecv::Execute() {
    ThreadCOMRecv();
    ReleaseBusy();
}

void TThreadCOMRecv::ReleaseBusy() {
    if (!fBusyReleased) {
        fBusyReleased = true;
        fCore->ComRecvBusy.store(false);
    }
}

void TThreadCOMRecv::ReadWords(int firstByte, int count, TUINT16s &words) const {
    for (int k = 0; k < count; ++k)
        words[k] = BigEndianWordAt(dats.data(), size_t(firstByte + 2 * k));
}

void TThreadCOMRecv::ReportFrame(TFrameType type, uint8_t subpage) {
    const int32_t len = datLen;
    fCore->Status.Change([&](TLinkStatus &s) {
        s.LastType = type;
        s.LastLength = len;
        s.LastSubpage = subpage;
    });
}

void TThreadCOMRecv::ThreadCOMRecv() {
    fCore->ComRecvBusy.store(true);
    try {
        switch (FrameTypeOf(dats.data(), dats.size())) {
        case TFrameType::SYS: DecodeSys(); break;
        case TFrameType::EEM: DecodeEem(); break;
        case TFrameType::FRM: DecodeFrame(TFrameType::FRM, WholeFrame); break;
        case TFrameType::FR0: DecodeFrame(TFrameType::FR0, HalfFrame); break;
        case TFrameType::FR1: DecodeFrame(TFrameType::FR1, HalfFrame); break;
        case TFrameType::PHT: DecodePht(); break;
        default: break;  // not a frame, or a type the link does not know
        }
    } catch (...) {
        // A failure inside the decoder or the sink drops the frame; the busy flag is
        // lowered by Execute as for every frame.
    }
}

void TThreadCOMRecv::DecodeSys() {
    if (datLen < SysMinLen)
        return;
    ReportFrame(TFrameType::SYS, 0);
    fCore->SYSIsOK.store(true);
    tempDatas.assign(SysParsWords, 0);
    ReadWords(PayloadPos, SysParsWords, tempDatas);
    const TSysParsBlock block = *DecodeSysParsBlock(tempDatas);
    fCore->Status.Change([&](TLinkStatus &s) {
        s.Block = block;
        s.BlockSource = TBlockSource::SysFrame;
    });
    const auto &update = fCore->Hooks.UpdateSysParsShow;
    if (update)
        fCore->RunOnUiAndWait([&] { update(tempDatas); });
}

void TThreadCOMRecv::DecodeEem() {
    if (datLen < EemMinLen)
        return;
    ReportFrame(TFrameType::EEM, 0);
    const bool hadCalibration = fCore->EEIsOK.exchange(true);
    tempDatas.assign(EepromWords + 1, 0);
    ReadWords(PayloadPos, EepromWords, tempDatas);
    const uint16_t sum = ByteSum16(dats.data(), PayloadPos, EemCheckPos - 1);
    // A check word that is not wholly inside the frame cannot confirm it.
    const bool correct = datLen >= EemFullLen && sum == BigEndianWordAt(dats.data(), EemCheckPos);
    // Dropping failed frames, a calibration that fails its check never replaces one
    // already received (the first is taken all the same: without it nothing shows).
    const bool drop = !correct && hadCalibration && fCore->DropFailedFrames.load();
    fCore->Status.Change([&](TLinkStatus &s) {
        s.Check = correct ? TCheckVerdict::Correct : TCheckVerdict::Error;
        s.MeanPixelWord = -1;
        s.FailedChecks += correct ? 0 : 1;
        s.DroppedFailedFrames += drop ? 1 : 0;
    });
    if (drop)
        return;
    std::lock_guard<std::mutex> handOff(fCore->HandOffMutex);
    if (fCore->Hooks.Sink)
        fCore->Hooks.Sink->SetEEPROMArr(tempDatas);
}

void TThreadCOMRecv::DecodeFrame(TFrameType type, const TFrameShape &shape) {
    if (datLen < shape.MinLen || !fCore->EEIsOK.load())
        return;
    const uint8_t subpage = dats[size_t(shape.SubpagePos)];
    if (subpage > 1)
        return;
    ReportFrame(type, subpage);
    if (fCore->DouFrameUpdate.load() && subpage == fCore->LastFrameIndex.load())
        return;
    fCore->LastFrameIndex.store(subpage);

    if (shape.Whole) {
        // A whole frame carries its own words and a check word; the verdict is
        // reported and the words go on whatever it says.
        tempDatas.assign(FrameWords + 1, 0);
        ReadWords(PayloadPos, FrameWords, tempDatas);
        uint64_t pixelSum = 0;
        for (int k = 0; k < PixelWords; ++k)
            pixelSum += tempDatas[size_t(k)];
        const uint16_t sum = ByteSum16(dats.data(), PayloadPos, FrmCheckPos - 1);
        const bool correct = datLen >= FrmFullLen && sum == BigEndianWordAt(dats.data(), FrmCheckPos);
        const bool drop = !correct && fCore->DropFailedFrames.load();
        fCore->Status.Change([&](TLinkStatus &s) {
            s.Check = correct ? TCheckVerdict::Correct : TCheckVerdict::Error;
            s.MeanPixelWord = correct ? int64_t(pixelSum / PixelWords) : -1;
            s.FailedChecks += correct ? 0 : 1;
            s.DroppedFailedFrames += drop ? 1 : 0;
        });
        if (drop)
            return;  // nor is its parameter block trusted
    }

    {
        // Taking the hand-off lock before lowering the busy flag keeps frames in
        // order: the next worker can start only once this one holds the lock. A half
        // frame is merged into the buffer under the same lock (no check word).
        std::lock_guard<std::mutex> handOff(fCore->HandOffMutex);
        if (!shape.Whole)
            MergeHalfFrame(dats.data(), dats.size(), subpage, fCore->RecvedFrmDatas);
        ReleaseBusy();
        if (fCore->Hooks.Sink)
            fCore->Hooks.Sink->SetRAMArr(shape.Whole ? tempDatas : fCore->RecvedFrmDatas);
        fCore->dataCalcRate.fetch_add(1);
    }
    if (datLen >= shape.BlockLen) {
        const TSysParsBlock block = DecodeSysParsBlockAt(dats.data(), size_t(shape.BlockPos));
        fCore->Status.Change([&](TLinkStatus &s) {
            s.Block = block;
            s.BlockSource = TBlockSource::FrameBlock;
        });
    }
}

void TThreadCOMRecv::DecodePht() {
    // A photo shorter than a frame memory is dropped: its words are not all there.
    if (datLen < PhtMinLen)
        return;
    ReportFrame(TFrameType::PHT, dats[FrmSubpagePos]);
    tempDatas.assign(FrameWords + 1, 0);
    ReadWords(PayloadPos, FrameWords, tempDatas);
    {
        std::lock_guard<std::mutex> handOff(fCore->HandOffMutex);
        if (fCore->Hooks.Sink)
            fCore->Hooks.Sink->SetRAMArr(tempDatas);
    }
    if (datLen >= PhtDateLen) {
        const TPhotoStamp stamp = DecodePhotoStampAt(dats.data(), PhtDatePos);
        fCore->Status.Change([&](TLinkStatus &s) { s.PhotoStamp = stamp; });
    }
}
