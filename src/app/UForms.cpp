#include "app/UForms.h"

#include "app/UTessaroneFirmWare.h"
#include "canopen/UInfoPdo.h"
#include "canopen/USdo.h"
#include "canopen/USetPdo.h"
#include "canopen/UWemcy.h"
#include "canopen/Uemcy.h"
#include "canopen/Updo.h"
#include "documents/USetVar.h"
#include "documents/Upargen.h"
#include "project/UAbout.h"
#include "project/Unewp.h"
#include "tools/UModifyFileSx.h"
#include "tools/USELstringhe.h"
#include "tools/UXML.h"
#include "tools/Uhelp.h"
#include "update/UBootSer.h"

namespace app {

TForms::TForms(const std::string& programDir) {
    FTessaroneFirmWare = new TFTessaroneFirmWare(programDir);
    QWidget* main = FTessaroneFirmWare;
    Fsaveproj = new project::TFsaveproj(main, FTessaroneFirmWare->workspace());
    FHelp = new tools::TFHelp(main);
    FAbout = new project::TFAbout(main);
    FSELstringhe = new tools::TFSELstringhe(main);
    FModifyFileSx = new tools::TFModifyFileSx(main, FTessaroneFirmWare->workspace());
    Fpargen = new documents::TFpargen(main, FTessaroneFirmWare->workspace());
    Fsdo = new canopen::TFsdo(main);
    Fpdo = new canopen::TFpdo(main);
    Femcy = new canopen::TFemcy(main);
    FWemcy = new canopen::TFWemcy(main);
    FXML = new tools::TFXML(main);
    FInfopdo = new canopen::TFInfopdo(main);
    FSetVar = new documents::TFSetVar(main, FTessaroneFirmWare->workspace());
    FSetPdo = new canopen::TFSetPdo(main);
    FBootSer = new update::TFBootSer(*FTessaroneFirmWare);
    FTessaroneFirmWare->setForms(this);
}

// The other windows are children of the main window and go with it.
TForms::~TForms() {
    delete FTessaroneFirmWare;
}

QList<QWidget*> TForms::all() const {
    return {FTessaroneFirmWare,
            Fsaveproj,
            FHelp,
            FAbout,
            FSELstringhe,
            FModifyFileSx,
            Fpargen,
            Fsdo,
            Fpdo,
            Femcy,
            FWemcy,
            FXML,
            FInfopdo,
            FSetVar,
            FSetPdo,
            FBootSer};
}

}  // namespace app
