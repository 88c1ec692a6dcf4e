#pragma once

#include <QList>
#include <memory>
#include <string>

class QWidget;

namespace app {
class TFTessaroneFirmWare;
}
namespace project {
class TFsaveproj;
class TFAbout;
}  // namespace project
namespace tools {
class TFHelp;
class TFSELstringhe;
class TFModifyFileSx;
class TFXML;
}  // namespace tools
namespace documents {
class TFpargen;
class TFSetVar;
}  // namespace documents
namespace canopen {
class TFsdo;
class TFpdo;
class TFemcy;
class TFWemcy;
class TFInfopdo;
class TFSetPdo;
}  // namespace canopen
namespace update {
class TFBootSer;
}

namespace app {

// Every window of the program, created once, in this order, and living until
// the end of the run. The main window comes first and runs the start-up
// procedure before any other window exists; the others are its children.
struct TForms {
    explicit TForms(const std::string& programDir);
    ~TForms();
    TForms(const TForms&) = delete;
    TForms& operator=(const TForms&) = delete;

    // All sixteen windows in the order of their creation.
    QList<QWidget*> all() const;

    TFTessaroneFirmWare* FTessaroneFirmWare;
    project::TFsaveproj* Fsaveproj;
    tools::TFHelp* FHelp;
    project::TFAbout* FAbout;
    tools::TFSELstringhe* FSELstringhe;
    tools::TFModifyFileSx* FModifyFileSx;
    documents::TFpargen* Fpargen;
    canopen::TFsdo* Fsdo;
    canopen::TFpdo* Fpdo;
    canopen::TFemcy* Femcy;
    canopen::TFWemcy* FWemcy;
    tools::TFXML* FXML;
    canopen::TFInfopdo* FInfopdo;
    documents::TFSetVar* FSetVar;
    canopen::TFSetPdo* FSetPdo;
    update::TFBootSer* FBootSer;
};

}  // namespace app
