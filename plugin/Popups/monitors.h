#pragma once

// Which monitors the simulator has, asked through its monitor enumeration.

// Logs every monitor and says whether one has this index.
bool monitor_present(int index);
