// Values of the host's settings as a person types and reads them.
#include <algorithm>

#include "module_catalogue.h"
#include "words.h"

namespace host {
namespace {

const NamedValue* nameOf(const PinDeclaration& pin, int32_t value)
{
    const auto found = std::find_if(pin.names.begin(), pin.names.end(),
                                    [value](const NamedValue& named) { return named.value == value; });
    return found != pin.names.end() ? &*found : nullptr;
}

bool inRange(const PinDeclaration& pin, int32_t value)
{
    return (value >= pin.minimum && value <= pin.maximum) || nameOf(pin, value) != nullptr;
}

}  // namespace

bool isEnumeration(const PinDeclaration& pin)
{
    for (int32_t value = pin.minimum; value <= pin.maximum; ++value)
        if (nameOf(pin, value) == nullptr)
            return false;
    return true;
}

std::vector<NamedValue> valueLabels(const PinDeclaration& pin)
{
    std::vector<NamedValue> labels;
    for (const NamedValue& named : pin.names)
        if (nameOf(pin, named.value) == &named)
            labels.push_back(named);
    return labels;
}

ParsedValue parsePinValue(const PinDeclaration& pin, std::string_view text)
{
    for (const NamedValue& named : pin.names)
        if (sameWordIgnoringCase(named.name, text))
            return {named.value, {}};
    const std::optional<int32_t> number = wholeNumber(text);
    if (!number)
        return {std::nullopt, "\"" + std::string(text) + "\" is not a value (" + describeValues(pin) + ")"};
    if (!inRange(pin, *number))
        return {std::nullopt, std::to_string(*number) + " is out of range (" + describeValues(pin) + ")"};
    return {number, {}};
}

std::string describeValues(const PinDeclaration& pin)
{
    if (pin.kind == PinKind::boolIn)
        return "on or off";
    const std::string range = std::to_string(pin.minimum) + " to " + std::to_string(pin.maximum);
    std::string words;
    for (const NamedValue& label : valueLabels(pin))
        words += (words.empty() ? "" : ", ") + std::string(label.name);
    if (words.empty())
        return range;
    return isEnumeration(pin) ? words + " (or " + range + ")" : range + ", or " + words;
}

std::string describeDefault(const PinDeclaration& pin)
{
    if (pin.kind == PinKind::boolIn)
        return pin.defaultValue != 0 ? "on" : "off";
    const NamedValue* named = nameOf(pin, pin.defaultValue);
    return named != nullptr ? std::string(named->name) : std::to_string(pin.defaultValue);
}

}  // namespace host
