// The URIDs the adapter reads and writes, mapped once per instance.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

namespace lv2 {

struct Uris {
    explicit Uris(const LV2_URID_Map& map);

    LV2_URID atomBlank;
    LV2_URID atomDouble;
    LV2_URID atomFloat;
    LV2_URID atomInt;
    LV2_URID atomLong;
    LV2_URID atomObject;
    LV2_URID atomSequence;
    LV2_URID midiEvent;
    LV2_URID timePosition;
    LV2_URID timeBarBeat;
    LV2_URID timeBeatsPerMinute;
    LV2_URID timeSpeed;
};

}  // namespace lv2
