// Loads the built VST 2.4 binary the way a host does and checks what hosts see.
#include "instrument/Bank_Program.h"
#include "support/PluginPaths.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <cstring>

namespace Vst2
{
#include <pluginterfaces/vst2.x/aeffectx.h>
}

namespace
{
constexpr int fourCharCode (const char* c)
{
    return (int)(((unsigned)c[0] << 24) | ((unsigned)c[1] << 16) | ((unsigned)c[2] << 8) | (unsigned)c[3]);
}

class Vst2Host : public ::testing::Test
{
protected:
    void SetUp() override
    {
        juce::VSTPluginFormat format;
        const juce::String path = pluginPath ("RAVLIN_VST2_PATH", RAVLIN_VST2_PATH);
        format.findAllTypesForFile (descriptions, path);
        ASSERT_EQ (descriptions.size(), 1) << "the plug-in at " << path << " did not load";

        juce::String error;
        instance = format.createInstanceFromDescription (*descriptions[0], 44100.0, 512, error);
        ASSERT_NE (instance, nullptr) << error;
        struct FindEffect : public juce::ExtensionsVisitor
        {
            void visitVSTClient (const VSTClient& client) override
            {
                found = reinterpret_cast<Vst2::AEffect*> (client.getAEffectPtr());
            }
            Vst2::AEffect* found = nullptr;
        } visitor;
        instance->getExtensions (visitor);
        effect = visitor.found;
        ASSERT_NE (effect, nullptr);
    }

    Vst2::VstIntPtr dispatch (int opcode, int index, juce::pointer_sized_int value, void* ptr, float opt = 0)
    {
        return (Vst2::VstIntPtr)effect->dispatcher (effect, opcode, index, value, ptr, opt);
    }

    juce::ScopedJuceInitialiser_GUI juce;
    juce::OwnedArray<juce::PluginDescription> descriptions;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    Vst2::AEffect* effect = nullptr;
};
} // namespace

TEST_F (Vst2Host, IdentitySeenByTheHost)
{
    const auto& d = *descriptions[0];
    EXPECT_EQ (d.name, "Prophet 12 Ravlin");
    EXPECT_TRUE (d.isInstrument);
    EXPECT_EQ (d.numInputChannels, 2);
    EXPECT_EQ (d.numOutputChannels, 2);
    EXPECT_EQ (d.uniqueId, fourCharCode ("Kt7q"));

    EXPECT_EQ (effect->magic, Vst2::kEffectMagic);
    EXPECT_EQ (effect->uniqueID, fourCharCode ("Kt7q"));
    EXPECT_EQ (effect->version, 270);
    EXPECT_EQ (effect->numInputs, 2);
    EXPECT_EQ (effect->numOutputs, 2);
    EXPECT_EQ (effect->numPrograms, 99);

    for (auto flag :
         {Vst2::effFlagsHasEditor, Vst2::effFlagsCanReplacing, Vst2::effFlagsProgramChunks, Vst2::effFlagsIsSynth})
        EXPECT_NE (effect->flags & flag, 0) << "flag " << flag;

    EXPECT_EQ (dispatch (Vst2::effGetPlugCategory, 0, 0, nullptr), Vst2::kPlugCategSynth);

    char name[256] = {};
    dispatch (Vst2::effGetEffectName, 0, 0, name);
    EXPECT_STREQ (name, "Prophet 12 Ravlin");

    for (const char* can : {"receiveVstMidiEvent", "sendVstMidiEvent", "receiveVstTimeInfo"})
        EXPECT_EQ (dispatch (Vst2::effCanDo, 0, 0, const_cast<char*> (can)), 1) << can;

    EXPECT_EQ (instance->getNumPrograms(), 99);
    Bank_Program factory ("factory");
    factory.loadFactoryBank (0);
    EXPECT_EQ (instance->getProgramName (0).trimEnd(), factory.getProgramName (0).trimEnd())
        << "the preset bank starts as factory set 1";
    EXPECT_TRUE (instance->hasEditor());
    EXPECT_TRUE (instance->acceptsMidi());
    EXPECT_TRUE (instance->producesMidi());
}

TEST_F (Vst2Host, SpeakerArrangementCanBeReadAndSet)
{
    static_assert (sizeof (Vst2::VstSpeakerArrangement) == 904, "hosts allocate 8 speakers inline");

    // JUCE's host sets the arrangement while preparing.
    instance->prepareToPlay (48000.0, 256);

    Vst2::VstSpeakerArrangement* in = nullptr;
    Vst2::VstSpeakerArrangement* out = nullptr;
    dispatch (Vst2::effGetSpeakerArrangement, 0, (juce::pointer_sized_int)&in, &out);
    ASSERT_NE (in, nullptr);
    ASSERT_NE (out, nullptr);
    EXPECT_EQ (in->numChannels, 2);
    EXPECT_EQ (out->numChannels, 2);
    EXPECT_EQ (out->type, Vst2::kSpeakerArrStereo);

    // A host's own full-size structs, set back as they are.
    Vst2::VstSpeakerArrangement hostIn{}, hostOut{};
    hostIn.type = hostOut.type = Vst2::kSpeakerArrStereo;
    hostIn.numChannels = hostOut.numChannels = 2;
    for (int i = 0; i < 8; ++i)
        hostIn.speakers[i].type = hostOut.speakers[i].type = (i == 0 ? Vst2::kSpeakerL : Vst2::kSpeakerR);
    EXPECT_EQ (dispatch (Vst2::effSetSpeakerArrangement, 0, (juce::pointer_sized_int)&hostIn, &hostOut), 1);

    // Anything but stereo is refused.
    hostOut.type = Vst2::kSpeakerArrMono;
    hostOut.numChannels = 1;
    EXPECT_EQ (dispatch (Vst2::effSetSpeakerArrangement, 0, (juce::pointer_sized_int)&hostIn, &hostOut), 0);

    juce::AudioBuffer<float> audio (2, 256);
    juce::MidiBuffer midi;
    audio.clear();
    audio.setSample (0, 10, 0.5f);
    instance->processBlock (audio, midi);
    EXPECT_FLOAT_EQ (audio.getSample (0, 10), 0.5f) << "audio passes through";
    instance->releaseResources();
}

TEST_F (Vst2Host, PinPropertiesStayInsideTheHostsStruct)
{
    for (auto opcode : {Vst2::effGetInputProperties, Vst2::effGetOutputProperties})
    {
        for (int pin = 0; pin < 2; ++pin)
        {
            struct
            {
                Vst2::VstPinProperties properties;
                unsigned char guard[64];
            } block;
            std::memset (&block, 0xEE, sizeof (block));

            ASSERT_EQ (dispatch (opcode, pin, 0, &block.properties), 1);
            for (auto b : block.guard)
                ASSERT_EQ (b, 0xEE) << "the plug-in wrote past the pin properties";
            EXPECT_NE (block.properties.flags & Vst2::kVstPinIsActive, 0);
            if (pin == 0)
            {
                EXPECT_NE (block.properties.flags & Vst2::kVstPinIsStereo, 0) << "pins 0 and 1 are a stereo pair";
            }
            EXPECT_GT (std::strlen (block.properties.label), 0u);
        }
    }
}

TEST_F (Vst2Host, RenamingTheCurrentProgramThroughTheHost)
{
    instance->setCurrentProgram (5);
    EXPECT_EQ (instance->getCurrentProgram(), 5);
    instance->changeProgramName (5, "Night Pad");
    EXPECT_EQ (instance->getProgramName (5).trimEnd(), "Night Pad");
    EXPECT_EQ (instance->getCurrentProgram(), 5);

    char name[64] = {};
    dispatch (Vst2::effGetProgramNameIndexed, 5, 0, name);
    EXPECT_STREQ (juce::String (name).trimEnd().toRawUTF8(), "Night Pad");
}
