#include "ui/editor/SectionLayout.h"

#include <array>
#include <cstddef>
#include <initializer_list>

namespace SectionLayout
{
namespace
{
// Columns left to right, 4 units apart: 1; 2; 5 over 3; 4 over 12; 6; 7; 8; 13; 9 over 10; 11; 14; 0.
const std::array<Section, numSections> sections{{
    {"SLIDERS", false, 5640, 130, 319, 0, -1, false},
    {"OSCILLATORS", true, 0, 950, 319, 0, 320, true},
    {"CHARACTER", true, 954, 246, 319, 0, 320, true},
    {"LOW PASS FILTER", true, 1204, 700, 160, 160, 480, true},
    {"HIGH PASS FILTER", true, 1908, 160, 160, 0, 320, false},
    {"VOLTAGE CONTROLLED AMPLIFIER", true, 1204, 700, 160, 0, 320, false},
    {"FEEDBACK", true, 2072, 120, 319, 0, 320, true},
    {"DELAY", true, 2196, 830, 319, 0, 320, false},
    {"LOW FREQUENCY OSCILLATORS", true, 3030, 700, 319, 0, 320, true},
    {"ENVELOPE 3", true, 3858, 700, 160, 0, 320, true},
    {"ENVELOPE 4", true, 3858, 700, 160, 160, 480, false},
    {"MODULATION", true, 4562, 950, 319, 0, 320, true},
    {"DISTORTION", true, 1908, 160, 160, 160, 480, false},
    {"UNISON", true, 3734, 120, 319, 0, 320, false},
    {"ARPEGGIATOR", true, 5516, 120, 319, 0, 320, true},
    {"AB MODE", true, 667, 260, 22, -51, -51, false},
}};

const std::array<SectionButton, numSectionButtons> buttons{{{"OSC", 1},
                                                            {"CHAR", 2},
                                                            {"LPF", 3},
                                                            {"HPF", 4},
                                                            {"VCA", 3},
                                                            {"FEEDBACK", 5},
                                                            {"DELAY", 6},
                                                            {"LFO", 7},
                                                            {"UNISON", 8},
                                                            {"AUX ENV", 9},
                                                            {"MODS", 10},
                                                            {"ARP", 11}}};

void addKnob (std::vector<Control>& out, int parameter, const char* label, int x, int y, int maximum = 127,
              int displayKind = 0, int minimum = 0)
{
    out.push_back ({parameter, label, x, y, 65, 70, minimum, maximum, knob, displayKind});
}

void repeat (std::vector<Control>& out, int parameter)
{
    out.push_back ({parameter, "Repeat", 570, 146, 100, 20, 0, 1, toggle, 12});
}

// Attack, decay, sustain and release of an envelope: parameters first, first + 4, + 8, + 12.
void envelope (std::vector<Control>& out, int attack)
{
    const char* labels[] = {"Attack", "Decay", "Sustain", "Release"};
    for (int k = 0; k < 4; ++k)
        addKnob (out, attack + 4 * k, labels[k], 140 + 68 * k, 106);
}

std::vector<Control> oscillators()
{
    std::vector<Control> c;
    const int knobY[] = {36, 108, 180, 252}, boxY[] = {72, 144, 216, 288};
    for (int o = 0; o < 4; ++o)
    {
        c.push_back ({0 + o, "Pitch", 0, knobY[o], 65, 70, 0, 120, knob, 13});
        c.push_back ({4 + o, "Fine", 68, knobY[o], 65, 70, 0, 100, knob, 22});
        c.push_back ({8 + o, "Level", 138, knobY[o], 61, 70, 0, 127, knob, 0});
        c.push_back ({12 + o, "Shape", 200, boxY[o], 70, 36, 0, 19, selector, 14});
        c.push_back ({28 + o, "Shape Mod", 274, knobY[o], 65, 70, 0, 127, knob, 23});
        c.push_back ({16 + o, "Wave L", 344, boxY[o], 64, 36, 0, 11, selector, 15});
        c.push_back ({20 + o, "Wave R", 412, boxY[o], 64, 36, 0, 11, selector, 15});
        c.push_back ({32 + o, "FM Amt", 480, knobY[o], 65, 70, 0, 255, knob, 0});
        c.push_back ({36 + o, "AM Amt", 548, knobY[o], 65, 70, 0, 255, knob, 0});
        c.push_back ({44 + o, "Slop", 616, knobY[o], 65, 70, 0, 127, knob, 0});
        c.push_back ({48 + o, "Glide", 684, knobY[o], 65, 70, 0, 127, knob, 0});
        c.push_back ({52 + o, "Sync", 752, knobY[o] + 4, 95, 20, 0, 1, toggle, 12});
        c.push_back ({56 + o, "Key On/Off", 752, knobY[o] + 28, 95, 20, 0, 1, toggle, 12});
        c.push_back ({60 + o, "Note Reset", 752, knobY[o] + 52, 95, 20, 0, 1, toggle, 12});
    }
    c.push_back ({40, "Osc 1 Sub", 868, 36, 65, 70, 0, 127, knob, 0});
    c.push_back ({73, "Glide On/Off", 848, 112, 100, 20, 0, 1, toggle, 12});
    c.push_back ({72, "Glide Mode", 852, 144, 90, 36, 0, 3, selector, 9});
    c.push_back ({74, "P. B. Range Up", 852, 216, 90, 36, 0, 12, selector, 16});
    c.push_back ({75, "P. B. Range Dn", 852, 264, 90, 36, 0, 24, selector, 16});
    return c;
}

std::vector<Control> lowPass()
{
    std::vector<Control> c;
    c.push_back ({88, "4 Pole", 72, 50, 65, 32, 0, 1, centreSwitch, 12});
    addKnob (c, 85, "Frequency", 140, 34, 164);
    addKnob (c, 86, "Resonance", 208, 34);
    addKnob (c, 87, "Key Amount", 276, 34);
    addKnob (c, 172, "Velocity Amt", 344, 34);
    addKnob (c, 176, "Delay", 0, 106);
    addKnob (c, 168, "Env. Amount", 72, 106, 254, 21);
    envelope (c, 180);
    repeat (c, 198);
    return c;
}

std::vector<Control> amplifier()
{
    std::vector<Control> c;
    addKnob (c, 93, "Voice Volume", 42, 34);
    addKnob (c, 177, "Delay", 42, 106);
    addKnob (c, 169, "Env. Amount", 176, 34);
    addKnob (c, 173, "Velocity Amt", 244, 34);
    addKnob (c, 92, "Pan Spread", 312, 34);
    envelope (c, 181);
    repeat (c, 199);
    return c;
}

std::vector<Control> auxEnvelope (int which) // 0: envelope 3, 1: envelope 4
{
    std::vector<Control> c;
    c.push_back ({196 + which, "Destination", 140, 48, 120, 36, 0, 104, selector, 7});
    addKnob (c, 170 + which, "Env. Amount", 276, 34, 254, 21);
    addKnob (c, 174 + which, "Velocity Amt", 344, 34);
    addKnob (c, 178 + which, "Delay", 52, 106);
    envelope (c, 182 + which);
    repeat (c, 200 + which);
    return c;
}

/** Four units side by side with the same controls: unit u's parameters are the first unit's
    plus u and it lies u times the unit's width to the right. */
std::vector<Control> fourUnits (int unitWidth, std::initializer_list<Control> firstUnit)
{
    std::vector<Control> c;
    for (int u = 0; u < 4; ++u)
        for (auto control : firstUnit)
        {
            control.parameter += u;
            control.x += unitWidth * u;
            c.push_back (control);
        }
    return c;
}

std::vector<Control> delays()
{
    return fourUnits (205, {{96, "Time", 8, 34, 65, 70, 0, 255, knob, 0},
                            {104, "Amount", 76, 34, 65, 70, 0, 127, knob, 0},
                            {108, "Feedback", 42, 106, 65, 70, 0, 127, knob, 0},
                            {164, "Pan", 112, 106, 65, 70, 0, 127, knob, 0},
                            {112, "Sync", 20, 180, 30, 20, 0, 1, toggle, 12},
                            {100, "Time Sync", 68, 180, 80, 36, 0, 11, selector, 8},
                            {116, "LP Freq", 8, 220, 65, 70, 0, 127, knob, 0},
                            {120, "HP Freq", 76, 220, 65, 70, 0, 127, knob, 0},
                            {124, "Filter Mode", 42, 294, 65, 36, 0, 1, selector, 24}});
}

std::vector<Control> lfos()
{
    return fourUnits (176, {{148, "Sync", 38, 34, 120, 20, 0, 1, toggle, 12},
                            {152, "Note Reset", 38, 56, 120, 20, 0, 1, toggle, 12},
                            {128, "Frequency", 14, 78, 65, 70, 0, 255, knob, 0},
                            {140, "Amount", 82, 78, 65, 70, 0, 127, knob, 0},
                            {156, "Slew", 14, 150, 65, 70, 0, 127, knob, 0},
                            {160, "Phase", 82, 150, 65, 70, 0, 127, knob, 0},
                            {132, "Frequency Sync", 22, 224, 118, 34, 0, 15, selector, 10},
                            {136, "Shape", 22, 260, 118, 34, 0, 7, selector, 11},
                            {144, "Destination", 22, 296, 118, 34, 0, 104, selector, 7}});
}

std::vector<Control> modulation()
{
    std::vector<Control> c;
    for (int k = 1; k <= 16; ++k)
    {
        const int x = 4 + 119 * ((k - 1) % 8);
        const bool lower = k > 8;
        c.push_back ({205 + k, "Source", x, lower ? 188 : 40, 108, 34, 0, 27, selector, 17});
        c.push_back ({237 + k, "Destination", x, lower ? 228 : 80, 108, 34, 0, 104, selector, 7});
        c.push_back ({221 + k, "Amount", x + 24, lower ? 264 : 116, 65, 70, 0, 254, knob, 21});
    }
    return c;
}
} // namespace

const Section& section (int number)
{
    return sections[(std::size_t) (number >= 0 && number < numSections ? number : 0)];
}

std::vector<Control> controls (int number, int layer)
{
    std::vector<Control> c;
    switch (number)
    {
        case 0:
            if (layer == 0)
            {
                c.push_back ({1028, "Latch", 14, 38, 40, 32, 0, 1, centreSwitch, 0});
                c.push_back ({1029, "Latch", 70, 38, 40, 32, 0, 1, centreSwitch, 0});
            }
            return c;
        case 1: return oscillators();
        case 2:
            addKnob (c, 77, "Girth", 57, 108);
            addKnob (c, 76, "Air", 125, 108);
            addKnob (c, 79, "Decimate", 23, 180);
            addKnob (c, 80, "Drive", 91, 180);
            addKnob (c, 78, "Hack", 159, 180);
            return c;
        case 3: return lowPass();
        case 4:
            addKnob (c, 89, "Frequency", 14, 34);
            addKnob (c, 90, "Resonance", 82, 34);
            addKnob (c, 91, "Key Amount", 48, 106);
            return c;
        case 5: return amplifier();
        case 6:
            addKnob (c, 94, "Amount", 28, 34, 254, 21);
            addKnob (c, 95, "Tune", 28, 106, 48);
            return c;
        case 7: return delays();
        case 8: return lfos();
        case 9: return auxEnvelope (0);
        case 10: return auxEnvelope (1);
        case 11: return modulation();
        case 12: addKnob (c, 254, "Amount", 48, 72); return c;
        case 13:
            c.push_back ({257, "On/Off", 18, 46, 80, 20, 0, 1, toggle, 12});
            addKnob (c, 258, "Detune", 28, 78);
            c.push_back ({259, "Mode", 18, 164, 80, 36, 0, 1, selector, 20});
            c.push_back ({260, "Key Assign", 18, 204, 80, 36, 0, 5, selector, 180});
            return c;
        case 14:
            c.push_back ({256, "BPM", 6, 36, 70, 70, 30, 250, knob, 6}); // STEPS beside it
            c.push_back ({296, "On/Off", 16, 108, 90, 20, 0, 1, toggle, 12});
            c.push_back ({297, "Auto Latch", 16, 132, 90, 20, 0, 1, toggle, 12});
            c.push_back ({298, "Clock Devide", 16, 156, 90, 36, 0, 10, selector, 5});
            c.push_back ({294, "Mode", 16, 196, 90, 36, 0, 4, selector, 2});
            c.push_back ({295, "Range", 16, 236, 90, 36, 0, 2, selector, 3});
            c.push_back ({299, "Repeats", 16, 276, 90, 36, 0, 3, selector, 4});
            c.push_back ({300, "Lock Notes", 16, 312, 100, 20, 0, 1, toggle, 12});
            return c;
        case 15:
            c.push_back ({424, "", 270, 16, 36, 20, 0, 127, selector, 18});
            c.push_back ({425, "A B Mode", 0, 40, 90, 34, 0, 2, threeWay, 1});
            return c;
        default: return c;
    }
}

int jumpLeft (int jump)
{
    static constexpr int sectionOfJump[] = {1, 1, 2, 3, 4, 6, 7, 8, 13, 9, 11, 14, 0, 0};
    if (jump == 100 || jump < 1 || jump > 13)
        return -10000;
    return section (sectionOfJump[jump]).x;
}

const SectionButton& sectionButton (int index)
{
    return buttons[(std::size_t) (index >= 0 && index < numSectionButtons ? index : 0)];
}
} // namespace SectionLayout
