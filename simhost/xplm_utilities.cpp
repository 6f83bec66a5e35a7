// XPLMUtilities: the simulator's log, and its commands (not implemented yet).

#include "XPLMUtilities.h"

#include "host_state.h"

using simhost::detail::unexpected_call;

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

XPLMCommandRef XPLMFindCommand(const char *)
{
    unexpected_call("XPLMFindCommand");
    return nullptr;
}

void XPLMCommandBegin(XPLMCommandRef)
{
    unexpected_call("XPLMCommandBegin");
}

void XPLMCommandEnd(XPLMCommandRef)
{
    unexpected_call("XPLMCommandEnd");
}

void XPLMCommandOnce(XPLMCommandRef)
{
    unexpected_call("XPLMCommandOnce");
}

XPLMCommandRef XPLMCreateCommand(const char *, const char *)
{
    unexpected_call("XPLMCreateCommand");
    return nullptr;
}

void XPLMRegisterCommandHandler(XPLMCommandRef, XPLMCommandCallback_f, int, void *)
{
    unexpected_call("XPLMRegisterCommandHandler");
}

void XPLMUnregisterCommandHandler(XPLMCommandRef, XPLMCommandCallback_f, int, void *)
{
    unexpected_call("XPLMUnregisterCommandHandler");
}
