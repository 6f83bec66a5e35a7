#pragma once

// The datarefs the host publishes: named integers and integer arrays, each
// with a handle that stays valid for the host's life.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace simhost::detail {

class datarefs {
public:
    datarefs();
    void set_int(const std::string &name, int value);
    // Null for a name the host does not know.
    void *find(const char *name);
    // False for a handle this host did not give out.
    bool get_int(void *handle, int &value) const;
    // The value of a named integer; 0 for an unknown name.
    int value_of(std::string_view name) const;
    // --- Integer arrays ---
    void set_ints(const std::string &name, std::vector<int> values);
    // Copies up to `max` values from `offset` on into `out`, or with `out`
    // null gives the length; -1 for a handle that is not an array's.
    int get_ints(void *handle, int *out, int offset, int max) const;
    // What current_gl_fbo and viewport read: a framebuffer and its size.
    void set_bound_framebuffer(unsigned fbo, int width, int height);
    // --- end of the arrays ---
    // The panel's total and visible bounds (left, bottom, right, top), which
    // the simulator defines only inside panel and gauge callbacks: the
    // panel's size during its passes, 0 (no size) at every other time.
    void set_panel_bounds(int width, int height);

private:
    struct int_ref {
        int value = 0;
        bool is_array = false;
        std::vector<int> values;
    };
    std::map<std::string, int_ref, std::less<>> refs_;
};

} // namespace simhost::detail
