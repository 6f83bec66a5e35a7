#include "thread_count.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>

namespace {

using get_fn = HRESULT(WINAPI *)(HANDLE, PWSTR *);

bool ours(get_fn get, DWORD thread_id)
{
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread_id);
    if (thread == nullptr)
        return false;
    PWSTR name = nullptr;
    bool match = false;
    if (SUCCEEDED(get(thread, &name)) && name != nullptr) {
        match = wcsncmp(name, L"lacf_", 5) == 0 || wcsncmp(name, L"kyv_", 4) == 0;
        LocalFree(name);
    }
    CloseHandle(thread);
    return match;
}

} // namespace

size_t thread_count()
{
    static const get_fn get = reinterpret_cast<get_fn>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
    if (get == nullptr)
        return 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    const DWORD self = GetCurrentProcessId();
    size_t n = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        n += entry.th32OwnerProcessID == self && ours(get, entry.th32ThreadID) ? 1 : 0;
    CloseHandle(snapshot);
    return n;
}
