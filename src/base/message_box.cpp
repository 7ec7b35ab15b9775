// Message boxes, routed through a replaceable sink so tests can capture them.
#include "base/message_box.h"

namespace {
MessageSink currentSink = nullptr;
}

int showMessage(HWND owner, const char* text, const char* caption, UINT flags)
{
    if (currentSink)
        return currentSink(owner, text, caption, flags);
    return MessageBoxA(owner, text, caption, flags);
}

int showOutOfMemory()
{
    return showMessage(nullptr, "Impossible d'allouer la memoire", "information", MB_OK);
}

MessageSink setMessageSink(MessageSink sink)
{
    MessageSink previous = currentSink;
    currentSink = sink;
    return previous;
}
