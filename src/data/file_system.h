#pragma once

#include <sys/types.h>

namespace pw {

// The system calls through which Postwick changes files: every write, flush, sync, link, rename and
// removal of the contacts file, the parameter file, exports and delivered files goes through the
// one table in place, so that a fault at any of them can be put in front of it.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* bytes, size_t size);
    virtual ssize_t pwrite(int fd, const void* bytes, size_t size, off_t offset);
    virtual int ftruncate(int fd, off_t length);
    virtual int fdatasync(int fd);
    virtual int fsync(int fd);
    virtual int fchmod(int fd, mode_t mode);
    // Gives the unnamed file open on `fd` (O_TMPFILE) the name `to`; fails with EEXIST when taken.
    virtual int linkOpenFile(int fd, const char* to);
    virtual int link(const char* from, const char* to);
    virtual int rename(const char* from, const char* to);
    // Renames only when nothing is at `to` (EEXIST); EINVAL where the file system cannot tell.
    virtual int renameNoReplace(const char* from, const char* to);
    // Removes a file, or a folder that is empty.
    virtual int remove(const char* path);
};

// The table in place: the real calls, unless another was put in its place.
FileSystem& fileSystem();
// Puts `calls` in place of the current table (nullptr: the real calls again) and returns the one it
// replaced. The caller keeps `calls` alive while it is in place.
FileSystem* replaceFileSystem(FileSystem* calls);

}  // namespace pw
