// Capture files: what the writer appends reads back with its times, from a file and
// from memory; cut and damaged files are read up to the trouble and say where it
// is; raw streams are told apart by the magic; the index gives random access.

#include "protocol/CaptureFile.h"

#include "protocol/FrameBuild.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using TBytesList = std::vector<std::vector<uint8_t>>;

std::vector<uint8_t> Bytes(const std::string &text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

TCaptureHeader SomeHeader() {
    TCaptureHeader h;
    h.startUnixMicros = 1796852700123456;  // 2026-12-09 21:45:00.123456 UTC
    h.utcOffsetSeconds = 3600;
    return h;
}

// A capture in memory: the header and one record per chunk at 1000 * k + 7 us.
std::vector<uint8_t> MakeCapture(const TBytesList &chunks) {
    std::vector<uint8_t> out;
    AppendCaptureHeader(out, SomeHeader());
    for (size_t k = 0; k < chunks.size(); ++k)
        AppendCaptureRecord(out, 1000 * k + 7, chunks[k].data(), chunks[k].size());
    return out;
}

std::vector<uint8_t> ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct CaptureFile : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() / ("korvale_capture_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
};

const TBytesList kChunks = {Bytes(std::string("MLX\0SYS", 7)), Bytes("first chunk"), Bytes("x"),
                            Bytes(std::string(3000, 'z'))};

}  // namespace

TEST(Crc32, KnownValues) {
    const std::string text = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t *>(text.data()), text.size()), 0xCBF43926u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
    // In two steps as in one.
    const auto *p = reinterpret_cast<const uint8_t *>(text.data());
    EXPECT_EQ(Crc32(p + 4, 5, Crc32(p, 4)), 0xCBF43926u);
}

TEST_F(CaptureFile, WrittenChunksReadBackWithTimesFromFileAndMemory) {
    const fs::path path = dir / "a.kvc";
    TCaptureWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Open(path.string(), SomeHeader(), &error)) << error;
    for (size_t k = 0; k < kChunks.size(); ++k)
        ASSERT_TRUE(writer.Append(1000 * k + 7, kChunks[k].data(), kChunks[k].size(), &error)) << error;
    EXPECT_TRUE(writer.Append(99999, nullptr, 0, &error));  // an empty chunk is no record
    EXPECT_EQ(writer.ChunksWritten(), kChunks.size());
    ASSERT_TRUE(writer.Close(&error)) << error;

    const std::vector<uint8_t> file = ReadFile(path);
    EXPECT_EQ(file, MakeCapture(kChunks));
    EXPECT_EQ(file.size(), writer.BytesWritten());

    TCaptureReader fromFile, fromMemory;
    ASSERT_TRUE(fromFile.Open(path.string(), &error)) << error;
    fromMemory.OpenMemory(file.data(), file.size());
    for (TCaptureReader *reader : {&fromFile, &fromMemory}) {
        ASSERT_TRUE(reader->IsCapture());
        EXPECT_EQ(reader->Header().startUnixMicros, SomeHeader().startUnixMicros);
        EXPECT_EQ(reader->Header().utcOffsetSeconds, 3600);
        TCaptureChunk chunk;
        for (size_t k = 0; k < kChunks.size(); ++k) {
            ASSERT_TRUE(reader->Next(chunk)) << k;
            EXPECT_EQ(chunk.micros, 1000 * k + 7);
            EXPECT_EQ(chunk.bytes, kChunks[k]);
        }
        EXPECT_FALSE(reader->Next(chunk));
        EXPECT_TRUE(reader->Status().Sound()) << reader->Status().Text();
        EXPECT_EQ(reader->Status().Text(), "");
    }
    EXPECT_EQ(FormatCaptureStart(fromFile.Header()), "2026-12-09 22:45:00.123456 +01:00");
    TCaptureHeader utc = SomeHeader();
    utc.utcOffsetSeconds = 0;
    EXPECT_EQ(FormatCaptureStart(utc), "2026-12-09 21:45:00.123456 UTC");
}

TEST_F(CaptureFile, EveryRecordIsOnDiskAsSoonAsItIsAppended) {
    // A recorder that dies leaves what it appended: read the file while the writer
    // is still open.
    const fs::path path = dir / "live.kvc";
    TCaptureWriter writer;
    ASSERT_TRUE(writer.Open(path.string(), SomeHeader(), nullptr));
    for (size_t k = 0; k < kChunks.size(); ++k) {
        ASSERT_TRUE(writer.Append(1000 * k + 7, kChunks[k].data(), kChunks[k].size(), nullptr));
        TCaptureReader reader;
        ASSERT_TRUE(reader.Open(path.string(), nullptr));
        ASSERT_TRUE(reader.Index());
        EXPECT_EQ(reader.Entries().size(), k + 1);
        EXPECT_TRUE(reader.Status().Sound()) << reader.Status().Text();
    }
}

TEST_F(CaptureFile, WriterSplitsLongChunksAndNeverWritesTimesThatGoBack) {
    const fs::path path = dir / "long.kvc";
    TCaptureWriter writer;
    ASSERT_TRUE(writer.Open(path.string(), SomeHeader(), nullptr));
    std::vector<uint8_t> big(CaptureFormat::ChunkBytesMax * 2 + 5);
    for (size_t k = 0; k < big.size(); ++k)
        big[k] = uint8_t(k * 7);
    ASSERT_TRUE(writer.Append(500, big.data(), big.size(), nullptr));
    ASSERT_TRUE(writer.Append(400, big.data(), 3, nullptr));  // earlier than the last: kept at 500
    ASSERT_TRUE(writer.Close(nullptr));

    TCaptureReader reader;
    ASSERT_TRUE(reader.Open(path.string(), nullptr));
    std::vector<uint8_t> joined;
    std::vector<uint64_t> times;
    TCaptureChunk chunk;
    while (reader.Next(chunk)) {
        EXPECT_LE(chunk.bytes.size(), CaptureFormat::ChunkBytesMax);
        joined.insert(joined.end(), chunk.bytes.begin(), chunk.bytes.end());
        times.push_back(chunk.micros);
    }
    EXPECT_TRUE(reader.Status().Sound()) << reader.Status().Text();
    EXPECT_EQ(times, (std::vector<uint64_t>{500, 500, 500, 500}));
    big.insert(big.end(), big.begin(), big.begin() + 3);
    EXPECT_EQ(joined, big);
}

TEST_F(CaptureFile, WriterReportsFilesItCannotCreateOrWrite) {
    TCaptureWriter writer;
    std::string error;
    EXPECT_FALSE(writer.Open((dir / "no" / "such" / "folder.kvc").string(), SomeHeader(), &error));
    EXPECT_NE(error.find("folder.kvc"), std::string::npos) << error;
    EXPECT_FALSE(writer.Append(0, kChunks[0].data(), kChunks[0].size(), &error));

    if (fs::exists("/dev/full")) {
        // The header fits the stream's buffer; the flush after it fails.
        EXPECT_FALSE(writer.Open("/dev/full", SomeHeader(), &error));
        EXPECT_NE(error.find("/dev/full"), std::string::npos) << error;
    }
}

TEST(CaptureReader, ACutFileReadsUpToItsLastWholeRecordAndSaysWhere) {
    const std::vector<uint8_t> whole = MakeCapture(kChunks);
    std::vector<size_t> recordEnds = {CaptureFormat::HeaderBytes};
    for (const auto &c : kChunks)
        recordEnds.push_back(recordEnds.back() + CaptureFormat::RecordHeadBytes + c.size() +
                             CaptureFormat::RecordTailBytes);
    ASSERT_EQ(recordEnds.back(), whole.size());

    // Every cut from the end of the magic on; shorter files are raw streams.
    for (size_t cut = sizeof CaptureFormat::Magic; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::vector<uint8_t> part(whole.begin(), whole.begin() + long(cut));
        TCaptureReader reader;
        reader.OpenMemory(part.data(), part.size());
        ASSERT_TRUE(reader.IsCapture());
        size_t got = 0;
        TCaptureChunk chunk;
        while (reader.Next(chunk)) {
            ASSERT_LT(got, kChunks.size());
            EXPECT_EQ(chunk.bytes, kChunks[got]);
            ++got;
        }
        // Whole records: those that end at or before the cut.
        size_t wholeRecords = 0;
        while (wholeRecords + 1 < recordEnds.size() && recordEnds[wholeRecords + 1] <= cut)
            ++wholeRecords;
        EXPECT_EQ(got, wholeRecords);
        const TCaptureStatus &status = reader.Status();
        if (cut == recordEnds[wholeRecords] && cut >= CaptureFormat::HeaderBytes) {
            EXPECT_TRUE(status.Sound()) << status.Text();  // a cut between records is a clean end
        } else {
            EXPECT_EQ(status.condition, TCaptureCondition::Truncated);
            EXPECT_EQ(status.chunksRead, wholeRecords);
            EXPECT_EQ(status.offset, cut < CaptureFormat::HeaderBytes ? 0 : recordEnds[wholeRecords]);
        }

        TCaptureReader indexed;
        indexed.OpenMemory(part.data(), part.size());
        ASSERT_TRUE(indexed.Index());
        EXPECT_EQ(indexed.Entries().size(), wholeRecords);
        EXPECT_EQ(indexed.Status().condition, status.condition);
        EXPECT_EQ(indexed.Status().offset, status.offset);
    }

    const std::vector<uint8_t> part(whole.begin(), whole.begin() + long(recordEnds[2] + 100));
    TCaptureReader reader;
    reader.OpenMemory(part.data(), part.size());
    ASSERT_TRUE(reader.Index());
    EXPECT_EQ(reader.Status().Text(), "truncated after 3 chunks at byte offset " +
                                          std::to_string(recordEnds[3]) +
                                          " (record of 3000 bytes, 71 of 3004 bytes with its check present)");
}

TEST(CaptureReader, DamageStopsReadingWithoutTrustingTheLength) {
    const std::vector<uint8_t> good = MakeCapture(kChunks);
    const size_t second = CaptureFormat::HeaderBytes + CaptureFormat::RecordHeadBytes + kChunks[0].size() +
                          CaptureFormat::RecordTailBytes;

    auto readAll = [](const std::vector<uint8_t> &bytes, size_t &count) {
        TCaptureReader reader;
        reader.OpenMemory(bytes.data(), bytes.size());
        TCaptureChunk chunk;
        count = 0;
        while (reader.Next(chunk))
            ++count;
        return reader.Status();
    };
    size_t count = 0;

    // A flipped bit in the second record's bytes.
    std::vector<uint8_t> flipped = good;
    flipped[second + CaptureFormat::RecordHeadBytes + 3] ^= 0x10;
    TCaptureStatus s = readAll(flipped, count);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(s.condition, TCaptureCondition::Damaged);
    EXPECT_EQ(s.offset, second);
    EXPECT_EQ(s.Text(), "damaged after 1 chunk at byte offset " + std::to_string(second) +
                            " (record check does not match)");

    // A length of 4 GiB - 1 in the second record: damage, not an allocation.
    std::vector<uint8_t> huge = good;
    for (int k = 0; k < 4; ++k)
        huge[second + 8 + k] = 0xFF;
    s = readAll(huge, count);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(s.condition, TCaptureCondition::Damaged);
    EXPECT_NE(s.detail.find("4294967295"), std::string::npos) << s.detail;

    // A length within bounds but beyond the file: cut, not read beyond the end.
    std::vector<uint8_t> beyond = good;
    beyond[second + 8] = 0x00;
    beyond[second + 9] = 0x00;
    beyond[second + 10] = 0x01;  // 65536 bytes
    beyond[second + 11] = 0x00;
    s = readAll(beyond, count);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(s.condition, TCaptureCondition::Truncated);

    // A record whose time goes back (check word recomputed, so only the time is wrong).
    std::vector<uint8_t> back;
    AppendCaptureHeader(back, SomeHeader());
    AppendCaptureRecord(back, 900, kChunks[0].data(), kChunks[0].size());
    AppendCaptureRecord(back, 800, kChunks[1].data(), kChunks[1].size());
    s = readAll(back, count);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(s.condition, TCaptureCondition::Damaged);
    EXPECT_NE(s.detail.find("time goes back"), std::string::npos) << s.detail;

    // The header: its check, an impossible size, a later version.
    std::vector<uint8_t> header = good;
    header[14] ^= 1;  // inside the start time
    s = readAll(header, count);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(s.condition, TCaptureCondition::Damaged);
    EXPECT_EQ(s.offset, 0u);
    std::vector<uint8_t> size = good;
    size[10] = 4;
    size[11] = 0;
    EXPECT_EQ(readAll(size, count).condition, TCaptureCondition::Damaged);
    std::vector<uint8_t> later = good;
    later[8] = 2;
    s = readAll(later, count);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(s.condition, TCaptureCondition::Unsupported);
    EXPECT_EQ(s.Text(), "capture version 2 is not supported (this reader knows 1)");
}

TEST(CaptureReader, RawStreamsAreToldApartByTheMagicAndHandedOverWhole) {
    std::vector<uint8_t> raw = BuildSysFrame(TSysBlock{});
    std::vector<uint8_t> eem = BuildEemFrame(std::vector<uint16_t>(832, 0x1234));
    for (int k = 0; k < 50; ++k)
        raw.insert(raw.end(), eem.begin(), eem.end());  // 83 721 bytes: two blocks
    for (const std::vector<uint8_t> &bytes :
         {raw, std::vector<uint8_t>{},
          std::vector<uint8_t>(CaptureFormat::Magic, CaptureFormat::Magic + 7)}) {
        TCaptureReader reader;
        reader.OpenMemory(bytes.data(), bytes.size());
        EXPECT_FALSE(reader.IsCapture());
        std::vector<uint8_t> joined;
        TCaptureChunk chunk;
        while (reader.Next(chunk)) {
            EXPECT_EQ(chunk.micros, 0u);
            joined.insert(joined.end(), chunk.bytes.begin(), chunk.bytes.end());
        }
        EXPECT_EQ(joined, bytes);
        EXPECT_TRUE(reader.Status().Sound());
    }
}

TEST(CaptureReader, IndexGivesChunksByNumberAndByTime) {
    const std::vector<uint8_t> bytes = MakeCapture(kChunks);
    TCaptureReader reader;
    reader.OpenMemory(bytes.data(), bytes.size());
    EXPECT_FALSE(reader.Seek(0));  // needs the index
    TCaptureChunk chunk;
    ASSERT_TRUE(reader.Next(chunk));
    ASSERT_TRUE(reader.Index());
    ASSERT_EQ(reader.Entries().size(), kChunks.size());
    EXPECT_EQ(reader.Entries()[2].micros, 2007u);
    EXPECT_EQ(reader.Entries()[3].length, 3000u);

    // Next goes on where it was, whatever Index read.
    ASSERT_TRUE(reader.Next(chunk));
    EXPECT_EQ(chunk.bytes, kChunks[1]);

    ASSERT_TRUE(reader.ReadChunk(3, chunk));
    EXPECT_EQ(chunk.bytes, kChunks[3]);
    EXPECT_EQ(chunk.micros, 3007u);
    EXPECT_FALSE(reader.ReadChunk(4, chunk));

    EXPECT_EQ(reader.ChunkAtTime(0), 0u);
    EXPECT_EQ(reader.ChunkAtTime(7), 0u);
    EXPECT_EQ(reader.ChunkAtTime(8), 1u);
    EXPECT_EQ(reader.ChunkAtTime(2007), 2u);
    EXPECT_EQ(reader.ChunkAtTime(99999), 4u);

    ASSERT_TRUE(reader.Seek(2));
    ASSERT_TRUE(reader.Next(chunk));
    EXPECT_EQ(chunk.bytes, kChunks[2]);
    ASSERT_TRUE(reader.Seek(4));
    EXPECT_FALSE(reader.Next(chunk));
    EXPECT_TRUE(reader.Status().Sound());
    EXPECT_FALSE(reader.Seek(5));
    ASSERT_TRUE(reader.Seek(0));
    ASSERT_TRUE(reader.Next(chunk));
    EXPECT_EQ(chunk.bytes, kChunks[0]);
}

TEST(FrameBuild, CalibrationAndParametersAsTheModuleSendsThem) {
    // The window holds the calibration as 833 words (the last 0) and the parameters
    // as 32 words; the frames it writes at the start of a recording must be those the
    // module sends.
    std::vector<uint16_t> calibration(833, 0);
    for (size_t k = 0; k < 832; ++k)
        calibration[k] = uint16_t(k * 977 + 13);
    const TBytes eem = BuildEemFrame(calibration);
    ASSERT_EQ(eem.size(), kEemFrameBytes);
    EXPECT_EQ(std::string(eem.begin(), eem.begin() + 3), "MLX");
    EXPECT_EQ(std::string(eem.begin() + 4, eem.begin() + 7), "EEM");
    EXPECT_EQ(eem[7], calibration[0] >> 8);
    EXPECT_EQ(eem[8], calibration[0] & 0xFF);
    EXPECT_EQ(eem[7 + 2 * 831 + 1], calibration[831] & 0xFF);
    const uint16_t check = uint16_t(eem[1671] << 8 | eem[1672]);
    EXPECT_EQ(check, ByteSum(eem.data() + 7, 1664));
    calibration.resize(832);
    EXPECT_EQ(BuildEemFrame(calibration), eem);

    std::vector<uint16_t> pars(32);
    for (size_t k = 0; k < 32; ++k)
        pars[k] = uint16_t(0x0101 * k);
    const TBytes sys = BuildSysFrame(pars);
    ASSERT_EQ(sys.size(), kSysFrameBytes);
    EXPECT_EQ(std::string(sys.begin() + 4, sys.begin() + 7), "SYS");
    EXPECT_EQ(sys[7 + 2 * 31], 31);
    TSysBlock block{};
    std::copy(pars.begin(), pars.end(), block.begin());
    EXPECT_EQ(sys, BuildSysFrame(block));
}
