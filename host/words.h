// Words a person types, compared as the host reads them.
#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace host {

inline bool sameWordIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace host
