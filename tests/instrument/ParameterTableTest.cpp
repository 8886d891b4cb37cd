#include "instrument/ParameterTable.h"

#include <gtest/gtest.h>

#include <set>

using ravlin::ParameterTable;

namespace
{
const ParameterTable& table()
{
    static const ParameterTable t;
    return t;
}
} // namespace

TEST (ParameterTable, HostSlotsCoverExactlyTheBoundRowsOnce)
{
    const auto& t = table();
    std::set<int> parameters;
    for (int slot = 0; slot < ParameterTable::numHostSlots; ++slot)
    {
        const auto p = t.parameterForSlot (slot);
        ASSERT_GE (p, 0) << "slot " << slot;
        EXPECT_TRUE (parameters.insert (p).second) << "slot " << slot << " shares parameter " << p;
        EXPECT_EQ (t.slotForParameter (p), slot);
        EXPECT_EQ (t.hostIndex (p), slot);
    }
    EXPECT_EQ (t.parameterForSlot (624), -1);
    EXPECT_EQ (t.parameterForSlot (-1), -1);

    int withoutSlot = 0;
    for (int p = 0; p < ParameterTable::numParameters; ++p)
        if (t.slotForParameter (p) == ParameterTable::noHostSlot)
            ++withoutSlot;
    EXPECT_EQ (withoutSlot, ParameterTable::numParameters - ParameterTable::numHostSlots);
}

TEST (ParameterTable, LayerASlotsFollowTheListedRows)
{
    const auto& t = table();
    std::vector<int> expected;
    auto range = [&expected] (int first, int last)
    {
        for (int r = first; r <= last; ++r)
            expected.push_back (r);
    };
    range (0, 23), range (28, 40), range (44, 63), range (72, 80), range (85, 201), range (206, 254);
    range (256, 260), range (294, 300), range (306, 369), range (424, 425);
    ASSERT_EQ (expected.size(), 310u);

    for (size_t slot = 0; slot < expected.size(); ++slot)
        EXPECT_EQ (t.parameterForSlot ((int)slot), expected[slot]) << "slot " << slot;

    for (int k = 0; k < 308; ++k)
        EXPECT_EQ (t.parameterForSlot (310 + k), expected[(size_t)k] + 512) << "slot " << 310 + k;

    for (int k = 0; k < 6; ++k)
        EXPECT_EQ (t.parameterForSlot (618 + k), 1024 + k);
}

TEST (ParameterTable, LayerBCopiesLayerAWithOffsets)
{
    const auto& t = table();
    for (int p = 0; p < 512; ++p)
    {
        const auto b = p + 512;
        EXPECT_EQ (t.section (b), t.section (p));
        EXPECT_EQ (t.lowest (b), t.lowest (p));
        EXPECT_EQ (t.highest (b), t.highest (p));
        EXPECT_EQ (t.displayKind (b), t.displayKind (p));
        EXPECT_EQ (t.shortName (b), t.shortName (p));
        if (t.nrpnNumber (p) == ParameterTable::noNrpn)
            EXPECT_EQ (t.nrpnNumber (b), ParameterTable::noNrpn);
        else
            EXPECT_EQ (t.nrpnNumber (b), t.nrpnNumber (p) + 512);

        if (b == 936 || b == 937)
            EXPECT_EQ (t.slotForParameter (b), ParameterTable::noHostSlot);
        else if (t.hostIndex (p) == ParameterTable::noHostSlot)
            EXPECT_EQ (t.hostIndex (b), 2310);
        else
            EXPECT_EQ (t.hostIndex (b), t.hostIndex (p) + 310);
    }
}

TEST (ParameterTable, NamedExamples)
{
    const auto& t = table();
    EXPECT_EQ (t.shortName (516), "Fine 1");
    EXPECT_EQ (t.nrpnNumber (516), 513);
    EXPECT_EQ (t.hostIndex (516), 314);
    EXPECT_EQ (t.highest (516), 100);
    EXPECT_EQ (t.displayKind (516), 22);
    EXPECT_EQ (t.parameterForNrpn (530), 513);
    EXPECT_EQ (t.shortName (513), "Pitch 2");

    EXPECT_EQ (t.parameterForNrpn (77), 64);
    EXPECT_EQ (t.shortName (64), "");
    EXPECT_EQ (t.highest (64), 0);

    EXPECT_EQ (t.shortName (85), "LPF Freq");
    EXPECT_EQ (t.highest (85), 164);
    EXPECT_EQ (t.shortName (298), "Arp Clock Devide");
    EXPECT_EQ (t.shortName (306), "ArpNote 1");
    EXPECT_EQ (t.shortName (369), "ArpVel 32");
    EXPECT_EQ (t.lowest (256), 30);
    EXPECT_EQ (t.lowest (306), -1);
    EXPECT_EQ (t.lowest (400), 32);
    EXPECT_EQ (t.section (1024), 20);
    EXPECT_EQ (t.highest (1024), 791);
    EXPECT_EQ (t.shortName (1029), "SlidLatch 2");
}

TEST (ParameterTable, EnvelopesAreInterleavedByStage)
{
    const auto& t = table();
    EXPECT_EQ (t.shortName (168), "LPF Env Amt 1");
    EXPECT_EQ (t.shortName (169), "VCA Env Amt 2");
    EXPECT_EQ (t.highest (169), 127);
    EXPECT_EQ (t.displayKind (169), 0);
    EXPECT_EQ (t.highest (170), 254);
    EXPECT_EQ (t.displayKind (171), 21);
    EXPECT_EQ (t.shortName (181), "VCA Attack");
    EXPECT_EQ (t.section (181), 5);
    EXPECT_EQ (t.nrpnNumber (181), 106);
    EXPECT_EQ (t.shortName (195), "ENV4 Release");
    EXPECT_EQ (t.nrpnNumber (195), 142);
    EXPECT_EQ (t.shortName (197), "ENV4 Destination");
    EXPECT_EQ (t.section (197), 10);
    EXPECT_EQ (t.shortName (201), "ENV4 Repeat");
    EXPECT_EQ (t.nrpnNumber (199), 110);
    EXPECT_EQ (t.hostIndex (168), 149);
    EXPECT_EQ (t.hostIndex (201), 182);
}

TEST (ParameterTable, NrpnMapsAreInverseExceptTheSharedTextNumber)
{
    const auto& t = table();
    for (int p = 0; p < 1024; ++p)
    {
        const auto nrpn = t.nrpnNumber (p);
        if (nrpn == ParameterTable::noNrpn)
            continue;
        if (p == 422 || p == 934)
            EXPECT_EQ (t.parameterForNrpn (nrpn), p + 1);
        else
            EXPECT_EQ (t.parameterForNrpn (nrpn), p) << "parameter " << p;
    }
    EXPECT_EQ (t.parameterForNrpn (511), 423);
    EXPECT_EQ (t.parameterForNrpn (1023), 935);
    EXPECT_EQ (t.parameterForNrpn (14), -1); // between families
    EXPECT_EQ (t.parameterForNrpn (1024), -1);
    EXPECT_EQ (t.parameterForNrpn (-5), -1);
}

TEST (ParameterTable, LookupsBeyondTheTableAnswerNothing)
{
    const auto& t = table();
    for (int p : {-1, 1030, 5000})
    {
        EXPECT_EQ (t.section (p), 0);
        EXPECT_EQ (t.highest (p), 0);
        EXPECT_EQ (t.displayKind (p), 0);
        EXPECT_EQ (t.shortName (p), "");
        EXPECT_EQ (t.nrpnNumber (p), ParameterTable::noNrpn);
        EXPECT_EQ (t.slotForParameter (p), ParameterTable::noHostSlot);
    }
}

TEST (ParameterTable, HostNames)
{
    const auto& t = table();
    EXPECT_EQ (t.hostName (0), "A Pitch 1");
    EXPECT_EQ (t.hostName (310), "B Pitch 1");
    EXPECT_EQ (t.hostName (308), "A Split Point");
    EXPECT_EQ (t.hostName (309), "A A B Mode");
    EXPECT_EQ (t.hostName (617), "B ArpVel 32");
    EXPECT_EQ (t.parameterForSlot (617), 881);
    EXPECT_EQ (t.hostName (618), "Program No.");
    EXPECT_EQ (t.hostName (237), "A Arp Mode");
    EXPECT_EQ (t.hostName (59), "A P. B. Range Up");
    EXPECT_EQ (t.hostName (624), "624");
}

TEST (ParameterTable, RangesFitInAByte)
{
    const auto& t = table();
    for (int p = 0; p < 1024; ++p)
    {
        EXPECT_GE (t.highest (p), 0);
        EXPECT_LE (t.highest (p), 255);
    }
}
