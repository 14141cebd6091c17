// The tool's files with POSIX calls: no waiting on a FIFO, no writing through a planted
// link, links and permission bits kept.
#include "file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <random>

namespace {

// Hops through symbolic links before a path counts as a loop.
constexpr int MaxLinkHops = 40;
// Tries at a free temporary name before giving up.
constexpr int MaxTemporaryTries = 100;

std::string Reason(int error) {
    return std::strerror(error);
}

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

std::string Folder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links to the file they name, which may not exist yet. False with the
// reason for a link loop or an unreadable link.
bool FollowLinks(const std::string& path, std::string* target, struct stat* info, bool* exists,
                 std::string* error) {
    std::string at = path;
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        if (lstat(at.c_str(), info) != 0) {
            if (errno != ENOENT) {
                *error = "cannot write " + Printable(path) + ": " + Reason(errno);
                return false;
            }
            *target = at;
            *exists = false;
            return true;
        }
        if (!S_ISLNK(info->st_mode)) {
            *target = at;
            *exists = true;
            return true;
        }
        std::vector<char> link(std::size_t(PATH_MAX) + 1);
        const ssize_t length = readlink(at.c_str(), link.data(), link.size());
        if (length < 0 || std::size_t(length) >= link.size()) {
            *error = "cannot write " + Printable(path) + ": cannot read the link " + Printable(at);
            return false;
        }
        const std::string next(link.data(), std::size_t(length));
        at = next[0] == '/' ? next : Folder(at) + "/" + next;
    }
    *error = "cannot write " + Printable(path) + ": " + Reason(ELOOP);
    return false;
}

// A short name, so a valid file name beside it never pushes the temporary one over the
// length limit.
std::string TemporaryName(const std::string& folder, std::mt19937_64& random) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = folder + "/.lmp";
    for (int i = 0; i < 6; ++i) name += letters[random() % (sizeof letters - 1)];
    return name;
}

} // namespace

bool ReadInputFile(const std::string& path, std::uint64_t maxBytes,
                   std::vector<std::uint8_t>* bytes, std::string* error) {
    const std::string shown = Printable(path);
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file < 0) {
        *error = "cannot open " + shown + ": " + Reason(errno);
        return false;
    }
    struct stat info {};
    bool ok = fstat(file, &info) == 0;
    if (!ok) {
        *error = "cannot read " + shown + ": " + Reason(errno);
    } else if (!S_ISREG(info.st_mode)) {
        *error = "cannot read " + shown + ": " + KindOf(info.st_mode) + ", not a regular file";
        ok = false;
    } else if (std::uint64_t(info.st_size) > maxBytes) {
        *error = "cannot read " + shown + ": the file is " + std::to_string(info.st_size) +
                 " bytes, more than this build can hold (" + std::to_string(maxBytes) + ")";
        ok = false;
    }
    if (ok) {
        bytes->resize(std::size_t(info.st_size));
        std::size_t got = 0;
        while (ok) {
            if (got == bytes->size()) {
                if (bytes->size() >= maxBytes) break; // grew while being read: take what fits
                bytes->resize(got + 65536 < maxBytes ? got + 65536 : std::size_t(maxBytes));
            }
            const ssize_t n = read(file, bytes->data() + got, bytes->size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                *error = "cannot read " + shown + ": " + Reason(errno);
                ok = false;
            } else if (n == 0) {
                break;
            } else {
                got += std::size_t(n);
            }
        }
        bytes->resize(got);
    }
    close(file);
    return ok;
}

bool CheckOutputPath(const std::string& path, std::string* error) {
    std::string target;
    struct stat info {};
    bool exists = false;
    if (!FollowLinks(path, &target, &info, &exists, error)) return false;
    if (exists && !S_ISREG(info.st_mode)) {
        *error = "cannot write " + Printable(path) + ": " + KindOf(info.st_mode) +
                 ", not a regular file";
        return false;
    }
    return true;
}

OutputFile::~OutputFile() {
    Discard();
}

void OutputFile::Discard() {
    if (handle_ >= 0) close(int(handle_));
    handle_ = -1;
    if (!temporary_.empty() && !committed_) unlink(temporary_.c_str());
    temporary_.clear();
}

bool OutputFile::Open(const std::string& path, std::string* error) {
    shownPath_ = Printable(path);
    struct stat info {};
    bool exists = false;
    if (!FollowLinks(path, &finalPath_, &info, &exists, error)) return false;
    if (exists && !S_ISREG(info.st_mode)) {
        *error =
            "cannot write " + shownPath_ + ": " + KindOf(info.st_mode) + ", not a regular file";
        return false;
    }
    std::mt19937_64 random(
        std::random_device{}() ^
        std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    const std::string folder = Folder(finalPath_);
    for (int attempt = 0; attempt < MaxTemporaryTries; ++attempt) {
        const std::string name = TemporaryName(folder, random);
        // Exclusive and not through a link: a name someone planted is never written.
        const int file = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              exists ? 0600 : 0666);
        if (file < 0 && errno == EEXIST) continue;
        if (file < 0) break;
        handle_ = file;
        temporary_ = name;
        if (exists && fchmod(file, info.st_mode & 0777) != 0) {
            *error = "cannot write " + shownPath_ + ": " + Reason(errno);
            Discard();
            return false;
        }
        return true;
    }
    *error = "cannot write " + shownPath_ + ": " + Reason(errno);
    return false;
}

bool OutputFile::Write(const std::uint8_t* data, std::size_t size) {
    while (size > 0 && writeError_ == 0) {
        const ssize_t n = write(int(handle_), data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            writeError_ = n < 0 ? errno : EIO;
            break;
        }
        data += n;
        size -= std::size_t(n);
    }
    return writeError_ == 0;
}

bool OutputFile::WriteFailed(std::string* error) const {
    if (writeError_ != 0) *error = "cannot write " + shownPath_ + ": " + Reason(writeError_);
    return writeError_ != 0;
}

bool OutputFile::Commit(std::string* error) {
    int problem = writeError_;
    if (problem == 0 && close(int(handle_)) != 0)
        problem = errno;
    else if (problem != 0)
        close(int(handle_));
    handle_ = -1;
    if (problem == 0 && rename(temporary_.c_str(), finalPath_.c_str()) != 0) problem = errno;
    if (problem != 0) {
        *error = "cannot write " + shownPath_ + ": " + Reason(problem);
        Discard();
        return false;
    }
    committed_ = true;
    temporary_.clear();
    return true;
}
