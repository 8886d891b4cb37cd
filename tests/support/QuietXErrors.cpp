// X errors arrive asynchronously. JUCE ignores them while its display is open, but when a test
// shuts JUCE down it hands errors still in flight (a window the window manager was reparenting)
// back to Xlib's default handler, which ends the process. Installed before JUCE starts, this
// handler is the one JUCE restores.
#include <X11/Xlib.h>

#include <cstdio>

namespace
{
int reportAndContinue (Display*, XErrorEvent* event)
{
    std::fprintf (stderr, "(X error %d on request %d ignored)\n", (int)event->error_code, (int)event->request_code);
    return 0;
}

const struct Installer
{
    Installer() { XSetErrorHandler (reportAndContinue); }
} installer;
} // namespace
