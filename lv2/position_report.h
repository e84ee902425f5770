// Reads the host's transport position objects, trusting no size the object gives.
#pragma once

#include <lv2/atom/atom.h>

#include "transport_clock.h"
#include "uris.h"

namespace lv2 {

// Whether `atom` is a time:Position object.
bool isPosition(const LV2_Atom& atom, const Uris& uris);
// Tempo, place in the bar and speed, where the object has them as numbers.
TransportReport readPosition(const LV2_Atom& position, const Uris& uris);

}  // namespace lv2
