#pragma once

#include "instrument/Bank_Program.h"

#include <optional>

/** The program, bank and FX files the user picks, as bytes: reading them (untrusted, never past
    the end, nothing bigger than 16 MiB) and the content written for them. No dialogs here. */
namespace ProgramFiles
{
constexpr juce::int64 maxFileSize = 16 * 1024 * 1024;

/** The whole file, or nothing when it is missing, unreadable or larger than 16 MiB. */
std::optional<ravlin::Bytes> readFile (const juce::File& file);

/** From the first F0 to the next F7, both included; empty without either. */
ravlin::Bytes firstSysExMessage (const ravlin::Bytes& data);

/** A single-program file: its first SysEx message, judged by its length (1024, 1176 or 1178
    bytes). Files of 9 bytes or fewer are no program. */
bool readSingleProgram (const ravlin::Bytes& data, DSI_Program& into);

/** A bank file: every 1178-byte program dump in it; files shorter than 10 bytes hold none. */
ravlin::ProgramDumps readProgramBank (const ravlin::Bytes& data);

/** A program dump together with the place it names. */
struct BankedProgram
{
    int bank = 0, program = 0;
    ravlin::Bytes image;
};

/** The program dumps of a file that name a bank 0..7 and a program 0..98, in file order (the
    instrument's own "all banks" files hold 396); dumps naming other places are left out. */
std::vector<BankedProgram> readBankedPrograms (const ravlin::Bytes& data);

/** The banks those programs name, each once, in ascending order. */
std::vector<int> banksNamed (const std::vector<BankedProgram>& programs);

/** What a saved program file holds: the program's edit-buffer dump. */
ravlin::Bytes singleProgramContent (const ravlin::Bytes& image);

/** What a saved bank file holds: 99 program dumps in slot order, each with its bank and program
    numbers, so that the instrument itself can load the file. */
ravlin::Bytes bankContent (const Bank_Program& bank, int bankNumber);

/** A save dialog's choice with the kind's extension added when it has none of 3 or more
    characters: "mylib" -> "mylib.p12l", "mylib.x" -> "mylib.x.p12l", "mylib.ab" stays. */
juce::File withExtension (const juce::File& chosen, const juce::String& extension);

/** Writes through a temporary file and a rename. */
bool write (const juce::File& file, const ravlin::Bytes& content);
} // namespace ProgramFiles
