// Tests that show windows need a display to themselves: another process's windows would take the
// focus and the keys. scripts/with-display.sh starts several displays and names them in
// RAVLIN_TEST_DISPLAYS (":91 :92"); each test process takes one that no other process holds (a
// lock file per display, held until the process ends) and waits while all are taken. Without that
// list the process takes $DISPLAY the same way, so the window tests run one at a time on it.
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
class DisplayLease : public ::testing::Environment
{
public:
    void SetUp() override
    {
        std::vector<std::string> displays;
        std::istringstream list (readEnvironment ("RAVLIN_TEST_DISPLAYS"));
        for (std::string name; list >> name;)
            displays.push_back (name);
        if (displays.empty() && !readEnvironment ("DISPLAY").empty())
            displays.push_back (readEnvironment ("DISPLAY"));
        if (displays.empty())
            return;

        for (;;)
        {
            for (const auto& display : displays)
                if (tryTake (display))
                    return;
            std::this_thread::sleep_for (std::chrono::milliseconds (20));
        }
    }

private:
    static std::string readEnvironment (const char* name)
    {
        const char* value = std::getenv (name);
        return value != nullptr ? value : "";
    }

    bool tryTake (const std::string& display)
    {
        std::string path = "/tmp/ravlin-test-display-";
        for (const char c : display)
            path += std::isalnum ((unsigned char)c) ? c : '_';
        const int fd = ::open ((path + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        if (::flock (fd, LOCK_EX | LOCK_NB) != 0)
        {
            ::close (fd);
            return false;
        }
        held = fd; // closed when the process ends, which frees the display
        ::setenv ("DISPLAY", display.c_str(), 1);
        return true;
    }

    int held = -1;
};

[[maybe_unused]] auto* const displayLease = ::testing::AddGlobalTestEnvironment (new DisplayLease());
} // namespace
