#include "protocol/CaptureFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include <sys/types.h>

using namespace CaptureFormat;

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

void PutLE(std::vector<uint8_t> &out, uint64_t value, int bytes) {
    for (int k = 0; k < bytes; ++k)
        out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

uint64_t GetLE(const uint8_t *p, int bytes) {
    uint64_t value = 0;
    for (int k = bytes - 1; k >= 0; --k)
        value = value << 8 | p[k];
    return value;
}

std::string Plural(uint64_t n, const char *word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

}  // namespace

uint32_t Crc32(const uint8_t *data, size_t len, uint32_t crc) {
    crc = ~crc;
    for (size_t k = 0; k < len; ++k)
        crc = kCrcTable[(crc ^ data[k]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

int64_t CaptureNowUnixMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

int32_t LocalUtcOffsetSeconds(int64_t unixMicros) {
    const std::time_t t = static_cast<std::time_t>(unixMicros / 1000000);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return 0;
    return static_cast<int32_t>(local.tm_gmtoff);
}

std::string FormatCaptureStart(const TCaptureHeader &header) {
    // Floor division, so times before 1970 keep their microseconds positive.
    int64_t seconds = header.startUnixMicros / 1000000;
    int64_t micros = header.startUnixMicros % 1000000;
    if (micros < 0) {
        micros += 1000000;
        --seconds;
    }
    const std::time_t t = static_cast<std::time_t>(seconds + header.utcOffsetSeconds);
    std::tm tm{};
    if (!gmtime_r(&t, &tm))
        return "(start time out of range)";
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%06lld", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<long long>(micros));
    std::string out = text;
    if (header.utcOffsetSeconds == 0)
        return out + " UTC";
    const int32_t offset = header.utcOffsetSeconds;
    const int64_t magnitude = offset < 0 ? -int64_t(offset) : int64_t(offset);
    std::snprintf(text, sizeof text, " %c%02lld:%02lld", offset < 0 ? '-' : '+',
                  static_cast<long long>(magnitude / 3600), static_cast<long long>(magnitude / 60 % 60));
    return out + text;
}

void AppendCaptureHeader(std::vector<uint8_t> &out, const TCaptureHeader &header) {
    const size_t begin = out.size();
    out.insert(out.end(), std::begin(Magic), std::end(Magic));
    PutLE(out, header.version, 2);
    PutLE(out, HeaderBytes, 2);
    PutLE(out, static_cast<uint64_t>(header.startUnixMicros), 8);
    PutLE(out, static_cast<uint32_t>(header.utcOffsetSeconds), 4);
    PutLE(out, Crc32(out.data() + begin, out.size() - begin), 4);
}

void AppendCaptureRecord(std::vector<uint8_t> &out, uint64_t micros, const uint8_t *data, size_t len) {
    const size_t begin = out.size();
    PutLE(out, micros, 8);
    PutLE(out, static_cast<uint32_t>(len), 4);
    out.insert(out.end(), data, data + len);
    PutLE(out, Crc32(out.data() + begin, out.size() - begin), 4);
}

// ---------------------------------------------------------------------------
// Writer

TCaptureWriter::~TCaptureWriter() {
    if (fFile)
        std::fclose(fFile);
}

bool TCaptureWriter::Open(const std::string &path, const TCaptureHeader &header, std::string *error) {
    auto fail = [&](const std::string &what) {
        if (error)
            *error = what;
        return false;
    };
    if (fFile) {
        std::fclose(fFile);
        fFile = nullptr;
    }
    fPath = path;
    fLastMicros = 0;
    fChunks = 0;
    fBytes = 0;
    fFailed = false;
    errno = 0;
    fFile = std::fopen(path.c_str(), "wb");
    if (!fFile)
        return fail("cannot create " + path + ": " + std::strerror(errno));
    std::vector<uint8_t> head;
    TCaptureHeader h = header;
    h.version = Version;
    AppendCaptureHeader(head, h);
    if (std::fwrite(head.data(), 1, head.size(), fFile) != head.size() || std::fflush(fFile) != 0) {
        const int err = errno;
        std::fclose(fFile);
        fFile = nullptr;
        return fail("cannot write " + path + ": " + std::strerror(err ? err : EIO));
    }
    fBytes = head.size();
    return true;
}

bool TCaptureWriter::Append(uint64_t micros, const uint8_t *data, size_t len, std::string *error) {
    if (!fFile || fFailed) {
        if (error)
            *error =
                fFile ? "cannot write " + fPath + ": an earlier write failed" : "no capture file is open";
        return false;
    }
    micros = std::max(micros, fLastMicros);
    fLastMicros = micros;
    for (size_t at = 0; at < len;) {
        const size_t n = std::min<size_t>(len - at, ChunkBytesMax);
        fRecord.clear();
        AppendCaptureRecord(fRecord, micros, data + at, n);
        errno = 0;
        if (std::fwrite(fRecord.data(), 1, fRecord.size(), fFile) != fRecord.size() ||
            std::fflush(fFile) != 0) {
            fFailed = true;
            if (error)
                *error = "cannot write " + fPath + ": " + std::strerror(errno ? errno : EIO);
            return false;
        }
        fBytes += fRecord.size();
        ++fChunks;
        at += n;
    }
    return true;
}

bool TCaptureWriter::Close(std::string *error) {
    if (!fFile)
        return !fFailed;
    errno = 0;
    const bool closed = std::fclose(fFile) == 0;
    fFile = nullptr;
    if (!closed) {
        fFailed = true;
        if (error)
            *error = "cannot write " + fPath + ": " + std::strerror(errno ? errno : EIO);
        return false;
    }
    if (fFailed && error)
        *error = "cannot write " + fPath;
    return !fFailed;
}

// ---------------------------------------------------------------------------
// Status

std::string TCaptureStatus::Text() const {
    std::string what;
    switch (condition) {
    case TCaptureCondition::Sound: return "";
    case TCaptureCondition::Truncated: what = "truncated"; break;
    case TCaptureCondition::Damaged: what = "damaged"; break;
    case TCaptureCondition::Unsupported: return detail;
    case TCaptureCondition::ReadError: what = "read error"; break;
    }
    std::string text =
        what + " after " + Plural(chunksRead, "chunk") + " at byte offset " + std::to_string(offset);
    if (!detail.empty())
        text += " (" + detail + ")";
    return text;
}

// ---------------------------------------------------------------------------
// Reader

TCaptureReader::~TCaptureReader() {
    Reset();
}

void TCaptureReader::Reset() {
    if (fFile)
        std::fclose(fFile);
    fFile = nullptr;
    fMemory = nullptr;
    fSize = 0;
    fCapture = false;
    fUsable = false;
    fHeader = TCaptureHeader();
    fFirstRecord = 0;
    fPosition = 0;
    fLastMicros = 0;
    fChunksRead = 0;
    fStopped = false;
    fIndexed = false;
    fEntries.clear();
    fStatus = TCaptureStatus();
}

bool TCaptureReader::Open(const std::string &path, std::string *error) {
    Reset();
    errno = 0;
    fFile = std::fopen(path.c_str(), "rb");
    if (!fFile) {
        if (error)
            *error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (fseeko(fFile, 0, SEEK_END) != 0) {
        if (error)
            *error =
                "cannot read " + path + ": " + std::strerror(errno) + " (a capture must be a seekable file)";
        Reset();
        return false;
    }
    const off_t end = ftello(fFile);
    if (end < 0) {
        if (error)
            *error = "cannot read " + path + ": " + std::strerror(errno);
        Reset();
        return false;
    }
    fSize = static_cast<uint64_t>(end);
    ReadHeader();
    return true;
}

void TCaptureReader::OpenMemory(const uint8_t *data, size_t size) {
    Reset();
    fMemory = data;
    fSize = data ? size : 0;
    ReadHeader();
}

bool TCaptureReader::ReadAt(uint64_t offset, uint8_t *dst, size_t n) {
    if (offset > fSize || n > fSize - offset)
        return false;
    if (n == 0)
        return true;
    if (fMemory) {
        std::memcpy(dst, fMemory + offset, n);
        return true;
    }
    if (!fFile || fseeko(fFile, static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    return std::fread(dst, 1, n, fFile) == n;
}

void TCaptureReader::ReadHeader() {
    uint8_t magic[sizeof Magic];
    if (fSize < sizeof Magic || !ReadAt(0, magic, sizeof magic) ||
        std::memcmp(magic, Magic, sizeof Magic) != 0) {
        // Not a capture: a raw stream, handed over in blocks.
        fCapture = false;
        fUsable = true;
        fFirstRecord = fPosition = 0;
        return;
    }
    fCapture = true;
    TCaptureStatus trouble;
    trouble.offset = 0;
    uint8_t fixed[12];
    if (!ReadAt(0, fixed, sizeof fixed)) {
        trouble.condition =
            fSize < sizeof fixed ? TCaptureCondition::Truncated : TCaptureCondition::ReadError;
        trouble.detail =
            "header of " + std::to_string(HeaderBytes) + " bytes, " + std::to_string(fSize) + " present";
        fStatus = trouble;
        return;
    }
    const uint16_t version = static_cast<uint16_t>(GetLE(fixed + 8, 2));
    const uint16_t headerSize = static_cast<uint16_t>(GetLE(fixed + 10, 2));
    if (version != Version) {
        trouble.condition = TCaptureCondition::Unsupported;
        trouble.detail = "capture version " + std::to_string(version) +
                         " is not supported (this reader knows " + std::to_string(Version) + ")";
        fStatus = trouble;
        return;
    }
    if (headerSize < HeaderBytes || headerSize > HeaderBytesMax) {
        trouble.condition = TCaptureCondition::Damaged;
        trouble.detail = "header size " + std::to_string(headerSize) + " is impossible";
        fStatus = trouble;
        return;
    }
    if (fSize < headerSize) {
        trouble.condition = TCaptureCondition::Truncated;
        trouble.detail =
            "header of " + std::to_string(headerSize) + " bytes, " + std::to_string(fSize) + " present";
        fStatus = trouble;
        return;
    }
    std::vector<uint8_t> head(headerSize);
    if (!ReadAt(0, head.data(), head.size())) {
        trouble.condition = TCaptureCondition::ReadError;
        trouble.detail = "cannot read the header";
        fStatus = trouble;
        return;
    }
    if (Crc32(head.data(), headerSize - 4) != GetLE(head.data() + headerSize - 4, 4)) {
        trouble.condition = TCaptureCondition::Damaged;
        trouble.detail = "header check does not match";
        fStatus = trouble;
        return;
    }
    fHeader.version = version;
    fHeader.startUnixMicros = static_cast<int64_t>(GetLE(head.data() + 12, 8));
    fHeader.utcOffsetSeconds = static_cast<int32_t>(static_cast<uint32_t>(GetLE(head.data() + 20, 4)));
    fUsable = true;
    fFirstRecord = fPosition = headerSize;
}

bool TCaptureReader::ReadRecord(uint64_t offset, uint64_t lastMicros, TCaptureChunk *chunk,
                                TCaptureIndexEntry &entry, uint64_t &next, TCaptureStatus &trouble,
                                bool &end) {
    end = false;
    trouble.offset = offset;
    if (offset >= fSize) {
        end = true;
        return false;
    }
    const uint64_t left = fSize - offset;
    if (!fCapture) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, RawBlockBytes));
        entry = {offset, 0, static_cast<uint32_t>(n)};
        if (chunk) {
            chunk->micros = 0;
            chunk->bytes.resize(n);
            if (!ReadAt(offset, chunk->bytes.data(), n)) {
                trouble.condition = TCaptureCondition::ReadError;
                trouble.detail = "cannot read " + std::to_string(n) + " bytes";
                return false;
            }
        }
        next = offset + n;
        return true;
    }
    if (left < RecordHeadBytes) {
        trouble.condition = TCaptureCondition::Truncated;
        trouble.detail = "record head of " + std::to_string(RecordHeadBytes) + " bytes, " +
                         std::to_string(left) + " present";
        return false;
    }
    uint8_t head[RecordHeadBytes];
    if (!ReadAt(offset, head, sizeof head)) {
        trouble.condition = TCaptureCondition::ReadError;
        trouble.detail = "cannot read the record head";
        return false;
    }
    const uint64_t micros = GetLE(head, 8);
    const uint32_t length = static_cast<uint32_t>(GetLE(head + 8, 4));
    if (length > ChunkBytesMax) {
        trouble.condition = TCaptureCondition::Damaged;
        trouble.detail = "record length " + std::to_string(length) + " is beyond the largest chunk of " +
                         std::to_string(ChunkBytesMax) + " bytes";
        return false;
    }
    const uint64_t need = RecordHeadBytes + uint64_t(length) + RecordTailBytes;
    if (left < need) {
        trouble.condition = TCaptureCondition::Truncated;
        trouble.detail = "record of " + std::to_string(length) + " bytes, " +
                         std::to_string(left - RecordHeadBytes) + " of " +
                         std::to_string(length + RecordTailBytes) + " bytes with its check present";
        return false;
    }
    fScratch.resize(static_cast<size_t>(need));
    if (!ReadAt(offset, fScratch.data(), fScratch.size())) {
        trouble.condition = TCaptureCondition::ReadError;
        trouble.detail = "cannot read a record of " + std::to_string(length) + " bytes";
        return false;
    }
    const size_t checked = static_cast<size_t>(need - RecordTailBytes);
    if (Crc32(fScratch.data(), checked) != GetLE(fScratch.data() + checked, 4)) {
        trouble.condition = TCaptureCondition::Damaged;
        trouble.detail = "record check does not match";
        return false;
    }
    if (micros < lastMicros) {
        trouble.condition = TCaptureCondition::Damaged;
        trouble.detail = "time goes back from " + std::to_string(lastMicros) + " to " +
                         std::to_string(micros) + " microseconds";
        return false;
    }
    entry = {offset, micros, length};
    if (chunk) {
        chunk->micros = micros;
        chunk->bytes.assign(fScratch.begin() + RecordHeadBytes, fScratch.begin() + RecordHeadBytes + length);
    }
    next = offset + need;
    return true;
}

bool TCaptureReader::Next(TCaptureChunk &chunk) {
    if (!fUsable || fStopped)
        return false;
    TCaptureIndexEntry entry;
    TCaptureStatus trouble;
    uint64_t next = 0;
    bool end = false;
    if (!ReadRecord(fPosition, fLastMicros, &chunk, entry, next, trouble, end)) {
        fStopped = true;
        if (end) {
            trouble = TCaptureStatus();  // a clean end
            trouble.offset = fPosition;
        }
        trouble.chunksRead = fChunksRead;
        fStatus = trouble;
        return false;
    }
    fPosition = next;
    fLastMicros = entry.micros;
    ++fChunksRead;
    return true;
}

bool TCaptureReader::Index() {
    fEntries.clear();
    fIndexed = false;
    if (!fUsable)
        return fStatus.condition != TCaptureCondition::ReadError;
    uint64_t offset = fFirstRecord;
    uint64_t last = 0;
    TCaptureStatus trouble;
    for (;;) {
        TCaptureIndexEntry entry;
        uint64_t next = 0;
        bool end = false;
        trouble = TCaptureStatus();
        if (!ReadRecord(offset, last, nullptr, entry, next, trouble, end)) {
            if (end) {
                trouble = TCaptureStatus();
                trouble.offset = offset;
            }
            break;
        }
        fEntries.push_back(entry);
        last = entry.micros;
        offset = next;
    }
    trouble.chunksRead = fEntries.size();
    fStatus = trouble;
    fIndexed = true;
    return trouble.condition != TCaptureCondition::ReadError;
}

bool TCaptureReader::ReadChunk(size_t i, TCaptureChunk &chunk) {
    if (!fIndexed || i >= fEntries.size())
        return false;
    const TCaptureIndexEntry &e = fEntries[i];
    TCaptureIndexEntry entry;
    TCaptureStatus trouble;
    uint64_t next = 0;
    bool end = false;
    // The index has checked every record; reading again checks it once more, in case
    // the file has changed since.
    return ReadRecord(e.offset, i > 0 ? fEntries[i - 1].micros : 0, &chunk, entry, next, trouble, end);
}

bool TCaptureReader::Seek(size_t i) {
    if (!fIndexed || i > fEntries.size())
        return false;
    if (i < fEntries.size()) {
        fPosition = fEntries[i].offset;
    } else {
        // After the last whole chunk: Next meets the end (or the damage) again.
        fPosition = fEntries.empty()
                        ? fFirstRecord
                        : fEntries.back().offset + (fCapture ? RecordHeadBytes + RecordTailBytes : 0) +
                              fEntries.back().length;
    }
    fLastMicros = i > 0 ? fEntries[i - 1].micros : 0;
    fChunksRead = i;
    fStopped = false;
    return true;
}

size_t TCaptureReader::ChunkAtTime(uint64_t micros) const {
    const auto it = std::lower_bound(fEntries.begin(), fEntries.end(), micros,
                                     [](const TCaptureIndexEntry &e, uint64_t t) { return e.micros < t; });
    return static_cast<size_t>(it - fEntries.begin());
}
