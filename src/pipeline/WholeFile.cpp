#include "pipeline/WholeFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<unsigned> gNextSerial{0};

std::string ErrorText(int err) {
    return std::strerror(err ? err : EIO);
}

std::string FolderOf(const std::string &path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a folder that cannot be opened or synced is no
// reason to call a written file lost.
void SyncFolder(const std::string &folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)::fsync(fd);
    ::close(fd);
}

}  // namespace

TWholeFile::TWholeFile(const std::string &path) : fTarget(path) {
    if (path.empty()) {
        fError = "No file name";
        return;
    }
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) {
            fError = "\"" + path + "\" is a folder";
            return;
        }
        errno = 0;
        fFile = std::fopen(path.c_str(), "wb");
        if (!fFile)
            fError = "Cannot open \"" + path + "\": " + ErrorText(errno);
        return;
    }
    // A link to a regular file: the file it points to gets the new contents.
    char resolved[PATH_MAX];
    struct stat lst;
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode) && ::realpath(path.c_str(), resolved))
        fTarget = resolved;

    const std::string folder = FolderOf(fTarget);
    const std::string base =
        fTarget.substr(fTarget.rfind('/') == std::string::npos ? 0 : fTarget.rfind('/') + 1);
    int fd = -1;
    int err = 0;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        fTemporary = folder + "/." + base + ".part-" + std::to_string(::getpid()) + "-" +
                     std::to_string(gNextSerial.fetch_add(1));
        fd = ::open(fTemporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        err = errno;
        if (fd < 0 && err != EEXIST)
            break;
    }
    if (fd < 0) {
        fTemporary.clear();
        fError = "Cannot create \"" + path + "\": " + ErrorText(err);
        return;
    }
    // A file that is replaced keeps its permissions.
    struct stat old;
    if (::stat(fTarget.c_str(), &old) == 0)
        (void)::fchmod(fd, old.st_mode & 07777);
    fFile = ::fdopen(fd, "wb");
    if (!fFile) {
        err = errno;
        ::close(fd);
        ::unlink(fTemporary.c_str());
        fTemporary.clear();
        fError = "Cannot create \"" + path + "\": " + ErrorText(err);
    }
}

TWholeFile::~TWholeFile() {
    if (!fCommitted)
        Discard();
}

void TWholeFile::Discard() {
    if (fFile) {
        std::fclose(fFile);
        fFile = nullptr;
    }
    if (!fTemporary.empty()) {
        ::unlink(fTemporary.c_str());
        fTemporary.clear();
    }
}

bool TWholeFile::Commit() {
    if (!fFile)
        return false;
    errno = 0;
    int err = 0;
    bool ok = std::fflush(fFile) == 0 && !std::ferror(fFile);
    if (!ok)
        err = errno;
    // Flushed to the disk before the rename, so a crash never leaves a renamed file
    // whose blocks were not yet written. Devices written in place need no sync.
    if (ok && !fTemporary.empty() && ::fsync(::fileno(fFile)) != 0) {
        ok = false;
        err = errno;
    }
    const bool closed = std::fclose(fFile) == 0;
    if (ok && !closed) {
        ok = false;
        err = errno;
    }
    fFile = nullptr;
    if (ok && !fTemporary.empty() && std::rename(fTemporary.c_str(), fTarget.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        fError = "Cannot write \"" + fTarget + "\": " + ErrorText(err);
        Discard();
        return false;
    }
    if (!fTemporary.empty())
        SyncFolder(FolderOf(fTarget));
    fTemporary.clear();
    fCommitted = true;
    return true;
}
