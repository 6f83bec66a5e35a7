// XPLMUtilities: the simulator's log, its commands, its version, and the
// interface's functions by name.

#include "XPLMUtilities.h"

#include "api/with_host.h"
#include "api/xplm_exports.h"

#include <cstring>

using simhost::detail::host_state;
using simhost::detail::with_host;

void XPLMDebugString(const char *inString)
{
    if (inString == nullptr)
        return;
    // Unlike the other calls this one is honoured from any thread: logging
    // layers write from their workers, and a lost line hides the fault.
    simhost::detail::host_state *h = simhost::detail::current_any_thread();
    if (h == nullptr)
        return;
    try {
        h->log.debug_string(inString);
    } catch (...) {
    }
}

XPLMCommandRef XPLMFindCommand(const char *inName)
{
    return with_host("XPLMFindCommand", static_cast<XPLMCommandRef>(nullptr),
                     [=](host_state &h) { return inName != nullptr ? h.cmds.find(inName) : nullptr; });
}

void XPLMCommandBegin(XPLMCommandRef inCommand)
{
    with_host("XPLMCommandBegin", [=](host_state &h) {
        if (!h.cmds.known(inCommand))
            h.log.unexpected("XPLMCommandBegin", "unknown command");
        else if (!h.cmds.begin(inCommand, h.callbacks_live()))
            h.log.unexpected("XPLMCommandBegin", "command held already");
    });
}

void XPLMCommandEnd(XPLMCommandRef inCommand)
{
    with_host("XPLMCommandEnd", [=](host_state &h) {
        if (!h.cmds.known(inCommand))
            h.log.unexpected("XPLMCommandEnd", "unknown command");
        else if (!h.cmds.end(inCommand, h.callbacks_live()))
            h.log.unexpected("XPLMCommandEnd", "command not held");
    });
}

void XPLMCommandOnce(XPLMCommandRef inCommand)
{
    with_host("XPLMCommandOnce", [=](host_state &h) {
        if (!h.cmds.known(inCommand))
            h.log.unexpected("XPLMCommandOnce", "unknown command");
        else
            h.cmds.once(inCommand, h.callbacks_live());
    });
}

XPLMCommandRef XPLMCreateCommand(const char *inName, const char *inDescription)
{
    return with_host("XPLMCreateCommand", static_cast<XPLMCommandRef>(nullptr), [=](host_state &h) {
        if (inName == nullptr || *inName == '\0') {
            h.log.unexpected("XPLMCreateCommand", "no name");
            return static_cast<XPLMCommandRef>(nullptr);
        }
        return h.cmds.create(inName, inDescription);
    });
}

void XPLMRegisterCommandHandler(XPLMCommandRef inComand, XPLMCommandCallback_f inHandler, int inBefore,
                                void *inRefcon)
{
    with_host("XPLMRegisterCommandHandler", [=](host_state &h) {
        if (!h.cmds.known(inComand))
            h.log.unexpected("XPLMRegisterCommandHandler", "unknown command");
        else if (!h.cmds.add_handler(inComand, inHandler, inBefore, inRefcon))
            h.log.unexpected("XPLMRegisterCommandHandler", "null or duplicate handler");
    });
}

void XPLMUnregisterCommandHandler(XPLMCommandRef inComand, XPLMCommandCallback_f inHandler, int inBefore,
                                  void *inRefcon)
{
    with_host("XPLMUnregisterCommandHandler", [=](host_state &h) {
        if (!h.cmds.remove_handler(inComand, inHandler, inBefore, inRefcon))
            h.log.unexpected("XPLMUnregisterCommandHandler", "no such handler");
    });
}

// --- The simulator's version, and the interface's functions by name ---
namespace {

int xplm_version(simhost::sim_version v)
{
    return v == simhost::sim_version::xp11 ? 303 : 410;
}

} // namespace

void XPLMGetVersions(int *outXPlaneVersion, int *outXPLMVersion, XPLMHostApplicationID *outHostID)
{
    with_host("XPLMGetVersions", [=](host_state &h) {
        const bool xp11 = h.version == simhost::sim_version::xp11;
        if (outXPlaneVersion != nullptr)
            *outXPlaneVersion = xp11 ? 11550 : 12100;
        if (outXPLMVersion != nullptr)
            *outXPLMVersion = xplm_version(h.version);
        if (outHostID != nullptr)
            *outHostID = xplm_Host_XPlane;
    });
}

void *XPLMFindSymbol(const char *inString)
{
    return with_host("XPLMFindSymbol", static_cast<void *>(nullptr), [=](host_state &h) -> void * {
        if (inString == nullptr)
            return nullptr;
        size_t n = 0;
        const simhost::xplm_function *table = simhost::xplm_functions(n);
        for (size_t i = 0; i < n; i++) {
            if (strcmp(table[i].name, inString) == 0)
                return table[i].since <= xplm_version(h.version) ? reinterpret_cast<void *>(table[i].address)
                                                                 : nullptr;
        }
        return nullptr;
    });
}
// --- end of the versions and the functions by name ---
