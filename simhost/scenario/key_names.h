#pragma once

// Keys as a scenario names them: a printable character, or one of LEFT RIGHT
// UP DOWN RETURN TAB ESCAPE SPACE BACK, with the character and virtual key
// code the simulator hands a key handler for it (XPLMDefs.h), on a US layout.

#include <string>

namespace simhost {

struct key_stroke {
    char key = 0;  // the character, 0 for none
    int vkey = 0;  // an XPLM_VK_ code
    int flags = 0; // xplm_ShiftFlag, xplm_OptionAltFlag, xplm_ControlFlag
};

// False for a name that is neither. An upper-case letter or a shifted symbol
// comes with the shift flag, as it is typed.
bool key_by_name(const std::string &name, key_stroke &out);

// With a modifier held: shift turns a letter or an unshifted symbol into its
// shifted character; control leaves no character ("control key combinations
// may have no valid ASCII and produce NULL"); alt changes only the flags.
key_stroke with_modifier(key_stroke k, int flag);

} // namespace simhost
