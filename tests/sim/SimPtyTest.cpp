// The virtual module over its pseudo-terminal: the test opens the device like
// the host program does, writes commands and parses what comes back.
#include "sim/SimPty.h"

#include "sim/SimCommandLine.h"
#include "sim/SimStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace sim_test;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

class THost {
public:
    explicit THost(const std::string &path) {
        fFd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fFd >= 0) {
            termios tio{};
            tcgetattr(fFd, &tio);
            cfmakeraw(&tio);
            tcsetattr(fFd, TCSANOW, &tio);
        }
    }
    ~THost() {
        if (fFd >= 0)
            close(fFd);
    }
    bool Ok() const { return fFd >= 0; }

    void Send(const std::string &text) {
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = write(fFd, text.data() + done, text.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else
                std::this_thread::sleep_for(milliseconds(1));
        }
    }

    // Reads until `done` is satisfied by the items collected or the time is up.
    template <typename Done>
    std::vector<TItem> ReadUntil(Done done, milliseconds limit = milliseconds(5000)) {
        std::vector<TItem> items;
        const auto end = Clock::now() + limit;
        while (!done(items) && Clock::now() < end) {
            pollfd p{fFd, POLLIN, 0};
            poll(&p, 1, 20);
            uint8_t buf[4096];
            const ssize_t n = read(fFd, buf, sizeof buf);
            if (n > 0) {
                fBuffer.insert(fBuffer.end(), buf, buf + n);
                for (TItem &item : TakeItems(fBuffer, fStray))
                    items.push_back(std::move(item));
            }
        }
        return items;
    }

    std::vector<TItem> ReadFor(milliseconds span) {
        return ReadUntil([](const std::vector<TItem> &) { return false; }, span);
    }

    // Reads until an item of `type` arrives; returns it (empty type when none came).
    // Items that came in the same read after it are dropped.
    TItem WaitFor(const std::string &type, milliseconds limit = milliseconds(5000)) {
        auto match = [&](const TItem &i) { return i.type == type; };
        const auto items = ReadUntil(
            [&](const std::vector<TItem> &got) { return std::any_of(got.begin(), got.end(), match); }, limit);
        const auto found = std::find_if(items.begin(), items.end(), match);
        return found == items.end() ? TItem{} : *found;
    }

    size_t Stray() const { return fStray; }

private:
    int fFd = -1;
    TBytes fBuffer;
    size_t fStray = 0;
};

size_t Count(const std::vector<TItem> &items, const std::string &type) {
    size_t n = 0;
    for (const TItem &i : items)
        n += i.type == type;
    return n;
}

TSimOptions Fast() {
    TSimOptions o;
    o.pacing = false;
    o.noise = 0;
    o.presetParams = {{5, 7}};  // 64 Hz
    return o;
}

TEST(SimPty, StreamsFullFramesWithAlternatingSubpagesAndItsParameters) {
    TPtySimulator sim(Fast());
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    EXPECT_EQ(sim.DevicePath().rfind("/dev/pts/", 0), 0u);
    THost host(sim.DevicePath());
    ASSERT_TRUE(host.Ok());
    // A client that opens the device while the module boots also sees its "TYPE" line.
    auto items = host.ReadUntil([](const std::vector<TItem> &got) { return Count(got, "FRM") >= 6; });
    if (!items.empty() && items.front().type == "TYPE")
        items.erase(items.begin());
    ASSERT_GE(items.size(), 6u);
    int previous = -1;
    for (const TItem &f : items) {
        ASSERT_EQ(f.type, "FRM");
        ASSERT_EQ(f.bytes.size(), kFullFrameBytes);
        EXPECT_TRUE(CheckWordMatches(f.bytes, 834));
        if (previous >= 0) {
            EXPECT_EQ(f.bytes[1674], previous ^ 1);
        }
        previous = f.bytes[1674];
        EXPECT_EQ(PayloadWord(f.bytes, 832) & 0x1000, 0x1000);
        const TSysBlock b = BlockOf(f);
        EXPECT_EQ(b[1], 4608);
        EXPECT_EQ(b[5], 7);
        EXPECT_EQ(b[7], 1);
        EXPECT_EQ(b[10], 3);
    }
    EXPECT_EQ(host.Stray(), 0u);
    EXPECT_TRUE(sim.ClientConnected());
    sim.Stop();
    sim.Stop();  // twice is harmless
}

TEST(SimPty, AnswersCalibrationAndParameterRequests) {
    TPtySimulator sim(Fast());
    ASSERT_TRUE(sim.Start(nullptr));
    THost host(sim.DevicePath());
    ASSERT_TRUE(host.Ok());
    host.WaitFor("FRM");
    host.Send("$SETP=17,3\r\n");
    const TItem eem = host.WaitFor("EEM");
    ASSERT_EQ(eem.bytes.size(), kEemFrameBytes);
    EXPECT_TRUE(CheckWordMatches(eem.bytes, 832));
    EXPECT_EQ(PayloadWord(eem.bytes, 48), 5880);  // gain reference of the calibration
    host.Send("$SETP=17,4\r\n");
    const TItem sys = host.WaitFor("SYS");
    ASSERT_EQ(sys.bytes.size(), kSysFrameBytes);
    EXPECT_EQ(BlockOf(sys)[5], 7);
    EXPECT_EQ(BlockOf(sys)[6], 1);
}

TEST(SimPty, HalfFramesPatternStopAndUnknownLines) {
    TPtySimulator sim(Fast());
    ASSERT_TRUE(sim.Start(nullptr));
    THost host(sim.DevicePath());
    ASSERT_TRUE(host.Ok());
    host.WaitFor("FRM");
    host.Send("nonsense\r\n$XYZ=1\r\n$SETP=11,1\r\n$SETP=6,0\r\n");
    host.WaitFor("FR1");
    auto items = host.ReadUntil([](const std::vector<TItem> &got) { return got.size() >= 4; });
    ASSERT_GE(items.size(), 4u);
    for (size_t k = 0; k < items.size(); ++k) {
        ASSERT_TRUE(items[k].type == "FR0" || items[k].type == "FR1") << items[k].type;
        EXPECT_EQ(items[k].bytes.size(), kHalfFrameBytes);
        EXPECT_EQ(items[k].bytes[906], items[k].type == "FR0" ? 0 : 1);
        EXPECT_EQ(WordAt(items[k].bytes, 903) & 0x1000, 0);  // interleaved control word
        EXPECT_EQ(BlockOf(items[k])[11], 1);
    }

    host.Send("$SETP=7,0\r\n");
    host.ReadFor(milliseconds(150));  // what was already on its way
    EXPECT_TRUE(host.ReadFor(milliseconds(250)).empty());
    host.Send("$SETP=7,1\r\n");
    EXPECT_EQ(host.WaitFor("FR0").bytes.size(), kHalfFrameBytes);
    EXPECT_EQ(host.Stray(), 0u);
}

TEST(SimPty, ClockPhotosAndReboot) {
    TPtySimulator sim(Fast());
    ASSERT_TRUE(sim.Start(nullptr));
    THost host(sim.DevicePath());
    ASSERT_TRUE(host.Ok());
    host.WaitFor("FRM");
    host.Send("$STDT=2021/03/05 14:07:09\r\n$SVEP\r\n$SVEP\r\n$SETP=17,4\r\n");
    TSysBlock b = BlockOf(host.WaitFor("SYS"));
    EXPECT_EQ(b[21], 0x2103);
    EXPECT_EQ(b[22], 0x0514);
    EXPECT_EQ(b[23] >> 8, 0x07);
    EXPECT_TRUE((b[23] & 0xFF) == 0x09 || (b[23] & 0xFF) == 0x10);
    EXPECT_EQ(b[24], 2);
    EXPECT_EQ(BlockOf(host.WaitFor("FRM"))[24], 2);  // live frames report the count too

    host.Send("$OUTP=-1\r\n");
    const TItem photo = host.WaitFor("PHT");
    ASSERT_EQ(photo.bytes.size(), kPhotoFrameBytes);
    EXPECT_EQ(photo.bytes[1675], 0x21);
    EXPECT_EQ(photo.bytes[1676], 0x03);
    EXPECT_EQ(photo.bytes[1677], 0x05);
    EXPECT_EQ(photo.bytes[1678], 0x14);
    EXPECT_EQ(photo.bytes[1679], 0x07);
    EXPECT_LE(photo.bytes[1674], 1);

    host.Send("$CLRP\r\n$SETP=17,4\r\n");
    EXPECT_EQ(BlockOf(host.WaitFor("SYS"))[24], 0);

    host.Send("$SETP=17,1\r\n");
    EXPECT_EQ(host.WaitFor("TYPE").type, "TYPE");
    EXPECT_EQ(host.WaitFor("FRM").bytes.size(), kFullFrameBytes);  // streams again after the reboot
}

// With pacing, frames come at the configured rate unless the line is too slow.
TEST(SimPty, PacingFollowsRateAndLineSpeed) {
    TSimOptions o;
    o.noise = 0;
    TPtySimulator sim(o);  // factory settings: 8 Hz at 460800 baud
    ASSERT_TRUE(sim.Start(nullptr));
    THost host(sim.DevicePath());
    ASSERT_TRUE(host.Ok());
    host.WaitFor("FRM");
    const auto t0 = Clock::now();
    const auto items = host.ReadFor(milliseconds(1000));
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    const double rate = Count(items, "FRM") / seconds;
    EXPECT_GE(rate, 6.0);
    EXPECT_LE(rate, 9.5);

    // 64 Hz of full frames at 115200 baud: the line allows 115200 / 10 / 1748 = 6.6 per second.
    host.Send("$SETP=1,1152\r\n$SETP=5,7\r\n");
    host.ReadFor(milliseconds(300));
    const auto t1 = Clock::now();
    const auto capped = host.ReadFor(milliseconds(1500));
    const double cappedRate = Count(capped, "FRM") / std::chrono::duration<double>(Clock::now() - t1).count();
    EXPECT_GE(cappedRate, 4.5);
    EXPECT_LE(cappedRate, 7.2);
}

TEST(SimPty, NothingIsQueuedWhileNoClientListens) {
    TPtySimulator sim(Fast());
    ASSERT_TRUE(sim.Start(nullptr));
    std::this_thread::sleep_for(milliseconds(200));  // frames due meanwhile are lost
    EXPECT_FALSE(sim.ClientConnected());
    EXPECT_EQ(sim.FramesSent(), 0u);
    THost host(sim.DevicePath());
    ASSERT_TRUE(host.Ok());
    const auto items = host.ReadUntil([](const std::vector<TItem> &got) { return !got.empty(); });
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.front().type, "FRM");  // a fresh frame, not a stale backlog
    EXPECT_EQ(host.Stray(), 0u);
}

// Reads frames from an open device until the line hangs up (read gives 0 or fails
// with EIO, or poll reports POLLHUP with nothing left) or the time is up.
struct TUntilHangUp {
    std::vector<TItem> items;
    bool hungUp = false;
};
TUntilHangUp ReadUntilHangUp(const std::string &path, milliseconds limit) {
    TUntilHangUp r;
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return r;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    TBytes buffer;
    size_t stray = 0;
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 20);
        uint8_t buf[4096];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) {
            buffer.insert(buffer.end(), buf, buf + n);
            for (TItem &item : TakeItems(buffer, stray))
                r.items.push_back(std::move(item));
        } else if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR) || (p.revents & POLLHUP)) {
            r.hungUp = true;
            break;
        }
    }
    close(fd);
    return r;
}

TEST(SimPty, StallsAfterEveryFewFramesWithoutCatchingUp) {
    TSimOptions o = Fast();
    o.presetParams = {{5, 6}};  // 32 Hz
    o.stallMs = 500;
    o.stallEvery = 3;
    TPtySimulator sim(o);
    ASSERT_TRUE(sim.Start(nullptr));
    THost host(sim.DevicePath());
    ASSERT_TRUE(host.Ok());
    std::vector<Clock::time_point> arrivals;
    const auto t0 = Clock::now();
    const auto items = host.ReadUntil([&](const std::vector<TItem> &got) {
        while (arrivals.size() < got.size())
            arrivals.push_back(Clock::now());
        return Count(got, "FRM") >= 9;
    });
    std::vector<std::pair<int, Clock::time_point>> frames;  // running count (byte 3), arrival
    for (size_t k = 0; k < items.size(); ++k)
        if (items[k].type == "FRM")
            frames.push_back({items[k].bytes[3], arrivals[k]});
    ASSERT_GE(frames.size(), 9u);
    // Frame n (counting from 1) carries n - 1 in byte 3; a stall follows every third.
    int stalls = 0;
    for (size_t k = 1; k < frames.size(); ++k) {
        const int sentBefore = frames[k - 1].first + 1;
        ASSERT_EQ(frames[k].first, frames[k - 1].first + 1);  // none skipped on the line
        const double gap =
            std::chrono::duration<double, std::milli>(frames[k].second - frames[k - 1].second).count();
        if (sentBefore % 3 == 0) {
            EXPECT_GE(gap, 450) << "no stall after frame " << sentBefore;
            ++stalls;
        } else {
            EXPECT_LT(gap, 400) << "a stall after frame " << sentBefore;
        }
    }
    EXPECT_GE(stalls, 2);
    // With at least two stalls the frames take a second or more: nothing catches up in a burst.
    EXPECT_GE(std::chrono::duration<double>(Clock::now() - t0).count(), 1.0);
}

TEST(SimPty, VanishesAfterItsFramesAndTheLineHangsUp) {
    TSimOptions o = Fast();
    o.vanishAfter = 4;
    TPtySimulator sim(o);
    ASSERT_TRUE(sim.Start(nullptr));
    const TUntilHangUp r = ReadUntilHangUp(sim.DevicePath(), milliseconds(5000));
    EXPECT_TRUE(r.hungUp);
    EXPECT_EQ(Count(r.items, "FRM"), 4u);
    EXPECT_EQ(sim.FramesSent(), 4u);
    EXPECT_TRUE(sim.Vanished());
    EXPECT_FALSE(sim.ClientConnected());
    sim.Stop();
}

TEST(SimPty, ReplugAtTheSamePathReplacesAStaleLink) {
    char pattern[] = "/tmp/korvale_replugXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string link = dir + "/ttyKORVALE";
    // Stale from an earlier run that was killed: points to no device.
    ASSERT_EQ(symlink("/dev/pts/999999", link.c_str()), 0);

    TSimOptions o = Fast();
    o.vanishAfter = 2;
    for (int plug = 0; plug < 2; ++plug) {
        SCOPED_TRACE(plug);
        TPtySimulator sim(o);
        ASSERT_TRUE(sim.Start(nullptr));
        std::string error;
        ASSERT_TRUE(PlaceDeviceLink(link, sim.DevicePath(), &error)) << error;
        char target[PATH_MAX] = {};
        ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(std::string(target), sim.DevicePath());
        const TUntilHangUp r = ReadUntilHangUp(link, milliseconds(5000));  // the host opens the link
        EXPECT_TRUE(r.hungUp);
        EXPECT_EQ(Count(r.items, "FRM"), 2u);
        sim.Stop();
        RemoveDeviceLink(link, sim.DevicePath());
        struct stat st {};
        EXPECT_NE(lstat(link.c_str(), &st), 0);  // unplugged: the link is gone
    }

    // A link that a newer run has taken over is left alone; a file is not replaced.
    ASSERT_EQ(symlink("/dev/pts/1234567", link.c_str()), 0);
    RemoveDeviceLink(link, "/dev/pts/7654321");
    struct stat st {};
    EXPECT_EQ(lstat(link.c_str(), &st), 0);
    unlink(link.c_str());
    {
        std::FILE *f = std::fopen(link.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    std::string error;
    EXPECT_FALSE(PlaceDeviceLink(link, "/dev/pts/1", &error));
    EXPECT_NE(error.find("not a symbolic link"), std::string::npos) << error;
    unlink(link.c_str());
    rmdir(dir.c_str());
}

TEST(SimPty, TheProgramExitsWhenItsDeviceVanishesAndTakesItsLinkAlong) {
    char pattern[] = "/tmp/korvale_vanishXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string link = dir + "/ttyKORVALE";
    std::FILE *sink = std::fopen("/dev/null", "w");
    ASSERT_NE(sink, nullptr);
    int status = -1;
    std::thread program([&] {
        status =
            RunSim({"--no-pacing", "--noise", "0", "--set", "5,7", "--vanish-after", "3", "--link", link},
                   sink, sink);
    });
    struct stat st {};
    const auto deadline = Clock::now() + milliseconds(5000);
    while (lstat(link.c_str(), &st) != 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(milliseconds(5));
    const TUntilHangUp r = ReadUntilHangUp(link, milliseconds(5000));
    program.join();
    std::fclose(sink);
    EXPECT_TRUE(r.hungUp);
    EXPECT_EQ(Count(r.items, "FRM"), 3u);
    EXPECT_EQ(status, 0);
    EXPECT_NE(lstat(link.c_str(), &st), 0);
    rmdir(dir.c_str());
}

}  // namespace
