#include "frxDesgn.h"

#include "TypInfo.h"

namespace {

TfrxDesigner* GCurrent = nullptr;

void DefineDesigner(std::vector<TPropInfo>& p)
{
    using D = TfrxDesigner;
    p.push_back(PublishBool<D>("CloseQuery", &D::CloseQuery, &D::CloseQuery, true));
    p.push_back(PublishString<D>("OpenDir", &D::OpenDir, &D::OpenDir));
    p.push_back(PublishString<D>("SaveDir", &D::SaveDir, &D::SaveDir));
    p.push_back(PublishSet<D>("Restrictions", &D::Restrictions, &D::Restrictions, TfrxDesignerRestrictions{},
                              "TfrxDesignerRestrictions"));
    p.push_back(PublishEvent<D>("OnLoadReport", &D::OnLoadReport, "TfrxLoadReportEvent"));
    p.push_back(PublishEvent<D>("OnSaveReport", &D::OnSaveReport, "TfrxSaveReportEvent"));
    p.push_back(PublishEvent<D>("OnShow", &D::OnShow, "TNotifyEvent"));
}

}  // namespace

QZ_CLASS_IMPL_PROPS(TfrxDesigner, TComponent, DefineDesigner)

TfrxDesigner::TfrxDesigner(TComponent* owner) : TComponent(owner) { GCurrent = this; }

TfrxDesigner::~TfrxDesigner()
{
    // Another component made later stays current: only this one's own
    // standing ends with it.
    if (GCurrent == this) GCurrent = nullptr;
}

namespace frxDesgn {

TfrxDesigner* CurrentDesigner() { return GCurrent; }

void SetCurrentDesigner(TfrxDesigner* designer) { GCurrent = designer; }

bool IsAllowed(TfrxDesignerRestriction restriction)
{
    return !GCurrent || !GCurrent->Restrictions.Contains(restriction);
}

bool CloseQueryWanted() { return !GCurrent || GCurrent->CloseQuery; }

}  // namespace frxDesgn
