// One whole compiler run: read the quiz source, report problems, and write the outputs only when there are none.
#pragma once

#include <ostream>
#include <string>

// Compiles sourceName (a UTF-8 quiz source) into outDir: quiz104.bin and quiz105.bin (compressed),
// every media file under its plain ASCII name, and quiz.rc. Diagnostics go to log.
// Returns 0 on success, 1 when anything was wrong; outputs are then left as they were.
int runQuizCompiler(const std::string& sourceName, const std::string& outDirName, std::ostream& log);
