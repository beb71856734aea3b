#include "fs_iinit.h"

#include "fs_ibasic.h"
#include "fs_iclassesrtti.h"
#include "fs_icpp.h"
#include "fs_idialogsrtti.h"
#include "fs_iformsrtti.h"
#include "fs_igraphicsrtti.h"
#include "fs_iinterpreter.h"
#include "fs_ijs.h"
#include "fs_ipascal.h"
#include "fs_isysrtti.h"

namespace fs_iinit {

void InitializeScriptEngine()
{
    fs_ipascal::Initialize();
    fs_icpp::Initialize();
    fs_ibasic::Initialize();
    fs_ijs::Initialize();
    fs_iinterpreter::GetGlobalScript();
    fs_isysrtti::Initialize();
    fs_iclassesrtti::Initialize();
    fs_igraphicsrtti::Initialize();
    fs_iformsrtti::Initialize();
    fs_idialogsrtti::Initialize();
}

void FinalizeScriptEngine()
{
    fs_idialogsrtti::Finalize();
    fs_iformsrtti::Finalize();
    fs_igraphicsrtti::Finalize();
    fs_iclassesrtti::Finalize();
    fs_isysrtti::Finalize();
    fs_iinterpreter::FreeGlobalScript();
}

}  // namespace fs_iinit
