#include "core/regular_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <set>

namespace platform {
namespace {

constexpr int kTemporaryNameAttempts = 100;

RegularFileContents Failure(RegularFileContents::Status status, int error) {
    RegularFileContents contents;
    contents.status = status;
    contents.error = error;
    return contents;
}

RegularFileContents::Status StatusOfMissing(int error) {
    return error == ENOENT || error == ENOTDIR ? RegularFileContents::Status::Missing
                                               : RegularFileContents::Status::Failed;
}

// Reads until the end of the file; stops one byte past the cap, which is enough to know.
RegularFileContents ReadAll(int file, size_t expected, size_t maxBytes) {
    RegularFileContents contents;
    std::string& bytes = contents.bytes;
    bytes.resize(std::min(expected, maxBytes) + 1);
    size_t total = 0;
    while (true) {
        if (total == bytes.size()) {
            if (total > maxBytes) return Failure(RegularFileContents::Status::TooLarge, EFBIG);
            bytes.resize(std::min(bytes.size() * 2, maxBytes + 1));
        }
        ssize_t count = read(file, bytes.data() + total, bytes.size() - total);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return Failure(RegularFileContents::Status::Failed, errno);
        if (count == 0) break;
        total += static_cast<size_t>(count);
    }
    bytes.resize(total);
    contents.status = RegularFileContents::Status::Read;
    return contents;
}

// A symbolic link is followed to the file it names, so the link itself survives the rename.
std::string FollowLink(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string target = real;
    std::free(real);
    return target;
}

constexpr const char* kTemporarySuffix = ".tmp";

struct FolderAndName {
    std::string folder;  // ending with '/', or empty for the working folder
    std::string name;
};

FolderAndName Split(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {"", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// The temporary files of `name` are ".NAME.PID-N.tmp": the process that made one, and which
// of its files it was.
std::string TemporaryPrefix(const std::string& name) { return "." + name + "."; }

// The process whose temporary file this is, or 0 when the name is not one of ours.
pid_t WriterOfTemporary(const std::string& entry, const std::string& prefix) {
    const std::string suffix = kTemporarySuffix;
    if (entry.size() <= prefix.size() + suffix.size() || entry.compare(0, prefix.size(), prefix) != 0 ||
        entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return 0;
    }
    const std::string middle = entry.substr(prefix.size(), entry.size() - prefix.size() - suffix.size());
    const size_t dash = middle.find('-');
    if (dash == 0 || dash == std::string::npos || middle.find_first_not_of("0123456789-") != std::string::npos) return 0;
    const long long pid = std::atoll(middle.substr(0, dash).c_str());
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

// A replacement killed before its rename leaves its temporary file behind; the first one of
// the same file in a later process removes those whose process has ended (a living writer's
// are left alone). Each file's folder is looked through once per process.
void RemoveAbandonedTemporaries(const std::string& target) {
    static std::mutex lock;
    static std::set<std::string> cleared;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!cleared.insert(target).second) return;
    }
    const FolderAndName parts = Split(target);
    const std::string prefix = TemporaryPrefix(parts.name);
    DIR* folder = opendir(parts.folder.empty() ? "." : parts.folder.c_str());
    if (folder == nullptr) return;
    while (const dirent* entry = readdir(folder)) {
        const pid_t writer = WriterOfTemporary(entry->d_name, prefix);
        if (writer != 0 && writer != getpid() && kill(writer, 0) != 0 && errno == ESRCH) {
            unlink((parts.folder + entry->d_name).c_str());
        }
    }
    closedir(folder);
}

// A new, hidden file in the target's folder (rename only moves within one file system).
int CreateTemporaryBeside(const std::string& target, std::string* temporary) {
    static std::atomic<unsigned> counter{0};
    const FolderAndName parts = Split(target);
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        *temporary = parts.folder + TemporaryPrefix(parts.name) + std::to_string(getpid()) + "-" +
                     std::to_string(counter++) + kTemporarySuffix;
        int file = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file >= 0 || errno != EEXIST) return file;
    }
    errno = EEXIST;
    return -1;
}

int WriteAll(int file, std::string_view bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t count = write(file, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return errno;
        written += static_cast<size_t>(count);
    }
    return 0;
}

}  // namespace

RegularFileContents ReadRegularFile(const std::string& path, size_t maxBytes) {
    // Checked before opening: opening a FIFO for reading could block and opening a device can
    // have effects of its own. The second check covers a file swapped in between.
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return Failure(StatusOfMissing(errno), errno);
    if (!S_ISREG(info.st_mode)) return Failure(RegularFileContents::Status::NotRegular, 0);
    int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0) return Failure(StatusOfMissing(errno), errno);
    RegularFileContents contents;
    if (fstat(file, &info) != 0) {
        contents = Failure(RegularFileContents::Status::Failed, errno);
    } else if (!S_ISREG(info.st_mode)) {
        contents = Failure(RegularFileContents::Status::NotRegular, 0);
    } else if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        contents = Failure(RegularFileContents::Status::TooLarge, EFBIG);
    } else {
        contents = ReadAll(file, static_cast<size_t>(info.st_size), maxBytes);
    }
    close(file);
    return contents;
}

int ReplaceRegularFile(const std::string& path, std::string_view bytes) {
    std::string target = FollowLink(path);
    struct stat info;
    bool exists = stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return errno;
    if (exists && S_ISDIR(info.st_mode)) return EISDIR;
    if (exists && !S_ISREG(info.st_mode)) return EINVAL;

    std::string temporary;
    int file = CreateTemporaryBeside(target, &temporary);
    if (file < 0) return errno;
    int error = exists && fchmod(file, info.st_mode & 07777) != 0 ? errno : 0;
    if (error == 0) error = WriteAll(file, bytes);
    if (error == 0 && fsync(file) != 0) error = errno;
    if (close(file) != 0 && error == 0) error = errno;
    if (error == 0 && rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) unlink(temporary.c_str());
    if (error == 0) RemoveAbandonedTemporaries(target);
    return error;
}

}  // namespace platform
