#pragma once

#include "instrument/Bank_Program.h"

#include <optional>

/** The program, bank and FX files the user picks, as bytes: reading them (untrusted, never past
    the end, never larger than their kind allows) and the content written for them. Programs
    are found by the one reader the command line uses too (ProgramScan). No dialogs here. */
namespace ProgramFiles
{
/** The limit of SysEx, bank and FX files; libraries have their own (LibraryFile::maxFileSize). */
constexpr juce::int64 maxFileSize = 16 * 1024 * 1024;

/** The whole file, or nothing when it is missing, unreadable or larger than the limit. */
std::optional<ravlin::Bytes> readFile (const juce::File& file, juce::int64 limit = maxFileSize);

/** Why a file would not be read, for the user: missing, unreadable or too large. */
juce::String whyUnreadable (const juce::File& file, juce::int64 limit = maxFileSize);

/** Any file that may hold programs: a library (by its start marker) up to the library limit,
    anything else up to maxFileSize. */
std::optional<ravlin::Bytes> readProgramSource (const juce::File& file);
juce::int64 limitFor (const juce::File& file);

/** From the first F0 to the next F7, both included; empty without either. */
ravlin::Bytes firstSysExMessage (const ravlin::Bytes& data);

/** A single-program file: its first SysEx message, when it is a well-formed program or
    edit-buffer dump (F0 01, device 2A or 2B, command 02 or 03, exact length, F7). */
bool readSingleProgram (const ravlin::Bytes& data, DSI_Program& into);

/** A bank file: every well-formed 1178-byte program dump in it, in file order. */
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

/** What a saved program file holds: the program's edit-buffer dump, with the device byte of the
    model it is for (the module's or the keyboard's). */
ravlin::Bytes singleProgramContent (const ravlin::Bytes& image, uint8_t device = ravlin::sysex::deviceModule);

/** What a saved bank file holds: 99 program dumps in slot order, each with its bank and program
    numbers, so that the instrument itself can load the file. */
ravlin::Bytes bankContent (const Bank_Program& bank, int bankNumber, uint8_t device = ravlin::sysex::deviceModule);

/** A save dialog's choice with the kind's first extension added unless it already ends in one
    of the kind's: "mylib" -> "mylib.p12l", "Tremolo E.P. & P" -> "Tremolo E.P. & P.p12p",
    "bank.SYX" stays for a kind that takes ".syx". patterns: "*.p12p", "*.syx"... */
juce::File withExtension (const juce::File& chosen, const juce::StringArray& patterns);
juce::File withExtension (const juce::File& chosen, const juce::String& extension);

/** Writes through a temporary file and a rename. */
bool write (const juce::File& file, const ravlin::Bytes& content);
} // namespace ProgramFiles
