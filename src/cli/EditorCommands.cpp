#include "cli/EditorCommands.h"

#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "canopen/Editors.h"
#include "cli/TessaroCli.h"

namespace cli {
namespace {

// The editors whose tables the two commands serve: those with all four operations.
const canopen::EditorDescriptor* findServedEditor(const std::string& document) {
    const canopen::EditorDescriptor* editor = canopen::findEditor(document);
    return editor && editor->complete() ? editor : nullptr;
}

// A reading's warnings go to the command's; its failures end the command.
std::optional<std::string> takeReading(const canopen::EditorReading& reading, std::vector<std::string>& warnings) {
    warnings.insert(warnings.end(), reading.warnings.begin(), reading.warnings.end());
    return reading.failure();
}

int finish(const std::function<std::optional<std::string>(std::vector<std::string>&)>& run,
           const std::string& projectDir, std::ostream& err) {
    std::vector<std::string> warnings;
    std::optional<std::string> failure;
    failure = projectFolderProblem(projectDir);
    if (!failure) {
        try {
            failure = run(warnings);
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    for (const std::string& warning : warnings) err << "warning: " << warning << "\n";
    if (!failure) return kExitSuccess;
    err << *failure << "\n";
    return kExitFailure;
}

}  // namespace

bool isEditorDocument(const std::string& document) {
    return findServedEditor(document) != nullptr;
}

int runEditorExport(const std::string& projectDir, const std::string& document, std::ostream& err) {
    const canopen::EditorDescriptor* editor = findServedEditor(document);
    if (!editor) {
        err << "tessaro-cli: unknown document '" << document << "'\n";
        return kExitUsage;
    }
    return finish(
        [&](std::vector<std::string>& warnings) -> std::optional<std::string> {
            const canopen::EditorReading reading = editor->load(projectDir);
            if (const auto failure = takeReading(reading, warnings)) return failure;
            canopen::writeCsv(projectDir, editor->document, editor->exportLines(reading.content));
            return std::nullopt;
        },
        projectDir, err);
}

int runEditorImport(const std::string& projectDir, const std::string& document, const std::string& workbook,
                    std::ostream& err) {
    const canopen::EditorDescriptor* editor = findServedEditor(document);
    if (!editor) {
        err << "tessaro-cli: unknown document '" << document << "'\n";
        return kExitUsage;
    }
    return finish(
        [&](std::vector<std::string>& warnings) -> std::optional<std::string> {
            const canopen::EditorReading reading = editor->import(projectDir, workbook);
            if (const auto failure = takeReading(reading, warnings)) return failure;
            editor->save(projectDir, reading.content);
            return std::nullopt;
        },
        projectDir, err);
}

}  // namespace cli
