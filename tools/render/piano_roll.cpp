#include "piano_roll.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int beatsPerBar = 4;
constexpr double left = 60, right = 20, top = 44, panelGap = 40, labelHeight = 18;
constexpr const char* channelColours[16] = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e", "#9467bd", "#8c564b",
                                            "#e377c2", "#17becf", "#bcbd22", "#7f7f7f", "#393b79", "#637939",
                                            "#8c6d31", "#843c39", "#7b4173", "#3182bd"};

std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

bool isBlackKey(int pitch)
{
    const int pitchClass = pitch % 12;
    return pitchClass == 1 || pitchClass == 3 || pitchClass == 6 || pitchClass == 8 || pitchClass == 10;
}

std::string noteName(int pitch)
{
    constexpr const char* names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return names[pitch % 12] + std::to_string(pitch / 12 - 1);
}

// Geometry shared by every panel.
struct Layout {
    uint16_t ticksPerQuarter;
    int beats;
    int lowest;
    int highest;
    double beatWidth;
    double rowHeight;

    double width() const { return left + beats * beatWidth + right; }
    double panelHeight() const { return (highest - lowest + 1) * rowHeight; }
    double x(uint64_t tick) const { return left + double(tick) / ticksPerQuarter * beatWidth; }
    double y(double panelTop, int pitch) const { return panelTop + (highest - pitch) * rowHeight; }
};

Layout layoutFor(uint16_t ticksPerQuarter, uint64_t endTick, std::span<const RollPanel> panels)
{
    int lowest = 127, highest = 0;
    for (const RollPanel& panel : panels)
        for (const notes::Note& note : panel.notes) {
            lowest = std::min<int>(lowest, note.pitch);
            highest = std::max<int>(highest, note.pitch);
        }
    if (lowest > highest)
        lowest = highest = 60;
    lowest = std::max(0, lowest - 2);
    highest = std::min(127, std::max(highest + 2, lowest + 12));
    const int bars = std::max(1, static_cast<int>((endTick + ticksPerQuarter * beatsPerBar - 1) /
                                                  (uint64_t{ticksPerQuarter} * beatsPerBar)));
    const int beats = bars * beatsPerBar;
    const double beatWidth = std::clamp(1200.0 / beats, 4.0, 64.0);
    const double rowHeight = std::clamp(300.0 / (highest - lowest + 1), 3.0, 12.0);
    return {ticksPerQuarter, beats, lowest, highest, beatWidth, rowHeight};
}

void drawKeys(std::string& svg, const Layout& layout, double panelTop)
{
    for (int pitch = layout.lowest; pitch <= layout.highest; ++pitch) {
        const double y = layout.y(panelTop, pitch);
        if (isBlackKey(pitch))
            svg += "<rect x='" + number(left) + "' y='" + number(y) + "' width='" + number(layout.beats * layout.beatWidth) +
                   "' height='" + number(layout.rowHeight) + "' fill='#f0f0f0'/>\n";
        // Every row is named where rows are tall enough to read, else only the Cs.
        if (pitch % 12 == 0 || layout.rowHeight >= 10)
            svg += "<text x='" + number(left - 6) + "' y='" + number(y + layout.rowHeight - 2) +
                   "' text-anchor='end' font-size='" + (pitch % 12 == 0 ? "10' font-weight='bold" : "9") + "'>" +
                   noteName(pitch) + "</text>\n";
    }
}

void drawGrid(std::string& svg, const Layout& layout, double panelTop)
{
    const double bottom = panelTop + layout.panelHeight();
    for (int beat = 0; beat <= layout.beats; ++beat) {
        const double x = left + beat * layout.beatWidth;
        const bool bar = beat % beatsPerBar == 0;
        svg += "<line x1='" + number(x) + "' y1='" + number(panelTop) + "' x2='" + number(x) + "' y2='" +
               number(bottom) + "' stroke='" + (bar ? "#888" : "#d8d8d8") + "' stroke-width='1'/>\n";
        if (bar && beat < layout.beats)
            svg += "<text x='" + number(x + 3) + "' y='" + number(panelTop - 4) + "' font-size='10' fill='#666'>" +
                   std::to_string(beat / beatsPerBar + 1) + "</text>\n";
    }
    svg += "<rect x='" + number(left) + "' y='" + number(panelTop) + "' width='" +
           number(layout.beats * layout.beatWidth) + "' height='" + number(layout.panelHeight()) +
           "' fill='none' stroke='#888'/>\n";
}

void drawNotes(std::string& svg, const Layout& layout, double panelTop, std::span<const notes::Note> notes)
{
    for (const notes::Note& note : notes) {
        const double x = layout.x(note.start);
        const double width = std::max(2.0, layout.x(note.end) - x);
        svg += "<rect x='" + number(x) + "' y='" + number(layout.y(panelTop, note.pitch) + 0.5) + "' width='" +
               number(width) + "' height='" + number(layout.rowHeight - 1) + "' rx='1.5' fill='" +
               channelColours[note.channel & 0x0F] + "' stroke='#222' stroke-width='0.5'/>\n";
    }
}

void drawLegend(std::string& svg, std::span<const RollPanel> panels, double y)
{
    bool used[16] = {};
    for (const RollPanel& panel : panels)
        for (const notes::Note& note : panel.notes)
            used[note.channel & 0x0F] = true;
    double x = left;
    svg += "<text x='" + number(x) + "' y='" + number(y) + "' font-size='11'>MIDI channels:</text>\n";
    x += 86;
    for (int channel = 0; channel < 16; ++channel) {
        if (!used[channel])
            continue;
        svg += "<rect x='" + number(x) + "' y='" + number(y - 9) + "' width='10' height='10' fill='" +
               channelColours[channel] + "'/><text x='" + number(x + 14) + "' y='" + number(y) +
               "' font-size='11'>" + std::to_string(channel + 1) + "</text>\n";
        x += 34;
    }
}

}  // namespace

std::string pianoRollSvg(std::string_view title, uint16_t ticksPerQuarter, uint64_t endTick,
                         std::span<const RollPanel> panels)
{
    const Layout layout = layoutFor(ticksPerQuarter, endTick, panels);
    const double height = top + double(panels.size()) * (labelHeight + layout.panelHeight() + panelGap) + 10;
    std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='" + number(layout.width()) + "' height='" +
                      number(height) + "' font-family='sans-serif'>\n<rect width='100%' height='100%' fill='white'/>\n";
    svg += "<text x='" + number(left) + "' y='22' font-size='15' font-weight='bold'>" + escaped(title) + "</text>\n";
    double panelTop = top;
    for (const RollPanel& panel : panels) {
        svg += "<text x='" + number(left) + "' y='" + number(panelTop + 12) + "' font-size='12'>" +
               escaped(panel.label) + "</text>\n";
        panelTop += labelHeight + 12;
        drawKeys(svg, layout, panelTop);
        drawGrid(svg, layout, panelTop);
        drawNotes(svg, layout, panelTop, panel.notes);
        panelTop += layout.panelHeight() + panelGap - 12;
    }
    drawLegend(svg, panels, panelTop);
    return svg + "</svg>\n";
}
