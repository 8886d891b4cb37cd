// The banks page's menus that overwrite a whole user bank: each names the bank it fills and asks
// before it overwrites anything.
#include "core/RavlinAudioProcessor.h"
#include "instrument/ProgramPacking.h"
#include "library/ProgramFiles.h"
#include "support/FakeMidiDevices.h"
#include "support/MessagePump.h"
#include "ui/editor/MainComp.h"

#include <gtest/gtest.h>

using ravlin::Bytes;

namespace
{
Bytes marked (int bank)
{
    return Bytes (1024, (uint8_t)(0x40 + bank));
}

class BankMenus : public ::testing::Test
{
protected:
    BankMenus()
    {
        processor =
            std::make_unique<RavlinAudioProcessor> (std::make_unique<ravlin::test::FakeMidiDevices>(), juce::File());
        editor = std::make_unique<MainComp> (processor.get());
        editor->showAbout (false);
        for (int b = 0; b < 4; ++b)
            hub().setBankProgram (b, 5, marked (b));
    }
    ~BankMenus() override
    {
        editor.reset();
        processor.reset();
        folder.deleteRecursively();
    }

    MidiCntrState& hub() { return processor->getHub(); }

    /** Slot 5 of each user bank, each marked with its own bank until something overwrites it. */
    std::array<Bytes, 4> userSlots() { return {slot (0), slot (1), slot (2), slot (3)}; }
    Bytes slot (int bank) { return hub().getBankProgram (bank, 5); }
    std::array<Bytes, 4> untouched() { return {marked (0), marked (1), marked (2), marked (3)}; }

    /** The question shown, answered; returns its text. */
    juce::String answer (bool ok)
    {
        auto* message = editor->getMessage();
        if (message == nullptr)
            return {};
        const auto text = message->getMessage();
        (ok ? message->getOkButton() : message->getCancelButton()).onClick();
        EXPECT_TRUE (ravlin::test::pumpUntil ([&] { return editor->getMessage() == nullptr; }, 5000));
        return text;
    }

    juce::ScopedJuceInitialiser_GUI messageThread;
    std::unique_ptr<RavlinAudioProcessor> processor;
    std::unique_ptr<MainComp> editor;
    // A name of its own: tests in other processes run beside this one.
    const juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory)
            .getChildFile ("ravlin-bank-menus-" + juce::String::toHexString (juce::Random().nextInt64()));
};
} // namespace

TEST_F (BankMenus, FactoryPresetsGoIntoTheUserBankChosenAfterAsking)
{
    hub().currentBank = 2; // User Bank 3 is shown; the menu names User Bank 2
    Bank_Program factory ("factory");
    factory.loadFactoryBank (1);

    editor->menuChosen (MainComp::optionsMenuId, 101);
    EXPECT_EQ (answer (false), "Overwrite the 99 programs of User Bank 2?");
    EXPECT_EQ (userSlots(), untouched()) << "nothing changes";

    editor->menuChosen (MainComp::optionsMenuId, 101);
    EXPECT_EQ (answer (true), "Overwrite the 99 programs of User Bank 2?");
    auto expected = untouched();
    expected[1] = factory.getProgram (5);
    EXPECT_EQ (userSlots(), expected);
    EXPECT_EQ (hub().getBankProgram (1, 98), factory.getProgram (98));

    editor->menuChosen (MainComp::optionsMenuId, 103);
    EXPECT_EQ (answer (false), "Overwrite the 99 programs of User Bank 4?");
    EXPECT_EQ (userSlots(), expected);
}

TEST_F (BankMenus, InitialisingTheSelectedUserBankAsksFirst)
{
    Bank_Program initial ("initial");
    initial.initialise (false);
    hub().currentBank = 2;

    editor->menuChosen (MainComp::optionsMenuId, 99);
    EXPECT_EQ (answer (false), "Overwrite the 99 programs of User Bank 3?");
    EXPECT_EQ (userSlots(), untouched());

    editor->menuChosen (MainComp::optionsMenuId, 99);
    EXPECT_EQ (answer (true), "Overwrite the 99 programs of User Bank 3?");
    auto expected = untouched();
    expected[2] = initial.getProgram (5);
    EXPECT_EQ (userSlots(), expected);

    // A factory bank is never initialised, even by an item its menu does not offer.
    hub().currentBank = 5;
    const auto factoryProgram = hub().getBankProgram (5, 5);
    editor->menuChosen (MainComp::optionsMenuId, 99);
    EXPECT_EQ (editor->getMessage(), nullptr);
    EXPECT_EQ (hub().getBankProgram (5, 5), factoryProgram);
    EXPECT_EQ (userSlots(), expected);
}

TEST_F (BankMenus, ABankFileLoadedIntoAUserBankAsksNamingTheFileAndTheBank)
{
    folder.createDirectory();
    Bytes content;
    for (int p = 0; p < 20; ++p)
    {
        const auto dump = ravlin::packProgramDump (Bytes (1024, (uint8_t)p), 0, p);
        content.insert (content.end(), dump.begin(), dump.end());
    }
    const auto file = folder.getChildFile ("mybank.p12b");
    ASSERT_TRUE (ProgramFiles::write (file, content));
    editor->getFileMan().answerDialog = [file] (const FileMan::Kind&) { return file; };

    editor->menuChosen (MainComp::bankFileMenuId, 101);
    EXPECT_EQ (answer (false), "Load the 20 programs of mybank.p12b into User Bank 2?");
    EXPECT_EQ (userSlots(), untouched());

    editor->menuChosen (MainComp::bankFileMenuId, 101);
    EXPECT_EQ (answer (true), "Load the 20 programs of mybank.p12b into User Bank 2?");
    auto expected = untouched();
    expected[1] = Bytes (1024, 5);
    EXPECT_EQ (userSlots(), expected);
    EXPECT_EQ (hub().getBankProgram (1, 19), Bytes (1024, 19));
}
