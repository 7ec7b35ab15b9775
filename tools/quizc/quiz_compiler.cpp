// Drives a compiler run: parse, build the resources, copy media, and replace the outputs all-or-nothing.
#include "quiz_compiler.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "common/file_io.h"
#include "quiz_source.h"
#include "quiz_writer.h"

namespace fs = std::filesystem;

namespace {

struct OutputFile {
    std::string name;
    std::vector<unsigned char> bytes;
};

void fail(std::ostream& log, const std::string& message)
{
    log << "quizc: error: " << message << '\n';
}

// Leaving an identical file alone keeps its time stamp, so nothing downstream is rebuilt.
bool isUnchanged(const fs::path& path, const std::vector<unsigned char>& bytes)
{
    std::error_code ignored;
    std::vector<unsigned char> existing;
    return fs::is_regular_file(path, ignored) && readFileBytes(path, existing) && existing == bytes;
}

void removeAll(const std::vector<fs::path>& paths)
{
    std::error_code ignored;
    for (const fs::path& path : paths) {
        fs::remove(path, ignored);
    }
}

// Writes every changed output to a temporary file first and renames only once all of them are
// complete, so a failed write (disk full, locked file) never leaves a truncated output behind.
bool writeOutputs(const fs::path& outDir, const std::vector<OutputFile>& outputs, std::ostream& log)
{
    std::error_code error;
    fs::create_directories(outDir, error);
    if (error) {
        fail(log, "cannot create '" + pathToUtf8(outDir) + "': " + error.message());
        return false;
    }
    std::vector<fs::path> temporaries;
    std::vector<fs::path> targets;
    for (const OutputFile& output : outputs) {
        const fs::path target = outDir / output.name;
        if (isUnchanged(target, output.bytes)) {
            continue;
        }
        fs::path temporary = target;
        temporary += ".tmp";
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (file) {
            temporaries.push_back(temporary);
            targets.push_back(target);
        }
        file.write(reinterpret_cast<const char*>(output.bytes.data()),
                   static_cast<std::streamsize>(output.bytes.size()));
        file.close();
        if (!file) {
            fail(log, "cannot write '" + pathToUtf8(temporary) + "'");
            removeAll(temporaries);
            return false;
        }
    }
    for (std::size_t i = 0; i < temporaries.size(); ++i) {
        fs::rename(temporaries[i], targets[i], error);
        if (error) {
            fail(log, "cannot replace '" + pathToUtf8(targets[i]) + "': " + error.message());
            removeAll(temporaries);
            return false;
        }
    }
    return true;
}

}  // namespace

int runQuizCompiler(const std::string& sourceName, const std::string& outDirName, std::ostream& log)
{
    const fs::path sourcePath = pathFromUtf8(sourceName);
    std::error_code ignored;
    std::vector<unsigned char> sourceBytes;
    if (!fs::is_regular_file(sourcePath, ignored) || !readFileBytes(sourcePath, sourceBytes)) {
        fail(log, "cannot read '" + sourceName + "'");
        return 1;
    }
    const ParseResult parsed =
        parseQuizSource(std::string(sourceBytes.begin(), sourceBytes.end()), sourcePath.parent_path());
    for (const Diagnostic& diagnostic : parsed.diagnostics) {
        log << formatDiagnostic(sourceName, diagnostic) << '\n';
    }
    if (parsed.hasErrors()) {
        return 1;
    }

    const CompiledQuiz compiled = compileQuiz(parsed.quiz);
    std::vector<OutputFile> outputs = {
        {kQuizRecordFile, compiled.quizRecord},
        {kCodeRecordFile, compiled.codeRecord},
        {kResourceScriptFile,
         std::vector<unsigned char>(compiled.resourceScript.begin(), compiled.resourceScript.end())},
    };
    bool mediaRead = true;
    for (const MediaResource& resource : compiled.media) {
        OutputFile output{resource.fileName, {}};
        if (!readFileBytes(resource.source, output.bytes)) {
            fail(log, "cannot read '" + pathToUtf8(resource.source) + "'");
            mediaRead = false;
        }
        outputs.push_back(std::move(output));
    }
    if (!mediaRead || !writeOutputs(pathFromUtf8(outDirName), outputs, log)) {
        return 1;
    }
    return 0;
}
