// Shell opening, routed through a replaceable sink so tests can capture it.
#include "base/shell_open.h"

#include <shellapi.h>

namespace {
ShellOpenSink currentSink = nullptr;
}

HINSTANCE shellOpen(HWND owner, const char* verb, const char* file, const char* parameters, const char* directory,
                    int show)
{
    if (currentSink)
        return currentSink(owner, verb, file, parameters, directory, show);
    return ShellExecuteA(owner, verb, file, parameters, directory, show);
}

ShellOpenSink setShellOpenSink(ShellOpenSink sink)
{
    ShellOpenSink previous = currentSink;
    currentSink = sink;
    return previous;
}
