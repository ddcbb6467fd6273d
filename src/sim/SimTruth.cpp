#include "sim/SimTruth.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

bool TTruthWriter::Open(const std::string &dir, std::string *error) {
    fDir.clear();
    fCount = 0;
    if (dir.empty())
        return true;
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0) {
        if (mkdir(dir.c_str(), 0777) != 0) {
            if (error)
                *error = "cannot create folder " + dir + ": " + std::strerror(errno);
            return false;
        }
    } else if (!S_ISDIR(st.st_mode)) {
        if (error)
            *error = dir + " is not a folder";
        return false;
    }
    fDir = dir;
    return true;
}

std::string TTruthWriter::FileName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.txt", index);
    return name;
}

bool TTruthWriter::Write(const double *t, std::string *error) {
    if (fDir.empty())
        return true;
    const std::string path = fDir + "/" + FileName(fCount);
    std::FILE *f = std::fopen(path.c_str(), "w");
    if (!f) {
        if (error)
            *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    for (int line = 0; line < 24; ++line)
        for (int col = 0; col < 32; ++col)
            std::fprintf(f, col == 31 ? "%.17g\n" : "%.17g ", t[32 * line + col]);
    const bool ok = std::fclose(f) == 0;
    if (!ok) {
        if (error)
            *error = "cannot write " + path;
        return false;
    }
    ++fCount;
    return true;
}
