#include "DiffFindCommands.h"

#include "CliCommands.h"
#include "CliJson.h"

#include "instrument/DSI_Program.h"
#include "instrument/ParDes.h"
#include "instrument/ProgramDiff.h"
#include "library/ProgramQuery.h"

namespace
{
/** Takes every --json out of args; true when there was one. */
bool takeJson (juce::StringArray& args)
{
    const auto before = args.size();
    args.removeString ("--json");
    return args.size() != before;
}

/** The first --option left, if any: a wrong call. */
bool refuseOptions (const juce::StringArray& args, const char* command, std::ostream& err)
{
    for (int i = 1; i < args.size(); ++i)
        if (args[i].startsWith ("--"))
        {
            err << "ravlin-cli: unexpected " << args[i] << '\n' << usageOf (command);
            return true;
        }
    return false;
}

juce::String nameOf (const ravlin::Bytes& image)
{
    return DSI_Program::nameFrom (image.data(), image.size(), true).trimEnd();
}

juce::String categoryOf (const ravlin::Bytes& image)
{
    const int c = image.size() > (size_t)DSI_Program::categoryOffset ? image[(size_t)DSI_Program::categoryOffset] : 0;
    return ParDes::categoryText (c);
}

struct Chosen
{
    juce::String path;
    int position = 1;
    ravlin::Bytes image;
};

/** "FILE" or "FILE:N": 2 for a bad N, 1 when the file or its program cannot be read, else 0. */
int choose (const juce::String& argument, Chosen& chosen, std::ostream& err)
{
    chosen.path = argument;
    const auto colon = argument.lastIndexOfChar (':');
    if (colon > 0 && colon < argument.length() - 1 && argument.substring (colon + 1).containsOnly ("0123456789"))
    {
        const auto number = argument.substring (colon + 1);
        chosen.path = argument.substring (0, colon);
        chosen.position = number.length() <= 6 ? number.getIntValue() : 0;
        if (chosen.position < 1)
        {
            err << "ravlin-cli: " << argument << ": the program number must be 1 or more\n" << usageOf ("diff");
            return 2;
        }
    }

    ProgramScan::Result result;
    if (!readCliPrograms (chosen.path, result, err))
        return 1;
    if (chosen.position > (int)result.programs.size())
    {
        err << "ravlin-cli: " << chosen.path << " holds " << result.programs.size()
            << " program(s); there is no program " << chosen.position << '\n';
        return 1;
    }
    chosen.image = result.programs[(size_t)(chosen.position - 1)].image;
    chosen.image.resize (1024, 0);
    return 0;
}

juce::var side (const Chosen& chosen)
{
    auto object = cliJson::object();
    cliJson::set (object, "file", chosen.path);
    cliJson::set (object, "position", chosen.position);
    cliJson::set (object, "name", nameOf (chosen.image));
    return object;
}
} // namespace

int diffPrograms (const juce::StringArray& arguments, std::ostream& out, std::ostream& err)
{
    auto args = arguments;
    const auto json = takeJson (args);
    if (refuseOptions (args, "diff", err))
        return 2;
    if (args.size() != 3)
    {
        err << usageOf ("diff");
        return 2;
    }

    Chosen mine, theirs;
    for (auto [argument, chosen] : {std::pair{args[1], &mine}, std::pair{args[2], &theirs}})
        if (const auto code = choose (argument, *chosen, err); code != 0)
            return code;

    const auto rows = ProgramDiff::compare (mine.image, theirs.image);
    if (json)
    {
        juce::Array<juce::var> differences;
        for (const auto& row : rows)
        {
            auto d = cliJson::object();
            cliJson::set (d, "section", row.sectionName);
            cliJson::set (d, "layer",
                          row.layer == ProgramDiff::Layer::none ? juce::var()
                                                                : juce::var (ProgramDiff::layerText (row.layer)));
            cliJson::set (d, "name", row.name);
            cliJson::set (d, "parameter", row.dottedName);
            cliJson::set (d, "index", cliJson::numberOrNull (row.index >= 0, row.index));
            cliJson::set (d, "this", row.thisText);
            cliJson::set (d, "other", row.otherText);
            differences.add (d);
        }
        auto document = cliJson::object();
        cliJson::set (document, "this", side (mine));
        cliJson::set (document, "other", side (theirs));
        cliJson::set (document, "equal", rows.empty());
        cliJson::set (document, "differences", differences);
        cliJson::writeDocument (out, document);
        return 0;
    }

    out << "--- " << mine.path << ':' << mine.position << "  " << nameOf (mine.image) << '\n'
        << "+++ " << theirs.path << ':' << theirs.position << "  " << nameOf (theirs.image) << '\n';
    juce::String section;
    for (const auto& row : rows)
    {
        if (row.sectionName != section)
            out << (section = row.sectionName) << '\n';
        const auto layer =
            row.layer == ProgramDiff::Layer::none ? juce::String ("-") : ProgramDiff::layerText (row.layer);
        out << "  " << layer << "  " << row.name.paddedRight (' ', 18) << "  " << row.thisText.paddedRight (' ', 20)
            << "  " << row.otherText << '\n';
    }
    if (rows.empty())
        out << "The programs are equal.\n";
    else
        out << rows.size() << (rows.size() == 1 ? " difference\n" : " differences\n");
    return 0;
}

int findPrograms (const juce::StringArray& arguments, std::ostream& out, std::ostream& err)
{
    auto args = arguments;
    const auto json = takeJson (args);
    if (refuseOptions (args, "find", err))
        return 2;
    if (args.size() != 3)
    {
        err << usageOf ("find");
        return 2;
    }

    ProgramQuery query;
    if (!query.parse (args[2]))
    {
        err << "ravlin-cli: " << query.error().describe() << "\n  " << args[2] << "\n  "
            << juce::String::repeatedString (" ", query.error().column - 1) << "^\n";
        return 2;
    }

    ProgramScan::Result result;
    if (!readCliPrograms (args[1], result, err))
        return 1;

    juce::Array<juce::var> programs;
    int position = 0, matched = 0;
    for (const auto& found : result.programs)
    {
        ++position;
        auto image = found.image;
        image.resize (1024, 0);
        if (!query.matches (image.data()))
            continue;
        ++matched;
        if (json)
        {
            auto p = cliJson::object();
            cliJson::set (p, "position", position);
            cliJson::set (p, "bank", cliJson::numberOrNull (found.bank >= 0, found.bank));
            cliJson::set (p, "program", cliJson::numberOrNull (found.bank >= 0, found.program));
            cliJson::set (p, "name", nameOf (image));
            cliJson::set (p, "category", categoryOf (image));
            programs.add (p);
            continue;
        }
        juce::String line;
        line << juce::String (position).paddedLeft (' ', 3) << "  ";
        if (found.bank >= 0)
            line << "bank " << juce::String (found.bank) << " prog "
                 << juce::String (found.program).paddedLeft (' ', 2);
        else
            line << juce::String::repeatedString (" ", 14);
        line << "  " << DSI_Program::nameFrom (image.data(), image.size(), true) << "  " << categoryOf (image);
        out << line << '\n';
    }

    if (json)
    {
        auto document = cliJson::object();
        cliJson::set (document, "file", args[1]);
        cliJson::set (document, "query", args[2]);
        cliJson::set (document, "programs", programs);
        cliJson::writeDocument (out, document);
    }
    else if (matched == 0)
        out << "No program of " << args[1] << " matches.\n";
    return 0;
}
