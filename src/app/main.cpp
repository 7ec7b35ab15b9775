// Entry point of a quiz executable: the command line and show command are ignored.
#include <cstdlib>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    return runEnigo(module);
}

#if defined(__MINGW32__)
// The library's verbose terminate handler pulls the C++ demangler (about 70 KB) into every quiz;
// the player reports failures itself and never lets an exception escape, so a plain abort will do.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx
#endif
