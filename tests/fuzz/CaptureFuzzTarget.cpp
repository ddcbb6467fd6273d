// Fuzz target of the capture-file reader: arbitrary bytes as a capture file (or raw
// stream), read from memory and from a file (a memfd read by its /proc path).
//
// Besides the sanitizers, the target checks what players rely on: chunks no longer
// than the largest chunk and in time order; reading stops where the status says,
// with as many chunks as it says; the file and memory readers agree; the index lists
// the same chunks, ReadChunk and Seek give them back, ChunkAtTime finds them; and
// what was read, written again with the writer's record layout, reads back the same.

#include "protocol/CaptureFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

int MemoryFile() {
    static const int fd = memfd_create("korvale-capture-fuzz", MFD_CLOEXEC);
    Check(fd >= 0);
    return fd;
}

bool SameStatus(const TCaptureStatus &a, const TCaptureStatus &b) {
    return a.condition == b.condition && a.chunksRead == b.chunksRead && a.offset == b.offset &&
           a.detail == b.detail;
}

std::vector<TCaptureChunk> ReadAll(TCaptureReader &reader) {
    std::vector<TCaptureChunk> chunks;
    TCaptureChunk chunk;
    while (reader.Next(chunk))
        chunks.push_back(chunk);
    return chunks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    TCaptureReader memory;
    memory.OpenMemory(data, size);
    const std::vector<TCaptureChunk> chunks = ReadAll(memory);
    const TCaptureStatus status = memory.Status();

    uint64_t last = 0;
    size_t total = 0;
    for (const TCaptureChunk &c : chunks) {
        Check(c.bytes.size() <= CaptureFormat::ChunkBytesMax);
        Check(c.micros >= last);
        last = c.micros;
        total += c.bytes.size();
    }
    if (!memory.IsCapture()) {
        Check(status.Sound() && total == size && status.chunksRead == chunks.size());
    } else {
        Check(status.offset <= size);
        Check(status.chunksRead == chunks.size());
        Check(status.Sound() == status.Text().empty());
        Check(!status.Sound() || status.offset == size);
        const size_t overhead =
            chunks.size() * (CaptureFormat::RecordHeadBytes + CaptureFormat::RecordTailBytes);
        Check(total + overhead <= size);
    }

    // The same from a file.
    const int fd = MemoryFile();
    Check(ftruncate(fd, 0) == 0);
    size_t written = 0;
    while (written < size) {
        const ssize_t n = pwrite(fd, data + written, size - written, off_t(written));
        Check(n > 0);
        written += size_t(n);
    }
    TCaptureReader file;
    Check(file.Open("/proc/self/fd/" + std::to_string(fd), nullptr));
    Check(file.IsCapture() == memory.IsCapture());
    const std::vector<TCaptureChunk> fromFile = ReadAll(file);
    Check(fromFile.size() == chunks.size());
    for (size_t i = 0; i < chunks.size(); ++i)
        Check(fromFile[i].micros == chunks[i].micros && fromFile[i].bytes == chunks[i].bytes);
    Check(SameStatus(file.Status(), status));

    // The index, random access and seeking.
    TCaptureReader indexed;
    indexed.OpenMemory(data, size);
    Check(indexed.Index());
    Check(indexed.Entries().size() == chunks.size());
    Check(SameStatus(indexed.Status(), status));
    TCaptureChunk chunk;
    for (size_t i = 0; i < chunks.size(); ++i) {
        Check(indexed.Entries()[i].micros == chunks[i].micros);
        Check(indexed.Entries()[i].length == chunks[i].bytes.size());
        Check(indexed.ReadChunk(i, chunk) && chunk.bytes == chunks[i].bytes);
        const size_t at = indexed.ChunkAtTime(chunks[i].micros);
        Check(at <= i && indexed.Entries()[at].micros == chunks[i].micros);
    }
    Check(!indexed.ReadChunk(chunks.size(), chunk));
    if (!chunks.empty()) {
        const size_t middle = chunks.size() / 2;
        Check(indexed.Seek(middle));
        for (size_t i = middle; i < chunks.size(); ++i)
            Check(indexed.Next(chunk) && chunk.bytes == chunks[i].bytes && chunk.micros == chunks[i].micros);
        Check(!indexed.Next(chunk));
        Check(SameStatus(indexed.Status(), status));
    }

    // Written again, the chunks read back the same and whole.
    if (memory.HeaderRead()) {
        std::vector<uint8_t> again;
        AppendCaptureHeader(again, memory.Header());
        for (const TCaptureChunk &c : chunks)
            AppendCaptureRecord(again, c.micros, c.bytes.data(), c.bytes.size());
        TCaptureReader reread;
        reread.OpenMemory(again.data(), again.size());
        const std::vector<TCaptureChunk> back = ReadAll(reread);
        Check(reread.Status().Sound());
        Check(reread.Header().startUnixMicros == memory.Header().startUnixMicros);
        Check(reread.Header().utcOffsetSeconds == memory.Header().utcOffsetSeconds);
        Check(back.size() == chunks.size());
        for (size_t i = 0; i < chunks.size(); ++i)
            Check(back[i].micros == chunks[i].micros && back[i].bytes == chunks[i].bytes);
        (void)FormatCaptureStart(memory.Header());
    }
    return 0;
}
