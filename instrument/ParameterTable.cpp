#include "instrument/ParameterTable.h"

#include <cassert>

namespace ravlin
{

namespace
{
const std::string emptyName;

std::string numbered (const std::string& pattern, int number)
{
    auto text = pattern;
    const auto at = text.find ('#');
    if (at == std::string::npos)
        return text + std::to_string (number);
    return text.replace (at, 1, std::to_string (number));
}
} // namespace

ParameterTable::ParameterTable()
{
    rows.reserve (numParameters);
    names.reserve (518);

    addFamily ("Pitch ", 4, 1, 120, 13, 0, 18, true);
    addFamily ("Fine ", 4, 1, 100, 22, 1, 18, true);
    addFamily ("Level ", 4, 1, 127, 0, 2, 18, true);
    addFamily ("Shape ", 4, 1, 19, 14, 3, 18, true);
    addFamily ("Wave L ", 4, 1, 11, 15, 5, 18, true);
    addFamily ("Wave R ", 4, 1, 11, 15, 6, 18, true);
    addUnnamed (4, 1); // 24-27
    addFamily ("Shape Mod ", 4, 1, 127, 23, 4, 18, true);
    addFamily ("FM ", 4, 1, 255, 0, 7, 18, true);
    addFamily ("AM ", 4, 1, 255, 0, 8, 18, true);
    add ("Osc 1 Sub", 1, 127, 0, 72, true); // 40
    addUnnamed (3, 0);                      // 41-43
    addFamily ("Slop ", 4, 1, 127, 0, 9, 18, true);
    addFamily ("Glide ", 4, 1, 127, 0, 10, 18, true);
    addFamily ("Sync ", 4, 1, 1, 12, 11, 18, true);
    addFamily ("Key On/Off ", 4, 1, 1, 12, 12, 18, true);
    addFamily ("Note Reset ", 4, 1, 1, 12, 13, 18, true);
    addUnnamed (1, 0, 77); // 64
    addUnnamed (7, 0);     // 65-71
    add ("Glide Mode", 1, 3, 9, 73, true);
    add ("Glide On/Off", 1, 1, 12, 74, true);
    add ("P. B. Range Up", 1, 12, 16, 75, true);
    add ("P. B. Range Dn", 1, 24, 16, 76, true);

    int nrpn = 80;
    for (const char* name : {"Air", "Girth", "Hack", "Decimate", "Drive"})
        add (name, 2, 127, 0, nrpn++, true); // 76-80

    addUnnamed (4, 0); // 81-84
    add ("LPF Freq", 3, 164, 0, 90, true);
    add ("LPF LFP Reson", 3, 127, 0, 91, true);
    add ("LPF Key Amt", 3, 127, 0, 92, true);
    add ("LPF 4 Pole", 3, 1, 12, 93, true);
    add ("HPF freq", 4, 127, 0, 94, true);
    add ("HPF Reson", 4, 127, 0, 95, true);
    add ("HPF Key Amt", 4, 127, 0, 96, true);
    add ("Pan Spread", 5, 127, 0, 100, true);
    add ("Voice Volume", 5, 127, 0, 99, true);
    add ("FeedBk Amount", 6, 254, 21, 97, true);
    add ("FeedBk Tune", 6, 48, 0, 98, true); // 95
    addFamily ("Dly # Time", 4, 7, 255, 0, 187, 8, true);
    addFamily ("Dly # Tm Sync", 4, 7, 11, 8, 188, 8, true);
    addFamily ("Dly # Amt", 4, 7, 127, 0, 190, 8, true);
    addFamily ("Dly # Feedbk", 4, 7, 127, 0, 191, 8, true);
    addFamily ("Dly # Sync", 4, 7, 1, 12, 189, 8, true);
    addFamily ("Dly # LP Freq", 4, 7, 127, 0, 192, 8, true);
    addFamily ("Dly # HP Freq", 4, 7, 127, 0, 193, 8, true);
    addFamily ("Dly # Filter", 4, 7, 1, 24, 194, 8, true);
    addFamily ("LFO # Freq", 4, 8, 255, 0, 147, 10, true);
    addFamily ("LFO # Freq Sync", 4, 8, 15, 10, 148, 10, true);
    addFamily ("LFO # Shape", 4, 8, 7, 11, 150, 10, true);
    addFamily ("LFO # Amount", 4, 8, 127, 0, 151, 10, true);
    addFamily ("LFO # Dest", 4, 8, 104, 7, 155, 10, true);
    addFamily ("LFO # Sync", 4, 8, 1, 12, 149, 10, true);
    addFamily ("LFO # Note Rst", 4, 8, 1, 12, 154, 10, true);
    addFamily ("LFO # Slew", 4, 8, 127, 0, 152, 10, true);
    addFamily ("LFO # Phase", 4, 8, 127, 0, 153, 10, true);
    addFamily ("Dly Pan ", 4, 7, 127, 0, 429, 1, true); // 164-167
    addEnvelopes();                                     // 168-201
    for (int i = 0; i < 4; ++i)
        add ("rfu", 0, 0, 0, noNrpn, false); // 202-205
    addFamily ("Mod # Src", 16, 11, 27, 17, 219, 4, true);
    addFamily ("Mod # Amt", 16, 11, 254, 21, 220, 4, true);
    addFamily ("Mod # Dest", 16, 11, 104, 7, 221, 4, true);
    add ("Distor Amt", 12, 127, 0, 101, true); // 254
    addUnnamed (1, 0);                         // 255
    add ("BPM", 14, 250, 6, 296, true, 30);
    add ("Unison ON", 13, 1, 12, 283, true);
    add ("Unis Detune", 13, 127, 0, 284, true);
    add ("Unis Mode", 13, 1, 20, 285, true);
    add ("Unis Key Ass.", 13, 5, 180, 286, true); // 260
    addUnnamed (33, 0);                           // 261-293
    add ("Arp Mode", 14, 4, 2, 290, true);
    add ("Arp Range", 14, 2, 3, 291, true);
    add ("Arp On/Off", 14, 1, 12, 289, true);
    add ("Arp Auto Latch", 14, 1, 12, 294, true);
    add ("Arp Clock Devide", 14, 10, 5, 292, true);
    add ("Arp Repeats", 14, 3, 4, 293, true);
    add ("Arp Lock Notes", 14, 1, 12, 295, true); // 300
    add ("Lock Note Count", 0, 0, 0, noNrpn, false);
    addUnnamed (4, 0);                                          // 302-305
    addFamily ("ArpNote ", 32, 0, 127, 0, noNrpn, 0, true, -1); // 306-337
    addFamily ("ArpVel ", 32, 0, 127, 0, noNrpn, 0, true);      // 338-369
    addUnnamed (52, 120, noNrpn, 32);                           // 370-421 (text)
    addUnnamed (1, 120, 511, 32);                               // 422
    addUnnamed (1, 120, 511, 32);                               // 423
    add ("Split Point", 15, 120, 18, 287, true);
    add ("A B Mode", 15, 2, 1, 288, true);
    addUnnamed (86, 0); // 426-511

    assert ((int)rows.size() == layerSize);
    assert (nextSlot == layerBSlotOffset);

    deriveLayerB();
    addPseudoParameters();
    buildMaps();
}

void ParameterTable::add (const std::string& name, int sectionNumber, int highestValue, int kind, int nrpn,
                          bool automatable, int lowestValue)
{
    Row row;
    row.section = (int16_t)sectionNumber;
    row.lowest = (int16_t)lowestValue;
    row.highest = (int16_t)highestValue;
    row.displayKind = (int16_t)kind;
    row.nrpn = (int16_t)nrpn;
    row.hostIndex = automatable ? nextSlot++ : noHostSlot;

    if (!name.empty())
    {
        row.nameIndex = (int16_t)names.size();
        names.push_back (name);
    }

    rows.push_back (row);
}

void ParameterTable::addFamily (const std::string& pattern, int count, int sectionNumber, int highestValue, int kind,
                                int firstNrpn, int nrpnStep, bool automatable, int lowestValue)
{
    for (int i = 0; i < count; ++i)
        add (numbered (pattern, i + 1), sectionNumber, highestValue, kind,
             firstNrpn == noNrpn ? noNrpn : firstNrpn + i * nrpnStep, automatable, lowestValue);
}

void ParameterTable::addUnnamed (int count, int highestValue, int nrpn, int lowestValue)
{
    for (int i = 0; i < count; ++i)
        add ({}, 0, highestValue, 0, nrpn, false, lowestValue);
}

void ParameterTable::addEnvelopes()
{
    // Four envelopes interleaved by stage: low-pass, amplifier, envelope 3, envelope 4.
    static const int sections[4] = {3, 5, 9, 10};
    static const char* prefixes[4] = {"LPF", "VCA", "ENV3", "ENV4"};
    static const int stageNrpn[7][4] = {{114, 103, 125, 136}, {115, 104, 126, 137}, {116, 105, 127, 138},
                                        {117, 106, 128, 139}, {118, 107, 129, 140}, {119, 108, 130, 141},
                                        {120, 109, 131, 142}};
    static const char* stageNames[7] = {" Env Amt ", " Vel Amt ", " Delay",  " Attack",
                                        " Decay",    " Sustain",  " Release"};

    for (int k = 0; k < 7; ++k)
    {
        for (int e = 0; e < 4; ++e)
        {
            auto name = std::string (prefixes[e]) + stageNames[k];
            if (k < 2)
                name += std::to_string (e + 1);

            const bool bipolar = (k == 0 && e != 1);
            add (name, sections[e], bipolar ? 254 : 127, bipolar ? 21 : 0, stageNrpn[k][e], true);
        }
    }

    add ("ENV3 Destination", 9, 104, 7, 133, true);
    add ("ENV4 Destination", 10, 104, 7, 144, true);

    static const int repeatNrpn[4] = {121, 110, 132, 143};
    for (int e = 0; e < 4; ++e)
        add (std::string (prefixes[e]) + " Repeat", sections[e], 1, 12, repeatNrpn[e], true);
}

void ParameterTable::deriveLayerB()
{
    for (int p = 0; p < layerSize; ++p)
    {
        auto twin = rows[(size_t)p];
        twin.hostIndex += layerBSlotOffset;
        if (twin.nrpn != noNrpn)
            twin.nrpn = (int16_t)(twin.nrpn + layerSize);
        rows.push_back (twin);
    }

    // The host list holds the split point and the A/B mode once, for the whole program.
    rows[splitPointIndex + layerSize].hostIndex = noHostSlot;
    rows[abModeIndex + layerSize].hostIndex = noHostSlot;
}

void ParameterTable::addPseudoParameters()
{
    nextSlot = 618;
    add ("Program No.", 20, 791, 0, noNrpn, true);
    add ("Slider 1", 0, 127, 0, noNrpn, true);
    add ("Slider 2", 0, 127, 0, noNrpn, true);
    add ("Slider Press", 0, 127, 0, noNrpn, true);
    add ("SlidLatch 1", 0, 1, 0, noNrpn, true);
    add ("SlidLatch 2", 0, 1, 0, noNrpn, true);
}

void ParameterTable::buildMaps()
{
    slotToParameter.fill (-1);
    nrpnToParameter.fill (-1);

    for (int p = 0; p < numParameters; ++p)
    {
        const auto slot = rows[(size_t)p].hostIndex;
        parameterToSlot[(size_t)p] = slot < numHostSlots ? slot : noHostSlot;
        if (slot < numHostSlots)
            slotToParameter[(size_t)slot] = p;
    }

    // Later rows win, so NRPN 511 (rows 422 and 423) maps back to 423.
    for (int p = 0; p < layerSize; ++p)
    {
        const auto nrpn = rows[(size_t)p].nrpn;
        if (nrpn != noNrpn)
        {
            nrpnToParameter[(size_t)nrpn] = (int16_t)p;
            nrpnToParameter[(size_t)nrpn + layerSize] = (int16_t)(p + layerSize);
        }
    }
}

int ParameterTable::section (int index) const
{
    return index >= 0 && index < numParameters ? rows[(size_t)index].section : 0;
}

const std::string& ParameterTable::shortName (int index) const
{
    if (index < 0 || index >= numParameters)
        return emptyName;

    const auto nameIndex = index >= layerSize && index < numImageParameters
                               ? rows[(size_t)(index - layerSize)].nameIndex
                               : rows[(size_t)index].nameIndex;
    return nameIndex < 0 ? emptyName : names[(size_t)nameIndex];
}

int ParameterTable::lowest (int index) const
{
    return index >= 0 && index < numParameters ? rows[(size_t)index].lowest : 0;
}

int ParameterTable::highest (int index) const
{
    return index >= 0 && index < numParameters ? rows[(size_t)index].highest : 0;
}

int ParameterTable::displayKind (int index) const
{
    return index >= 0 && index < numParameters ? rows[(size_t)index].displayKind : 0;
}

// Beyond the table these answer "none" rather than 0: slot 0 and NRPN 0 are real parameters.
int ParameterTable::hostIndex (int index) const
{
    return index >= 0 && index < numParameters ? rows[(size_t)index].hostIndex : noHostSlot;
}

int ParameterTable::nrpnNumber (int index) const
{
    return index >= 0 && index < numParameters ? rows[(size_t)index].nrpn : noNrpn;
}

int ParameterTable::slotForParameter (int index) const
{
    return index >= 0 && index < numParameters ? parameterToSlot[(size_t)index] : noHostSlot;
}

int ParameterTable::parameterForSlot (int slot) const
{
    return slot >= 0 && slot < numHostSlots ? slotToParameter[(size_t)slot] : -1;
}

int ParameterTable::parameterForNrpn (int nrpn) const
{
    return nrpn >= 0 && nrpn < numNrpns ? nrpnToParameter[(size_t)nrpn] : -1;
}

std::string ParameterTable::hostName (int slot) const
{
    const auto p = parameterForSlot (slot);
    if (p < 0)
        return std::to_string (slot);
    if (p < layerSize)
        return "A " + shortName (p);
    if (p < numImageParameters)
        return "B " + shortName (p);
    return shortName (p);
}

} // namespace ravlin
