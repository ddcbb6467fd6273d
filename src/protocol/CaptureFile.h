#pragma once
// Capture files: the bytes a module sent, as the serial line delivered them, with
// the time of each chunk. Written by korvale-sim --record and by the window's
// recording, read by korvale-replay and by playback. The layout is described in
// docs/capture-format.md: a header (magic, version, wall-clock start time) and one
// record per chunk (microseconds since the start, length, bytes, CRC-32).
//
// A file that does not begin with the magic is a raw stream: the bytes alone, as
// older recordings hold them. The reader hands such a file over in blocks with no
// times.
//
// Plain C++ (std only). A reader or writer is used by one thread at a time.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace CaptureFormat {
// "\x89KVC\r\n\x1a\n": a byte above 127 and the line-end characters, so a transfer
// that mangles binary files shows at the first bytes.
constexpr uint8_t Magic[8] = {0x89, 'K', 'V', 'C', '\r', '\n', 0x1A, '\n'};
constexpr uint16_t Version = 1;
constexpr size_t HeaderBytes = 28;       // magic, version, header size, start, UTC offset, CRC
constexpr size_t HeaderBytesMax = 4096;  // a longer header is damage
constexpr size_t RecordHeadBytes = 12;   // time, length
constexpr size_t RecordTailBytes = 4;    // CRC-32
// The longest chunk one record holds; a longer length in a file is damage. The
// writer splits longer chunks into several records with the same time.
constexpr uint32_t ChunkBytesMax = 1u << 20;
// Block size in which a raw stream is handed over.
constexpr size_t RawBlockBytes = 1u << 16;
}  // namespace CaptureFormat

// CRC-32 (the one of zip and PNG: reflected polynomial 0xEDB88320, initial and final
// value 0xFFFFFFFF); crc is the value of the bytes before, 0 to begin.
uint32_t Crc32(const uint8_t *data, size_t len, uint32_t crc = 0);

// The header of a capture.
struct TCaptureHeader {
    uint16_t version = CaptureFormat::Version;
    int64_t startUnixMicros = 0;   // wall-clock start, microseconds since 1970-01-01 UTC
    int32_t utcOffsetSeconds = 0;  // the recording machine's local time minus UTC at the start
};

// The wall-clock time now, microseconds since 1970-01-01 UTC, and the local time's
// offset from UTC at that moment (seconds).
int64_t CaptureNowUnixMicros();
int32_t LocalUtcOffsetSeconds(int64_t unixMicros);
// "2026-12-09 21:31:40.123456 UTC" (offset 0) or "2026-12-09 22:31:40.123456 +01:00":
// the start time in the recording machine's local time.
std::string FormatCaptureStart(const TCaptureHeader &header);

// The bytes of a header and of one record, for writers and for building files in
// tests. A record of more than ChunkBytesMax bytes is the caller's error: the
// writer splits chunks before.
void AppendCaptureHeader(std::vector<uint8_t> &out, const TCaptureHeader &header);
void AppendCaptureRecord(std::vector<uint8_t> &out, uint64_t micros, const uint8_t *data, size_t len);

// Writes a capture one chunk at a time. Every record is handed to the operating
// system as soon as it is appended, so a program that dies leaves a file whose
// records up to the last append read back whole.
class TCaptureWriter {
public:
    TCaptureWriter() = default;
    ~TCaptureWriter();  // closes (errors on closing go unreported: call Close to see them)
    TCaptureWriter(const TCaptureWriter &) = delete;
    TCaptureWriter &operator=(const TCaptureWriter &) = delete;

    // Creates (or empties) the file and writes the header. False with a message
    // when the file cannot be created or written.
    bool Open(const std::string &path, const TCaptureHeader &header, std::string *error);
    bool IsOpen() const { return fFile != nullptr; }

    // One chunk received `micros` microseconds after the start. A time earlier than
    // the last one is written as the last one (times in a capture never go back).
    // A chunk longer than ChunkBytesMax becomes several records. Empty chunks are
    // skipped. False with a message when writing fails; the file then stays as far
    // as it was written and further appends fail.
    bool Append(uint64_t micros, const uint8_t *data, size_t len, std::string *error);

    // Closes the file; false with a message when the last bytes could not be written.
    bool Close(std::string *error);

    uint64_t ChunksWritten() const { return fChunks; }
    uint64_t BytesWritten() const { return fBytes; }  // file size so far

private:
    std::FILE *fFile = nullptr;
    std::string fPath;
    uint64_t fLastMicros = 0;
    uint64_t fChunks = 0;
    uint64_t fBytes = 0;
    bool fFailed = false;
    std::vector<uint8_t> fRecord;
};

// What a reader found, as far as it has read.
enum class TCaptureCondition {
    Sound,        // everything read so far is whole (at the end: the file ends cleanly)
    Truncated,    // the file ends inside the header or a record
    Damaged,      // a record (or the header) fails its check, or holds an impossible length or time
    Unsupported,  // a capture of a later version
    ReadError,    // the operating system could not read the file
};

struct TCaptureStatus {
    TCaptureCondition condition = TCaptureCondition::Sound;
    uint64_t chunksRead = 0;  // whole chunks before the trouble
    uint64_t offset = 0;      // byte offset where the trouble begins (the record that is not whole)
    std::string detail;       // what is wrong there, e.g. "record of 1748 bytes, 1000 present"

    bool Sound() const { return condition == TCaptureCondition::Sound; }
    // "truncated after 12 chunks at byte offset 3456 (record of 1748 bytes, 1000
    // present)"; "" when sound.
    std::string Text() const;
};

// One chunk as read back.
struct TCaptureChunk {
    uint64_t micros = 0;  // since the start; 0 for every block of a raw stream
    std::vector<uint8_t> bytes;
};

// Where a chunk lies in the file, for playback and seeking.
struct TCaptureIndexEntry {
    uint64_t offset = 0;  // of the record
    uint64_t micros = 0;
    uint32_t length = 0;  // bytes of the chunk
};

// Reads a capture (or a raw stream) from a file or from memory. Chunks come one
// after another with Next; Index scans the whole file once and then gives random
// access by chunk number (ReadChunk, Seek) and by time (ChunkAtTime). Reading stops
// at the first damage: everything before it is handed over, Status says where and
// what. Nothing is allocated from a length in the file before that length has been
// checked against ChunkBytesMax and against the bytes present.
class TCaptureReader {
public:
    TCaptureReader() = default;
    ~TCaptureReader();
    TCaptureReader(const TCaptureReader &) = delete;
    TCaptureReader &operator=(const TCaptureReader &) = delete;

    // Opens a file and reads its header. False with a message when the file cannot
    // be opened or is not seekable; a damaged or cut header is not a failure here:
    // the reader opens, yields no chunks and Status tells.
    bool Open(const std::string &path, std::string *error);
    // The same over bytes in memory, which must outlive the reader.
    void OpenMemory(const uint8_t *data, size_t size);

    bool IsCapture() const { return fCapture; }              // false: a raw stream
    bool HeaderRead() const { return fCapture && fUsable; }  // a capture whose header is whole
    const TCaptureHeader &Header() const { return fHeader; }
    uint64_t Size() const { return fSize; }

    // The next chunk; false at the end of the file or at damage (see Status).
    bool Next(TCaptureChunk &chunk);

    // Reads the whole file once and lists its chunks up to the end or the first
    // damage; false when the file could not be read. Leaves the position of Next
    // unchanged.
    bool Index();
    bool Indexed() const { return fIndexed; }
    const std::vector<TCaptureIndexEntry> &Entries() const { return fEntries; }
    // Chunk number i of the index; false when i is beyond it or reading fails.
    bool ReadChunk(size_t i, TCaptureChunk &chunk);
    // Makes chunk i the next one Next gives (i == count: the end); needs Index.
    bool Seek(size_t i);
    // Number of the first chunk at or after `micros` (the count when none); needs Index.
    size_t ChunkAtTime(uint64_t micros) const;

    // What was found so far: sound, or where reading stopped and why. After Index,
    // it covers the whole file.
    // Once Next has reached the end, or after Index, chunksRead counts every whole
    // chunk and offset is where reading stopped.
    const TCaptureStatus &Status() const { return fStatus; }

private:
    void Reset();
    bool ReadAt(uint64_t offset, uint8_t *dst, size_t n);
    void ReadHeader();
    // Reads the record at `offset` (capture) or the block there (raw) into chunk (when
    // not null) and entry, and sets next to the offset after it. False at the end of
    // the file (end set) or on trouble (trouble filled).
    bool ReadRecord(uint64_t offset, uint64_t lastMicros, TCaptureChunk *chunk, TCaptureIndexEntry &entry,
                    uint64_t &next, TCaptureStatus &trouble, bool &end);

    std::FILE *fFile = nullptr;
    const uint8_t *fMemory = nullptr;
    uint64_t fSize = 0;
    bool fCapture = false;
    bool fUsable = false;  // header read (or raw): records may be read
    TCaptureHeader fHeader;
    uint64_t fFirstRecord = 0;
    // Sequential reading.
    uint64_t fPosition = 0;
    uint64_t fLastMicros = 0;
    uint64_t fChunksRead = 0;
    bool fStopped = false;
    // Index.
    bool fIndexed = false;
    std::vector<TCaptureIndexEntry> fEntries;
    TCaptureStatus fStatus;
    std::vector<uint8_t> fScratch;
};
