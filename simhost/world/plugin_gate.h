#pragma once

// Every call into the plugin passes a gate: what the simulator does around it
// (the GL state it hands over and checks afterwards) is the core's business,
// so the world says only where a call begins and ends.

namespace simhost::detail {

class plugin_gate {
public:
    virtual ~plugin_gate() = default;
    // `what` names the callback in a note: a literal that outlives the call.
    // Calls nest (a menu handler runs a command); each enter has one leave.
    virtual void enter(const char *what) noexcept = 0;
    virtual void leave() noexcept = 0;
};

// One call into the plugin, for the scope of this object.
class plugin_call {
public:
    plugin_call(plugin_gate &gate, const char *what) noexcept : gate_(gate) { gate_.enter(what); }
    ~plugin_call() { gate_.leave(); }
    plugin_call(const plugin_call &) = delete;
    plugin_call &operator=(const plugin_call &) = delete;

private:
    plugin_gate &gate_;
};

} // namespace simhost::detail
