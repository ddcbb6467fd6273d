#include "ui/playback/CapturePlayer.h"

#include "protocol/ChunkSplit.h"
#include "protocol/FrameBuild.h"
#include "protocol/FrameFormat.h"

#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// The receiver takes at most this many bytes at a time, as a serial read delivers.
constexpr size_t kFeedBytesMax = 4096;
// Pacing timer.
constexpr int kTickMs = 5;
// A carried incomplete frame longer than this cannot be a calibration or parameter frame.
constexpr size_t kCarryMax = 4096;
// Frame period of a raw stream whose rate is unknown (the module's factory 8 Hz).
constexpr uint64_t kDefaultFrameMicros = 125000;

// Bytes a complete calibration / parameter frame needs, 0 for other types.
size_t KeyFrameBytes(TFrameType type) {
    switch (type) {
    case TFrameType::EEM: return size_t(FrameLayout::EemFullLen);
    case TFrameType::SYS: return size_t(FrameLayout::SysMinLen);
    default: return 0;
    }
}

// The module's frame period from its rate word (parameter 5: 0.5 Hz * 2^code).
uint64_t FramePeriodMicros(uint16_t rateCode) {
    if (rateCode > 7)
        return kDefaultFrameMicros;
    return uint64_t(2000000) >> rateCode;
}

uint16_t WordAt(const uint8_t *data, size_t pos) {
    return uint16_t((data[pos] << 8) | data[pos + 1]);
}

}  // namespace

TCapturePlayer::TCapturePlayer(TFeed feed, TRestart restart, QObject *parent)
    : QObject(parent), fFeed(std::move(feed)), fRestart(std::move(restart)) {
    fTimer = new QTimer(this);
    fTimer->setTimerType(Qt::PreciseTimer);
    fTimer->setInterval(kTickMs);
    connect(fTimer, &QTimer::timeout, this, &TCapturePlayer::Tick);
}

TCapturePlayer::~TCapturePlayer() = default;

bool TCapturePlayer::Open(const QString &path, QString *error) {
    Close();
    fReader = std::make_unique<TCaptureReader>();
    std::string why;
    if (!fReader->Open(path.toStdString(), &why)) {
        if (error)
            *error = QString::fromStdString(why);
        fReader.reset();
        return false;
    }
    fPath = path;
    fRaw = !fReader->IsCapture();
    const bool indexed = fRaw ? IndexRaw(error) : IndexCapture(error);
    if (!indexed) {
        Close();
        return false;
    }
    fOpen = true;
    fNext = 0;
    fPosition = 0;
    fRestart();
    emit PositionChanged();
    return true;
}

bool TCapturePlayer::IndexCapture(QString *error) {
    if (!fReader->Index()) {
        if (error)
            *error = QString::fromStdString(fReader->Status().Text());
        return false;
    }
    if (!fReader->Status().Sound())
        fDamage = QString::fromStdString(fReader->Status().Text());
    const auto &entries = fReader->Entries();
    std::vector<uint8_t> carry;
    TCaptureChunk chunk;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!fReader->ReadChunk(i, chunk))
            break;
        TPiece piece;
        piece.micros = entries[i].micros;
        piece.source = i;
        piece.length = entries[i].length;
        fPieces.push_back(piece);
        FindKeyFrames(i, chunk.bytes.data(), chunk.bytes.size(), carry);
    }
    if (fPieces.empty()) {
        if (error)
            *error = fDamage.isEmpty() ? QStringLiteral("the recording holds no data") : fDamage;
        return false;
    }
    return true;
}

bool TCapturePlayer::IndexRaw(QString *error) {
    QFile file(fPath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray all = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    fRawBytes.assign(all.begin(), all.end());
    fReader.reset();
    if (fRawBytes.empty()) {
        if (error)
            *error = QStringLiteral("the file is empty");
        return false;
    }
    // The module's rate, from the first parameter block the stream holds.
    uint64_t period = kDefaultFrameMicros;
    const uint8_t *data = fRawBytes.data();
    const std::vector<TChunkSpan> spans = SplitAtFrameStarts(data, fRawBytes.size());
    for (const TChunkSpan &s : spans) {
        const TFrameType type = FrameTypeOf(data + s.offset, s.length);
        if (type == TFrameType::SYS && s.length >= size_t(FrameLayout::SysMinLen)) {
            period = FramePeriodMicros(WordAt(data, s.offset + FrameLayout::PayloadPos + 2 * 5));
            break;
        }
        if (type == TFrameType::FRM && s.length >= size_t(FrameLayout::FrmBlockLen)) {
            period = FramePeriodMicros(WordAt(data, s.offset + FrameLayout::FrmBlockPos + 2 * 5));
            break;
        }
    }
    // One piece per frame (longer ones cut to what a read delivers); picture frames
    // follow one another at the frame period, the rest goes with the frame before.
    uint64_t micros = 0;
    bool first = true;
    std::vector<uint8_t> carry;
    for (const TChunkSpan &s : spans) {
        const TFrameType type = FrameTypeOf(data + s.offset, s.length);
        const bool picture = type == TFrameType::FRM || type == TFrameType::FR0 || type == TFrameType::FR1;
        if (picture && !first)
            micros += period;
        if (picture)
            first = false;
        for (size_t at = 0; at < s.length; at += kFeedBytesMax) {
            TPiece piece;
            piece.micros = micros;
            piece.source = s.offset + at;
            piece.length = uint32_t(std::min(kFeedBytesMax, s.length - at));
            fPieces.push_back(piece);
        }
        carry.clear();
        FindKeyFrames(fPieces.size() - 1, data + s.offset, s.length, carry);
    }
    return true;
}

void TCapturePlayer::FindKeyFrames(size_t piece, const uint8_t *data, size_t len,
                                   std::vector<uint8_t> &carry) {
    carry.insert(carry.end(), data, data + len);
    const std::vector<TChunkSpan> spans = SplitAtFrameStarts(carry.data(), carry.size());
    size_t keepFrom = carry.size();
    for (size_t k = 0; k < spans.size(); ++k) {
        const uint8_t *start = carry.data() + spans[k].offset;
        const TFrameType type = FrameTypeOf(start, spans[k].length);
        const size_t need = KeyFrameBytes(type);
        const bool last = k + 1 == spans.size();
        if (need > 0 && spans[k].length >= need) {
            TKeyFrame key;
            key.piece = piece;
            key.calibration = type == TFrameType::EEM;
            key.bytes.assign(start, start + need);
            fKeys.push_back(std::move(key));
        } else if (last && spans[k].length < kCarryMax &&
                   (BeginsWithMLX(start, spans[k].length) || spans[k].length < 7)) {
            // A frame still under way (or the first bytes of its header): its end
            // may come with the next chunk.
            keepFrom = spans[k].offset;
        }
    }
    carry.erase(carry.begin(), carry.begin() + std::ptrdiff_t(keepFrom));
}

void TCapturePlayer::Close() {
    Stop();
    fOpen = false;
    fReader.reset();
    fRawBytes.clear();
    fPieces.clear();
    fKeys.clear();
    fPath.clear();
    fDamage.clear();
    fNext = 0;
    fPosition = 0;
}

void TCapturePlayer::Play() {
    if (!fOpen)
        return;
    if (AtEnd())
        Seek(0);
    fPlaying = true;
    Rebase();
    fTimer->start();
}

void TCapturePlayer::Pause() {
    Stop();
}

void TCapturePlayer::Stop() {
    fPlaying = false;
    fTimer->stop();
}

void TCapturePlayer::SetSpeed(double factor) {
    if (!(factor > 0.0) || !std::isfinite(factor))
        return;
    if (fPlaying) {
        // Keep the position reached: pace from here on at the new speed.
        fBase = fBase + uint64_t(double(fClock.nsecsElapsed()) / 1000.0 * fSpeed);
        fClock.restart();
    }
    fSpeed = factor;
}

void TCapturePlayer::Rebase() {
    fBase =
        fNext < fPieces.size() ? std::max(fPosition, fNext > 0 ? fPieces[fNext - 1].micros : 0) : fPosition;
    if (fNext == 0 && !fPieces.empty())
        fBase = std::min(fBase, fPieces.front().micros);
    fClock.restart();
}

void TCapturePlayer::Tick() {
    if (!fOpen || !fPlaying)
        return;
    const uint64_t due = fBase + uint64_t(double(fClock.nsecsElapsed()) / 1000.0 * fSpeed);
    bool moved = false;
    while (fNext < fPieces.size() && fPieces[fNext].micros <= due) {
        PlayNext();
        moved = true;
    }
    if (moved)
        emit PositionChanged();
    if (AtEnd()) {
        Stop();
        emit Finished();
    }
}

bool TCapturePlayer::ReadPiece(size_t i, std::vector<uint8_t> &bytes) {
    const TPiece &p = fPieces[i];
    if (fRaw) {
        bytes.assign(fRawBytes.begin() + std::ptrdiff_t(p.source),
                     fRawBytes.begin() + std::ptrdiff_t(p.source + p.length));
        return true;
    }
    TCaptureChunk chunk;
    if (!fReader || !fReader->ReadChunk(size_t(p.source), chunk))
        return false;
    bytes = std::move(chunk.bytes);
    return true;
}

void TCapturePlayer::FeedBytes(const uint8_t *data, size_t len) {
    for (size_t at = 0; at < len; at += kFeedBytesMax)
        fFeed(data + at, std::min(kFeedBytesMax, len - at));
}

bool TCapturePlayer::PlayNext(size_t from) {
    if (fNext >= fPieces.size())
        return false;
    const size_t i = fNext++;
    fPosition = fPieces[i].micros;
    if (!ReadPiece(i, fScratch)) {
        // The file changed or went away under the player: nothing more to play.
        if (fDamage.isEmpty())
            fDamage = QStringLiteral("the file could not be read after %1 chunks").arg(i);
        fNext = fPieces.size();
        return false;
    }
    if (from < fScratch.size())
        FeedBytes(fScratch.data() + from, fScratch.size() - from);
    return true;
}

void TCapturePlayer::Seek(uint64_t micros) {
    if (!fOpen)
        return;
    micros = std::min(micros, Duration());
    // The last piece at or before the time asked.
    auto after = std::upper_bound(fPieces.begin(), fPieces.end(), micros,
                                  [](uint64_t t, const TPiece &p) { return t < p.micros; });
    size_t target = after == fPieces.begin() ? 0 : size_t(after - fPieces.begin()) - 1;
    if (micros == 0)
        target = 0;
    fRestart();
    fNext = target;
    fPosition = target < fPieces.size() ? fPieces[target].micros : Duration();
    if (target > 0) {
        // The calibration and parameters sent before this point, newest of each.
        const TKeyFrame *eem = nullptr;
        const TKeyFrame *sys = nullptr;
        for (const TKeyFrame &k : fKeys) {
            if (k.piece >= target)
                break;
            (k.calibration ? eem : sys) = &k;
        }
        if (eem)
            FeedBytes(eem->bytes.data(), eem->bytes.size());
        if (sys)
            FeedBytes(sys->bytes.data(), sys->bytes.size());
        // Start at the first frame that begins in this chunk: the bytes before it
        // end a frame whose start is not played.
        if (ReadPiece(target, fScratch)) {
            size_t from = fScratch.size();
            for (const TChunkSpan &s : SplitAtFrameStarts(fScratch.data(), fScratch.size()))
                if (BeginsWithMLX(fScratch.data() + s.offset, s.length)) {
                    from = s.offset;
                    break;
                }
            PlayNext(from);
        }
    }
    if (fPlaying)
        Rebase();
    emit PositionChanged();
}

bool TCapturePlayer::StepFrame(const std::function<bool()> &shown) {
    if (!fOpen || AtEnd())
        return false;
    Stop();
    while (!AtEnd()) {
        PlayNext();
        if (shown && shown())
            break;
    }
    emit PositionChanged();
    if (AtEnd())
        emit Finished();
    return true;
}
