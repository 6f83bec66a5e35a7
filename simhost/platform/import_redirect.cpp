#include "platform/import_redirect.h"

#include <windows.h>

namespace simhost::detail {

int redirect_import(void *module, const char *dll, const void *current, const void *replacement)
{
    auto *base = static_cast<unsigned char *>(module);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0)
        return 0;
    int changed = 0;
    // The slots are matched by what the loader put in them, not by name: the
    // name table is optional, and a slot already redirected is left alone.
    for (auto *d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(base + dir.VirtualAddress); d->Name != 0;
         ++d) {
        if (lstrcmpiA(reinterpret_cast<const char *>(base + d->Name), dll) != 0)
            continue;
        for (auto *slot = reinterpret_cast<IMAGE_THUNK_DATA *>(base + d->FirstThunk); slot->u1.Function != 0;
             ++slot) {
            if (slot->u1.Function != reinterpret_cast<ULONG_PTR>(current))
                continue;
            DWORD was = 0;
            if (!VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &was))
                continue;
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), was, &was);
            changed++;
        }
    }
    return changed;
}

} // namespace simhost::detail
