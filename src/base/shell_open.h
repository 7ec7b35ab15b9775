// Opening a file or web address with its default handler. Tests swap in a sink that records
// the request instead of starting a browser or player.
#pragma once

#include <windows.h>

using ShellOpenSink = HINSTANCE (*)(HWND owner, const char* verb, const char* file, const char* parameters,
                                    const char* directory, int show);

// ShellExecuteA, or the sink while one is set; returns what it returns.
HINSTANCE shellOpen(HWND owner, const char* verb, const char* file, const char* parameters, const char* directory,
                    int show);

// Replaces ShellExecuteA by sink (null restores it); returns the previous sink.
ShellOpenSink setShellOpenSink(ShellOpenSink sink);
