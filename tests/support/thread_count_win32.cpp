#include "thread_count.h"

#include <windows.h>

#include <tlhelp32.h>

#include <mutex>
#include <thread>

size_t thread_count()
{
    static std::once_flag warm;
    std::call_once(warm, [] { std::thread([] {}).join(); });
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    const DWORD self = GetCurrentProcessId();
    size_t n = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        n += entry.th32OwnerProcessID == self ? 1 : 0;
    CloseHandle(snapshot);
    return n;
}
