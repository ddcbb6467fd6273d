// korvale's command line: every option, in both spellings, and the lines it refuses.

#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TCommandLine Parse(std::initializer_list<const char *> args) {
    QStringList list;
    for (const char *a : args)
        list << QString::fromUtf8(a);
    return ParseCommandLine(list);
}

TStartOptions Options(QString port, int baud, bool connect, QString play, QString open) {
    TStartOptions o;
    o.Port = std::move(port);
    o.Baud = baud;
    o.Connect = connect;
    o.PlayFile = std::move(play);
    o.OpenFile = std::move(open);
    return o;
}

}  // namespace

TEST(CommandLine, NoArgumentsStartsTheWindowWithNothingSet) {
    const TCommandLine cl = Parse({});
    EXPECT_EQ(cl.Action, TCommandAction::Start);
    EXPECT_EQ(cl.Options, TStartOptions());
    EXPECT_TRUE(cl.Error.isEmpty());
}

TEST(CommandLine, EveryOptionWithItsValueAfterItOrAfterEquals) {
    const TStartOptions device = Options("/dev/ttyUSB0", 921600, true, "", "");
    for (const TCommandLine &cl : {Parse({"--port", "/dev/ttyUSB0", "--baud", "921600", "--connect"}),
                                   Parse({"--connect", "--baud=921600", "--port=/dev/ttyUSB0"})}) {
        ASSERT_EQ(cl.Action, TCommandAction::Start) << cl.Error.toStdString();
        EXPECT_EQ(cl.Options, device);
    }

    // Values are taken as they are: spaces, '=' inside, a leading '-' after '='.
    const TCommandLine play = Parse({"--play", "my recording=1.bin", "--port", "SIM"});
    ASSERT_EQ(play.Action, TCommandAction::Start) << play.Error.toStdString();
    EXPECT_EQ(play.Options, Options("SIM", 0, false, "my recording=1.bin", ""));
    const TCommandLine open = Parse({"--open=-dash.txt", "--baud", "115200"});
    ASSERT_EQ(open.Action, TCommandAction::Start) << open.Error.toStdString();
    EXPECT_EQ(open.Options, Options("", 115200, false, "", "-dash.txt"));
}

TEST(CommandLine, HelpThenVersionWinOverEverythingElse) {
    EXPECT_EQ(Parse({"--help"}).Action, TCommandAction::ShowHelp);
    EXPECT_EQ(Parse({"--version"}).Action, TCommandAction::ShowVersion);
    EXPECT_EQ(Parse({"--version", "--help"}).Action, TCommandAction::ShowHelp);
    EXPECT_EQ(Parse({"--bogus", "--port", "--help"}).Action, TCommandAction::ShowHelp);
    EXPECT_EQ(Parse({"--play", "a", "--open", "b", "--version"}).Action, TCommandAction::ShowVersion);
    // Only as an argument of its own: as the value after '=' it is a file name.
    const TCommandLine asValue = Parse({"--open=--help"});
    EXPECT_EQ(asValue.Action, TCommandAction::Start);
    EXPECT_EQ(asValue.Options.OpenFile, "--help");
}

TEST(CommandLine, BaudIsAWholeNumberFromOneToTheLargestInt) {
    const std::vector<std::pair<const char *, int>> good = {
        {"1", 1}, {"460800", 460800}, {"0460800", 460800}, {"2147483647", 2147483647}};
    for (const auto &[text, baud] : good) {
        const TCommandLine cl = Parse({"--baud", text});
        ASSERT_EQ(cl.Action, TCommandAction::Start) << text << ": " << cl.Error.toStdString();
        EXPECT_EQ(cl.Options.Baud, baud) << text;
    }
    for (const char *text : {"0", "000", "2147483648", "99999999999999999999", "+5", "12a", "4.6e5",
                             " 460800", "460800 ", "１２", "0x10"}) {
        const TCommandLine cl = Parse({"--baud", text});
        EXPECT_EQ(cl.Action, TCommandAction::Fail) << text;
        EXPECT_TRUE(cl.Error.contains("--baud")) << text;
        EXPECT_TRUE(cl.Error.contains(QString::fromUtf8(text))) << text;
    }
    // A negative speed reads as a missing value: "-5" is taken for an option.
    EXPECT_EQ(Parse({"--baud", "-5"}).Action, TCommandAction::Fail);
    EXPECT_EQ(Parse({"--baud=-5"}).Action, TCommandAction::Fail);
}

TEST(CommandLine, BadLinesFailNamingWhatIsWrong) {
    struct TCase {
        std::initializer_list<const char *> Args;
        const char *Named;  // the error names this
    };
    const TCase cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"--bogus=1"}, "--bogus"},
        {{"-p", "SIM"}, "-p"},
        {{"-"}, "-"},
        {{"--"}, "--"},
        {{"/dev/ttyUSB0"}, "/dev/ttyUSB0"},
        {{"--port", "SIM", "extra"}, "extra"},
        {{"--port"}, "--port"},
        {{"--port", "--connect"}, "--port"},
        {{"--port="}, "--port"},
        {{"--baud"}, "--baud"},
        {{"--play"}, "--play"},
        {{"--open", ""}, "--open"},
        {{"--connect=yes", "--port", "SIM"}, "--connect"},
        {{"--port", "SIM", "--port", "COM3"}, "--port"},
        {{"--port=SIM", "--port=SIM"}, "--port"},
        {{"--play", "a", "--play", "b"}, "--play"},
        {{"--connect", "--port", "SIM", "--connect"}, "--connect"},
        {{"--play", "rec.bin", "--open", "t.txt"}, "--open"},
        {{"--port", "SIM", "--connect", "--play", "rec.bin"}, "--play"},
        {{"--port", "SIM", "--connect", "--open", "t.txt"}, "--open"},
        {{"--connect"}, "--port"},
        {{"--connect", "--baud", "460800"}, "--port"},
    };
    for (const TCase &c : cases) {
        QStringList args;
        for (const char *a : c.Args)
            args << QString::fromUtf8(a);
        const TCommandLine cl = ParseCommandLine(args);
        EXPECT_EQ(cl.Action, TCommandAction::Fail) << args.join(' ').toStdString();
        EXPECT_TRUE(cl.Error.contains(QString::fromUtf8(c.Named)))
            << args.join(' ').toStdString() << " -> " << cl.Error.toStdString();
        EXPECT_FALSE(cl.Error.contains('\n')) << cl.Error.toStdString();
    }
}

TEST(CommandLine, TheUsageNamesEveryOptionAndTheRulesBetweenThem) {
    const QString usage = CommandLineUsage();
    EXPECT_TRUE(usage.startsWith("Usage: korvale "));
    EXPECT_TRUE(usage.endsWith('\n'));
    for (const char *option :
         {"--port DEVICE", "--baud N", "--connect", "--play FILE", "--open FILE", "--help", "--version",
          "needs --port", "exclude each other", "2 for a bad command line"})
        EXPECT_TRUE(usage.contains(QString::fromUtf8(option))) << option;
    for (const QString &line : usage.split('\n'))
        EXPECT_LE(line.size(), 80) << line.toStdString();
}
