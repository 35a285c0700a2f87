#pragma once
// Keeps a second start without arguments from making a second tray icon: the running
// instance is brought forward and this one ends.

#include <string>

#include "app/app.h"

namespace varlindo {

// Returns only when no other instance runs; otherwise brings it forward and ends this
// program. `keys1` and `keys2` would be key strokes for the other instance (the program
// passes none).
void ActivatePrevInstance(App& app, std::string& unused, std::string& keys1, std::string& keys2);

}  // namespace varlindo
