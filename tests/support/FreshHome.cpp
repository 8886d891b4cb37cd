// Every test process gets a home folder of its own, made empty at start and removed at the end,
// so settings, banks and libraries written by one test never meet another test running beside
// it, and a test run by hand never touches the developer's own files.
#include <juce_core/juce_core.h>

#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
class FreshHome : public ::testing::Environment
{
public:
    void SetUp() override
    {
        const auto root = juce::File (RAVLIN_TEST_HOME_ROOT);
        home = root.getChildFile ("run-" + juce::String ((int)::getpid()));
        home.deleteRecursively();
        home.createDirectory();
        ::setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    }

    void TearDown() override { home.deleteRecursively(); }

private:
    juce::File home;
};

[[maybe_unused]] auto* const freshHome = ::testing::AddGlobalTestEnvironment (new FreshHome());
} // namespace
