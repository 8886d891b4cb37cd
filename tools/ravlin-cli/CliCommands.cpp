#include "CliCommands.h"

#include "CliJson.h"
#include "ConvertCommand.h"
#include "DiffFindCommands.h"
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
struct CommandHelp
{
    const char* name;
    const char* usage;   // after "ravlin-cli "
    const char* options; // what each argument and option does, one per line
};

const CommandHelp commands[] = {
    {"list", "list FILE [--json]",
     "One line per program FILE holds: position, bank and program (as its dump names them, from 0), name, "
     "category.\n"
     "  FILE     a SysEx program or bank file, .p12p, .p12b, .p12l library or .fxp/.fxb preset\n"
     "  --json   one JSON document instead: {file, programs: [{position, bank, program, name, category}]}\n"},
    {"show", "show FILE [N] [--json]",
     "Every named parameter of program N of FILE, both layers: index, layer and name, raw value, value text.\n"
     "  N        the program's position in FILE, as list counts it (default 1)\n"
     "  --json   one JSON document instead: {file, position, name, category,\n"
     "           parameters: [{index, layer, name, raw, text}]}\n"},
    {"params", "params [--json]",
     "The parameter table: index, section, name, lowest, highest, display kind, NRPN (- for none), host slot\n"
     "(- for none); the reference for mapping a hardware controller's NRPNs.\n"
     "  --json   one JSON document instead: {parameters: [{index, section, name, lowest, highest,\n"
     "           displayKind, nrpn, hostSlot}]}, nrpn and hostSlot null for none\n"},
    {"ports", "ports [--detect] [--json]",
     "The MIDI inputs and outputs, the virtual instruments included.\n"
     "  --detect  also ask which model answers on each input and output of one name\n"
     "  --json    one JSON document instead: {inputs: [...], outputs: [...]}, with --detect also\n"
     "            models: [{port, answer, model}], answer \"identified\", \"noAnswer\" or \"didNotOpen\"\n"},
    {"first-run", "first-run",
     "On a machine without MIDI devices and without a ports file yet, names the virtual instrument as\n"
     "the editor's input and output so that its first start talks to something; a ports file that\n"
     "exists is left alone.\n"},
    {"receive",
     "receive --in NAME --out NAME --banks user|factory|all|1..8 [--model module|keyboard|detect] "
     "[--wire din|usb|none] [--timeout SECONDS] FILE",
     "Backs the instrument's banks up into FILE, a bank file of program dumps (written whole or not at all).\n"
     "  --in NAME, --out NAME  the MIDI input and output the instrument is on (see ravlin-cli ports)\n"
     "  --banks WHICH          user (1-4), factory (5-8), all, or one bank 1 to 8\n"
     "  --model MODEL          module or keyboard; detect (default) asks the instrument, and goes on as\n"
     "                         the module without an answer within a second\n"
     "  --wire SPEED           pace the virtual instrument like a din or usb cable; none (default)\n"
     "  --timeout SECONDS      give up when the instrument stays silent this long (default 5)\n"},
    {"transmit",
     "transmit [--in NAME] --out NAME [--to-bank 1..8] [--yes] [--verify] "
     "[--model module|keyboard|detect] [--wire din|usb|none] [--timeout SECONDS] FILE",
     "Restores the program dumps of FILE into the instrument's memory, asking first.\n"
     "  --in NAME           the MIDI input the instrument answers on (needed to detect it and to verify)\n"
     "  --out NAME          the MIDI output the instrument is on (see ravlin-cli ports)\n"
     "  --to-bank N         fill bank N with FILE's programs in order (else each dump's own place)\n"
     "  --yes               do not ask\n"
     "  --verify            read every program back and compare (needs --in)\n"
     "  --model MODEL       module or keyboard; detect (default) asks the instrument\n"
     "  --wire SPEED        a system port is paced as din MIDI unless usb; none leaves the virtual\n"
     "                      instrument unpaced\n"
     "  --timeout SECONDS   how long --verify waits for each reply (default 5)\n"},
    {"convert", "convert [--bank 1..8] [--program N] [--model module|keyboard] IN OUT",
     "Reads every program IN holds (anything list reads) and writes OUT, whole or not at all, in the\n"
     "kind its extension names: .p12l a library, .p12b a bank of 99, .p12p one program, .syx one\n"
     "program or program dumps in the places they name.\n"
     "  --bank N      the bank of a file of several banks to take; also the bank a bank file's dumps name\n"
     "  --program N   the program of IN to take, as list counts them\n"
     "  --model MODEL the device byte of the dumps written (else IN's, or the module's)\n"},
    {"diff", "diff FILE[:N] FILE[:N] [--json]",
     "Every parameter in which program N of the first FILE differs from program N of the second,\n"
     "grouped by section: layer (A, B or - for the whole program), name, the first's and the second's\n"
     "value text; the name and the category too. Exit status 0 whether or not they differ.\n"
     "  FILE[:N]  a file list reads and the program's position in it, as list counts (default 1)\n"
     "  --json    one JSON document instead: {this: {file, position, name}, other: {...}, equal,\n"
     "            differences: [{section, layer, name, parameter, index, this, other}]}\n"},
    {"find", "find FILE QUERY [--json]",
     "The programs of FILE that meet QUERY, one a line as list shows them, e.g.\n"
     "  'osc1.shape = Sawtooth and arp.on = On and lpf.freq > 100'\n"
     "Names are the parameters' dotted names (b. for layer B), name and category; operators\n"
     "= != < <= > >= (name: = != contains); values are value texts or numbers; terms join with\n"
     "and, or and parentheses. A malformed QUERY is told with its column (exit status 2).\n"
     "  --json    one JSON document instead: {file, query, programs: [{position, bank, program, name,\n"
     "            category}]}\n"},
};

const CommandHelp* findCommand (const juce::String& name)
{
    for (const auto& c : commands)
        if (name == c.name)
            return &c;
    return nullptr;
}

std::string wholeUsage()
{
    std::string text;
    for (const auto& c : commands)
        text += std::string (text.empty() ? "usage: " : "       ") + "ravlin-cli " + c.usage + '\n';
    return text + "       ravlin-cli --help | --version | COMMAND --help\n";
}

void printHelp (std::ostream& out)
{
    out << wholeUsage() << "\n"
        << "Reads and converts the Prophet 12's program files, lists its parameters and backs its memory up\n"
           "over MIDI, compares two programs and finds programs by value. Results go to stdout, errors to\n"
           "stderr; --json gives list, show, params, ports, diff and find as one JSON document.\n"
           "Exit status: 0 success, 1 failure, 2 wrong usage.\n"
           "ravlin-cli COMMAND --help describes a command and its options.\n";
}

/** Takes every --json out of args; true when there was one. */
bool takeJsonFlag (juce::StringArray& args)
{
    const auto before = args.size();
    for (int i = args.size(); --i >= 1;)
        if (args[i] == "--json")
            args.remove (i);
    return args.size() != before;
}

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

int list (const juce::String& path, bool json, std::ostream& out, std::ostream& err)
{
    ProgramScan::Result result;
    if (!readPrograms (path, result, err))
        return 1;

    if (json)
    {
        juce::Array<juce::var> programs;
        int position = 1;
        for (const auto& found : result.programs)
        {
            auto p = cliJson::object();
            cliJson::set (p, "position", position++);
            cliJson::set (p, "bank", cliJson::numberOrNull (found.bank >= 0, found.bank));
            cliJson::set (p, "program", cliJson::numberOrNull (found.bank >= 0, found.program));
            cliJson::set (p, "name", programName (found.image).trimEnd());
            cliJson::set (p, "category", categoryOf (found.image));
            programs.add (p);
        }
        auto document = cliJson::object();
        cliJson::set (document, "file", path);
        cliJson::set (document, "programs", programs);
        cliJson::writeDocument (out, document);
        return 0;
    }

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

int show (const juce::String& path, const juce::String& number, bool json, std::ostream& out, std::ostream& err)
{
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

    ProgramScan::Result result;
    if (!readPrograms (path, result, err))
        return 1;
    if (n < 1 || n > (int)result.programs.size())
    {
        err << "ravlin-cli: " << path << " holds " << result.programs.size() << " program(s); there is no program " << n
            << '\n';
        return 1;
    }

    const auto& image = result.programs[(size_t)(n - 1)].image;
    const ravlin::ParameterTable table;
    juce::Array<juce::var> parameters;
    if (!json)
        out << "Program " << n << ": " << programName (image) << "  (" << categoryOf (image) << ")\n";

    for (int layer = 0; layer < 2; ++layer)
    {
        for (int row = 0; row < ravlin::ParameterTable::layerSize; ++row)
        {
            const auto& name = table.shortName (row);
            if (name.empty())
                continue;
            const auto index = row + layer * ravlin::ParameterTable::layerSize;
            const int raw = image[(size_t)index];
            const auto text = ParDes::valueText (table.displayKind (index), raw);
            if (!json)
            {
                out << index << '\t' << (layer == 0 ? "A " : "B ") << name << '\t' << raw << '\t' << text << '\n';
                continue;
            }
            auto p = cliJson::object();
            cliJson::set (p, "index", index);
            cliJson::set (p, "layer", layer == 0 ? "A" : "B");
            cliJson::set (p, "name", juce::String (name));
            cliJson::set (p, "raw", raw);
            cliJson::set (p, "text", juce::String (text));
            parameters.add (p);
        }
    }
    if (json)
    {
        auto document = cliJson::object();
        cliJson::set (document, "file", path);
        cliJson::set (document, "position", n);
        cliJson::set (document, "name", programName (image).trimEnd());
        cliJson::set (document, "category", categoryOf (image));
        cliJson::set (document, "parameters", parameters);
        cliJson::writeDocument (out, document);
    }
    return 0;
}

int params (bool json, std::ostream& out)
{
    const ravlin::ParameterTable table;
    juce::Array<juce::var> rows;
    for (int p = 0; p < ravlin::ParameterTable::numParameters; ++p)
    {
        const auto nrpn = table.nrpnNumber (p);
        const auto slot = table.slotForParameter (p);
        const bool hasNrpn = nrpn != ravlin::ParameterTable::noNrpn;
        const bool hasSlot = slot != ravlin::ParameterTable::noHostSlot;
        if (!json)
        {
            out << p << '\t' << table.section (p) << '\t' << table.shortName (p) << '\t' << table.lowest (p) << '\t'
                << table.highest (p) << '\t' << table.displayKind (p) << '\t'
                << (hasNrpn ? std::to_string (nrpn) : std::string ("-")) << '\t'
                << (hasSlot ? std::to_string (slot) : std::string ("-")) << '\n';
            continue;
        }
        auto row = cliJson::object();
        cliJson::set (row, "index", p);
        cliJson::set (row, "section", table.section (p));
        cliJson::set (row, "name", juce::String (table.shortName (p)));
        cliJson::set (row, "lowest", table.lowest (p));
        cliJson::set (row, "highest", table.highest (p));
        cliJson::set (row, "displayKind", table.displayKind (p));
        cliJson::set (row, "nrpn", cliJson::numberOrNull (hasNrpn, (int)nrpn));
        cliJson::set (row, "hostSlot", cliJson::numberOrNull (hasSlot, (int)slot));
        rows.add (row);
    }
    if (json)
    {
        auto document = cliJson::object();
        cliJson::set (document, "parameters", rows);
        cliJson::writeDocument (out, document);
    }
    return 0;
}
} // namespace

bool readCliPrograms (const juce::String& path, ProgramScan::Result& result, std::ostream& err)
{
    return readPrograms (path, result, err);
}

std::string usageOf (const juce::String& command)
{
    if (const auto* c = findCommand (command))
        return std::string ("usage: ravlin-cli ") + c->usage + '\n';
    return wholeUsage();
}

int runRavlinCli (const juce::StringArray& arguments, std::ostream& out, std::ostream& err)
{
    auto args = arguments;
    const auto command = args[0];

    if (args.size() == 1 && command == "--version")
    {
        out << "ravlin-cli " << RAVLIN_CLI_VERSION << '\n';
        return 0;
    }
    if (args.size() == 1 && (command == "--help" || command == "-h"))
    {
        printHelp (out);
        return 0;
    }

    const auto* help = findCommand (command);
    if (help == nullptr)
    {
        if (command.isNotEmpty())
            err << "ravlin-cli: no command " << command << '\n';
        err << wholeUsage();
        return 2;
    }
    if (args.contains ("--help") || args.contains ("-h"))
    {
        out << "usage: ravlin-cli " << help->usage << "\n\n" << help->options;
        return 0;
    }

    if (command == "ports")
        return listMidiPorts (args, out, err);
    if (command == "receive")
        return receiveBanks (args, out, err);
    if (command == "transmit")
        return transmitBanks (args, std::cin, out, err);
    if (command == "convert")
        return convertPrograms (args, out, err);
    if (command == "diff")
        return diffPrograms (args, out, err);
    if (command == "find")
        return findPrograms (args, out, err);

    const auto json = command != "first-run" && takeJsonFlag (args);
    for (int i = 1; i < args.size(); ++i)
        if (args[i].startsWith ("--"))
        {
            err << "ravlin-cli: unexpected " << args[i] << '\n' << usageOf (command);
            return 2;
        }

    if (command == "list" && args.size() == 2)
        return list (args[1], json, out, err);
    if (command == "show" && (args.size() == 2 || args.size() == 3))
        return show (args[1], args[2], json, out, err);
    if (command == "params" && args.size() == 1)
        return params (json, out);
    if (command == "first-run" && args.size() == 1)
        return firstRun (out, err);
    err << usageOf (command);
    return 2;
}
