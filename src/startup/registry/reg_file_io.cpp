// Hive file I/O of the .reg file store: reading, atomic replacing, locking, and the locked load and modify.
#ifndef _WIN32 // POSIX only, like the rest of the file store (see reg_file_store.cpp)

#include "reg_file_io.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>

namespace bdlogic::regfile {

namespace {

// Hive files are small; anything beyond this is not one and is not read into memory.
constexpr off_t kMaxFileSize = 256 * 1024 * 1024;

// What a person reads after the file's name when a hive cannot be read.
constexpr const char* kReadAsEmpty = "; read as empty, left as it is";

// The system's words for an error, in English whatever the locale: the language pack may be what failed.
std::string Says(int error) {
    static const locale_t english = ::newlocale(LC_ALL_MASK, "C", nullptr);
    return english ? ::strerror_l(error, english) : "error " + std::to_string(error);
}

// The whole file into `out`. False when there is a file that cannot be read, with the reason why; a missing
// file is read as empty.
bool ReadAll(const std::string& path, std::string& out, std::string& reason) {
    out.clear();
    // Not blocking, so that a FIFO in the hive's place cannot hold the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return true;
        reason = "cannot be read (" + Says(errno) + ")";
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) {
        reason = S_ISDIR(st.st_mode)    ? "is a directory"
                 : !S_ISREG(st.st_mode) ? "is not a regular file"
                                        : "is too large for a registry file";
        ::close(fd);
        return false;
    }
    out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || out.size() + static_cast<size_t>(r) > static_cast<size_t>(kMaxFileSize)) {
            reason = r < 0 ? "cannot be read (" + Says(errno) + ")" : "is too large for a registry file";
            ::close(fd);
            out.clear();
            return false;
        }
        if (r == 0) break;
        out.append(buf, static_cast<size_t>(r));
    }
    ::close(fd);
    return true;
}

// The hive in the file, its bytes in `bytes`; nothing, with the reason why, when it cannot be read as one.
std::optional<Document> ReadHive(const std::string& path, Hive hive, std::string& bytes,
                                 std::string& reason) {
    if (!ReadAll(path, bytes, reason)) return std::nullopt;
    auto doc = Parse(bytes, hive);
    if (!doc) {
        reason = std::string("not a registry file in a form this program reads (UTF-8, or UTF-16LE with byte "
                             "order mark, starting with \"") +
                 std::string(kHeader5) + "\" or \"" + std::string(kHeader4) + "\")";
    }
    return doc;
}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    return true;
}

// 0, or the error that kept the directory from being made.
int MakeDirectories(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    for (size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos != dir.size() && dir[pos] != '/') continue;
        const std::string part = dir.substr(0, pos);
        if (::mkdir(part.c_str(), 0777) == 0 || errno == EEXIST) continue;
        const int error = errno;
        if (::stat(part.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return error; // else a parent we may not write
    }
    return 0;
}

std::string DirectoryOf(const std::string& file) {
    const size_t slash = file.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return file.substr(0, slash);
}

// flock on the hive's lock file, held until destruction, waited for at most a given time. Opened read-write and
// created when possible; a lock file that cannot be written is still locked through a read-only descriptor.
class FileLock {
public:
    enum class State { Locked, TimedOut, Failed };

    FileLock(const std::string& path, int operation, std::chrono::milliseconds wait) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            error_ = errno;
            fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        }
        if (fd_ < 0) return;
        state_ = Acquire(operation, wait);
        if (state_ != State::Locked) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_); // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    State state() const { return state_; }
    // Why the lock could not be had (State::Failed).
    int error() const { return error_; }

private:
    // flock cannot wait for a limited time, so it is asked again and again, with growing pauses.
    State Acquire(int operation, std::chrono::milliseconds wait) {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + wait;
        milliseconds pause(1);
        for (;;) {
            if (::flock(fd_, operation | LOCK_NB) == 0) return State::Locked;
            if (errno == EINTR) continue;
            if (errno != EWOULDBLOCK) {
                error_ = errno;
                return State::Failed;
            }
            const auto left = deadline - steady_clock::now();
            if (left <= steady_clock::duration::zero()) return State::TimedOut;
            std::this_thread::sleep_for(std::min<steady_clock::duration>(pause, left));
            pause = std::min(pause * 2, milliseconds(50));
        }
    }

    int fd_ = -1;
    State state_ = State::Failed;
    int error_ = 0;
};

// "10 s", "30 ms".
std::string Duration(std::chrono::milliseconds t) {
    const auto ms = t.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// Replaces `target` by a file holding `data`: temporary file in the same directory, fsync, rename, fsync of the
// directory. The hive's permissions are kept. Returns 0, or the error that stopped it.
int ReplaceFile(const std::string& target, const std::string& data) {
    std::string real = target;
    struct stat lst {};
    if (::lstat(target.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        if (char* resolved = ::realpath(target.c_str(), nullptr)) {
            real = resolved;
            std::free(resolved);
        }
    }
    const std::string dir = DirectoryOf(real);
    const std::string base = real.substr(real.rfind('/') + 1);

    static std::atomic<unsigned> counter{0};
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = dir + "/." + base + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;

    struct stat st {};
    bool ok = true;
    if (::stat(real.c_str(), &st) == 0) ok = ::fchmod(fd, st.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tmp.c_str(), real.c_str()) == 0;
    if (!ok) {
        const int error = errno != 0 ? errno : EIO; // WriteAll leaves ENOSPC, EIO and the like
        ::unlink(tmp.c_str());
        return error;
    }
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return 0;
}

// A file without write permission, which the rename would replace all the same (always so for root): honoured
// as the read-only mark it is on Windows.
bool ReadOnly(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false; // no file yet
    return (st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

} // namespace

HiveFile::HiveFile(const std::string& dir, Hive hive, std::chrono::milliseconds lockWait, ReportLine report)
    : dir_(dir), path_(dir + "/" + HiveName(hive) + ".reg"), hive_(hive), lockWait_(lockWait),
      report_(std::move(report)) {}

void HiveFile::report(const std::string& reason) {
    if (std::find(reported_.begin(), reported_.end(), reason) != reported_.end()) return;
    reported_.push_back(reason);
    if (report_) report_(path_ + ": " + reason);
}

// The time to wait for the lock: none while it is known to be held for longer (a run reads a hive many times).
std::chrono::milliseconds HiveFile::lockWait() const {
    return lockBusy_ ? std::chrono::milliseconds(0) : lockWait_;
}

// Under a shared lock. A file that cannot be read is an empty hive.
Document HiveFile::load() {
    std::string bytes;
    std::string reason;
    std::optional<Document> doc;
    {
        // Read unlocked when the lock file cannot be had (no directory yet, read-only) or another program holds
        // the lock too long: the writers' rename still shows a reader either the old file or the new one.
        FileLock lock(path_ + ".lock", LOCK_SH, lockWait());
        lockBusy_ = lock.state() == FileLock::State::TimedOut;
        if (lockBusy_) report("its lock was not granted within " + Duration(lockWait_) + "; read without it");
        doc = ReadHive(path_, hive_, bytes, reason);
    }
    if (doc) return std::move(*doc);
    report(reason + kReadAsEmpty);
    Document empty;
    empty.hive = hive_;
    return empty;
}

// Reads the hive under the exclusive lock, lets `change` edit it and writes it back when it changed.
bool HiveFile::modify(const std::function<bool(Document&)>& change) {
    const auto fail = [this](const std::string& reason) {
        report(reason + "; not changed");
        return false;
    };
    if (const int error = MakeDirectories(dir_)) return fail("cannot be written (directory: " + Says(error) + ")");
    FileLock lock(path_ + ".lock", LOCK_EX, lockWait());
    lockBusy_ = lock.state() == FileLock::State::TimedOut;
    if (lockBusy_) return fail("its lock was not granted within " + Duration(lockWait_));
    if (lock.state() != FileLock::State::Locked)
        return fail("cannot be written (lock file: " + Says(lock.error()) + ")");
    std::string bytes;
    std::string reason;
    std::optional<Document> doc = ReadHive(path_, hive_, bytes, reason);
    if (!doc) {
        report(reason + kReadAsEmpty);
        return false;
    }
    if (!doc->header) AddHeader(*doc); // before the change, which then sees the blank line after it
    if (!change(*doc)) return true;
    const std::string out = Serialize(*doc);
    if (out == bytes) return true;
    if (ReadOnly(path_)) return fail("is read-only");
    if (const int error = ReplaceFile(path_, out)) return fail("cannot be written (" + Says(error) + ")");
    return true;
}

} // namespace bdlogic::regfile

#endif // _WIN32
