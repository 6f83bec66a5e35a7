#pragma once

// The "Display Regions" window, where the pilot points each display at its
// place in the panel by dragging rectangles over a picture of it. Its
// command shows and hides it; the window is made at its first showing.

#include "XPLMUtilities.h"

constexpr const char *picker_command_name = "kyv/popup/regions";

// At enable: the command and its handler.
void picker_init();
// At disable: the window, its picture and the command's handler.
void picker_fini();

// Shows the window when hidden, hides it when shown; on the end phase only.
int picker_toggle(XPLMCommandRef cmd, XPLMCommandPhase phase, void *ref);
