#pragma once
// TCapturePlayer: plays a recording (a capture file, or a raw byte stream as
// korvale-sim --record --raw writes it) into the program as if a module sent it:
// each chunk goes to `feed` (the frame intake) at the pace it was recorded, times a
// speed factor. A raw stream has no times: it is cut into frames, one per frame
// period of the module's rate (from the first parameter block it holds, else 8 Hz).
//
// Seeking restarts the receiver (`restart`: nothing half-received is kept) and
// plays from the last chunk at or before the time asked, after the calibration and
// parameter frames the recording sent before that point, so the picture there is
// computed as it was when recorded. A damaged or cut file plays up to the damage;
// DamageText says where.
//
// Threads: the UI thread (a QTimer paces the chunks).

#include "protocol/CaptureFile.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

class TCapturePlayer : public QObject {
    Q_OBJECT
public:
    // Hands received bytes to the receiver.
    using TFeed = std::function<void(const uint8_t *data, size_t len)>;
    // Makes the receiver drop whatever it holds of frames under way.
    using TRestart = std::function<void()>;

    TCapturePlayer(TFeed feed, TRestart restart, QObject *parent = nullptr);
    ~TCapturePlayer() override;

    // Opens and indexes a recording; positioned at its start, paused. False with a
    // message when the file cannot be read or holds nothing to play.
    bool Open(const QString &path, QString *error);
    void Close();
    bool IsOpen() const { return fOpen; }
    QString Path() const { return fPath; }
    bool IsRaw() const { return fRaw; }

    // Playing at the recorded pace times Speed.
    void Play();
    void Pause();
    bool IsPlaying() const { return fPlaying; }
    // Every chunk has been played.
    bool AtEnd() const { return fOpen && fNext >= fPieces.size(); }
    void SetSpeed(double factor);
    double Speed() const { return fSpeed; }

    // Moves to `micros` (clamped to the recording): the receiver restarts, gets the
    // calibration and parameters sent before that point, then the chunks from there.
    void Seek(uint64_t micros);
    // Plays chunks one by one until `shown` says a new picture came out (it may wait
    // for the receiver) or the recording ends; false when nothing was left to play.
    bool StepFrame(const std::function<bool()> &shown);

    // Microseconds: the time of the last chunk played (0 before any), the time of
    // the last chunk in the recording.
    uint64_t Position() const { return fPosition; }
    uint64_t Duration() const { return fPieces.empty() ? 0 : fPieces.back().micros; }
    size_t ChunkCount() const { return fPieces.size(); }
    size_t ChunksPlayed() const { return fNext; }

    // Where and why reading stopped early ("truncated after 12 chunks at byte offset
    // ..."); empty for a sound file.
    QString DamageText() const { return fDamage; }

    // Plays what is due now (the pacing timer calls it; tests may too).
    void Tick();

signals:
    // The position changed (played chunks, a seek).
    void PositionChanged();
    // The last chunk has been played; playback has stopped there.
    void Finished();

private:
    struct TPiece {
        uint64_t micros = 0;
        uint64_t source = 0;  // capture: chunk number; raw stream: offset in fRawBytes
        uint32_t length = 0;  // raw stream: bytes of the piece
    };
    // A calibration ("EEM") or parameter ("SYS") frame and the piece it ends in.
    struct TKeyFrame {
        size_t piece = 0;
        bool calibration = false;
        std::vector<uint8_t> bytes;
    };

    bool IndexCapture(QString *error);
    bool IndexRaw(QString *error);
    void FindKeyFrames(size_t piece, const uint8_t *data, size_t len, std::vector<uint8_t> &carry);
    bool ReadPiece(size_t i, std::vector<uint8_t> &bytes);
    void FeedBytes(const uint8_t *data, size_t len);
    // Plays piece fNext; `from` skips its first bytes.
    bool PlayNext(size_t from = 0);
    void Rebase();
    void Stop();

    TFeed fFeed;
    TRestart fRestart;
    QTimer *fTimer = nullptr;
    std::unique_ptr<TCaptureReader> fReader;
    std::vector<uint8_t> fRawBytes;
    std::vector<TPiece> fPieces;
    std::vector<TKeyFrame> fKeys;
    std::vector<uint8_t> fScratch;
    QString fPath;
    QString fDamage;
    bool fOpen = false;
    bool fRaw = false;
    bool fPlaying = false;
    double fSpeed = 1.0;
    size_t fNext = 0;
    uint64_t fPosition = 0;
    // Pacing: the recording's time at fBase, and the wall clock since then.
    uint64_t fBase = 0;
    QElapsedTimer fClock;
};
