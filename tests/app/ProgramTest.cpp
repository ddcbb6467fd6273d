// korvale as a program: --help and --version answer without any display, a bad
// command line fails with status 2 and the usage on standard error, and a file to
// play that is not there is reported on standard error.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path &file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct KorvaleProgram : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() / ("korvale_program_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs korvale with `args` (shell words) under the environment settings `env`
    // ("env" arguments), capturing both output streams.
    TRun Run(const std::string &env, const std::string &args) const {
        const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
        const std::string line = "env " + env + " " + KORVALE_EXE + " " + args + " >" + out.string() + " 2>" +
                                 err.string() + " </dev/null";
        const int raw = std::system(line.c_str());
        TRun r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = ReadFile(out);
        r.err = ReadFile(err);
        return r;
    }
};

// No X server, no Wayland and a platform that needs one: a program that created its
// window system connection would fail here.
const std::string kNoDisplay = "-u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb";

}  // namespace

TEST_F(KorvaleProgram, VersionIsTheOneEmbeddedInTheProgramFile) {
    for (const std::string &env : {kNoDisplay, std::string("QT_QPA_PLATFORM=offscreen")}) {
        const TRun r = Run(env, "--version");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, std::string("korvale ") + KORVALE_VERSION + "\n");
        EXPECT_EQ(r.err, "");
    }
    // --version wins over the rest of the line.
    const TRun r = Run(kNoDisplay, "--bogus --version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("korvale ") + KORVALE_VERSION + "\n");
}

TEST_F(KorvaleProgram, HelpPrintsTheUsageOnStandardOutput) {
    for (const std::string &env : {kNoDisplay, std::string("QT_QPA_PLATFORM=offscreen")}) {
        const TRun r = Run(env, "--help");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.rfind("Usage: korvale ", 0), 0u) << r.out;
        for (const char *option : {"--port DEVICE", "--baud N", "--connect", "--play FILE", "--open FILE"})
            EXPECT_NE(r.out.find(option), std::string::npos) << option;
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(KorvaleProgram, BadCommandLinesExitWithStatusTwoAndTheUsageOnStandardError) {
    for (const char *args : {"--bogus", "--baud 0", "--baud", "--connect", "--play a --open b", "stray"}) {
        const TRun r = Run(kNoDisplay, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err.rfind("korvale: ", 0), 0u) << args << ": " << r.err;
        EXPECT_NE(r.err.find("\nUsage: korvale "), std::string::npos) << args << ": " << r.err;
    }
    const TRun r = Run(kNoDisplay, "--bogus");
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "korvale: unknown option '--bogus'");
}

TEST_F(KorvaleProgram, AFileItCannotPlayIsReportedOnStandardError) {
    // The window starts (offscreen) and keeps running: read its standard error until
    // the message arrives, then end it.
    const std::string file = (dir / "rec.bin").string();
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(pipeFds[1], STDERR_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(KORVALE_EXE, KORVALE_EXE, "--play", file.c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    const std::string expected = "korvale: cannot play '" + file + "'";
    std::string err;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (err.find(expected) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{pipeFds[0], POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;  // the program ended
        err.append(buffer, size_t(n));
    }
    int status = 0;
    const bool stillRunning = ::waitpid(pid, &status, WNOHANG) == 0;
    if (stillRunning) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, &status, 0);
    }
    ::close(pipeFds[0]);
    EXPECT_NE(err.find(expected), std::string::npos) << err;
    EXPECT_TRUE(stillRunning) << "the program ended instead of showing its window: " << err;
}
