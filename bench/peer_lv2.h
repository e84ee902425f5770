// The peer's side of the benchmark: a plug-in of another project doing a module's job,
// loaded through LV2 by a minimal host.
#pragma once

#include <memory>
#include <string>

#include "bench_loads.h"

namespace bench {

// Loads the LV2 plug-in `uri` with its control inputs at their defaults and the traffic's
// MIDI at its MIDI input. Throws std::runtime_error with a one-line reason when the
// plug-in is not installed or this build has no LV2 host.
std::unique_ptr<Runner> makePeerRunner(const std::string& uri, Traffic traffic);

}  // namespace bench
