/*
 * The POSIX side of the file functions: open/read with EINTR retries, and
 * the replacement through an fsync'ed temporary file and rename(2).
 */

#include "os_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <new>
#include <string>

struct os_file {
    int fd;
};

namespace {

std::atomic<unsigned> tmp_counter{0};

/* Writes all of buf, retrying after interruptions and short writes. */
bool write_all(int fd, const char *buf, size_t len)
{
    while (len > 0) {
        ssize_t n = write(fd, buf, len);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        buf += n;
        len -= (size_t)n;
    }
    return true;
}

/* Makes a rename durable: fsync the folder (best effort). */
void sync_folder_of(const char *path)
{
    std::string dir(path);
    size_t slash = dir.find_last_of('/');
    dir = (slash == std::string::npos ? std::string(".")
                                      : (slash == 0 ? std::string("/") : dir.substr(0, slash)));
    int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)fsync(dfd);
        close(dfd);
    }
}

} // namespace

extern "C" {

os_file_t *os_file_open_read(const char *path)
{
    if (path == nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return nullptr;
    struct stat st;
    int err = 0;
    if (fstat(fd, &st) != 0)
        err = errno;
    else if (S_ISDIR(st.st_mode))
        err = EISDIR;
    os_file_t *file = err == 0 ? new (std::nothrow) os_file_t{fd} : nullptr;
    if (file == nullptr) {
        close(fd);
        errno = err != 0 ? err : ENOMEM;
    }
    return file;
}

long long os_file_read(os_file_t *file, void *buf, size_t len)
{
    for (;;) {
        ssize_t n = read(file->fd, buf, len);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

void os_file_close(os_file_t *file)
{
    if (file == nullptr)
        return;
    close(file->fd);
    delete file;
}

bool os_file_replace(const char *path, const char *data, size_t len, char *tmp, size_t tmp_size,
                     const char **step)
{
    int n = snprintf(tmp, tmp_size, "%s.tmp.%ld.%u", path, (long)getpid(), tmp_counter.fetch_add(1));
    if (n < 0 || (size_t)n >= tmp_size) {
        *step = "name";
        errno = ENAMETOOLONG;
        return false;
    }

    /* Keep the permissions of the file being replaced, where there is one. */
    mode_t mode = 0644;
    struct stat st;
    bool keep_mode = (stat(path, &st) == 0 && S_ISREG(st.st_mode));
    if (keep_mode)
        mode = st.st_mode & 07777;

    int fd;
    do {
        fd = open(tmp, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        *step = "create";
        return false;
    }
    if (keep_mode) {
        /* Best effort: past the umask; the umask'ed mode is acceptable too. */
        int rc = fchmod(fd, mode);
        (void)rc;
    }

    const char *what = nullptr;
    if (!write_all(fd, data, len))
        what = "write";
    else if (fsync(fd) != 0)
        what = "flush";
    int err = errno;
    if (close(fd) != 0 && what == nullptr) {
        what = "close";
        err = errno;
    }
    if (what == nullptr && rename(tmp, path) != 0) {
        what = "rename";
        err = errno;
    }
    if (what != nullptr) {
        unlink(tmp);
        *step = what;
        errno = err;
        return false;
    }
    sync_folder_of(path);
    return true;
}

} // extern "C"
