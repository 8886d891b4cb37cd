#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ravlin
{

/** The instrument's parameter table: one row per byte of the 1024-byte program
    image plus the plug-in's six pseudo-parameters, with the host-slot and NRPN maps.
    Built once and read-only afterwards; plain C++ so build tools can use it. */
class ParameterTable
{
public:
    static constexpr int numImageParameters = 1024;
    static constexpr int layerSize = 512;
    static constexpr int numParameters = 1030;
    static constexpr int numHostSlots = 624;
    static constexpr int layerBSlotOffset = 310;
    static constexpr int noHostSlot = 2000;
    static constexpr int noNrpn = -1;
    static constexpr int numNrpns = 1024;

    static constexpr int programNumberIndex = 1024;
    static constexpr int splitPointIndex = 424;
    static constexpr int abModeIndex = 425;

    ParameterTable();

    int section (int index) const;
    /** Layer-B rows answer with the name of their layer-A twin. */
    const std::string& shortName (int index) const;
    int lowest (int index) const;
    int highest (int index) const;
    int displayKind (int index) const;
    /** The row's host-slot field: a slot below 624, or 624 and more for none. */
    int hostIndex (int index) const;
    int nrpnNumber (int index) const;

    /** Parameter index -> host slot, with noHostSlot for rows without one. */
    int slotForParameter (int index) const;
    /** Host slot -> parameter index, or -1 beyond the 624 slots. */
    int parameterForSlot (int slot) const;
    /** NRPN number -> parameter index, or -1 when no row carries it. */
    int parameterForNrpn (int nrpn) const;

    /** The name the host shows for a slot: "A Pitch 1", "B Pitch 1", "Program No." ... */
    std::string hostName (int slot) const;

private:
    struct Row
    {
        int16_t section = 0;
        int16_t lowest = 0;
        int16_t highest = 0;
        int16_t displayKind = 0;
        int32_t hostIndex = noHostSlot;
        int16_t nrpn = noNrpn;
        int16_t nameIndex = -1;
    };

    void add (const std::string& name, int section, int highest, int kind, int nrpn, bool automatable, int lowest = 0);
    void addFamily (const std::string& pattern, int count, int section, int highest, int kind, int firstNrpn,
                    int nrpnStep, bool automatable, int lowest = 0);
    void addUnnamed (int count, int highest, int nrpn = noNrpn, int lowest = 0);
    void addEnvelopes();
    void deriveLayerB();
    void addPseudoParameters();
    void buildMaps();

    std::vector<Row> rows;
    std::vector<std::string> names;
    std::array<int32_t, numHostSlots> slotToParameter{};
    std::array<int32_t, numParameters> parameterToSlot{};
    std::array<int16_t, numNrpns> nrpnToParameter{};
    int nextSlot = 0;
};

} // namespace ravlin
