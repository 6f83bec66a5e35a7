/*
 * The Windows side of the file functions: UTF-8 paths widened for the W
 * calls, Windows error codes mapped onto errno, and the replacement through a
 * flushed temporary file and MoveFileExW, which replaces the target in one
 * step.
 */

#include "os_file.h"

#include <windows.h>

#include <errno.h>
#include <stdio.h>

#include <atomic>
#include <new>
#include <string>

struct os_file {
    HANDLE handle;
};

namespace {

std::atomic<unsigned> tmp_counter{0};

int errno_of(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    default:
        return EIO;
    }
}

void set_errno_from_last_error()
{
    errno = errno_of(GetLastError());
}

/* UTF-8 to UTF-16; false (errno EINVAL) for bytes that are not UTF-8. */
bool widen(const char *utf8, std::wstring &out)
{
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 0) {
        errno = EINVAL;
        return false;
    }
    out.assign(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &out[0], n);
    out.resize(static_cast<size_t>(n - 1));
    return true;
}

bool write_all(HANDLE h, const char *data, size_t len)
{
    while (len > 0) {
        DWORD chunk = len > 0x40000000u ? 0x40000000u : static_cast<DWORD>(len);
        DWORD written = 0;
        if (!WriteFile(h, data, chunk, &written, nullptr)) {
            set_errno_from_last_error();
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        len -= written;
    }
    return true;
}

} // namespace

extern "C" {

os_file_t *os_file_open_read(const char *path)
{
    std::wstring wpath;
    if (path == nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    if (!widen(path, wpath))
        return nullptr;
    DWORD attrs = GetFileAttributesW(wpath.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        errno = EISDIR;
        return nullptr;
    }
    HANDLE h = CreateFileW(wpath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        set_errno_from_last_error();
        return nullptr;
    }
    os_file_t *file = new (std::nothrow) os_file_t{h};
    if (file == nullptr) {
        CloseHandle(h);
        errno = ENOMEM;
    }
    return file;
}

long long os_file_read(os_file_t *file, void *buf, size_t len)
{
    DWORD want = len > 0x40000000u ? 0x40000000u : static_cast<DWORD>(len);
    DWORD got = 0;
    if (!ReadFile(file->handle, buf, want, &got, nullptr)) {
        set_errno_from_last_error();
        return -1;
    }
    return got;
}

void os_file_close(os_file_t *file)
{
    if (file == nullptr)
        return;
    CloseHandle(file->handle);
    delete file;
}

bool os_file_replace(const char *path, const char *data, size_t len, char *tmp, size_t tmp_size,
                     const char **step)
{
    int n = snprintf(tmp, tmp_size, "%s.tmp.%lu.%u", path, static_cast<unsigned long>(GetCurrentProcessId()),
                     tmp_counter.fetch_add(1));
    if (n < 0 || static_cast<size_t>(n) >= tmp_size) {
        *step = "name";
        errno = ENAMETOOLONG;
        return false;
    }
    std::wstring wpath, wtmp;
    if (!widen(path, wpath) || !widen(tmp, wtmp)) {
        *step = "name";
        return false;
    }

    HANDLE h = CreateFileW(wtmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        set_errno_from_last_error();
        *step = "create";
        return false;
    }
    const char *what = nullptr;
    if (!write_all(h, data, len))
        what = "write";
    else if (!FlushFileBuffers(h)) {
        what = "flush";
        set_errno_from_last_error();
    }
    int err = errno;
    if (!CloseHandle(h) && what == nullptr) {
        what = "close";
        set_errno_from_last_error();
        err = errno;
    }
    /* A read-only target is refused here (access denied), as Windows means it. */
    if (what == nullptr &&
        !MoveFileExW(wtmp.c_str(), wpath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        what = "rename";
        set_errno_from_last_error();
        err = errno;
    }
    if (what != nullptr) {
        DeleteFileW(wtmp.c_str());
        *step = what;
        errno = err;
        return false;
    }
    return true;
}

} // extern "C"
