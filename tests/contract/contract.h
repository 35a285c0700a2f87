#pragma once
// The expectations the core has of the operating system, written once against the ports
// and run against the simulation on the host and against the real thing under Wine.

#include <string>

#include "platform/ports.h"

namespace varlindo::contract {

// Supplied by each runner.
Platform& Ports();
// A folder the test may write in, with a trailing separator.
std::string ScratchFolder();

}  // namespace varlindo::contract
