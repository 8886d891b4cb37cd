#pragma once

#include "library/ProgramLibrary.h"

#include <deque>

namespace ravlin::test
{
/** Answers questions and file dialogs from scripts, and keeps what was asked and applied. */
struct ScriptedHost : public ProgramLibrary::Host
{
    void ask (const ProgramLibrary::Question& q, std::function<void (const ProgramLibrary::Answer&)> answered) override
    {
        asked.push_back (q);
        if (answers.empty())
            return; // left open, as a dialog the user never answers
        const auto a = answers.front();
        answers.pop_front();
        answered (a);
    }
    void chooseFile (int kind, const juce::String& defaultName, std::function<void (juce::File)> chosen) override
    {
        kinds.push_back (kind);
        names.push_back (defaultName);
        const auto f = files.empty() ? juce::File() : files.front();
        if (!files.empty())
            files.pop_front();
        chosen (f);
    }
    void applyProgramChunk (const ravlin::Bytes& chunk) override { applied.push_back (chunk); }

    void answer (ProgramLibrary::Answer::Button b, const juce::String& text = {}, int category = 0)
    {
        answers.push_back ({b, text, category});
    }

    std::deque<ProgramLibrary::Answer> answers;
    std::deque<juce::File> files;
    std::vector<ProgramLibrary::Question> asked;
    std::vector<int> kinds;
    std::vector<juce::String> names;
    std::vector<ravlin::Bytes> applied;
};
} // namespace ravlin::test
