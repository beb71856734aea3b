#include "qzStartup.h"

#include "DBGridEhStartup.h"
#include "DataImport.h"
#include "UnitSequence.h"
#include "cxEditorsStartup.h"
#include "cxFoundationStartup.h"
#include "cxGridStartup.h"
#include "frxDesignerStartup.h"
#include "frxStartup.h"
#include "fs_istartup.h"

namespace qzStartup {

namespace {
// The data controller has no start-up of its own: its resource texts come
// through the editors' start-up, and its data-set registries, made on first
// use, stay until the program ends, after every library that uses them.
TUnitSequence& Libraries()
{
    static TUnitSequence libraries{
        {cxFoundationStartup::StartUp, cxFoundationStartup::ShutDown},
        {cxEditorsStartup::StartUp, cxEditorsStartup::ShutDown},
        {cxGridStartup::StartUp, cxGridStartup::ShutDown},
        {DBGridEhStartup::StartUp, DBGridEhStartup::ShutDown},
        {fs_istartup::StartUp, fs_istartup::ShutDown},
        {frxStartup::StartUp, frxStartup::ShutDown},
        {frxDesignerStartup::StartUp, frxDesignerStartup::ShutDown},
        // The workbook reader and the lists' imports, over the grids above.
        {DataImport::StartUp, DataImport::ShutDown},
    };
    return libraries;
}
}  // namespace

void StartUpLibraries() { Libraries().StartUp(); }
void ShutDownLibraries() { Libraries().ShutDown(); }
bool LibrariesStarted() { return Libraries().Started(); }

}  // namespace qzStartup
