#include "turtle.h"

#include "port_layout.h"

namespace lv2 {
namespace {

constexpr std::string_view prefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix lv2:  <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix rdf:  <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string quoted(std::string_view text)
{
    std::string result = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + "\"";
}

std::string typesOf(PortRole role)
{
    switch (role) {
    case PortRole::midiIn:
        return "lv2:InputPort , atom:AtomPort ;\n        atom:bufferType atom:Sequence ;\n"
               "        atom:supports midi:MidiEvent , time:Position";
    case PortRole::midiOut:
        return "lv2:OutputPort , atom:AtomPort ;\n        atom:bufferType atom:Sequence ;\n"
               "        atom:supports midi:MidiEvent";
    case PortRole::cvIn: return "lv2:InputPort , lv2:CVPort ;\n        lv2:portProperty lv2:connectionOptional";
    case PortRole::controlOut: return "lv2:OutputPort , lv2:ControlPort";
    default: return "lv2:InputPort , lv2:ControlPort";
    }
}

// Range, default and the kind of number; words become labelled values.
std::string valuesOf(const host::PinDeclaration& pin)
{
    std::string text = " ;\n        lv2:default " + std::to_string(pin.defaultValue) +
                       " ;\n        lv2:minimum " + std::to_string(pin.minimum) +
                       " ;\n        lv2:maximum " + std::to_string(pin.maximum);
    if (pin.kind == host::PinKind::boolIn)
        return text + " ;\n        lv2:portProperty lv2:toggled";
    text += " ;\n        lv2:portProperty lv2:integer";
    if (pin.names.empty())
        return text;
    if (host::isEnumeration(pin))
        text += " , lv2:enumeration";
    const char* separator = " ;\n        lv2:scalePoint ";
    for (const host::NamedValue& label : host::valueLabels(pin)) {
        text += separator;
        text += "[ rdfs:label " + quoted(label.name) + " ; rdf:value " + std::to_string(label.value) + " ]";
        separator = " ,\n            ";
    }
    return text;
}

std::string portTurtle(const Port& port)
{
    std::string text = "[\n        a " + typesOf(port.role) + " ;\n        lv2:index " + std::to_string(port.index) +
                       " ;\n        lv2:symbol " + quoted(port.symbol) + " ;\n        lv2:name " + quoted(port.name) +
                       " ;\n        rdfs:comment " + quoted(port.pin.purpose);
    const bool numeric = port.role != PortRole::midiIn && port.role != PortRole::midiOut && port.role != PortRole::cvIn;
    if (numeric)
        text += valuesOf(port.pin);
    return text + "\n    ]";
}

}  // namespace

std::string manifestTurtle(std::span<const host::ModuleDeclaration> modules, std::string_view binaryName)
{
    std::string text(prefixes);
    for (const host::ModuleDeclaration& module : modules)
        text += "<" + pluginUri(module.identifier) + ">\n    a lv2:Plugin ;\n    lv2:binary <" +
                std::string(binaryName) + "> ;\n    rdfs:seeAlso <" + pluginTurtleFileName(module.identifier) +
                "> .\n\n";
    return text;
}

std::string pluginTurtle(const host::ModuleDeclaration& module)
{
    std::string text(prefixes);
    text += "<" + pluginUri(module.identifier) + ">\n    a lv2:Plugin , lv2:MIDIPlugin ;\n    doap:name " +
            quoted(module.identifier) + " ;\n    doap:license <http://opensource.org/licenses/MIT>" +
            " ;\n    rdfs:comment " + quoted(module.purpose) +
            " ;\n    lv2:requiredFeature urid:map ;\n    lv2:optionalFeature lv2:hardRTCapable ;\n    lv2:port ";
    const char* separator = "";
    for (const Port& port : portsOf(module)) {
        text += separator + portTurtle(port);
        separator = " , ";
    }
    return text + " .\n";
}

std::string pluginTurtleFileName(std::string_view identifier)
{
    return std::string(identifier) + ".ttl";
}

}  // namespace lv2
