#pragma once

// The datarefs the host publishes: named integers, each with a handle that
// stays valid for the host's life.

#include <map>
#include <string>
#include <string_view>

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

private:
    struct int_ref {
        int value;
    };
    std::map<std::string, int_ref, std::less<>> refs_;
};

} // namespace simhost::detail
