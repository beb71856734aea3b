#include "frxCustomDesigner.h"

#include "Lists.h"
#include "frxClass.h"

QZ_CLASS_IMPL(TfrxCustomDesigner, TForm)

TfrxCustomDesigner::TfrxCustomDesigner(TComponent* owner, TfrxReport* report, bool previewPageMode)
    : TForm(owner), FReport(report), FPreviewPageMode(previewPageMode), FObjects(std::make_unique<TList>()),
      FSelectedObjects(std::make_unique<TList>())
{
}

TfrxCustomDesigner::~TfrxCustomDesigner() = default;

void TfrxCustomDesigner::SetModified(bool value)
{
    FModified = value;
    if (value && FReport) FReport->Modified = true;
}
