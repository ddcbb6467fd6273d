#pragma once
// Scratch files for tests: a fresh folder per test binary run, removed at exit.

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

inline const std::filesystem::path &TestFolder() {
    static const std::filesystem::path folder = [] {
        auto p =
            std::filesystem::temp_directory_path() / ("korvale_pipeline_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        return p;
    }();
    static const struct Cleanup {
        ~Cleanup() {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        }
    } cleanup;
    return folder;
}

inline std::string WriteTestFile(const std::string &name, const std::string &bytes) {
    const std::string path = (TestFolder() / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}
