#include "data/file_system.h"

#include <cstdio>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {
namespace {

FileSystem& realCalls()
{
    static FileSystem calls;
    return calls;
}

FileSystem* current = nullptr;

}  // namespace

int FileSystem::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileSystem::write(int fd, const void* bytes, size_t size) { return ::write(fd, bytes, size); }
ssize_t FileSystem::pwrite(int fd, const void* bytes, size_t size, off_t offset)
{
    return ::pwrite(fd, bytes, size, offset);
}
int FileSystem::ftruncate(int fd, off_t length) { return ::ftruncate(fd, length); }
int FileSystem::fdatasync(int fd) { return ::fdatasync(fd); }
int FileSystem::fsync(int fd) { return ::fsync(fd); }
int FileSystem::rename(const char* from, const char* to) { return std::rename(from, to); }
int FileSystem::remove(const char* path) { return std::remove(path); }
int FileSystem::fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }
int FileSystem::linkOpenFile(int fd, const char* to)
{
    const std::string open = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, open.c_str(), AT_FDCWD, to, AT_SYMLINK_FOLLOW);
}
int FileSystem::link(const char* from, const char* to) { return ::link(from, to); }
int FileSystem::renameNoReplace(const char* from, const char* to)
{
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

FileSystem& fileSystem()
{
    return current ? *current : realCalls();
}

FileSystem* replaceFileSystem(FileSystem* calls)
{
    FileSystem* previous = current;
    current = calls;
    return previous;
}

}  // namespace pw
