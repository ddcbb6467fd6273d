#include "link/ThreadCOMRecv.h"

#include "link/LinkTexts.h"
#include "protocol/FrameFormat.h"
#include "protocol/HalfFrameMerge.h"

#include <thread>

using namespace FrameLayout;

TThreadCOMRecv::TThreadCOMRecv(std::shared_ptr<TLinkCore> core, const uint8_t *data, int32_t len)
    : dats(data, data + (len > 0 ? len : 0)), datLen(len > 0 ? len : 0), fCore(std::move(core)),
      fState(fCore->State) {}

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
        core->State.ComRecvBusy.store(false);
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
        fState.ComRecvBusy.store(false);
    }
}

void TThreadCOMRecv::ReadWords(int firstByte, int count, TUINT16s &words) const {
    for (int k = 0; k < count; ++k)
        words[k] = BigEndianWordAt(dats.data(), size_t(firstByte + 2 * k));
}

void TThreadCOMRecv::ThreadCOMRecv() {
    fState.ComRecvBusy.store(true);
    try {
        switch (FrameTypeOf(dats.data(), dats.size())) {
        case TFrameType::SYS: DecodeSys(); break;
        case TFrameType::EEM: DecodeEem(); break;
        case TFrameType::FRM: DecodeFrm(); break;
        case TFrameType::FR0:
        case TFrameType::FR1: DecodeHalf(); break;
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
    fState.RecvDataType_Text.Set(SysParsTypeText(datLen));
    fState.SYSIsOK.store(true);
    tempDatas.assign(SysParsWords, 0);
    ReadWords(PayloadPos, SysParsWords, tempDatas);
    const auto &update = fCore->Hooks.UpdateSysParsShow;
    if (update)
        fCore->RunOnUiAndWait([&] { update(tempDatas); });
}

void TThreadCOMRecv::DecodeEem() {
    if (datLen < EemMinLen)
        return;
    const int32_t lang = fState.LanguageNum.load();
    fState.RecvDataType_Text.Set(EepromTypeText(datLen));
    fState.EEIsOK.store(true);
    tempDatas.assign(EepromWords + 1, 0);
    ReadWords(PayloadPos, EepromWords, tempDatas);
    const uint16_t sum = ByteSum16(dats.data(), PayloadPos, EemCheckPos - 1);
    // A check word that is not wholly inside the frame cannot confirm it.
    const bool correct = datLen >= EemFullLen && sum == BigEndianWordAt(dats.data(), EemCheckPos);
    fState.DataCHeck_Text.Set(DataCheckText(correct, lang));
    std::lock_guard<std::mutex> handOff(fCore->HandOffMutex);
    if (fCore->Hooks.Sink)
        fCore->Hooks.Sink->SetEEPROMArr(tempDatas);
}

void TThreadCOMRecv::DecodeFrm() {
    if (datLen < FrmMinLen || !fState.EEIsOK.load())
        return;
    const uint8_t subpage = dats[FrmSubpagePos];
    if (subpage > 1)
        return;
    const int32_t lang = fState.LanguageNum.load();
    fState.RecvDataType_Text.Set(FrameTypeText(subpage, datLen));
    if (fCore->DouFrameUpdate.load() && subpage == fState.LastFrameIndex.load())
        return;
    fState.LastFrameIndex.store(subpage);
    tempDatas.assign(FrameWords + 1, 0);
    ReadWords(PayloadPos, FrameWords, tempDatas);
    uint64_t pixelSum = 0;
    for (int k = 0; k < PixelWords; ++k)
        pixelSum += tempDatas[k];
    const uint16_t sum = ByteSum16(dats.data(), PayloadPos, FrmCheckPos - 1);
    const bool correct = datLen >= FrmFullLen && sum == BigEndianWordAt(dats.data(), FrmCheckPos);
    fState.DataCHeck_Text.Set(DataCheckText(correct, lang, int64_t(pixelSum / PixelWords)));

    // Taking the hand-off lock before lowering the busy flag keeps frames in order:
    // the next worker can start only once this one holds the lock.
    std::lock_guard<std::mutex> handOff(fCore->HandOffMutex);
    ReleaseBusy();
    if (fCore->Hooks.Sink)
        fCore->Hooks.Sink->SetRAMArr(tempDatas);
    fState.dataCalcRate.fetch_add(1);
    if (datLen >= FrmBlockLen)
        PrepareSysParsTexts(FrmBlockPos);
}

void TThreadCOMRecv::DecodeHalf() {
    if (datLen < HalfMinLen || !fState.EEIsOK.load())
        return;
    const uint8_t subpage = dats[HalfSubpagePos];
    if (subpage > 1)
        return;
    fState.RecvDataType_Text.Set(FrameTypeText(subpage, datLen));
    if (fCore->DouFrameUpdate.load() && subpage == fState.LastFrameIndex.load())
        return;
    fState.LastFrameIndex.store(subpage);

    std::lock_guard<std::mutex> handOff(fCore->HandOffMutex);
    MergeHalfFrame(dats.data(), dats.size(), subpage, fState.RecvedFrmDatas);
    ReleaseBusy();
    if (fCore->Hooks.Sink)
        fCore->Hooks.Sink->SetRAMArr(fState.RecvedFrmDatas);
    fState.dataCalcRate.fetch_add(1);
    if (datLen >= HalfBlockLen)
        PrepareSysParsTexts(HalfBlockPos);
}

void TThreadCOMRecv::DecodePht() {
    // A photo shorter than a frame memory is dropped: its words are not all there.
    if (datLen < PhtMinLen)
        return;
    const uint8_t subpage = dats[FrmSubpagePos];
    fState.RecvDataType_Text.Set(PhotoTypeText(subpage, datLen));
    tempDatas.assign(FrameWords + 1, 0);
    ReadWords(PayloadPos, FrameWords, tempDatas);
    {
        std::lock_guard<std::mutex> handOff(fCore->HandOffMutex);
        if (fCore->Hooks.Sink)
            fCore->Hooks.Sink->SetRAMArr(tempDatas);
    }
    if (datLen >= PhtDateLen) {
        const uint8_t *d = dats.data() + PhtDatePos;
        fState.lbl_CurrentPhotoDate_Text.Set(PhotoDateText(d[0], d[1], d[2]));
        fState.lbl_CurrentPhotoTime_Text.Set(PhotoTimeText(d[3], d[4], d[5]));
    }
}

void TThreadCOMRecv::PrepareSysParsTexts(int pos) {
    const int32_t lang = fState.LanguageNum.load();
    auto word = [&](int k) { return BigEndianWordAt(dats.data(), size_t(pos + 2 * k)); };
    fState.lbl_Cell_Text.Set(CellVoltageText(word(SysWordCell), lang));
    fState.lbl_RTC_Text.Set(RtcText(word(SysWordRtc), word(SysWordRtc + 1), word(SysWordRtc + 2)));
    fState.lbl_SavedPhotoNum_Text.Set(SavedPhotoNumText(word(SysWordPhotoCount)));
}
