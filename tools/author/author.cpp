// The authoring tool's commands. Nothing here touches an executable's bytes directly: that is
// ExeAccess's job, so the commands' rules (what may be overwritten, what is left behind after
// a failure) are the same on every platform and testable on the host.
#include "author.h"

#include <algorithm>
#include <map>
#include <random>
#include <system_error>

#include "common/file_io.h"
#include "lint.h"
#include "new_quiz.h"
#include "source_writer.h"
#include "summary.h"

namespace fs = std::filesystem;

const char* const kToolName = "enigo-auteur";

namespace {

const char* const kSourceName = "quiz.txt";

std::string usage()
{
    const std::string source = kSourceName;
    return std::string("usage: ") + kToolName +
           " COMMAND ...\n"
           "  QUIZDIR                   what dropping a folder on the tool does: 'new' when the folder has no " +
           source +
           ",\n"
           "                            then 'make' into QUIZDIR.exe beside the folder\n"
           "  new QUIZDIR               write QUIZDIR/" +
           source +
           ": one question per picture, sound or video, answers from the file names\n"
           "  make QUIZDIR [OUT.exe]    build the quiz folder into a finished quiz executable\n"
           "                            (default OUT.exe: the folder's name, in the current folder)\n"
           "  check QUIZDIR             list errors and warnings of the quiz, by file and line\n"
           "  extract QUIZ.exe OUTDIR   turn a quiz executable back into a quiz folder (OUTDIR new or empty)\n"
           "  show QUIZ.exe|QUIZDIR     one-screen summary of a quiz\n"
           "  try QUIZDIR               make the quiz in a temporary folder and play it; removed when it closes\n"
           "A quiz folder holds " +
           source + " (UTF-8) and its media files; QUIZDIR may also name " + source + " itself.\n";
}

std::string shown(const fs::path& path)
{
    return "'" + pathToUtf8(path) + "'";
}

// The folder as an absolute path without a trailing separator, so that its name is its last part.
fs::path folderPath(const fs::path& folder)
{
    std::error_code error;
    fs::path path = fs::weakly_canonical(fs::absolute(folder, error), error).lexically_normal();
    return path.has_filename() || !path.has_relative_path() ? path : path.parent_path();
}

struct SourceFile {
    fs::path path;
    fs::path baseDir;
    std::string name;  // as the user wrote it, for FILE:LINE messages
    std::string text;
};

bool locateSource(const std::string& argument, SourceFile& source, std::ostream& err)
{
    std::error_code ignored;
    source.path = pathFromUtf8(argument);
    source.name = argument;
    if (fs::is_directory(source.path, ignored)) {
        source.path /= kSourceName;
        // Named with the separator the user typed, so messages read like the command line.
        const char separator =
            argument.find('/') != std::string::npos ? '/' : static_cast<char>(fs::path::preferred_separator);
        if (!source.name.empty() && source.name.back() != '/' && source.name.back() != '\\') {
            source.name += separator;
        }
        source.name += kSourceName;
    }
    std::vector<unsigned char> bytes;
    if (!fs::is_regular_file(source.path, ignored) || !readFileBytes(source.path, bytes)) {
        err << kToolName << ": error: cannot read the quiz source " << shown(source.path) << " (a quiz folder holds "
            << kSourceName << ")\n";
        return false;
    }
    source.text.assign(bytes.begin(), bytes.end());
    source.baseDir = source.path.parent_path();
    if (source.baseDir.empty()) {
        source.baseDir = ".";
    }
    return true;
}

void report(std::ostream& stream, const std::string& fileName, const std::vector<Diagnostic>& diagnostics)
{
    for (const Diagnostic& diagnostic : diagnostics) {
        stream << formatDiagnostic(fileName, diagnostic) << '\n';
    }
}

std::string countOf(const std::vector<Diagnostic>& diagnostics, Diagnostic::Severity severity, const char* word)
{
    std::size_t count = 0;
    for (const Diagnostic& diagnostic : diagnostics) {
        count += diagnostic.severity == severity ? 1 : 0;
    }
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// Whether writing target would destroy an existing file that is one of inputs.
bool overwritesInput(const fs::path& target, const fs::path& input)
{
    std::error_code error;
    return fs::exists(target, error) && fs::exists(input, error) && fs::equivalent(target, input, error) && !error;
}

class Commands {
public:
    Commands(ExeAccess& access, std::ostream& out, std::ostream& err, AuthorReport* report)
        : access_(access)
        , out_(out)
        , err_(err)
        , report_(report ? report : &unreported_)
    {
    }

    // Writes FOLDER/quiz.txt for the media files in the folder; never over an existing one.
    int newQuiz(const std::string& folderName)
    {
        const fs::path folder = pathFromUtf8(folderName);
        const fs::path source = folder / kSourceName;
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            return failed(shown(folder) + " is not a folder");
        }
        if (fs::exists(source, error)) {
            return failed(shown(source) + " exists already: 'new' never writes over it; edit it, or remove it to "
                                          "start again");
        }
        std::vector<std::string> names;
        for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
            if (entry->is_regular_file(error)) {
                names.push_back(pathToUtf8(entry->path().filename()));
            }
        }
        const NewQuiz quiz = planNewQuiz(pathToUtf8(folderPath(folder).filename()), names);
        if (!quiz.errors.empty()) {
            std::string problems;
            for (const std::string& problem : quiz.errors) {
                problems += problem + "\n";
            }
            report_->failure = "ces fichiers ne peuvent pas devenir des questions ; renommez-les :\n" + problems;
            return failed(problems + "nothing written");
        }
        const std::string text = newQuizSource(quiz);
        if (error || !writeFileBytes(source, text.data(), text.size())) {
            return failed("cannot write " + shown(source));
        }
        const auto pictures =
            std::count_if(quiz.questions.begin(), quiz.questions.end(),
                          [](const NewQuestion& question) { return !question.answerPicture.empty(); });
        report_->sourceWritten = pathToUtf8(source);
        out_ << "wrote " << report_->sourceWritten << ": " << quizKindKeyword(quiz.kind) << " quiz, "
             << quiz.questions.size() << " questions" << (quiz.kind == QuizKind::Text ? " to edit" : "") << ", "
             << pictures << (pictures == 1 ? " answer picture\n" : " answer pictures\n");
        return 0;
    }

    // A folder dropped on the tool: its quiz source first written when it has none, then FOLDER.exe beside it.
    int drop(const std::string& folderName)
    {
        std::error_code error;
        if (!fs::exists(pathFromUtf8(folderName) / kSourceName, error)) {
            if (const int status = newQuiz(folderName)) {
                return status;
            }
        }
        const fs::path folder = folderPath(pathFromUtf8(folderName));
        const std::string target = pathToUtf8(folder.parent_path() / defaultTarget(folder));
        return make(folderName, &target);
    }

    // The quiz as players will see it, from a temporary folder that goes when the quiz closes.
    int tryQuiz(const std::string& folderName)
    {
        std::error_code error;
        const fs::path temporary = fs::temp_directory_path(error);
        fs::path folder;
        std::random_device random;
        for (int n = 0; n < 100 && (folder.empty() || fs::exists(folder, error)); ++n) {
            folder = temporary / ("enigo-essai-" + std::to_string(random()));
        }
        if (!fs::create_directory(folder, error)) {
            return failed("cannot make a temporary folder " + shown(folder));
        }
        const fs::path exe = folder / defaultTarget(folderPath(pathFromUtf8(folderName)));
        const std::string target = pathToUtf8(exe);
        int status = make(folderName, &target);
        std::string reason;
        if (status == 0) {
            out_ << "playing " << target << "; it is removed when the quiz closes\n";
            out_.flush();
            if (!access_.runQuiz(exe, reason)) {
                status = failed("cannot start the quiz: " + reason);
            }
        }
        fs::remove_all(folder, error);
        return status;
    }

    int check(const std::string& folder)
    {
        SourceFile source;
        if (!locateSource(folder, source, err_)) {
            return 1;
        }
        const CheckResult result = checkQuizSource(source.text, source.baseDir);
        report(out_, source.name, result.diagnostics);
        report_->sourceName = source.name;
        report_->diagnostics = result.diagnostics;
        out_ << source.name << ": " << countOf(result.diagnostics, Diagnostic::Severity::Error, "error") << ", "
             << countOf(result.diagnostics, Diagnostic::Severity::Warning, "warning") << '\n';
        return result.hasErrors() ? 1 : 0;
    }

    int make(const std::string& folder, const std::string* outName)
    {
        SourceFile source;
        if (!locateSource(folder, source, err_)) {
            return 1;
        }
        const CheckResult result = checkQuizSource(source.text, source.baseDir);
        report(err_, source.name, result.diagnostics);
        report_->sourceName = source.name;
        report_->diagnostics = result.diagnostics;
        if (result.hasErrors()) {
            err_ << kToolName << ": nothing made: the quiz has errors\n";
            report_->failure = "le quiz a des erreurs. Corrigez-les dans " + source.name + ", puis recommencez.";
            return 1;
        }
        const QuizSource& quiz = result.parsed.quiz;
        const fs::path target = outName ? pathFromUtf8(*outName) : defaultTarget(source.baseDir);
        if (!mayWrite(target, source, quiz)) {
            return 1;
        }
        QuizResourceSet set;
        std::string error;
        if (!buildResourceSet(compileQuiz(quiz), set, error)) {
            return failed(error);
        }
        // Written beside the target and renamed at the end, so a failure never leaves a partial
        // executable in the target's place; under a name no file has, so none is lost.
        std::error_code ignored;
        fs::path temporary;
        for (int n = 0; temporary.empty() || fs::exists(temporary, ignored); ++n) {
            temporary = target;
            temporary += n ? ".tmp" + std::to_string(n) : std::string(".tmp");
        }
        if (!access_.writeQuizExe(temporary, set, error) || !access_.replaceFile(temporary, target, error)) {
            fs::remove(temporary, ignored);
            return failed("cannot write " + shown(target) + ": " + error);
        }
        std::size_t mediaBytes = 0;
        for (const MediaItem& item : set.media) {
            mediaBytes += item.bytes.size();
        }
        report_->made = pathToUtf8(target) + " (" + std::to_string(quiz.questions.size()) + " questions)";
        out_ << "made " << pathToUtf8(target) << " (" << describeSize(fs::file_size(target, ignored))
             << "): " << quizKindKeyword(quiz.kind) << " quiz, " << quiz.questions.size() << " questions, "
             << set.media.size() << " media files (" << describeSize(mediaBytes) << ")\n";
        return 0;
    }

    int extract(const std::string& exeName, const std::string& folderName)
    {
        const fs::path exe = pathFromUtf8(exeName);
        const fs::path folder = pathFromUtf8(folderName);
        std::error_code error;
        const bool existed = fs::exists(folder, error);
        if (existed && (!fs::is_directory(folder, error) || !fs::is_empty(folder, error))) {
            return failed(shown(folder) + " must be a new or empty folder: extract never writes over files");
        }
        QuizResourceSet set;
        std::string reason;
        if (!access_.readQuizExe(exe, set, reason)) {
            return failed("cannot read " + shown(exe) + ": " + reason);
        }
        const UnpackedQuiz unpacked = unpackResourceSet(set, folder);
        report(err_, exeName, unpacked.diagnostics);
        if (unpacked.hasErrors()) {
            err_ << kToolName << ": nothing extracted\n";
            return 1;
        }
        const std::string text = writeQuizSource(unpacked.quiz, folder);
        fs::create_directories(folder, error);
        bool written = !error;
        std::vector<fs::path> files;
        for (const ExtractedFile& file : unpacked.files) {
            files.push_back(folder / file.name);
            written = written && writeFileBytes(files.back(), file.bytes->data(), file.bytes->size());
        }
        files.push_back(folder / kSourceName);
        written = written && writeFileBytes(files.back(), text.data(), text.size());
        if (!written) {
            for (const fs::path& file : files) {
                fs::remove(file, error);
            }
            if (!existed) {
                fs::remove(folder, error);
            }
            return failed("cannot write into " + shown(folder));
        }
        // The extracted folder goes through the same check as any other, so the author sees its
        // warnings now, and any loss shows as a difference from the executable.
        const CheckResult result = checkQuizSource(text, folder);
        report(err_, pathToUtf8(files.back()), result.diagnostics);
        if (!result.hasErrors()) {
            for (const std::string& difference : differencesFromSource(set, result.parsed.quiz)) {
                err_ << exeName << ": warning: a quiz made from " << folderName << " will differ in " << difference
                     << '\n';
            }
        }
        out_ << "extracted " << exeName << " into " << folderName << ": " << kSourceName << " and "
             << unpacked.files.size() << " media files\n";
        return 0;
    }

    int show(const std::string& name)
    {
        const fs::path path = pathFromUtf8(name);
        std::error_code error;
        QuizFacts facts;
        if (fs::is_directory(path, error) || path.extension() == ".txt") {
            SourceFile source;
            if (!locateSource(name, source, err_)) {
                return 1;
            }
            CheckResult result = checkQuizSource(source.text, source.baseDir);
            if (result.hasErrors()) {
                report(err_, source.name, result.diagnostics);
                return failed("the quiz has errors; 'check' lists them all");
            }
            facts.quiz = std::move(result.parsed.quiz);
            for (const QuizQuestion& question : facts.quiz.questions) {
                facts.cards.push_back(fileFacts(question.media));
                facts.answers.push_back(fileFacts(question.answerPicture));
            }
            out_ << source.name << "\n";
        } else {
            QuizResourceSet set;
            std::string reason;
            if (!access_.readQuizExe(path, set, reason)) {
                return failed("cannot read " + shown(path) + ": " + reason);
            }
            UnpackedQuiz unpacked = unpackResourceSet(set, fs::path());
            report(err_, name, unpacked.diagnostics);
            if (unpacked.hasErrors()) {
                return 1;
            }
            std::map<fs::path, const std::vector<unsigned char>*> files;
            for (const ExtractedFile& file : unpacked.files) {
                files[fs::path(file.name)] = file.bytes;
            }
            const auto itemFacts = [&files](const std::optional<MediaFile>& media) -> std::optional<MediaFacts> {
                if (!media) {
                    return std::nullopt;
                }
                return factsOf(*files.at(media->path));
            };
            facts.quiz = std::move(unpacked.quiz);
            for (const QuizQuestion& question : facts.quiz.questions) {
                facts.cards.push_back(itemFacts(question.media));
                facts.answers.push_back(itemFacts(question.answerPicture));
            }
            out_ << name << " (" << describeSize(fs::file_size(path, error)) << ")\n";
        }
        out_ << summariseQuiz(facts);
        return 0;
    }

private:
    int failed(const std::string& message)
    {
        std::size_t start = 0;
        for (std::size_t end; (end = message.find('\n', start)) != std::string::npos; start = end + 1) {
            err_ << kToolName << ": error: " << message.substr(start, end - start) << '\n';
        }
        err_ << kToolName << ": error: " << message.substr(start) << '\n';
        if (report_->failure.empty()) {
            report_->failure = message;
        }
        return 1;
    }

    static std::optional<MediaFacts> fileFacts(const std::optional<MediaFile>& media)
    {
        std::vector<unsigned char> bytes;
        if (!media || !readFileBytes(media->path, bytes)) {
            return std::nullopt;
        }
        return factsOf(bytes);
    }

    // FOLDER.exe in the current folder, named after the quiz folder.
    static fs::path defaultTarget(const fs::path& baseDir)
    {
        fs::path name = folderPath(baseDir).filename();
        if (name.empty()) {
            name = "quiz";
        }
        name += ".exe";
        return name;
    }

    bool mayWrite(const fs::path& target, const SourceFile& source, const QuizSource& quiz)
    {
        std::vector<std::pair<fs::path, const char*>> inputs = {{source.path, "the quiz source"},
                                                                {access_.toolPath(), "this tool itself"}};
        for (const QuizQuestion& question : quiz.questions) {
            for (const auto* media : {&question.media, &question.answerPicture}) {
                if (*media) {
                    inputs.emplace_back((*media)->path, "a media file of the quiz");
                }
            }
        }
        for (const auto& input : inputs) {
            if (overwritesInput(target, input.first)) {
                failed("refusing to write " + shown(target) + ": it is " + input.second);
                return false;
            }
        }
        return true;
    }

    ExeAccess& access_;
    std::ostream& out_;
    std::ostream& err_;
    AuthorReport unreported_;
    AuthorReport* report_;
};

}  // namespace

std::string reportInFrench(const AuthorReport& report)
{
    static const char* const kSeverities[] = {"erreur", "avertissement", "note"};
    std::string text;
    if (!report.sourceWritten.empty()) {
        text += report.sourceWritten + " a été écrit d'après les fichiers du dossier ; modifiez-le à votre guise.\n\n";
    }
    if (!report.diagnostics.empty()) {
        text += report.sourceName + " :\n";
    }
    // A box taller than the screen would hide its OK button: the rest is left to "check".
    const std::size_t listed = std::min<std::size_t>(report.diagnostics.size(), 15);
    for (std::size_t i = 0; i < listed; ++i) {
        const Diagnostic& diagnostic = report.diagnostics[i];
        text += diagnostic.line > 0 ? "ligne " + std::to_string(diagnostic.line) : std::string("tout le fichier");
        text +=
            std::string(" : ") + kSeverities[static_cast<int>(diagnostic.severity)] + " : " + diagnostic.message + "\n";
    }
    if (listed < report.diagnostics.size()) {
        text += "... et " + std::to_string(report.diagnostics.size() - listed) + " de plus : " + kToolName +
                " check les donne toutes.\n";
    }
    if (!report.diagnostics.empty()) {
        text += "\n";
    }
    if (!report.made.empty()) {
        return text + "Quiz créé : " + report.made +
               ".\nDouble-cliquez dessus pour y jouer ; pour l'envoyer aux joueurs, ce seul fichier suffit.";
    }
    return report.failure.empty() ? text : text + "Rien n'a été créé : " + report.failure;
}

int runAuthor(const std::vector<std::string>& arguments, ExeAccess& access, std::ostream& out, std::ostream& err,
              AuthorReport* report)
{
    Commands commands(access, out, err, report);
    const std::string command = arguments.empty() ? std::string() : arguments[0];
    const std::size_t count = arguments.size();
    if (command == "make" && (count == 2 || count == 3)) {
        return commands.make(arguments[1], count == 3 ? &arguments[2] : nullptr);
    }
    if (command == "check" && count == 2) {
        return commands.check(arguments[1]);
    }
    if (command == "extract" && count == 3) {
        return commands.extract(arguments[1], arguments[2]);
    }
    if (command == "show" && count == 2) {
        return commands.show(arguments[1]);
    }
    if (command == "new" && count == 2) {
        const int status = commands.newQuiz(arguments[1]);
        return status ? status : commands.check(arguments[1]);
    }
    if (command == "try" && count == 2) {
        return commands.tryQuiz(arguments[1]);
    }
    std::error_code ignored;
    if (count == 1 && fs::is_directory(pathFromUtf8(command), ignored)) {
        return commands.drop(command);
    }
    if (command == "help" || command == "--help" || command == "-h" || command == "/?") {
        out << usage();
        return 0;
    }
    err << usage();
    return 2;
}
