#pragma once

// Windows: points a loaded module's imports of one function elsewhere, the way
// a debugging shim would, by rewriting its import address table. A module
// binds its imports once, at load, so only this reaches calls it already makes.

namespace simhost::detail {

// Every slot of `module`'s imports from `dll` (case-insensitive) that holds
// `current` is set to `replacement`. The number of slots changed.
int redirect_import(void *module, const char *dll, const void *current, const void *replacement);

} // namespace simhost::detail
