// quizc SOURCE OUTDIR: compiles a readable quiz source into the player's resources and a .rc fragment.
#include <iostream>

#include "quiz_compiler.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: quizc SOURCE OUTDIR\n"
                     "  Compiles the quiz source SOURCE (UTF-8 text) into OUTDIR: quiz104.bin, quiz105.bin,\n"
                     "  the media files and quiz.rc, the resource-script fragment that names them.\n";
        return 2;
    }
    return runQuizCompiler(argv[1], argv[2], std::cerr);
}
