#include "uris.h"

#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

namespace lv2 {
namespace {

LV2_URID mapped(const LV2_URID_Map& map, const char* uri)
{
    return map.map(map.handle, uri);
}

}  // namespace

Uris::Uris(const LV2_URID_Map& map)
    : atomBlank(mapped(map, LV2_ATOM__Blank)),
      atomDouble(mapped(map, LV2_ATOM__Double)),
      atomFloat(mapped(map, LV2_ATOM__Float)),
      atomInt(mapped(map, LV2_ATOM__Int)),
      atomLong(mapped(map, LV2_ATOM__Long)),
      atomObject(mapped(map, LV2_ATOM__Object)),
      atomSequence(mapped(map, LV2_ATOM__Sequence)),
      midiEvent(mapped(map, LV2_MIDI__MidiEvent)),
      timePosition(mapped(map, LV2_TIME__Position)),
      timeBarBeat(mapped(map, LV2_TIME__barBeat)),
      timeBeatsPerMinute(mapped(map, LV2_TIME__beatsPerMinute)),
      timeSpeed(mapped(map, LV2_TIME__speed))
{
}

}  // namespace lv2
