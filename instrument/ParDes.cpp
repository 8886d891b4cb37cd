#include "instrument/ParDes.h"

namespace
{
template <size_t N> juce::String fromList (const char* const (&list)[N], int value)
{
    return value >= 0 && value < (int)N ? juce::String (list[value]) : juce::String();
}

const char* const abModes[] = {"Normal", "Split A|B", "Stack A+B"};
const char* const arpModes[] = {"Up", "Down", "Up + Down", "Assign", "Random"};
const char* const arpRanges[] = {"1 Octave", "2 Octaves", "3 Octaves"};
const char* const clockDivisions[] = {"Half Note",       "Quarter Note", "1/8",  "1/8 Half Swing",
                                      "1/8 Full Swing",  "1/8 Triplet",  "1/16", "1/16 Half Swing",
                                      "1/16 Full Swing", "1/16 Triplet", "1/32", "32nd N",
                                      "32nd N T",        "64th N T"};
const char* const delaySyncs[] = {"64th", "32nd", "32nd.",       "16th", "16th.", "8th",
                                  "8th.", "1/4",  "Dotted 1/4.", "1/2",  "1/2.",  "Whole"};
const char* const glideModes[] = {"FixRate", "FixRate A", "FixTime", "FixTime A"};
const char* const lfoSyncs[] = {"32nd Trip", "32nd",   "16th Trip", "16th",     "8th Trip", "8th ",
                                "Qrtr Trip", "1 Qrtr", "Qrtr Dot",  "1/2 Note", "3 Qrtr",   "4 Qrtr",
                                "6 Qrtr",    "8 Qrtr", "16 Qrtr",   "32 Qrtr"};
const char* const lfoShapes[] = {"Triangle", "Rev. Sawtooth", "Sawtooth", "Square",
                                 "Pulse 1",  "Pulse 2",       "Pulse 3",  "Random"};
const char* const switches[] = {"OFF", "ON"};
const char* const oscShapes[] = {"Off",    "Sawtooth", "Pulse", "Triangle",  "Sine",        "Tines",       "Mellow",
                                 "Church", "Muted",    "Nasal", "Boing",     "Gothic",      "Ahhh",        "Shrill",
                                 "Ohhhh",  "Buzzzz",   "Meh",   "Red Noise", "White Noise", "Violet Noise"};
const char* const waves[] = {"Tines",  "Mellow", "Church", "Muted", "Nasal",  "Boing",
                             "Gothic", "Ahhh",   "Shrill", "Ohhhh", "Buzzzz", "Meh"};
const char* const modSources[] = {"Off",
                                  "Osc 1",
                                  "Osc 2",
                                  "Osc 3",
                                  "Osc 4",
                                  "LFO 1",
                                  "LFO 2",
                                  "LFO 3",
                                  "LFO 4",
                                  "Lowpass Env",
                                  "VCA Env",
                                  "Env 3",
                                  "Env 4",
                                  "Pitchbend",
                                  "Mod Wheel",
                                  "Slider 1 Pos.",
                                  "Slider 2 Pos.",
                                  "Slider 1 Press.",
                                  "Slider 2 Press.",
                                  "Aftertouch",
                                  "CC#2 Breath",
                                  "CC#2 Foot Pedal",
                                  "CC#2 Expression",
                                  "Velocity",
                                  "Note Number",
                                  "Random",
                                  "DC",
                                  "Audio Out"};
const char* const unisonModes[] = {"1 Voice", "All Voices"};
const char* const delayFilters[] = {"Lowpass", "Highpass"};
const char* const unisonKeys[] = {"Low Note", "Low Retrig", "High Note", "High Retrig", "Last Note", "Last Retrig"};
const char* const categories[] = {"- Not Assigned -", "Keys",       "Organs", "Strings",     "Soft Lead",
                                  "Bright Lead",      "Res Lead",   "Sync",   "Soft Bass",   "Bright Bass",
                                  "Res Bass",         "Sub Bass",   "Brass",  "Instruments", "Evolution",
                                  "Motion",           "Synth",      "Vox",    "Bells",       "Harmonics",
                                  "Sequence",         "Percussion", "Noise",  "Sound FX",    "Pads",
                                  "Arpeggiator"};

juce::StringArray makeModDestinations()
{
    juce::StringArray d;
    auto family = [&d] (const juce::String& before, const juce::String& after, bool withAll)
    {
        for (int n = 1; n <= 4; ++n)
            d.add (before + juce::String (n) + after);
        if (withAll)
            d.add (before + "All" + after);
    };

    d.add ("Off");
    family ("Osc ", " Freq", true);
    family ("Osc ", " Level", false);
    family ("Osc ", " Shape Mod", true);
    d.add ("Sub Osc Level");
    family ("Osc ", " FM", true);
    family ("Osc ", " AM", true);
    family ("Osc ", " Slop", true);
    d.addArray ({"Air", "Girth", "Hack", "Decimate", "Drive", "LPF Cutoff", "LPF Resonance", "HPF Cutoff",
                 "HPF Resonance", "VCA", "Pan", "Pan Spread", "Feedback Amount", "Feedback Tuning"});
    family ("Delay ", " Amount", false);
    family ("Delay ", " Time", true);
    family ("Delay ", " Feedback", false);
    family ("Delay ", " Pan", false);
    family ("LFO ", " Freq", false);
    family ("LFO ", " Amount", false);
    d.addArray ({"LPF Env Amount", "Amp Env Amount", "Env 3 Amount", "Env 4 Amount"});
    for (const char* stage : {"Attack", "Decay", "Release"})
        for (const char* env : {"LPF Env ", "Amp Env ", "Env 3 ", "Env 4 ", "All Env "})
            d.add (juce::String (env) + stage);
    for (int n = 1; n <= 16; ++n)
        d.add ("Mod " + juce::String (n) + " Amount");

    jassert (d.size() == 105);
    return d;
}

const juce::StringArray& modDestinations()
{
    static const juce::StringArray list = makeModDestinations();
    return list;
}

juce::String semitones (int value)
{
    if (value == 0)
        return "OFF";
    if (value == 12)
        return "1 Octave";
    if (value == 24)
        return "2 Octaves";
    if (value > 0 && value < 24)
        return juce::String (value) + " Semitones";
    return {};
}
} // namespace

juce::String ParDes::noteName (int value)
{
    static const char* const names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    if (value < 0)
        return {};
    return juce::String (names[value % 12]) + juce::String (value / 12);
}

juce::String ParDes::categoryText (int number)
{
    return fromList (categories, number);
}

juce::String ParDes::valueText (int kind, int value)
{
    switch (kind)
    {
        case 0: return juce::String (value);
        case 1: return fromList (abModes, value);
        case 2: return fromList (arpModes, value);
        case 3: return fromList (arpRanges, value);
        case 4: return value < 4 ? juce::String (value) : juce::String();
        case 5: return fromList (clockDivisions, value);
        case 6: return juce::String (value) + " bpm";
        case 7:
            return juce::isPositiveAndBelow (value, modDestinations().size()) ? modDestinations()[value]
                                                                              : juce::String();
        case 8: return fromList (delaySyncs, value);
        case 9: return fromList (glideModes, value);
        case 10: return fromList (lfoSyncs, value);
        case 11: return fromList (lfoShapes, value);
        case 12: return fromList (switches, value);
        case 13:
        case 18: return noteName (value);
        case 14: return fromList (oscShapes, value);
        case 15: return fromList (waves, value);
        case 16: return semitones (value);
        case 17: return fromList (modSources, value);
        case 20: return fromList (unisonModes, value);
        case 21: return juce::String (value - 127);
        case 22: return juce::String (value - 50);
        case 23: return juce::String (value - 64);
        case 24: return fromList (delayFilters, value);
        case 180: return fromList (unisonKeys, value);
        default: return {};
    }
}

std::vector<ParDes::MenuItem> ParDes::offeredValues (int kind, int highest)
{
    std::vector<MenuItem> items;
    for (int v = 0; v <= highest; ++v)
    {
        auto text = valueText (kind, v);
        if (text != "*/*")
            items.push_back ({v, std::move (text)});
    }
    return items;
}
