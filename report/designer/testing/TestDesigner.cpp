#include "TestDesigner.h"

#include "Lists.h"
#include "frxClass.h"

QZ_CLASS_IMPL(TTestDesigner, TfrxCustomDesigner)

TTestDesigner::TTestDesigner(TfrxReport* report)
    : TfrxCustomDesigner(nullptr, report), FCode(std::make_unique<TStringList>())
{
    if (report && report->PagesCount() > 0) FPage = report->PageAt(0);
}

TTestDesigner::~TTestDesigner() = default;

void TTestDesigner::FillObjects()
{
    Objects()->Clear();
    if (FPage)
        for (TfrxComponent* c : FPage->AllObjects()) Objects()->Add(c);
    Objects()->Add(Report());
    if (FPage) Objects()->Add(FPage);
    SelectedObjects()->Clear();
    if (FPage) SelectedObjects()->Add(FPage);
}

void TTestDesigner::Select(const std::vector<TObject*>& objects)
{
    SelectedObjects()->Clear();
    for (TObject* o : objects) SelectedObjects()->Add(o);
}

void TTestDesigner::SetModified(bool value)
{
    TfrxCustomDesigner::SetModified(value);
    if (value) ++ModifiedCount;
}

void TTestDesigner::SetPage(TfrxPage* value)
{
    TfrxCustomDesigner::SetPage(value);
    PagesShown.push_back(value);
}
