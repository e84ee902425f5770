#include "chain.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

namespace {

std::vector<std::string> words(std::string_view text)
{
    std::istringstream in{std::string(text)};
    std::vector<std::string> result;
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::string settingNames(const host::ModuleDeclaration& module)
{
    std::string names;
    for (const host::PinDeclaration& pin : module.pins)
        if (host::isSetting(pin.kind) && (!module.steps || pin.number < module.steps->firstPin))
            names += (names.empty() ? "" : ", ") + std::string(pin.name);
    if (module.steps)
        names += ", " + std::string(module.steps->name) + ", step1 to step16";
    return names;
}

int32_t parseValue(const host::ModuleDeclaration& module, const host::PinDeclaration& pin, std::string_view text)
{
    const host::ParsedValue parsed = host::parsePinValue(pin, text);
    if (!parsed.value)
        throw ChainError(std::string(module.identifier) + " " + std::string(pin.name) + ": " + parsed.problem);
    return *parsed.value;
}

void set(ChainStage& stage, const Setting& given)
{
    const auto found = std::find_if(stage.settings.begin(), stage.settings.end(),
                                    [&given](const Setting& setting) { return setting.pin == given.pin; });
    found->value = given.value;
}

// `steps=v1,v2,...`: one to sixteen values for the step pins, repeated in turn.
std::vector<Setting> stepSettings(const host::ModuleDeclaration& module, std::string_view list)
{
    const host::StepPins& steps = *module.steps;
    const std::vector<std::string_view> items = split(list, ',');
    if (items.size() > static_cast<size_t>(steps.count))
        throw ChainError(std::string(module.identifier) + " " + std::string(steps.name) + ": " +
                         std::to_string(items.size()) + " values, at most " + std::to_string(steps.count));
    std::vector<Setting> settings;
    for (int32_t k = 0; k < steps.count; ++k) {
        const host::PinDeclaration& pin = *module.pin(steps.firstPin + k);
        settings.push_back({pin.number, parseValue(module, pin, items[static_cast<size_t>(k) % items.size()])});
    }
    return settings;
}

// The pins and values that `name=value` sets.
std::vector<Setting> itemSettings(const host::ModuleDeclaration& module, std::string_view name,
                                  std::string_view value)
{
    if (module.steps && name == module.steps->name)
        return stepSettings(module, value);
    const host::PinDeclaration* pin = module.pin(name);
    if (pin == nullptr)
        throw ChainError(std::string(module.identifier) + " has no pin \"" + std::string(name) +
                         "\" (settings: " + settingNames(module) + ")");
    if (!host::isSetting(pin->kind))
        throw ChainError(std::string(module.identifier) + " " + std::string(name) + " is " +
                         std::string(host::kindName(pin->kind)) + ", wired by the host, not a setting");
    return {{pin->number, parseValue(module, *pin, value)}};
}

// Quarter notes from 0 at the start of the music, a fraction allowed: `4`, `2.5`.
double parseBeat(const host::ModuleDeclaration& module, std::string_view item, std::string_view text)
{
    double beat = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), beat, std::chars_format::fixed);
    if (error != std::errc{} || end != text.data() + text.size() || !(beat >= 0) || std::isinf(beat))
        throw ChainError(std::string(module.identifier) + " " + std::string(item) + ": \"" + std::string(text) +
                         "\" after '@' is not a beat (beats count from 0 at the start: @4, @2.5)");
    return beat;
}

// `name=value` sets the value from the start, as does `name=value@0`; `name=value@BEAT`
// changes it at that beat.
void applySetting(ChainStage& stage, std::string_view item)
{
    const host::ModuleDeclaration& module = *stage.module;
    const size_t equals = item.find('=');
    if (equals == std::string_view::npos)
        throw ChainError("\"" + std::string(item) + "\" after " + std::string(module.identifier) +
                         " is not a setting: write name=value or name=value@beat");
    const std::string_view value = item.substr(equals + 1);
    const size_t at = value.find('@');
    const double beat = at == std::string_view::npos ? 0 : parseBeat(module, item, value.substr(at + 1));
    std::vector<Setting> settings = itemSettings(module, item.substr(0, equals), value.substr(0, at));
    if (beat > 0) {
        stage.changes.push_back({beat, std::move(settings), std::string(item)});
        return;
    }
    for (const Setting& setting : settings)
        set(stage, setting);
}

ChainStage parseStage(std::string_view text, std::span<const host::ModuleDeclaration> modules)
{
    const std::vector<std::string> items = words(text);
    if (items.empty())
        throw ChainError("empty module in the chain (two '|' in a row, or one at an end)");
    const host::ModuleDeclaration* module = host::findModule(modules, items[0]);
    if (module == nullptr) {
        std::string known;
        for (const host::ModuleDeclaration& declared : modules)
            known += (known.empty() ? "" : ", ") + std::string(declared.identifier);
        throw ChainError("unknown module \"" + items[0] + "\" (modules: " + known + ")");
    }
    ChainStage stage{module, {}, {}, std::string(module->identifier)};
    for (const host::PinDeclaration& pin : module->pins)
        if (host::isSetting(pin.kind))
            stage.settings.push_back({pin.number, pin.defaultValue});
    for (size_t i = 1; i < items.size(); ++i) {
        applySetting(stage, items[i]);
        stage.text += " " + items[i];
    }
    std::ranges::stable_sort(stage.changes, {}, &SettingChange::beat);
    return stage;
}

}  // namespace

Chain parseChain(std::string_view text, std::span<const host::ModuleDeclaration> modules)
{
    Chain chain;
    for (std::string_view part : split(text, '|'))
        chain.push_back(parseStage(part, modules));
    return chain;
}
