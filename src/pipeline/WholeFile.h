#pragma once
// Files written whole or not at all: the bytes go to a new file beside the target,
// are flushed to the disk and the new file is then renamed over the target. A full
// disk, a write error or a crash on the way leaves the target as it was (an older
// file of that name, or none) and no file half written under its name.

#include <cstdio>
#include <string>

class TWholeFile {
public:
    // Opens the file to write for `path`. A target that exists and is not a regular
    // file (a device such as /dev/null or /dev/full, a pipe) is written in place; a
    // symbolic link to a regular file has the file it points to replaced.
    explicit TWholeFile(const std::string &path);
    // Removes the new file when Commit has not succeeded.
    ~TWholeFile();
    TWholeFile(const TWholeFile &) = delete;
    TWholeFile &operator=(const TWholeFile &) = delete;

    // The stream to write; null when the file could not be created (see Error).
    std::FILE *File() const { return fFile; }
    // Why the file could not be created or committed; empty otherwise.
    const std::string &Error() const { return fError; }

    // Flushes and syncs the new file and renames it over the target. False with a
    // message in Error() when anything failed since the file was opened (a stream
    // error included); the target is then unchanged and the new file removed.
    bool Commit();

private:
    void Discard();

    std::string fTarget;     // the final name
    std::string fTemporary;  // the new file; empty when the target is written in place
    std::FILE *fFile = nullptr;
    std::string fError;
    bool fCommitted = false;
};
