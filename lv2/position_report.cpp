#include "position_report.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include <lv2/atom/util.h>

namespace lv2 {
namespace {

template <typename T>
std::optional<double> numberAs(const LV2_Atom& atom)
{
    if (atom.size < sizeof(T))
        return std::nullopt;
    T value;
    std::memcpy(&value, &atom + 1, sizeof value);
    return double(value);
}

std::optional<double> numberOf(const LV2_Atom& atom, const Uris& uris)
{
    if (atom.type == uris.atomFloat)
        return numberAs<float>(atom);
    if (atom.type == uris.atomDouble)
        return numberAs<double>(atom);
    if (atom.type == uris.atomInt)
        return numberAs<int32_t>(atom);
    if (atom.type == uris.atomLong)
        return numberAs<int64_t>(atom);
    return std::nullopt;
}

void take(TransportReport& report, LV2_URID key, const LV2_Atom& value, const Uris& uris)
{
    if (key == uris.timeBeatsPerMinute)
        report.beatsPerMinute = numberOf(value, uris);
    else if (key == uris.timeBarBeat)
        report.barBeat = numberOf(value, uris);
    else if (key == uris.timeSpeed)
        report.speed = numberOf(value, uris);
}

}  // namespace

bool isPosition(const LV2_Atom& atom, const Uris& uris)
{
    if ((atom.type != uris.atomObject && atom.type != uris.atomBlank) || atom.size < sizeof(LV2_Atom_Object_Body))
        return false;
    return reinterpret_cast<const LV2_Atom_Object&>(atom).body.otype == uris.timePosition;
}

TransportReport readPosition(const LV2_Atom& position, const Uris& uris)
{
    TransportReport report;
    const auto* body = reinterpret_cast<const uint8_t*>(&position + 1);
    const uint8_t* end = body + position.size;
    for (const uint8_t* at = body + sizeof(LV2_Atom_Object_Body);
         size_t(end - at) >= sizeof(LV2_Atom_Property_Body);) {
        const auto* property = reinterpret_cast<const LV2_Atom_Property_Body*>(at);
        const size_t room = size_t(end - at) - sizeof(LV2_Atom_Property_Body);
        if (property->value.size > room)
            break;
        take(report, property->key, property->value, uris);
        at += std::min(sizeof(LV2_Atom_Property_Body) + lv2_atom_pad_size(property->value.size), size_t(end - at));
    }
    return report;
}

}  // namespace lv2
