#include "serial/nrComm.h"

#include "serial/PtyPair.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;

TEST(TnrCommTest, StoredSettings) {
    TnrComm comm;
    EXPECT_EQ(comm.GetBaudRate(), 460800u);
    EXPECT_EQ(comm.GetComPort(), "cpCOM4");
    EXPECT_EQ(comm.GetComPortNo(), 4);
    EXPECT_EQ(comm.GetByteSize(), 8);
    EXPECT_EQ(comm.GetParity(), TnrParity::pNone);
    EXPECT_EQ(comm.GetStopBits(), TnrStopBits::sbOne);
    EXPECT_EQ(comm.GetStreamProtocol(), TnrStreamProtocol::spHardware);
    EXPECT_EQ(comm.GetBufferInSize(), 8192u);
    EXPECT_EQ(comm.GetBufferOutSize(), 8192u);
    EXPECT_EQ(comm.GetTimeoutRead(), 2u);
    EXPECT_EQ(comm.GetTimeoutWrite(), 0u);
    EXPECT_EQ(comm.GetEventChar(), 0);
    EXPECT_FALSE(comm.GetRS485Mode());
    EXPECT_TRUE(comm.GetUseMainThread());
    EXPECT_FALSE(comm.GetKeepConnection());
    EXPECT_FALSE(comm.GetActive());
}

TEST(TnrCommTest, ActivatingAMissingPortThrowsAndStaysInactive) {
    TnrComm comm;
    comm.SetPortName("/dev/korvale-no-such-port");
    EXPECT_THROW(comm.SetActive(true), TnrCommError);
    EXPECT_FALSE(comm.GetActive());
    const uint8_t byte = 1;
    EXPECT_FALSE(comm.SendData(&byte, 1));
}

TEST(TnrCommTest, ReceivesBlocksOnTheOwningThreadAndSends) {
    TPtyPair pty;
    ASSERT_TRUE(pty.IsValid());
    TnrComm comm;
    comm.SetPortName(QString::fromStdString(pty.SlavePath()));
    comm.SetTimeoutRead(200);  // generous grouping on a loaded machine
    std::vector<std::vector<uint8_t>> blocks;
    comm.SetOnAfterReceive([&](TnrComm *sender, const uint8_t *buffer, uint32_t received) {
        EXPECT_EQ(sender, &comm);
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        blocks.emplace_back(buffer, buffer + received);
    });
    comm.SetActive(true);
    ASSERT_TRUE(comm.GetActive());

    const std::vector<uint8_t> frame = Pattern(1700);
    pty.Write(frame);
    ASSERT_TRUE(PumpUntil([&] { return !blocks.empty(); }, 10s));
    PumpFor(400ms);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], frame);

    // Larger than BufferInSize: blocks of at most that size, nothing lost.
    blocks.clear();
    comm.SetBufferInSize(1000);
    const std::vector<uint8_t> big = Pattern(2500, 9);
    pty.Write(big);
    ASSERT_TRUE(PumpUntil(
        [&] {
            size_t n = 0;
            for (const auto &b : blocks)
                n += b.size();
            return n == big.size();
        },
        10s));
    std::vector<uint8_t> joined;
    for (const auto &b : blocks) {
        EXPECT_LE(b.size(), 1000u);
        joined.insert(joined.end(), b.begin(), b.end());
    }
    EXPECT_EQ(joined, big);

    const std::string command = "$SETP=17,4\r\n";
    EXPECT_FALSE(comm.SendData(command.data(), 0));
    EXPECT_TRUE(comm.SendData(command.data(), uint32_t(command.size())));
    const std::vector<uint8_t> got = pty.Read(command.size(), 10s);
    EXPECT_EQ(std::string(got.begin(), got.end()), command);

    comm.SetActive(false);
    EXPECT_FALSE(comm.GetActive());
    EXPECT_FALSE(comm.SendData(command.data(), uint32_t(command.size())));
}
