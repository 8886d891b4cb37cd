#include "instrument/GlobalParameters.h"

namespace GlobalParameters
{
namespace
{
using K = Kind;

const Description descriptions[numShown] = {
    {"Coarse", 24, K::knob, false},
    {"Fine", 100, K::knob, false},
    {"MIDI Channel:", 16, K::menu, false},
    {"MIDI Clock Mode", 3, K::menu, false},
    {"MIDI Clock Cable", 2, K::menu, false},
    {"MIDI Param Send", 2, K::menu, false},
    {"MIDI Param Recv.", 3, K::menu, false},
    {"MIDI Controller Enable", 1, K::toggle, false},
    {"MIDI SysEx Enable", 1, K::toggle, false},
    {"MIDI SysEx Cable", 2, K::menu, false},
    {"MIDI Out Select", 3, K::menu, false},
    {"Local Control", 1, K::toggle, true},
    {"Audio Output", 1, K::menu, false},
    {"Pot Mode", 2, K::menu, false},
    {"Sustain Polarity", 1, K::menu, false},
    {"Sustain Mode", 1, K::menu, false},
    {"Pedal 1 Mode", 5, K::menu, false},
    {"Pedal 2 Mode", 5, K::menu, false},
    {"Pressure Enable", 1, K::toggle, false},
    {"Pressure Curve", 3, K::menu, false},
    {"Velocity Curve", 3, K::menu, false},
    {"", 1, K::toggle, true},
    {"Screen Server", 1, K::toggle, false},
    {"MIDI Arp Notes", 1, K::toggle, false},
    {"", 0, K::none, true},
    {"Alt. Tuning Scale:", 16, K::menu, false},
};

const char* const tuningScales[] = {"1. 12-Tone Equal Temp",
                                    "2. Harmonic Series",
                                    "3. Carlos Harmonic 12 Tone",
                                    "4. Meantone Temperament",
                                    "5. 1/4-Tone Equal Temp",
                                    "6. 19-Tone Equal Temp",
                                    "7. 31-Tone Equal Temp",
                                    "8. Pythagorean C",
                                    "9. Just Inton in A with 7-limit Tritone at D#",
                                    "10. 3-5 Lattice in A",
                                    "11. 3-7 Lattice in A",
                                    "12. Other Music 7-Limit Black Keys in C",
                                    "13. Zad Zivudiz Pelog/Slendro",
                                    "14. Yamaha Just Major C",
                                    "15. Yamaha Just Minor C",
                                    "16. Harry Partch 11-limit 43 Note Just Inton",
                                    "17. Arabic 12-Tone"};

juce::String fromList (std::initializer_list<const char*> list, int value)
{
    if (juce::isPositiveAndBelow (value, (int)list.size()))
        return *(list.begin() + value);
    return juce::String (value);
}

struct Place
{
    int k, x, y, w, h;
};

const Place places[] = {
    {0, 44, 50, 64, 65},     {1, 114, 50, 64, 65},    {2, 340, 50, 100, 30},   {3, 580, 50, 100, 30},
    {4, 580, 78, 100, 30},   {5, 140, 128, 100, 30},  {6, 140, 162, 100, 30},  {7, 410, 128, 40, 30},
    {8, 170, 196, 40, 30},   {9, 140, 230, 100, 30},  {10, 140, 264, 100, 30}, {12, 340, 78, 100, 30},
    {13, 620, 128, 100, 30}, {14, 620, 230, 100, 30}, {15, 620, 264, 100, 30}, {16, 620, 162, 100, 30},
    {17, 620, 196, 100, 30}, {18, 410, 196, 40, 24},  {19, 380, 264, 100, 30}, {20, 380, 230, 100, 30},
    {22, 650, 298, 100, 30}, {23, 410, 162, 40, 24},  {25, 140, 298, 200, 30}};
} // namespace

Description describe (int k) noexcept
{
    return juce::isPositiveAndBelow (k, numShown) ? descriptions[k] : Description{"", 0, Kind::none, true};
}

juce::String label (int k)
{
    return describe (k).label;
}

int highest (int k) noexcept
{
    return describe (k).highest;
}

Kind kind (int k) noexcept
{
    return describe (k).kind;
}

bool isHidden (int k) noexcept
{
    return describe (k).hidden;
}

juce::String valueText (int k, int v)
{
    switch (k)
    {
        case 0: return juce::String (v - 12);
        case 1: return juce::String (v - 50);
        case 2:
            if (v == 0)
                return "ALL CHANNELS";
            return v >= 1 && v <= 16 ? "CHANNEL " + juce::String (v) : juce::String (v);
        case 3: return fromList ({"Internal", "Intr with send", "External", "Ext with send"}, v);
        case 4: return fromList ({"MIDI port", "USB"}, v);
        case 5: return fromList ({"NRPN", "CC", "OFF"}, v);
        case 6: return fromList ({"All", "NRPN only", "CC only", "OFF"}, v);
        case 9: return fromList ({"NONE", "MIDI Port", "USB"}, v);
        case 10: return fromList ({"OFF", "MIDI", "USB", "MIDI/USB"}, v);
        case 12: return fromList ({"Stereo", "Mono"}, v);
        case 13: return fromList ({"Relative", "Pass Thru", "Jump"}, v);
        case 14: return fromList ({"Normally Open", "Normally Closed"}, v);
        case 15: return fromList ({"Sustain", "Arp Hold On/Off"}, v);
        case 16:
            return fromList (
                {"Breath CC#2", "Foot Cnt CC#4", "Expression CC#11", "Master Volume", "LP Filter", "LP Filter Half"},
                v);
        case 19:
        case 20: return fromList ({"Curve 1", "Curve 2", "Curve 3", "Curve 4"}, v);
        case 25:
            if (juce::isPositiveAndBelow (v, 17))
                return tuningScales[v];
            return v >= 17 && v <= 19 ? juce::String() : juce::String (v);
        default: return juce::String (v);
    }
}

PixelBox placeOf (int k) noexcept
{
    for (const auto& p : places)
        if (p.k == k)
            return {p.x, p.y, p.w, p.h};
    return {-2000, -2000, 40, 24};
}

int labelOffset (int k) noexcept
{
    if (k == 0 || k == 1 || isHidden (k) || kind (k) == Kind::none)
        return 0;
    return (k == 7 || k == 8 || k == 18 || k == 22 || k == 23) ? 150 : 120;
}

int knobValueAfterDrag (int k, int startValue, int dx, int dy) noexcept
{
    const int step = highest (k) < 30 ? 15 : 2;
    return startValue + dx / step - dy / step;
}

int knobFrame (int k, int value) noexcept
{
    const int top = std::max (1, highest (k));
    const double frame = (290.0 - (double)(top - value) * 290.0 / top) / 5.35;
    return juce::jlimit (0, 56, juce::roundToInt (frame));
}
} // namespace GlobalParameters
