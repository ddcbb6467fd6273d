#include "link/LinkTestSupport.h"

#include <chrono>
#include <cstring>

TBytes FrameHead(const char *type) {
    return TBytes{'M', 'L', 'X', 0x00, uint8_t(type[0]), uint8_t(type[1]), uint8_t(type[2])};
}

void AppendWord(TBytes &bytes, uint16_t word) {
    bytes.push_back(uint8_t(word >> 8));
    bytes.push_back(uint8_t(word & 0xFF));
}

uint16_t SumBytes(const TBytes &bytes, size_t first, size_t last) {
    uint32_t s = 0;
    for (size_t i = first; i <= last; ++i)
        s += bytes[i];
    return uint16_t(s);
}

TUINT16s SysBlock(uint16_t millivolts, uint16_t w21, uint16_t w22, uint16_t w23, uint16_t photos) {
    TUINT16s p(32, 0);
    for (int k = 0; k < 32; ++k)
        p[k] = uint16_t(k);
    p[19] = millivolts;
    p[21] = w21;
    p[22] = w22;
    p[23] = w23;
    p[24] = photos;
    return p;
}

TBytes SysFrame(const TUINT16s &pars) {
    TBytes b = FrameHead("SYS");
    for (int k = 0; k < 32; ++k)
        AppendWord(b, pars.at(k));
    return b;
}

TBytes EemFrame(const TUINT16s &eeprom, bool goodCheck) {
    TBytes b = FrameHead("EEM");
    for (int k = 0; k < 832; ++k)
        AppendWord(b, eeprom.at(k));
    AppendWord(b, uint16_t(SumBytes(b, 7, 1670) + (goodCheck ? 0 : 1)));
    return b;
}

TBytes FrmFrame(const TUINT16s &ram, bool goodCheck, const TUINT16s *block) {
    TBytes b = FrameHead("FRM");
    for (int k = 0; k < 834; ++k)
        AppendWord(b, ram.at(k));
    AppendWord(b, uint16_t(SumBytes(b, 7, 1674) + (goodCheck ? 0 : 1)));
    if (block) {
        b.resize(1684, 0xEE);
        for (int k = 0; k < 32; ++k)
            AppendWord(b, block->at(k));
    }
    return b;
}

TBytes HalfFrame(const char *type, const TUINT16s &pixels, const TUINT16s &aux, const TUINT16s *block) {
    TBytes b = FrameHead(type);
    for (int k = 0; k < 384; ++k)
        AppendWord(b, pixels.at(k));
    for (int k = 0; k < 66; ++k)
        AppendWord(b, aux.at(k));
    if (block) {
        b.resize(916, 0xEE);
        for (int k = 0; k < 32; ++k)
            AppendWord(b, block->at(k));
    }
    return b;
}

TBytes PhtFrame(const TUINT16s &ram, const uint8_t *dateTime) {
    TBytes b = FrameHead("PHT");
    for (int k = 0; k < 834; ++k)
        AppendWord(b, ram.at(k));
    if (dateTime)
        b.insert(b.end(), dateTime, dateTime + 6);
    return b;
}

TUINT16s PatternWords(size_t count, uint16_t seed) {
    TUINT16s w(count);
    for (size_t k = 0; k < count; ++k)
        w[k] = uint16_t(seed + 7 * k);
    return w;
}

TUINT16s RamWords(uint16_t seed, int subpage) {
    TUINT16s w = PatternWords(834, seed);
    w[833] = uint16_t(subpage);
    return w;
}

TUINT16s AuxWords(uint16_t seed, int subpage) {
    TUINT16s w = PatternWords(66, seed);
    w[65] = uint16_t(subpage);
    return w;
}

// ---- TRecordingSink

void TRecordingSink::Enter() {
    if (fInside.fetch_add(1) != 0)
        fOverlaps.fetch_add(1);
    std::unique_lock<std::mutex> lock(fMutex);
    ++fEntered;
    fChangedCv.notify_all();
    fChangedCv.wait(lock, [&] { return fPermits != 0; });
    if (fPermits > 0)
        --fPermits;
}

void TRecordingSink::Leave() {
    fInside.fetch_sub(1);
}

void TRecordingSink::SetEEPROMArr(const TUINT16s &words) {
    const TUINT16s atEntry = words;
    Enter();
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fEeproms.push_back(atEntry);
    }
    if (words != atEntry)
        fChanged.fetch_add(1);
    Leave();
}

void TRecordingSink::SetRAMArr(const TUINT16s &words) {
    const TUINT16s atEntry = words;
    Enter();
    if (const int us = RamCallMicros.load(); us > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(us));
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fRams.push_back(atEntry);
    }
    if (words != atEntry)
        fChanged.fetch_add(1);
    Leave();
}

void TRecordingSink::LimitPermits(int permits) {
    std::lock_guard<std::mutex> lock(fMutex);
    fPermits = permits;
    fChangedCv.notify_all();
}

void TRecordingSink::AddPermits(int permits) {
    std::lock_guard<std::mutex> lock(fMutex);
    fPermits = (fPermits < 0 ? 0 : fPermits) + permits;
    fChangedCv.notify_all();
}

void TRecordingSink::OpenGate() {
    std::lock_guard<std::mutex> lock(fMutex);
    fPermits = -1;
    fChangedCv.notify_all();
}

bool TRecordingSink::WaitEntered(int count, int timeoutMs) {
    std::unique_lock<std::mutex> lock(fMutex);
    return fChangedCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return fEntered >= count; });
}

int TRecordingSink::Entered() {
    std::lock_guard<std::mutex> lock(fMutex);
    return fEntered;
}

std::vector<TUINT16s> TRecordingSink::Eeproms() {
    std::lock_guard<std::mutex> lock(fMutex);
    return fEeproms;
}

std::vector<TUINT16s> TRecordingSink::Rams() {
    std::lock_guard<std::mutex> lock(fMutex);
    return fRams;
}

// ---- TLinkHarness

TLinkHarness::TLinkHarness()
    : dispatcher(std::make_shared<TStdUiDispatcher>()), sink(std::make_shared<TRecordingSink>()) {
    TLinkHooks hooks;
    hooks.Sink = sink;
    hooks.Dispatcher = dispatcher;
    hooks.UpdateSysParsShow = [this](const TUINT16s &pars) {
        sysParsShown.push_back(pars);
        sysParsThreads.push_back(std::this_thread::get_id());
    };
    hooks.ReadParsAction = [this] { ++readParsActions; };
    intake = std::make_unique<TFrameIntake>(hooks);
    core = &intake->Core();
}

std::string TLinkHarness::lastFrame() const {
    const TLinkStatus s = status();
    const std::string len = std::to_string(s.LastLength);
    const std::string sub = std::to_string(s.LastSubpage);
    switch (s.LastType) {
    case TFrameType::SYS:
    case TFrameType::EEM: return std::string(FrameTypeName(s.LastType)) + " " + len;
    case TFrameType::FR0:
    case TFrameType::FR1: return std::string(FrameTypeName(s.LastType)) + " " + sub + " " + len;
    case TFrameType::FRM:
    case TFrameType::PHT: return std::string(FrameTypeName(s.LastType)) + sub + " " + len;
    default: return "";
    }
}

std::string TLinkHarness::check() const {
    const TLinkStatus s = status();
    switch (s.Check) {
    case TCheckVerdict::None: return "";
    case TCheckVerdict::Error: return "error";
    case TCheckVerdict::Correct:
        return s.MeanPixelWord >= 0 ? "correct " + std::to_string(s.MeanPixelWord) : "correct";
    }
    return "";
}

TLinkHarness::~TLinkHarness() {
    sink->OpenGate();
    intake->WaitIdle();
    intake.reset();
}

void TLinkHarness::Feed(const uint8_t *data, size_t len) {
    intake->Comm1ReceiveData(data, uint16_t(len));
}

void TLinkHarness::Feed(const TBytes &chunk) {
    Feed(chunk.data(), chunk.size());
}

void TLinkHarness::FeedAlt(const TBytes &chunk) {
    intake->nrComm1AfterReceive(chunk.data(), uint32_t(chunk.size()));
}

void TLinkHarness::FeedAndWait(const TBytes &chunk) {
    Feed(chunk);
    Wait();
}

void TLinkHarness::FeedAltAndWait(const TBytes &chunk) {
    FeedAlt(chunk);
    Wait();
}
