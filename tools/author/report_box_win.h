// The tool as Explorer starts it: a folder dropped on it, in a console of its own that closes
// with it, so what it has to say goes into a message box instead.
#pragma once

#include <string>
#include <vector>

#include "author.h"

// Whether the console is the tool's own (no prompt shares it): Explorer opened it and will close it.
bool ownsConsole();

// Runs one command line. Unboxed, as from a prompt: printed on the console. Boxed: the output is
// kept back and the outcome shown at the end in a message box titled "Enigo", in French.
int runAuthorBoxed(const std::vector<std::string>& arguments, ExeAccess& access, bool boxed);
