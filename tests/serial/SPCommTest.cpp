#include "serial/SPComm.h"

#include "serial/PortDevice.h"
#include "serial/PortLine.h"
#include "serial/PortThread.h"
#include "serial/PtyPair.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <stdlib.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

using TChunk = std::vector<uint8_t>;

// A TComm on the slave side of a pseudo-terminal that records every chunk.
class TCommOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.IsValid());
        // The settings the window's connect button uses: a plain 8N1 byte stream
        // (with XON/XOFF flow control on, bytes 0x11 and 0x13 never arrive).
        comm.SetCommName(QString::fromStdString(pty.SlavePath()));
        comm.SetParityCheck(true);
        comm.SetInx_XonXoffFlow(false);
        comm.SetOutx_XonXoffFlow(false);
        comm.SetOnReceiveData([this](TComm *sender, const uint8_t *buffer, uint16_t length) {
            EXPECT_EQ(sender, &comm);
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            // The bytes are followed by a terminating 0.
            EXPECT_EQ(buffer[length], 0);
            chunks.emplace_back(buffer, buffer + length);
        });
    }
    void TearDown() override { comm.StopComm(); }

    void Open(uint32_t interval) {
        comm.SetReadIntervalTimeout(interval);
        ASSERT_EQ(comm.StartComm(), QString());
        ASSERT_TRUE(comm.IsOpen());
    }
    size_t ReceivedBytes() const {
        size_t n = 0;
        for (const TChunk &c : chunks)
            n += c.size();
        return n;
    }
    TChunk Joined() const {
        TChunk all;
        for (const TChunk &c : chunks)
            all.insert(all.end(), c.begin(), c.end());
        return all;
    }

    TPtyPair pty;
    TComm comm;
    std::vector<TChunk> chunks;
};

}  // namespace

TEST(TCommTest, PropertiesStartWithTheComponentDefaults) {
    TComm comm;
    EXPECT_EQ(comm.GetCommName(), "COM2");
    EXPECT_EQ(comm.GetBaudRate(), 9600u);
    EXPECT_FALSE(comm.GetParityCheck());
    EXPECT_FALSE(comm.GetOutx_CtsFlow());
    EXPECT_FALSE(comm.GetOutx_DsrFlow());
    EXPECT_EQ(comm.GetDtrControl(), TDtrControl::DtrEnable);
    EXPECT_FALSE(comm.GetDsrSensitivity());
    EXPECT_TRUE(comm.GetTxContinueOnXoff());
    EXPECT_TRUE(comm.GetOutx_XonXoffFlow());
    EXPECT_TRUE(comm.GetInx_XonXoffFlow());
    EXPECT_FALSE(comm.GetReplaceWhenParityError());
    EXPECT_FALSE(comm.GetIgnoreNullChar());
    EXPECT_EQ(comm.GetRtsControl(), TRtsControl::RtsEnable);
    EXPECT_EQ(comm.GetXonLimit(), 500);
    EXPECT_EQ(comm.GetXoffLimit(), 500);
    EXPECT_EQ(comm.GetByteSize(), TByteSize::_8);
    EXPECT_EQ(comm.GetParity(), TParity::None);
    EXPECT_EQ(comm.GetStopBits(), TStopBits::_1);
    EXPECT_EQ(comm.GetXonChar(), 0x11);
    EXPECT_EQ(comm.GetXoffChar(), 0x13);
    EXPECT_EQ(comm.GetReplacedChar(), 0);
    EXPECT_EQ(comm.GetReadIntervalTimeout(), 100u);
    EXPECT_EQ(comm.GetReadTotalTimeoutMultiplier(), 0u);
    EXPECT_EQ(comm.GetReadTotalTimeoutConstant(), 0u);
    EXPECT_EQ(comm.GetWriteTotalTimeoutMultiplier(), 0u);
    EXPECT_EQ(comm.GetWriteTotalTimeoutConstant(), 0u);
    EXPECT_TRUE(comm.GetSendDataEmpty());
    EXPECT_FALSE(comm.IsOpen());
}

TEST(TCommTest, FailedOpensLeaveThePortClosed) {
    TComm comm;
    comm.SetCommName("/dev/korvale-no-such-port");
    EXPECT_EQ(comm.StartComm(), "打开串口失败！");
    EXPECT_FALSE(comm.IsOpen());
    // The window tells a missing port from one the user may not open.
    EXPECT_EQ(comm.LastOpenErrno(), ENOENT);
    EXPECT_EQ(ClassifyOpenError(comm.LastOpenErrno()), TOpenFailure::NoSuchDevice);

    comm.SetCommName("");
    EXPECT_EQ(comm.StartComm(), "打开串口失败！");
    EXPECT_EQ(ClassifyOpenError(comm.LastOpenErrno()), TOpenFailure::NoSuchDevice);

    // A character device that is no terminal, and a plain file.
    comm.SetCommName("/dev/null");
    EXPECT_EQ(comm.StartComm(), "文件句柄不是通讯句柄!");
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(ClassifyOpenError(comm.LastOpenErrno()), TOpenFailure::NotSerial);

    char file[] = "/tmp/korvale-serial-XXXXXX";
    const int fd = mkstemp(file);
    ASSERT_GE(fd, 0);
    close(fd);
    comm.SetCommName(file);
    EXPECT_EQ(comm.StartComm(), "文件句柄不是通讯句柄!");
    unlink(file);
    EXPECT_FALSE(comm.IsOpen());

    // Closed: stopping does nothing, writing sends nothing.
    comm.StopComm();
    const uint8_t byte = 'x';
    EXPECT_FALSE(comm.WriteCommData(&byte, 1));
}

TEST_F(TCommOnPty, OpenIsExclusiveAndASecondStartLeavesThePortAsItWas) {
    Open(100);
    EXPECT_EQ(comm.StartComm(), "串口已打开！");
    EXPECT_TRUE(comm.IsOpen());

    TComm other;
    other.SetCommName(QString::fromStdString(pty.SlavePath()));
    EXPECT_EQ(other.StartComm(), "打开串口失败！");
    EXPECT_FALSE(other.IsOpen());
    EXPECT_EQ(ClassifyOpenError(other.LastOpenErrno()), TOpenFailure::InUse) << other.LastOpenErrno();

    // The first component still receives.
    pty.Write("MLX");
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 3; }, 10s));

    // Once closed, the port is free again.
    comm.StopComm();
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(other.StartComm(), QString());
    EXPECT_EQ(other.LastOpenErrno(), 0);
    other.StopComm();
}

TEST_F(TCommOnPty, BurstsAreGroupedUpToTheBufferSize) {
    // A long interval keeps a slow machine from splitting a burst.
    Open(300);
    const TChunk burst1748 = Pattern(1748);
    pty.Write(burst1748);
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() >= 1748; }, 10s));
    PumpFor(400ms);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0], burst1748);

    chunks.clear();
    const TChunk burst5000 = Pattern(5000, 7);
    pty.Write(burst5000);
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() >= 5000; }, 10s));
    PumpFor(400ms);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].size(), 4096u);
    EXPECT_EQ(chunks[1].size(), 904u);
    EXPECT_EQ(Joined(), burst5000);
}

TEST_F(TCommOnPty, AFrameArrivingInSmallPiecesIsOneChunk) {
    // As a USB bridge delivers a frame: 64-byte pieces half a millisecond apart. The
    // reading thread lets pieces gather between reads; that must neither split the
    // burst nor hold it back.
    Open(100);  // a pause of the writing thread on a busy machine must not split it
    const TChunk frame = Pattern(1748, 3);
    std::thread writer([&] {
        for (size_t at = 0; at < frame.size(); at += 64) {
            pty.Write(
                TChunk(frame.begin() + long(at), frame.begin() + long(std::min(at + 64, frame.size()))));
            std::this_thread::sleep_for(500us);
        }
    });
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() >= frame.size(); }, 10s));
    writer.join();
    PumpFor(200ms);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0], frame);
}

TEST_F(TCommOnPty, BurstsSeparatedBySilenceArriveAsSeparateChunksInOrder) {
    Open(50);
    std::vector<TChunk> sent;
    for (int i = 0; i < 5; ++i) {
        sent.push_back(Pattern(100 + i * 37, uint8_t(i * 11)));
        pty.Write(sent.back());
        PumpUntil([&] { return chunks.size() == sent.size(); }, 10s);
        PumpFor(150ms);
    }
    EXPECT_EQ(chunks, sent);
}

TEST_F(TCommOnPty, ChunksStayInOrderWhenAHandlerRunsANestedEventLoop) {
    std::vector<int> order;
    int depth = 0, deepest = 0;
    comm.SetOnReceiveData([&](TComm *, const uint8_t *buffer, uint16_t) {
        order.push_back(buffer[0]);
        deepest = std::max(deepest, ++depth);
        if (order.size() == 1)
            PumpFor(800ms);  // more chunks arrive and are delivered meanwhile
        --depth;
    });
    Open(30);
    std::thread module([&] {
        for (uint8_t i = 1; i <= 6; ++i) {
            pty.Write(TChunk(10, i));
            std::this_thread::sleep_for(120ms);
        }
    });
    const bool all = PumpUntil([&] { return order.size() == 6; }, 15s);
    module.join();
    ASSERT_TRUE(all);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_GE(deepest, 2);  // delivery really happened inside the first handler
}

TEST_F(TCommOnPty, ReadIntervalTimeoutChangesApplyWhileOpen) {
    Open(50);
    pty.Write("AB");
    PumpFor(400ms);
    pty.Write("CD");
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 4; }, 10s));
    PumpFor(200ms);
    EXPECT_EQ(chunks.size(), 2u);

    // A longer interval joins what a short one split.
    chunks.clear();
    comm.SetReadIntervalTimeout(1500);
    pty.Write("AB");
    PumpFor(400ms);
    pty.Write("CD");
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 4; }, 10s));
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0], (TChunk{'A', 'B', 'C', 'D'}));

    // Shortening it also ends a silence wait that has already begun.
    chunks.clear();
    comm.SetReadIntervalTimeout(20000);
    pty.Write("EF");
    PumpFor(200ms);
    QElapsedTimer clock;
    clock.start();
    comm.SetReadIntervalTimeout(10);
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 2; }, 10s));
    EXPECT_LT(clock.elapsed(), 8000);
}

TEST_F(TCommOnPty, TotalTimeoutEndsReadsAndAnIdleLineDoesNotStopReception) {
    // The silence alone would hold a chunk for 20 s; the total time-out ends the
    // read instead. Reads that end empty on an idle line just start again.
    comm.SetReadTotalTimeoutConstant(300);
    Open(20000);
    PumpFor(800ms);
    QElapsedTimer clock;
    clock.start();
    pty.Write("ab");
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 2; }, 10s));
    EXPECT_LT(clock.elapsed(), 8000);
    pty.Write("cd");
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 4; }, 10s));
    EXPECT_EQ(Joined(), (TChunk{'a', 'b', 'c', 'd'}));
}

TEST_F(TCommOnPty, NullBytesAreDroppedWhenIgnoreNullCharIsSet) {
    comm.SetIgnoreNullChar(true);
    Open(100);
    pty.Write(TChunk{0, 'a', 0, 0, 'b', 0});
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 2; }, 10s));
    PumpFor(300ms);
    EXPECT_EQ(Joined(), (TChunk{'a', 'b'}));

    // A chunk of nothing but null bytes is not delivered at all.
    chunks.clear();
    pty.Write(TChunk(5, 0));
    PumpFor(500ms);
    EXPECT_TRUE(chunks.empty());

    comm.SetIgnoreNullChar(false);
    pty.Write(TChunk{'c', 0});
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 2; }, 10s));
    EXPECT_EQ(Joined(), (TChunk{'c', 0}));
}

TEST_F(TCommOnPty, WrittenBytesArriveAndEmptyWritesAreRefused) {
    int emptyNotices = 0;
    comm.SetOnSendDataEmpty([&](TComm *) { ++emptyNotices; });
    Open(100);
    const std::string command = "$SETP=17,3\r\n";
    EXPECT_FALSE(comm.WriteCommData(command.data(), 0));
    EXPECT_FALSE(comm.WriteCommData(nullptr, 5));
    ASSERT_TRUE(comm.WriteCommData(command.data(), uint16_t(command.size())));
    const TChunk got = pty.Read(command.size(), 10s);
    EXPECT_EQ(std::string(got.begin(), got.end()), command);
    ASSERT_TRUE(PumpUntil([&] { return comm.GetSendDataEmpty() && emptyNotices >= 1; }, 10s));
    const int noticesBefore = emptyNotices;

    // A block larger than the port's buffer is written whole and in order, also
    // after the caller's copy is gone.
    {
        TChunk big = Pattern(60000, 3);
        ASSERT_TRUE(comm.WriteCommData(big.data(), uint16_t(big.size())));
        ASSERT_TRUE(comm.WriteCommData(command.data(), uint16_t(command.size())));
    }
    TChunk expected = Pattern(60000, 3);
    expected.insert(expected.end(), command.begin(), command.end());
    EXPECT_EQ(pty.Read(expected.size(), 20s), expected);
    // Each run of writes ends with one more notice.
    EXPECT_TRUE(PumpUntil([&] { return comm.GetSendDataEmpty() && emptyNotices > noticesBefore; }, 10s));
}

TEST_F(TCommOnPty, LosingTheOtherEndRequestsAHangup) {
    int hangups = 0;
    comm.SetOnRequestHangup([&](TComm *sender) {
        EXPECT_EQ(sender, &comm);
        ++hangups;
    });
    Open(100);
    pty.Write("xyz");
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 3; }, 10s));
    pty.CloseMaster();
    ASSERT_TRUE(PumpUntil([&] { return hangups > 0; }, 10s));
    // The component stays open in its own view until it is stopped, but writes
    // soon report that nothing sends them any more.
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_TRUE(PumpUntil([&] { return !comm.WriteCommData("x", 1); }, 10s));
    comm.StopComm();
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(TCommOnPty, StopCommInsideAHandlerEndsDeliveryAndAllowsReopening) {
    comm.SetOnReceiveData([&](TComm *sender, const uint8_t *buffer, uint16_t length) {
        chunks.emplace_back(buffer, buffer + length);
        sender->StopComm();
    });
    Open(20);
    pty.Write("first");
    ASSERT_TRUE(PumpUntil([&] { return !chunks.empty(); }, 10s));
    EXPECT_FALSE(comm.IsOpen());
    pty.Write("second");
    PumpFor(300ms);
    EXPECT_EQ(chunks.size(), 1u);

    comm.SetOnReceiveData([&](TComm *, const uint8_t *buffer, uint16_t length) {
        chunks.emplace_back(buffer, buffer + length);
    });
    chunks.clear();
    ASSERT_EQ(comm.StartComm(), QString());  // opening purges what waited meanwhile
    pty.Write("third");
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 5; }, 10s));
    EXPECT_EQ(Joined(), (TChunk{'t', 'h', 'i', 'r', 'd'}));
}

TEST_F(TCommOnPty, AnyIntegerSpeedIsSetAtOpenAndWhileOpen) {
    comm.SetBaudRate(1382400);
    comm.SetDtrControl(TDtrControl::DtrDisable);
    comm.SetRtsControl(TRtsControl::RtsDisable);
    Open(5);
    uint32_t speed = 0;
    ASSERT_TRUE(QueryPortSpeed(comm.GetHandle(), speed));
    EXPECT_EQ(speed, 1382400u);

    comm.SetBaudRate(614400);
    ASSERT_TRUE(QueryPortSpeed(comm.GetHandle(), speed));
    EXPECT_EQ(speed, 614400u);

    // Still a raw 8-bit line afterwards.
    const TChunk all = Pattern(251);
    pty.Write(all);
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == all.size(); }, 10s));
    EXPECT_EQ(Joined(), all);
}

TEST_F(TCommOnPty, DestroyingAnOpenComponentReleasesThePort) {
    {
        TComm doomed;
        doomed.SetCommName(QString::fromStdString(pty.SlavePath()));
        doomed.SetOnReceiveData(
            [](TComm *, const uint8_t *, uint16_t) { FAIL() << "delivered after destruction"; });
        ASSERT_EQ(doomed.StartComm(), QString());
        pty.Write("late");
        std::this_thread::sleep_for(300ms);  // the chunk is posted but not handled
    }
    PumpFor(200ms);
    Open(100);
    EXPECT_TRUE(comm.IsOpen());
}

TEST_F(TCommOnPty, APortTheUserMayNotOpenIsToldApartFromAMissingOne) {
    // Nobody but root may open the device file now.
    ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0), 0);
    // Root passes file permissions; with a filesystem user id other than 0 the
    // calling thread loses that privilege, and the kernel refuses the open itself.
    struct TActAsNobody {
        bool Active = false;
        TActAsNobody() {
            if (geteuid() != 0)
                return;
            setfsuid(65534);
            Active = setfsuid(uid_t(-1)) == 65534;
        }
        ~TActAsNobody() {
            if (Active)
                setfsuid(0);
        }
    } nobody;
    if (geteuid() == 0 && !nobody.Active)
        GTEST_SKIP() << "running as root without the right to change the filesystem user id";

    comm.SetCommName(QString::fromStdString(pty.SlavePath()));
    EXPECT_EQ(comm.StartComm(), "打开串口失败！");
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(comm.LastOpenErrno(), EACCES);
    EXPECT_EQ(ClassifyOpenError(comm.LastOpenErrno()), TOpenFailure::NoPermission);
    EXPECT_EQ(ClassifyOpenError(EPERM), TOpenFailure::NoPermission);
}

namespace {

// The nice value of this process's thread of the given name, from /proc.
std::optional<int> ThreadNice(const std::string &name) {
    std::error_code error;
    for (const auto &task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream commFile(task.path() / "comm");
        std::string comm;
        std::getline(commFile, comm);
        if (comm != name)
            continue;
        std::ifstream statFile(task.path() / "stat");
        const std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
        // Fields after the parenthesised name start at field 3; the nice value is 19.
        std::istringstream fields(stat.substr(stat.rfind(')') + 1));
        std::string field;
        for (int i = 3; i <= 19; ++i)
            fields >> field;
        return std::stoi(field);
    }
    return std::nullopt;
}

}  // namespace

TEST_F(TCommOnPty, ReadingThreadRunsTwoNiceLevelsAboveTheOpenerAndWritingOne) {
    errno = 0;
    const int opener = getpriority(PRIO_PROCESS, gettid());
    ASSERT_EQ(errno, 0);
    // Whether this process may raise a thread's priority at all: try it on a thread
    // of its own.
    bool allowed = false;
    std::thread([&] {
        allowed = opener > -20 && setpriority(PRIO_PROCESS, gettid(), opener - 1) == 0;
    }).join();

    Open(100);
    std::optional<int> readNice, writeNice;
    PumpUntil(
        [&] {
            readNice = ThreadNice("korvale-read");
            writeNice = ThreadNice("korvale-write");
            return readNice && writeNice && (!allowed || (*readNice < opener && *writeNice < opener));
        },
        10s);
    ASSERT_TRUE(readNice.has_value());
    ASSERT_TRUE(writeNice.has_value());
    // The port works either way.
    pty.Write("ok");
    ASSERT_TRUE(PumpUntil([&] { return ReceivedBytes() == 2; }, 10s));

    if (!allowed) {
        EXPECT_EQ(*readNice, opener);
        EXPECT_EQ(*writeNice, opener);
        GTEST_SKIP() << "raising thread priorities is refused here (needs CAP_SYS_NICE or RLIMIT_NICE); "
                        "the threads kept the opener's nice value "
                     << opener;
    }
    EXPECT_EQ(*readNice, std::max(-20, opener - kReadThreadPriorityRaise));
    EXPECT_EQ(*writeNice, std::max(-20, opener - kWriteThreadPriorityRaise));
    EXPECT_LT(*readNice, *writeNice);
}

TEST_F(TCommOnPty, StoppingWaitsForEachThreadAtMostTheLimitAndAThreadHeldLongerEndsAlone) {
    // Both threads are held as they end, until the test lets them go; a watchdog lets
    // them go after 8 s in any case, so a stop without a limit fails instead of hanging.
    std::mutex gateMutex;
    std::condition_variable gate;
    bool open = false;
    std::atomic<int> held{0}, ended{0};
    auto letGo = [&] {
        {
            std::lock_guard<std::mutex> lock(gateMutex);
            open = true;
        }
        gate.notify_all();
    };
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(gateMutex);
        gate.wait_for(lock, 8s, [&] { return open; });
        lock.unlock();
        letGo();
    });

    const auto limit = 300ms;
    int delivered = 0;
    {
        TComm doomed;
        doomed.SetCommName(QString::fromStdString(pty.SlavePath()));
        doomed.SetInx_XonXoffFlow(false);
        doomed.SetOutx_XonXoffFlow(false);
        doomed.SetReadIntervalTimeout(20);
        doomed.SetStopWaitLimit(limit);
        doomed.SetThreadEndHook([&](TPortThreadRole) {
            ++held;
            {
                std::unique_lock<std::mutex> lock(gateMutex);
                gate.wait(lock, [&] { return open; });
            }
            ++ended;
        });
        doomed.SetOnReceiveData([&](TComm *, const uint8_t *, uint16_t length) { delivered += length; });
        ASSERT_EQ(doomed.StartComm(), QString());
        pty.Write("abc");
        ASSERT_TRUE(PumpUntil([&] { return delivered == 3; }, 10s));

        QElapsedTimer clock;
        clock.start();
        doomed.StopComm();
        const qint64 waited = clock.elapsed();
        EXPECT_FALSE(doomed.IsOpen());
        EXPECT_EQ(held.load(), 2);
        EXPECT_EQ(ended.load(), 0);
        // The limit holds for each thread in turn, and no longer.
        EXPECT_GE(waited, 2 * limit.count() - 20);
        EXPECT_LT(waited, 2 * limit.count() + 3000);

        // The held threads keep the device open and claimed.
        TComm other;
        other.SetCommName(QString::fromStdString(pty.SlavePath()));
        EXPECT_EQ(other.StartComm(), "打开串口失败！");
        EXPECT_EQ(ClassifyOpenError(other.LastOpenErrno()), TOpenFailure::InUse);
        pty.Write("late");
        PumpFor(100ms);
    }  // the component goes while its threads still run

    letGo();
    ASSERT_TRUE(PumpUntil([&] { return ended.load() == 2; }, 10s));
    // Having ended, the threads let go of the device: it opens again.
    ASSERT_TRUE(PumpUntil([&] { return comm.StartComm().isEmpty(); }, 10s));
    PumpFor(200ms);
    EXPECT_EQ(delivered, 3);  // nothing reached the component after it stopped
    watchdog.join();
}

TEST_F(TCommOnPty, AStalledWindowKeepsTheNewestChunksInOrderAndCountsTheDropped) {
    // A long interval: the chunks end at the buffer size, never at a silence.
    Open(3000);
    PumpUntil([&] { return comm.GetQueuedNotices() == 0 && comm.GetSendDataEmpty(); }, 2s);
    PumpFor(100ms);  // the writing thread's first idle notice is delivered
    ASSERT_EQ(comm.GetQueuedNotices(), 0u);

    // Chunk k carries its number in its first two bytes.
    auto chunk = [](size_t k) {
        TChunk c = Pattern(INPUTBUFFERSIZE, uint8_t(k % 251));
        c[0] = uint8_t(k >> 8);
        c[1] = uint8_t(k);
        return c;
    };
    constexpr size_t kExtra = 40;
    const size_t total = TComm::NoticeQueueLimit + kExtra;
    std::thread module([&] {
        for (size_t k = 0; k < total; ++k)
            pty.Write(chunk(k));
    });
    // The window takes nothing meanwhile: no event loop runs.
    size_t mostQueued = 0;
    QElapsedTimer clock;
    clock.start();
    while (comm.GetDroppedNotices() < kExtra && clock.elapsed() < 60000) {
        mostQueued = std::max(mostQueued, comm.GetQueuedNotices());
        std::this_thread::sleep_for(2ms);
    }
    module.join();
    std::this_thread::sleep_for(100ms);
    EXPECT_LE(mostQueued, TComm::NoticeQueueLimit);
    EXPECT_EQ(comm.GetQueuedNotices(), TComm::NoticeQueueLimit);
    EXPECT_EQ(comm.GetDroppedNotices(), kExtra);

    ASSERT_TRUE(PumpUntil([&] { return chunks.size() >= TComm::NoticeQueueLimit; }, 20s));
    PumpFor(100ms);
    ASSERT_EQ(chunks.size(), TComm::NoticeQueueLimit);
    for (size_t i = 0; i < chunks.size(); ++i)
        ASSERT_EQ(chunks[i], chunk(kExtra + i)) << "chunk " << i;
    // The count outlives the port.
    comm.StopComm();
    EXPECT_EQ(comm.GetDroppedNotices(), kExtra);
}
