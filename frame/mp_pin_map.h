// The pins of a module by pin number, in ascending order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

class MpPinBase;

// Filled while the module is constructed, then only searched, so look-ups on the
// processing path never allocate. The block loop looks a pin up for every event it
// delivers, so the small numbers modules use are indexed directly; any other number is
// found by a binary search over the sorted entries. The map does not own the pins.
class MpPinMap {
public:
    using Entry = std::pair<int32_t, MpPinBase*>;

    MpPinMap() = default;
    MpPinMap(const MpPinMap&) = delete;  // directPins points into this map's own storage
    MpPinMap& operator=(const MpPinMap&) = delete;

    // Adds the pin unless `number` is bound already; the first binding wins.
    void insert(int32_t number, MpPinBase* pin)
    {
        const auto place = lowerBound(number);
        if (place != entries.end() && place->first == number)
            return;
        entries.insert(place, Entry{number, pin});
        if (number >= 0 && number < directLimit) {
            if (static_cast<size_t>(number) >= direct.size())
                direct.resize(static_cast<size_t>(number) + 1, nullptr);
            direct[static_cast<size_t>(number)] = pin;
        }
        directPins = direct.data();
        directCount = static_cast<uint32_t>(direct.size());
    }

    MpPinBase* find(int32_t number) const noexcept
    {
        if (static_cast<uint32_t>(number) < directCount)
            return directPins[number];
        const auto place = lowerBound(number);
        return place != entries.end() && place->first == number ? place->second : nullptr;
    }

    auto begin() const noexcept { return entries.begin(); }
    auto end() const noexcept { return entries.end(); }

private:
    static constexpr int32_t directLimit = 256;

    std::vector<Entry>::const_iterator lowerBound(int32_t number) const noexcept
    {
        return std::lower_bound(entries.begin(), entries.end(), number,
                                [](const Entry& entry, int32_t key) { return entry.first < key; });
    }

    std::vector<Entry> entries;       // sorted by number
    std::vector<MpPinBase*> direct;  // by number, for numbers below directLimit
    // The direct entries as the processing path reads them.
    MpPinBase* const* directPins = nullptr;
    uint32_t directCount = 0;
};
