/*
 * The Windows side of the OS layer: fiber-local storage (which, unlike TLS,
 * runs a callback when a thread ends) for thread-local slots,
 * QueryPerformanceCounter, and cursors made with CreateIconIndirect and made
 * current with SetCursor.
 */

#include "os.h"
#include "tls_slot.h"

#include <windows.h>

#include <psapi.h>

#include <mutex>
#include <vector>

namespace {

bool slot_index(os_tls_key_t *slot, DWORD *index)
{
    unsigned long k = 0;
    bool ok = os_detail::slot_key(slot, &k, [slot](unsigned long *out) {
        DWORD made = FlsAlloc(reinterpret_cast<PFLS_CALLBACK_FUNCTION>(slot->destructor));
        if (made == FLS_OUT_OF_INDEXES)
            return false;
        *out = made;
        return true;
    });
    *index = static_cast<DWORD>(k);
    return ok;
}

typedef void (*cursor_hook_t)(const char *name, const unsigned char *pixels, int width, int height,
                              int stride, int hot_x, int hot_y);

/*
 * A hosting process may export os_cursor_hook from any of its modules to see
 * the cursors we show, as on POSIX; GetProcAddress needs the module, so every
 * module loaded at the first call is asked.
 */
cursor_hook_t find_cursor_hook()
{
    HANDLE process = GetCurrentProcess();
    std::vector<HMODULE> modules(256);
    DWORD needed = 0;
    if (!EnumProcessModules(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                            &needed))
        return nullptr;
    modules.resize(needed / sizeof(HMODULE) < modules.size() ? needed / sizeof(HMODULE) : modules.size());
    for (HMODULE m : modules) {
        FARPROC p = GetProcAddress(m, "os_cursor_hook");
        if (p != nullptr)
            return reinterpret_cast<cursor_hook_t>(reinterpret_cast<void (*)()>(p));
    }
    return nullptr;
}

std::once_flag cursor_hook_once;
cursor_hook_t cursor_hook = nullptr;

/* Icons take straight alpha; cairo keeps it premultiplied. */
unsigned char unpremultiply(unsigned char c, unsigned char a)
{
    return a == 0 ? 0 : static_cast<unsigned char>((c * 255 + a / 2) / a);
}

} // namespace

extern "C" {

void *os_tls_get(os_tls_key_t *slot)
{
    DWORD index;
    if (slot == nullptr || !slot_index(slot, &index))
        return nullptr;
    return FlsGetValue(index);
}

bool os_tls_set(os_tls_key_t *slot, void *value)
{
    DWORD index;
    if (slot == nullptr || !slot_index(slot, &index))
        return false;
    return FlsSetValue(index, value) != FALSE;
}

void os_tls_delete(os_tls_key_t *slot)
{
    unsigned long k;
    if (!os_detail::slot_take(slot, &k))
        return;
    /* FlsFree hands every thread's value, ours included, to the destructor. */
    FlsFree(static_cast<DWORD>(k));
}

uint64_t os_perf_counter(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<uint64_t>(now.QuadPart);
}

uint64_t os_perf_frequency(void)
{
    /* Fixed at boot; never 0 on any Windows since XP. */
    static const uint64_t freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? static_cast<uint64_t>(f.QuadPart) : 1;
    }();
    return freq;
}

void os_thread_set_name(const char *name)
{
    /* Windows 10 1607 and later; older systems keep the thread unnamed. */
    using set_fn = HRESULT(WINAPI *)(HANDLE, PCWSTR);
    static const set_fn set = reinterpret_cast<set_fn>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
    if (set == nullptr)
        return;
    wchar_t wide[64];
    const int n = MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, 64);
    if (n > 0)
        set(GetCurrentThread(), wide);
}

os_cursor_t *os_cursor_create(const unsigned char *pixels, int width, int height, int stride, int hot_x,
                              int hot_y)
{
    if (pixels == nullptr || width <= 0 || height <= 0 || stride < width * 4)
        return nullptr;
    BITMAPV5HEADER bh = {};
    bh.bV5Size = sizeof(bh);
    bh.bV5Width = width;
    bh.bV5Height = -height; /* top-down rows, as cairo keeps them */
    bh.bV5Planes = 1;
    bh.bV5BitCount = 32;
    bh.bV5Compression = BI_BITFIELDS;
    bh.bV5RedMask = 0x00ff0000;
    bh.bV5GreenMask = 0x0000ff00;
    bh.bV5BlueMask = 0x000000ff;
    bh.bV5AlphaMask = 0xff000000;
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO *>(&bh), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    HCURSOR cursor = nullptr;
    if (color != nullptr && mask != nullptr) {
        unsigned char *dst = static_cast<unsigned char *>(bits);
        for (int y = 0; y < height; y++) {
            const unsigned char *src = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
            for (int x = 0; x < width * 4; x += 4, dst += 4) {
                unsigned char a = src[x + 3]; /* B, G, R, A in memory on little-endian */
                dst[0] = unpremultiply(src[x], a);
                dst[1] = unpremultiply(src[x + 1], a);
                dst[2] = unpremultiply(src[x + 2], a);
                dst[3] = a;
            }
        }
        ICONINFO info = {};
        info.fIcon = FALSE;
        info.xHotspot = static_cast<DWORD>(hot_x);
        info.yHotspot = static_cast<DWORD>(hot_y);
        info.hbmMask = mask;
        info.hbmColor = color;
        cursor = reinterpret_cast<HCURSOR>(CreateIconIndirect(&info));
    }
    /* The cursor holds copies of both bitmaps. */
    if (color != nullptr)
        DeleteObject(color);
    if (mask != nullptr)
        DeleteObject(mask);
    return reinterpret_cast<os_cursor_t *>(cursor);
}

void os_cursor_destroy(os_cursor_t *cursor)
{
    if (cursor != nullptr)
        DestroyCursor(reinterpret_cast<HCURSOR>(cursor));
}

void os_cursor_show(const os_cursor_t *native, const char *name, const unsigned char *pixels, int width,
                    int height, int stride, int hot_x, int hot_y)
{
    SetCursor(native != nullptr ? reinterpret_cast<HCURSOR>(const_cast<os_cursor_t *>(native))
                                : LoadCursor(nullptr, IDC_ARROW));
    std::call_once(cursor_hook_once, [] { cursor_hook = find_cursor_hook(); });
    if (cursor_hook != nullptr)
        cursor_hook(name, pixels, width, height, stride, hot_x, hot_y);
}

} // extern "C"
