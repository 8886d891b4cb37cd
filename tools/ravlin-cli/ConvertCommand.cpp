#include "ConvertCommand.h"

#include "CliCommands.h"

#include "instrument/DSI_Program.h"
#include "instrument/InstrumentModel.h"
#include "library/LibraryFile.h"
#include "library/ProgramFiles.h"
#include "library/ProgramScan.h"

namespace
{
struct Options
{
    juce::String in, out;
    int bank = -1;    // 0..7, or -1 for none given
    int program = -1; // 0-based position in IN, or -1
    std::optional<ravlin::InstrumentModel> model;
};

bool parseNumber (const juce::String& text, int lowest, int highest, int& into)
{
    if (text.isEmpty() || !text.containsOnly ("0123456789") || text.length() > 6)
        return false;
    into = text.getIntValue();
    return into >= lowest && into <= highest;
}

bool parse (const juce::StringArray& args, Options& o, std::ostream& err)
{
    juce::StringArray files;
    for (int i = 1; i < args.size(); ++i)
    {
        const auto& a = args[i];
        if (a == "--bank" || a == "--program")
        {
            int value = 0;
            const auto ok =
                a == "--bank" ? parseNumber (args[i + 1], 1, 8, value) : parseNumber (args[i + 1], 1, 999999, value);
            if (i + 1 >= args.size() || !ok)
            {
                err << "ravlin-cli convert: " << a << (a == "--bank" ? " takes 1 to 8\n" : " takes a number from 1\n");
                return false;
            }
            (a == "--bank" ? o.bank : o.program) = value - 1;
            ++i;
        }
        else if (a == "--model")
        {
            const auto value = args[i + 1];
            if (i + 1 >= args.size() || (value != "module" && value != "keyboard"))
            {
                err << "ravlin-cli convert: --model takes module or keyboard\n";
                return false;
            }
            o.model = value == "keyboard" ? ravlin::InstrumentModel::keyboard : ravlin::InstrumentModel::module;
            ++i;
        }
        else if (a.startsWith ("--"))
        {
            err << "ravlin-cli convert: unknown option " << a << '\n' << usageOf ("convert");
            return false;
        }
        else
            files.add (a);
    }
    if (files.size() != 2)
    {
        err << usageOf ("convert");
        return false;
    }
    o.in = files[0];
    o.out = files[1];
    return true;
}

juce::String bankList (const std::vector<int>& banks)
{
    juce::StringArray names;
    for (auto b : banks)
        names.add (juce::String (b + 1));
    return names.joinIntoString (", ");
}

using Programs = std::vector<ProgramScan::Found>;

/** The device byte each program is written with: the model given, else the one its dump in IN
    carried; programs that came without one (libraries, presets) are the module's. */
struct DeviceBytes
{
    const ravlin::Bytes& in;
    ProgramScan::Format format;
    std::optional<ravlin::InstrumentModel> model;

    uint8_t of (const ProgramScan::Found& p) const
    {
        if (model.has_value())
            return ravlin::deviceByteOf (*model);
        if (format == ProgramScan::Format::sysEx && p.offset + 2 < in.size() &&
            ravlin::modelOfDeviceByte (in[p.offset + 2]).has_value())
            return in[p.offset + 2];
        return ravlin::sysex::deviceModule;
    }
};

/** " (Prophet 12 Keyboard)" when --model named it; nothing otherwise. */
std::string forModel (const std::optional<ravlin::InstrumentModel>& model)
{
    return model.has_value() ? std::string (" (") + ravlin::modelName (*model) + ")" : std::string();
}

std::vector<int> banksOf (const Programs& programs)
{
    std::vector<int> banks;
    for (const auto& p : programs)
        if (p.bank >= 0 && std::find (banks.begin(), banks.end(), p.bank) == banks.end())
            banks.push_back (p.bank);
    std::sort (banks.begin(), banks.end());
    return banks;
}

bool allPlaced (const Programs& programs)
{
    return std::all_of (programs.begin(), programs.end(),
                        [] (const ProgramScan::Found& p)
                        { return juce::isPositiveAndBelow (p.bank, 8) && juce::isPositiveAndBelow (p.program, 99); });
}

int writeOrFail (bool written, const juce::File& file, std::ostream& err)
{
    if (written)
        return 0;
    err << "ravlin-cli convert: " << file.getFullPathName() << ": cannot write the file\n";
    return 1;
}

int writeBank (const Programs& programs, const DeviceBytes& devices, const Options& o, const juce::File& file,
               std::ostream& out, std::ostream& err)
{
    const auto banks = banksOf (programs);
    if (banks.size() > 1)
    {
        err << "ravlin-cli convert: " << o.in << " holds programs for banks " << bankList (banks)
            << "; a bank file takes one: add --bank N, or write a .syx to keep them all\n";
        return 1;
    }
    if (programs.size() > (size_t)Bank_Program::numPrograms)
    {
        err << "ravlin-cli convert: " << o.in << " holds " << programs.size()
            << " programs; a bank file takes 99: write a .p12l or .syx instead\n";
        return 1;
    }

    Bank_Program bank ("convert");
    bank.initialise (false);
    const auto placed = allPlaced (programs);
    const auto slotOf = [&] (size_t k) { return placed ? programs[k].program : (int)k; };
    for (size_t k = 0; k < programs.size(); ++k)
        bank.setProgram (slotOf (k), programs[k].image);
    const auto number = o.bank >= 0 ? o.bank : banks.empty() ? 0 : banks.front();
    // The slots IN does not fill take the byte of its first program.
    auto content = ProgramFiles::bankContent (bank, number, devices.of (programs.front()));
    for (size_t k = 0; k < programs.size(); ++k)
        content[(size_t)slotOf (k) * (size_t)ravlin::sysex::programDumpSize + 2] = devices.of (programs[k]);
    if (auto r = writeOrFail (ProgramFiles::write (file, content), file, err))
        return r;
    out << "wrote a bank file for bank " << number + 1 << forModel (o.model) << ": " << programs.size()
        << " of 99 programs from " << o.in;
    if (programs.size() < (size_t)Bank_Program::numPrograms)
        out << ", the other slots the basic program";
    out << '\n';
    return 0;
}

int writeDumps (const Programs& programs, const DeviceBytes& devices, const Options& o, const juce::File& file,
                std::ostream& out, std::ostream& err)
{
    const auto placed = allPlaced (programs);
    if (!placed && programs.size() > (size_t)Bank_Program::numPrograms)
    {
        err << "ravlin-cli convert: " << o.in << " holds " << programs.size()
            << " programs without places of their own; a .syx of program dumps takes 99 of those\n";
        return 1;
    }
    ravlin::Bytes content;
    for (size_t k = 0; k < programs.size(); ++k)
    {
        auto image = programs[k].image;
        image.resize ((size_t)Bank_Program::programSize, 0);
        const auto device = devices.of (programs[k]);
        const auto dump = placed ? ravlin::packProgramDump (image, o.bank >= 0 ? o.bank : programs[k].bank,
                                                            programs[k].program, device)
                                 : ravlin::packProgramDump (image, juce::jmax (0, o.bank), (int)k, device);
        content.insert (content.end(), dump.begin(), dump.end());
    }
    if (auto r = writeOrFail (ProgramFiles::write (file, content), file, err))
        return r;
    out << "wrote " << programs.size() << " program dumps" << forModel (o.model) << " from " << o.in << '\n';
    return 0;
}
} // namespace

int convertPrograms (const juce::StringArray& args, std::ostream& out, std::ostream& err)
{
    Options o;
    if (!parse (args, o, err))
        return 2;

    const auto cwd = juce::File::getCurrentWorkingDirectory();
    const auto inFile = cwd.getChildFile (o.in), outFile = cwd.getChildFile (o.out);
    const auto kind = outFile.getFileExtension().toLowerCase();
    if (kind != ".p12l" && kind != ".p12b" && kind != ".p12p" && kind != ".syx")
    {
        err << "ravlin-cli convert: " << o.out << ": the name must end in .p12l, .p12b, .p12p or .syx\n";
        return 2;
    }
    if (inFile == outFile)
    {
        err << "ravlin-cli convert: IN and OUT are the same file\n";
        return 2;
    }
    if (!inFile.existsAsFile())
    {
        err << "ravlin-cli convert: " << o.in << ": no such file\n";
        return 1;
    }
    const auto data = ProgramFiles::readProgramSource (inFile);
    if (!data.has_value())
    {
        err << "ravlin-cli convert: " << ProgramFiles::whyUnreadable (inFile, ProgramFiles::limitFor (inFile)) << '\n';
        return 1;
    }
    const auto scanned = ProgramScan::scan (data->data(), data->size());
    auto programs = scanned.programs;
    const DeviceBytes devices{*data, scanned.format, o.model};
    if (programs.empty())
    {
        err << "ravlin-cli convert: " << o.in << ": no programs found (not a SysEx, bank, library or preset file)\n";
        return 1;
    }

    if (o.program >= 0)
    {
        if (o.program >= (int)programs.size())
        {
            err << "ravlin-cli convert: " << o.in << " holds " << programs.size() << " program(s); there is no program "
                << o.program + 1 << '\n';
            return 1;
        }
        programs = {programs[(size_t)o.program]};
    }
    else if (o.bank >= 0 && banksOf (programs).size() > 1)
    {
        // A file of several banks: --bank picks one of them.
        programs.erase (std::remove_if (programs.begin(), programs.end(),
                                        [&] (const ProgramScan::Found& p) { return p.bank != o.bank; }),
                        programs.end());
        if (programs.empty())
        {
            err << "ravlin-cli convert: " << o.in << " holds no programs for bank " << o.bank + 1 << '\n';
            return 1;
        }
    }

    if (kind == ".p12l")
    {
        std::vector<ravlin::Bytes> records;
        for (auto& p : programs)
        {
            p.image.resize ((size_t)Bank_Program::programSize, 0);
            records.push_back (p.image);
        }
        if (auto r = writeOrFail (LibraryFile::write (outFile, records), outFile, err))
            return r;
        out << "wrote a library of " << records.size() << " programs from " << o.in << '\n';
        return 0;
    }
    if (kind == ".p12p" || (kind == ".syx" && programs.size() == 1))
    {
        if (programs.size() != 1)
        {
            err << "ravlin-cli convert: " << o.in << " holds " << programs.size()
                << " programs; a single-program file takes one: add --program N\n";
            return 1;
        }
        const auto content = ProgramFiles::singleProgramContent (programs[0].image, devices.of (programs[0]));
        if (auto r = writeOrFail (ProgramFiles::write (outFile, content), outFile, err))
            return r;
        out << "wrote \"" << DSI_Program::nameFrom (programs[0].image.data(), programs[0].image.size(), true).trimEnd()
            << "\" as a single program" << forModel (o.model) << '\n';
        return 0;
    }
    if (kind == ".p12b")
        return writeBank (programs, devices, o, outFile, out, err);
    return writeDumps (programs, devices, o, outFile, out, err);
}
