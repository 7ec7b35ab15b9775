// What "new" makes of a folder of media files: one question per file, its answer from the file's
// name, and the quiz source an author then edits. Works on names only, so the rules are the same
// on every platform.
#pragma once

#include <string>
#include <vector>

#include "quizc/quiz_source.h"

struct NewQuestion {
    std::string media;          // file name in the folder, UTF-8
    std::string answerPicture;  // "NAME.reponse.EXT" beside it; empty when none
    std::string answer;         // UTF-8, in capitals
    std::string caption;        // the question of a text quiz
};

struct NewQuiz {
    QuizKind kind = QuizKind::Text;
    std::string title;  // UTF-8
    std::vector<NewQuestion> questions;
    std::vector<std::string> errors;  // one per file that cannot be a question; nothing is written then
};

// A question's answer from its file's name (with its extension): '_' and '-' become blanks, runs of
// blanks one blank, none at either end, letters in Windows-1252 capitals. False, with a reason
// naming the file, when the name has a character the player cannot show, gives no answer, or an
// answer longer than the player holds.
bool answerFromFileName(const std::string& fileName, std::string& answer, std::string& error);

// The quiz for the files of a folder (names in any order): the kind that most of its media files
// have (pictures before sounds before videos on a tie; none: a text quiz of three examples), one
// question per file of that kind in name order, "NAME.reponse.EXT" pictures as answer pictures.
NewQuiz planNewQuiz(const std::string& folderName, std::vector<std::string> fileNames);

// The quiz source, in UTF-8, with comments in French on each key.
std::string newQuizSource(const NewQuiz& quiz);
