// The one way a failure reaches the user: a modal message box. Tests swap in a sink that
// records what would be shown instead of blocking on a modal window.
#pragma once

#include <windows.h>

using MessageSink = int (*)(HWND owner, const char* text, const char* caption, UINT flags);

int showMessage(HWND owner, const char* text, const char* caption, UINT flags);

// Replaces the message box by sink (null restores the real message box); returns the previous sink.
MessageSink setMessageSink(MessageSink sink);

// The message for memory the program cannot do without (the quiz state, the quiz's decoding
// buffer).
int showOutOfMemory();
