// The pins of a module by pin number, in ascending order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

class MpPinBase;

// A sorted vector: filled while the module is constructed, then only searched, so
// look-ups on the processing path never allocate. The map does not own the pins.
class MpPinMap {
public:
    using Entry = std::pair<int32_t, MpPinBase*>;

    // Adds the pin unless `number` is bound already; the first binding wins.
    void insert(int32_t number, MpPinBase* pin)
    {
        const auto place = lowerBound(number);
        if (place == entries.end() || place->first != number)
            entries.insert(place, Entry{number, pin});
    }

    MpPinBase* find(int32_t number) const noexcept
    {
        const auto place = lowerBound(number);
        return place != entries.end() && place->first == number ? place->second : nullptr;
    }

    auto begin() const noexcept { return entries.begin(); }
    auto end() const noexcept { return entries.end(); }

private:
    std::vector<Entry>::const_iterator lowerBound(int32_t number) const noexcept
    {
        return std::lower_bound(entries.begin(), entries.end(), number,
                                [](const Entry& entry, int32_t key) { return entry.first < key; });
    }

    std::vector<Entry> entries;
};
