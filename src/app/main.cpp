// Entry point of a quiz executable: the command line and show command are ignored.
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    return runEnigo(module);
}
