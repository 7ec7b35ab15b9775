// Judging of answer fields. The verdict rules arrive with the judging work; until then every
// field keeps the "?" it was made with.
#include "judging/judge.h"

void judgeAnswer(QuizState&, HWND, int)
{
}
