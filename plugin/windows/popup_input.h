#pragma once

// The press state the three windows share.

// Ends the command a hot-spot press began, if one is held, and forgets the
// press. Called at every release and when the popup system stops.
void popup_release_held_command();
