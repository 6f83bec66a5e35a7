#include "scenario/key_names.h"

#include "XPLMDefs.h"

#include <cstring>

namespace simhost {

namespace {

struct named_key {
    const char *name;
    char key; // XPLMDefs.h's ASCII control key codes
    int vkey;
};

const named_key named_keys[] = {
    {"LEFT", 28, XPLM_VK_LEFT},     {"RIGHT", 29, XPLM_VK_RIGHT},   {"UP", 30, XPLM_VK_UP},
    {"DOWN", 31, XPLM_VK_DOWN},     {"RETURN", 13, XPLM_VK_RETURN}, {"TAB", 9, XPLM_VK_TAB},
    {"ESCAPE", 27, XPLM_VK_ESCAPE}, {"SPACE", ' ', XPLM_VK_SPACE},  {"BACK", 8, XPLM_VK_BACK},
};

// The symbol keys of a US keyboard, unshifted and shifted, and their virtual
// key codes (the interface's extended ones, beyond what our header declares).
const char unshifted[] = "`-=[]\\;',./1234567890";
const char shifted[] = "~_+{}|:\"<>?!@#$%^&*()";
const int symbol_vkeys[] = {0xBA, 0xB1, 0xB0, 0xB3, 0xB2, 0xB6, 0xB5, 0xB4, 0xB7, 0xB9, 0xB8};
static_assert(sizeof(unshifted) == sizeof(shifted), "one shifted symbol per key");

// The virtual key of an unshifted symbol or digit, by its place above.
int symbol_vkey(size_t at)
{
    const size_t symbols = sizeof(symbol_vkeys) / sizeof(symbol_vkeys[0]);
    return at < symbols ? symbol_vkeys[at] : unshifted[at];
}

} // namespace

bool key_by_name(const std::string &name, key_stroke &out)
{
    for (const named_key &k : named_keys) {
        if (name == k.name) {
            out = key_stroke{k.key, k.vkey, 0};
            return true;
        }
    }
    if (name.size() != 1 || name[0] < '!' || name[0] > '~')
        return false;
    const char c = name[0];
    if (c >= 'a' && c <= 'z') {
        out = key_stroke{c, c - 'a' + 'A', 0};
    } else if (c >= 'A' && c <= 'Z') {
        out = key_stroke{c, c, xplm_ShiftFlag};
    } else if (const char *u = strchr(unshifted, c)) {
        out = key_stroke{c, symbol_vkey(static_cast<size_t>(u - unshifted)), 0};
    } else {
        const char *s = strchr(shifted, c);
        out = key_stroke{c, symbol_vkey(static_cast<size_t>(s - shifted)), xplm_ShiftFlag};
    }
    return true;
}

key_stroke with_modifier(key_stroke k, int flag)
{
    k.flags |= flag;
    if (flag == xplm_ControlFlag) {
        k.key = 0;
    } else if (flag == xplm_ShiftFlag && k.key >= 'a' && k.key <= 'z') {
        k.key = static_cast<char>(k.key - 'a' + 'A');
    } else if (const char *u = flag == xplm_ShiftFlag && k.key != 0 ? strchr(unshifted, k.key) : nullptr) {
        k.key = shifted[u - unshifted];
    }
    return k;
}

} // namespace simhost
