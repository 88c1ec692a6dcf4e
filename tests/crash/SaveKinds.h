#pragma once

// The documents the program saves, each as a kind of save that the crash-safety
// tests run in a child process and kill, and run against a full disk. A kind
// prepares, in a folder, whatever its saves read, and then saves one of two
// contents (variant 0 or 1) of its document, through the program's own code.
// To add a kind, add one entry to saveKinds(); a save that reads nothing
// prepared is one entry through plainKind.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canopen/EditorDocuments.h"
#include "canopen/SdoAccess.h"
#include "documents/AccessTables.h"
#include "documents/CommunicationSettings.h"
#include "outputs/ConfigurationImage.h"
#include "outputs/GsdFile.h"
#include "platform/FileSystem.h"

namespace crash_safety {

using Save = std::function<void(int variant)>;

struct SaveKind {
    const char* name;
    const char* document;  // the saved file, below the folder
    // Writes the files the saves read into the folder; run once by the parent.
    std::function<void(const std::string& folder)> prepare;
    // Answers the save of the document in the folder; reads what it needs first.
    std::function<Save(const std::string& folder)> saver;
};

inline std::string in(const std::string& folder, const std::string& name) {
    return platform::joinPath(folder, name);
}

// The two contents of each document differ in every length, so that a mix of
// the two or a cut would show.
inline documents::CommunicationTexts communicationVariant(int variant) {
    documents::CommunicationTexts texts = documents::defaultCommunicationTexts();
    texts.Profi_NB_IN = variant == 0 ? "244" : "20";
    texts.Profi_NB_OUT = variant == 0 ? "244" : "100";
    return texts;
}

inline documents::AccessTables tablesVariant(int variant) {
    documents::AccessTables tables;
    const int rows = variant == 0 ? 244 : 3;
    for (int r = 0; r < rows; ++r) {
        const std::string position = std::to_string(r % 20);
        tables.in.push_back({std::to_string(40001 + r), position, position, "in " + std::to_string(r)});
        tables.out.push_back({std::to_string(50001 + r), position, position, "out " + std::to_string(r)});
    }
    return tables;
}

// The SDO editor's tables: all 1500 entries of both directions filled, or three.
inline canopen::SdoAccessTables sdoTranslationVariant(int variant) {
    canopen::SdoAccessTables tables;
    const std::size_t rows = variant == 0 ? canopen::kSdoTableEntries : 3;
    for (auto* side : {&tables.first, &tables.second}) {
        for (std::size_t r = 0; r < rows; ++r) {
            side->push_back({"1", "0x" + std::to_string(2000 + r), std::to_string(r % 256), "5",
                             std::to_string(4096 + r), "0", "2", "entry " + std::to_string(r)});
        }
    }
    return tables;
}

inline std::string sourceProject(const std::string& folder, int variant) {
    return in(folder, "source" + std::to_string(variant));
}

// Two source projects, one per variant, for the outputs built from a project.
inline void prepareSourceProjects(const std::string& folder) {
    for (int variant = 0; variant < 2; ++variant) {
        const std::string project = sourceProject(folder, variant);
        platform::createFolder(project);
        documents::writeCommunicationSettings(in(project, documents::kPargenFileName), communicationVariant(variant));
        documents::writeAccessTables(in(project, documents::kSdoFileName), tablesVariant(variant));
    }
}

// A kind whose saves need nothing prepared: save writes the variant to path.
inline SaveKind plainKind(const char* name, const char* document,
                          std::function<void(const std::string& path, int variant)> save) {
    return {
        name, document, [](const std::string&) {},
        [=](const std::string& folder) -> Save { return [=](int variant) { save(in(folder, document), variant); }; }};
}

inline const std::vector<SaveKind>& saveKinds() {
    static const std::vector<SaveKind> kinds = {
        plainKind("pargen", "pargen.xml",
                  [](const std::string& path, int variant) {
                      documents::writeCommunicationSettings(path, communicationVariant(variant));
                  }),
        plainKind(
            "sdo", "sdo.xml",
            [](const std::string& path, int variant) { documents::writeAccessTables(path, tablesVariant(variant)); }),
        {"csv", "sdo.csv", [](const std::string&) {},
         [](const std::string& folder) -> Save {
             auto exports = std::make_shared<std::vector<std::vector<canopen::CsvLine>>>();
             for (int variant = 0; variant < 2; ++variant)
                 exports->push_back(canopen::exportSdoAccess(sdoTranslationVariant(variant)));
             return [=](int variant) { canopen::writeCsv(folder, canopen::kSdoDocumentName, (*exports)[variant]); };
         }},
        {"bank", "bin/bank.bin",
         [](const std::string& folder) {
             prepareSourceProjects(folder);
             platform::createFolder(in(folder, "bin"));
         },
         [](const std::string& folder) -> Save {
             auto images = std::make_shared<std::vector<outputs::ConfigurationImage>>(2);
             for (int variant = 0; variant < 2; ++variant) {
                 (*images)[variant].BuildConfigurationImage(sourceProject(folder, variant));
             }
             return [=](int variant) { (*images)[variant].WriteConfigurationImage(folder); };
         }},
        {"gsd", "Plant1.gsd", prepareSourceProjects,
         [](const std::string& folder) -> Save {
             return
                 [=](int variant) { outputs::WriteGsdFile(sourceProject(folder, variant), in(folder, "Plant1.gsd")); };
         }},
    };
    return kinds;
}

inline const SaveKind* findSaveKind(const std::string& name) {
    for (const SaveKind& kind : saveKinds()) {
        if (name == kind.name) return &kind;
    }
    return nullptr;
}

}  // namespace crash_safety
