#include "CliCommands.h"

#include "ConvertCommand.h"
#include "PortsCommands.h"
#include "TransferCommands.h"

#include <cstring>
#include <iostream>

#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"
#include "instrument/ParameterTable.h"
#include "library/ProgramFiles.h"
#include "library/ProgramScan.h"

namespace
{
const char* const usage = "usage: ravlin-cli list FILE\n"
                          "       ravlin-cli show FILE [N]\n"
                          "       ravlin-cli params\n"
                          "       ravlin-cli ports [--detect]\n"
                          "       ravlin-cli first-run\n"
                          "       ravlin-cli receive --in NAME --out NAME --banks user|factory|all|1..8 "
                          "[--model module|keyboard|detect] [--wire din|usb|none] [--timeout SECONDS] FILE\n"
                          "       ravlin-cli transmit [--in NAME] --out NAME [--to-bank 1..8] [--yes] [--verify] "
                          "[--model module|keyboard|detect] [--wire din|usb|none] [--timeout SECONDS] FILE\n"
                          "       ravlin-cli convert [--bank 1..8] [--program N] [--model module|keyboard] IN OUT\n";

bool readPrograms (const juce::String& path, ProgramScan::Result& result, std::ostream& err)
{
    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (path);
    if (!file.existsAsFile())
    {
        err << "ravlin-cli: " << path << ": no such file\n";
        return false;
    }
    // The plug-in's own reader and limits: a library may be larger than other files.
    const auto data = ProgramFiles::readProgramSource (file);
    if (!data.has_value())
    {
        err << "ravlin-cli: " << path << ": " << ProgramFiles::whyUnreadable (file, ProgramFiles::limitFor (file))
            << '\n';
        return false;
    }

    result = ProgramScan::scan (data->data(), data->size());
    if (result.programs.empty())
    {
        // A preset file that was refused says why.
        const auto fx = ProgramScan::readFxChunk (data->data(), data->size());
        const bool presetFile = data->size() >= 4 && (std::memcmp (data->data(), "CcnK", 4) == 0 ||
                                                      std::memcmp (data->data(), "Prophet12Ravlin", 4) == 0);
        if (presetFile && fx.format == ProgramScan::Format::none)
            err << "ravlin-cli: " << path << ": not loaded: " << fx.problem << '\n';
        else
            err << "ravlin-cli: " << path << ": no programs found (not a SysEx, bank, library or preset file)\n";
        return false;
    }
    return true;
}

juce::String programName (const ravlin::Bytes& image)
{
    return DSI_Program::nameFrom (image.data(), image.size(), true);
}

juce::String categoryOf (const ravlin::Bytes& image)
{
    return ParDes::categoryText (image[(size_t)DSI_Program::categoryOffset]);
}

int list (const juce::String& path, std::ostream& out, std::ostream& err)
{
    ProgramScan::Result result;
    if (!readPrograms (path, result, err))
        return 1;

    int position = 1;
    for (const auto& found : result.programs)
    {
        juce::String line;
        line << juce::String (position++).paddedLeft (' ', 3) << "  ";
        if (found.bank >= 0)
            line << "bank " << juce::String (found.bank) << " prog "
                 << juce::String (found.program).paddedLeft (' ', 2);
        else
            line << juce::String::repeatedString (" ", 14);
        line << "  " << programName (found.image) << "  " << categoryOf (found.image);
        out << line << '\n';
    }
    return 0;
}

int show (const juce::String& path, const juce::String& number, std::ostream& out, std::ostream& err)
{
    ProgramScan::Result result;
    if (!readPrograms (path, result, err))
        return 1;

    int n = 1;
    if (number.isNotEmpty())
    {
        if (!number.containsOnly ("0123456789") || number.length() > 6)
        {
            err << "ravlin-cli: program number must be a positive whole number\n";
            return 2;
        }
        n = number.getIntValue();
    }
    if (n < 1 || n > (int)result.programs.size())
    {
        err << "ravlin-cli: " << path << " holds " << result.programs.size() << " program(s); there is no program " << n
            << '\n';
        return 1;
    }

    const auto& image = result.programs[(size_t)(n - 1)].image;
    out << "Program " << n << ": " << programName (image) << "  (" << categoryOf (image) << ")\n";

    const ravlin::ParameterTable table;
    for (int layer = 0; layer < 2; ++layer)
    {
        for (int row = 0; row < ravlin::ParameterTable::layerSize; ++row)
        {
            const auto& name = table.shortName (row);
            if (name.empty())
                continue;
            const auto index = row + layer * ravlin::ParameterTable::layerSize;
            const int raw = image[(size_t)index];
            out << index << '\t' << (layer == 0 ? "A " : "B ") << name << '\t' << raw << '\t'
                << ParDes::valueText (table.displayKind (index), raw) << '\n';
        }
    }
    return 0;
}

int params (std::ostream& out)
{
    const ravlin::ParameterTable table;
    for (int p = 0; p < ravlin::ParameterTable::numParameters; ++p)
    {
        const auto nrpn = table.nrpnNumber (p);
        const auto slot = table.slotForParameter (p);
        out << p << '\t' << table.section (p) << '\t' << table.shortName (p) << '\t' << table.lowest (p) << '\t'
            << table.highest (p) << '\t' << table.displayKind (p) << '\t'
            << (nrpn == ravlin::ParameterTable::noNrpn ? std::string ("-") : std::to_string (nrpn)) << '\t'
            << (slot == ravlin::ParameterTable::noHostSlot ? std::string ("-") : std::to_string (slot)) << '\n';
    }
    return 0;
}
} // namespace

int runRavlinCli (const juce::StringArray& args, std::ostream& out, std::ostream& err)
{
    const auto command = args[0];

    if (command == "list" && args.size() == 2)
        return list (args[1], out, err);
    if (command == "show" && (args.size() == 2 || args.size() == 3))
        return show (args[1], args[2], out, err);
    if (command == "params" && args.size() == 1)
        return params (out);
    if (command == "ports")
        return listMidiPorts (args, out, err);
    if (command == "first-run" && args.size() == 1)
        return firstRun (out);
    if (command == "receive")
        return receiveBanks (args, out, err);
    if (command == "transmit")
        return transmitBanks (args, std::cin, out, err);
    if (command == "convert")
        return convertPrograms (args, out, err);

    err << usage;
    return 2;
}
