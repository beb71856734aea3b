#include "frxClass.h"

#include "frxDsgnIntf.h"
#include "frxObjectNames.h"
#include "frxPublish.h"
#include "frxRes.h"
#include "frxUtils.h"
#include "frxVariables.h"
#include "frxXML.h"
#include "frxXMLSerializer.h"

#include "DateUtils.h"
#include "HostServices.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <algorithm>
#include <cmath>
#include <iterator>

using namespace frxPublish;

namespace {

std::vector<TfrxDataSet*>& GlobalDataSets()
{
    static std::vector<TfrxDataSet*> list;
    return list;
}

double RoundTo(double v, double step)
{
    return std::nearbyint(v / step) * step;   // ties to even under the default rounding mode
}

// Positions are mostly whole pixels: those skip the general float formatting.
std::string F(double v)
{
    if (v == double(int64_t(v)) && v > -1e15 && v < 1e15) return IntToStr(int64_t(v));
    return FloatToStr(v);
}

template <class T> void FreeOwned(std::unique_ptr<T>& p)
{
    FreeObject(p.release());
}

}  // namespace

namespace frxClass {

PTypeInfo PrinterOrientationType()
{
    static PTypeInfo t = MakeEnumTypeInfo("TPrinterOrientation", {"poPortrait", "poLandscape"});
    return t;
}
PTypeInfo BrushStyleType()
{
    static PTypeInfo t = MakeEnumTypeInfo("TBrushStyle", {"bsSolid", "bsClear", "bsHorizontal",
                                                          "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                                          "bsCross", "bsDiagCross"});
    return t;
}
PTypeInfo FormBorderStyleType()
{
    static PTypeInfo t = MakeEnumTypeInfo(
        "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
    return t;
}
PTypeInfo PositionType()
{
    static PTypeInfo t = MakeEnumTypeInfo(
        "TPosition", {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                      "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"});
    return t;
}
PTypeInfo WindowStateType()
{
    static PTypeInfo t = MakeEnumTypeInfo("TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"});
    return t;
}

TfrxDataSet* FindDataSet(TfrxDataSet* current, const std::string& name, TComponent* owner)
{
    if (name.empty()) return nullptr;
    if (!owner) return current;
    auto* report = DynamicCast<TfrxReport>(owner);
    for (TfrxDataSet* ds : GlobalDataSets()) {
        if (!SameText(ds->UserName(), name)) continue;
        if (report) {
            auto* r = DynamicCast<TfrxReport>(ds->Owner());
            if (!r) r = ds->Report();
            if (r && r != report) continue;
        }
        return ds;
    }
    return current;
}

void ListEnabledDataSets(TStrings* list)
{
    list->Clear();
    for (TfrxDataSet* ds : GlobalDataSets())
        if (!ds->UserName().empty() && ds->Enabled()) list->AddObject(ds->UserName(), ds);
}

const std::vector<TfrxDataSet*>& DataSetList() { return GlobalDataSets(); }

}  // namespace frxClass

// ---- TfrxComponent -----------------------------------------------------------------------------

namespace {
TComponent* PlatformOwner(TComponent* owner)
{
    if (auto* fc = dynamic_cast<TfrxComponent*>(owner)) return fc->Report();
    return owner;
}
}

TfrxComponent::TfrxComponent(TComponent* owner)
    : TComponent(PlatformOwner(owner)), FFont(std::make_unique<TfrxFont>())
{
    FFont->OnChange = [this](TObject*) { FontNotify(); };
    if (auto* p = dynamic_cast<TfrxComponent*>(owner)) SetParent(p);
    SetParentFont(true);
}

TfrxComponent::~TfrxComponent()
{
    SetParent(nullptr);
    Clear();
    FFont->OnChange = nullptr;
}

TfrxComponent* TfrxComponent::CreateDesigned(TClass c, TComponent* owner, int flags)
{
    auto* obj = DynamicCast<TfrxComponent>(c->Create(owner));
    if (!obj) return nullptr;
    obj->FIsDesigning = true;
    obj->DesignCreated(flags);
    return obj;
}

std::string TfrxComponent::BaseName() const
{
    if (!FBaseName.empty()) return FBaseName;
    std::string n = ClassName();
    size_t p = n.find("Tfrx");
    if (p != std::string::npos) n.erase(p, 4);
    p = n.find("View");
    if (p != std::string::npos) n.erase(p, 4);
    return n;
}

void TfrxComponent::SetParent(TfrxComponent* value)
{
    if (value == FParent) return;
    TfrxReport* before = Report();
    if (FParent) {
        // Objects leave their parent last first (Clear): search from the end.
        auto& v = FParent->FObjects;
        auto it = std::find(v.rbegin(), v.rend(), this);
        if (it != v.rend()) v.erase(std::prev(it.base()));
    }
    if (value) value->FObjects.push_back(this);
    FParent = value;
    TfrxReport* after = Report();
    if (before != after) {
        IndexNames(before, false);
        IndexNames(after, true);
    }
    if (FParent) SetParentFont(FParentFont);
}

void TfrxComponent::IndexNames(TfrxReport* report, bool add) const
{
    if (!report || report == this || !report->FObjectNames) return;
    auto& map = report->FObjectNames->Map;
    std::vector<const TfrxComponent*> todo{this};
    while (!todo.empty()) {
        const TfrxComponent* c = todo.back();
        todo.pop_back();
        for (const TfrxComponent* ch : c->FObjects) todo.push_back(ch);
        if (c->Name().empty()) continue;
        const std::string key = UpperCase(c->Name());
        if (add) {
            map.emplace(key, const_cast<TfrxComponent*>(c));
            continue;
        }
        auto range = map.equal_range(key);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == c) {
                map.erase(it);
                break;
            }
        }
    }
}

void TfrxComponent::Renamed(const std::string& oldName)
{
    TfrxReport* report = Report();
    if (!report || report == this || !report->FObjectNames) return;
    auto& map = report->FObjectNames->Map;
    if (!oldName.empty()) {
        auto range = map.equal_range(UpperCase(oldName));
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == this) {
                map.erase(it);
                break;
            }
        }
    }
    if (!Name().empty()) map.emplace(UpperCase(Name()), this);
}

void TfrxComponent::RenameUnchecked(const std::string& value)
{
    std::string old = Name();
    TComponent::SetName(value);
    if (old != value) Renamed(old);
}

std::vector<TfrxComponent*> TfrxComponent::AllObjects() const
{
    std::vector<TfrxComponent*> r;
    // Depth first, each object before its children, children in order.
    std::function<void(const TfrxComponent*)> walk = [&](const TfrxComponent* c) {
        for (TfrxComponent* ch : c->FObjects) {
            r.push_back(ch);
            walk(ch);
        }
    };
    walk(this);
    return r;
}

void TfrxComponent::SetLeft(double v)
{
    if (FIsDesigning && FRestrictions.Contains(rfDontMove)) return;
    FLeft = v;
}
void TfrxComponent::SetTop(double v)
{
    if (FIsDesigning && FRestrictions.Contains(rfDontMove)) return;
    FTop = v;
}
void TfrxComponent::SetWidth(double v)
{
    if (FIsDesigning && FRestrictions.Contains(rfDontSize)) return;
    FWidth = v;
}
void TfrxComponent::SetHeight(double v)
{
    if (FIsDesigning && FRestrictions.Contains(rfDontSize)) return;
    FHeight = v;
}

void TfrxComponent::SetBounds(double l, double t, double w, double h)
{
    SetLeft(l);
    SetTop(t);
    SetWidth(w);
    SetHeight(h);
}

double TfrxComponent::AbsLeft() const
{
    if (!FParent || FParent->Is<TfrxDialogPage>()) return FLeft;
    return FLeft + FParent->AbsLeft();
}

double TfrxComponent::AbsTop() const
{
    if (!FParent || FParent->Is<TfrxDialogPage>()) return FTop;
    return FTop + FParent->AbsTop();
}

void TfrxComponent::SetFont(TfrxFont* value)
{
    if (value && value != FFont.get()) FFont->Assign(value);
    FParentFont = false;
}

void TfrxComponent::SetParentFont(bool value)
{
    if (value && FParent) SetFont(FParent->Font());
    FParentFont = value;
}

void TfrxComponent::FontNotify() { FontChanged(); }

void TfrxComponent::FontChanged()
{
    FParentFont = false;
    for (TfrxComponent* c : std::vector<TfrxComponent*>(FObjects))
        if (c->ParentFont()) c->SetParentFont(true);
}

void TfrxComponent::SetName(const std::string& value)
{
    if (value == Name()) return;
    if (!value.empty()) {
        TfrxComponent* root = Report();
        if (!root) {
            root = this;
            while (root->FParent) root = root->FParent;
        }
        TfrxComponent* other = SameText(root->Name(), value) && root != this ? root : root->FindObject(value);
        if (other && other != this) throw EComponentError(frxRes::Resources().Get("prDupl"));
    }
    RenameUnchecked(value);
}

void TfrxComponent::MakeUniqueName()
{
    TfrxComponent* root = Report();
    if (!root) root = FParent ? FParent : this;
    std::string base = BaseName();
    for (int n = 1;; ++n) {
        std::string candidate = base + IntToStr(n);
        if (!root->FindObject(candidate)) {
            SetName(candidate);
            return;
        }
    }
}

TfrxPage* TfrxComponent::Page() const
{
    const TfrxComponent* c = this;
    while (c && !c->Is<TfrxPage>()) c = c->FParent;
    return const_cast<TfrxPage*>(static_cast<const TfrxPage*>(c));
}

TfrxReport* TfrxComponent::Report() const
{
    const TfrxComponent* c = this;
    while (c && !c->Is<TfrxReport>()) c = c->FParent;
    return const_cast<TfrxReport*>(static_cast<const TfrxReport*>(c));
}

TfrxComponent* TfrxComponent::FindObject(const std::string& name) const
{
    TfrxReport* report = name.empty() ? nullptr : Report();
    if (report && report->FObjectNames) {
        // The report's index holds every named descendant: of the objects
        // of that name, the ones below this object; one (or none) is the
        // answer, several are ordered by walking.
        auto range = report->FObjectNames->Map.equal_range(UpperCase(name));
        TfrxComponent* found = nullptr;
        int count = 0;
        for (auto it = range.first; it != range.second; ++it) {
            const TfrxComponent* c = it->second;
            while (c && c != this) c = c->FParent;
            if (!c || it->second == this) continue;
            found = it->second;
            ++count;
        }
        if (count <= 1) return found;
    }
    return FindObjectByWalking(name);
}

TfrxComponent* TfrxComponent::FindObjectByWalking(const std::string& name) const
{
    // Depth first, each object before its children, as AllObjects lists them.
    for (TfrxComponent* c : FObjects) {
        if (SameText(c->Name(), name)) return c;
        if (TfrxComponent* found = c->FindObjectByWalking(name)) return found;
    }
    return nullptr;
}

void TfrxComponent::Clear()
{
    while (!FObjects.empty()) {
        TfrxComponent* c = FObjects.back();
        FreeObject(c);   // its destructor takes it out of the list
        if (!FObjects.empty() && FObjects.back() == c) FObjects.pop_back();
    }
}

void TfrxComponent::LoadFromStream(TStream* stream)
{
    std::string name = Name();
    Clear();
    TfrxXMLSerializer ser(stream);
    TfrxReport* report = Report();
    ser.Owner = report ? static_cast<TComponent*>(report) : this;
    TfrxXMLSerializer* was = report ? report->ActiveSerializer() : nullptr;
    if (report) report->SetActiveSerializer(&ser);
    try {
        RenameUnchecked("");
        ser.ReadRootComponent(this);
    } catch (...) {
        if (report) report->SetActiveSerializer(was);
        try {
            RenameUnchecked(name);
        } catch (...) {
        }
        throw;
    }
    if (report) {
        report->SetActiveSerializer(was);
        for (int i = 0; i < ser.Errors()->Count(); ++i) report->Errors()->Add((*ser.Errors())[i]);
    }
    RenameUnchecked(name);
}

void TfrxComponent::SaveToStream(TStream* stream, bool saveChildren, bool saveDefaultValues)
{
    std::string name = Name();
    TfrxXMLSerializer ser(stream);
    TfrxReport* report = Report();
    ser.Owner = report ? static_cast<TComponent*>(report) : this;
    ser.SerializeDefaultValues = saveDefaultValues;
    RenameUnchecked("");
    try {
        ser.WriteRootComponent(this, saveChildren);
    } catch (...) {
        RenameUnchecked(name);
        throw;
    }
    RenameUnchecked(name);
}

std::string TfrxComponent::Diff(TfrxComponent* t)
{
    std::string r;
    auto* view = DynamicCast<TfrxView>(this);
    auto* memo = DynamicCast<TfrxCustomMemoView>(this);
    if (!(view && view->Align != baNone) && std::fabs(FLeft - t->FLeft) > 1e-4) r += " l=\"" + F(FLeft) + "\"";
    if (Is<TfrxBand>() || std::fabs(FTop - t->FTop) > 1e-4) r += " t=\"" + F(FTop) + "\"";
    if (!(memo && memo->AutoWidth) && std::fabs(FWidth - t->FWidth) > 1e-4) r += " w=\"" + F(FWidth) + "\"";
    if (std::fabs(FHeight - t->FHeight) > 1e-4) r += " h=\"" + F(FHeight) + "\"";
    if (FVisible != t->FVisible) r += std::string(" Visible=\"") + (FVisible ? "1" : "0") + "\"";
    if (!FParentFont) {
        const TfrxFont* a = FFont.get();
        const TfrxFont* b = t->FFont.get();
        if (a->Name() != b->Name()) r += " Font.Name=\"" + frxXML::EncodeXMLText(a->Name()) + "\"";
        if (a->Size() != b->Size()) r += " Font.Size=\"" + IntToStr(a->Size()) + "\"";
        if (a->Color() != b->Color()) r += " Font.Color=\"" + IntToStr(a->Color()) + "\"";
        if (a->Style() != b->Style()) r += " Font.Style=\"" + IntToStr(a->Style()) + "\"";
        if (a->Charset() != b->Charset()) r += " Font.Charset=\"" + IntToStr(a->Charset()) + "\"";
    }
    if (FParentFont != t->FParentFont) r += std::string(" ParentFont=\"") + (FParentFont ? "1" : "0") + "\"";
    if (Tag() != t->Tag()) r += " Tag=\"" + IntToStr(int64_t(Tag())) + "\"";
    return r;
}

std::string TfrxComponent::DiffText(TfrxComponent* templ)
{
    TStringStream s;
    TfrxXMLSerializer ser(&s);
    ser.Owner = Report();
    ser.WriteOneComponent(this);
    std::string text = frxXML::GbkToText(s.DataString());
    // Drop "<ClassName" and the closing "/>".
    size_t start = 1 + ClassName().size();
    std::string r = text.size() >= start + 2 ? text.substr(start, text.size() - start - 2) : std::string();
    if (!r.empty() && r[0] == ' ') r.erase(0, 1);
    if (templ) r += " " + Diff(templ);
    return r;
}

std::string TfrxComponent::GetDescription() const { return ClassName(); }

void TfrxComponent::Assign(TPersistent* source)
{
    auto* src = DynamicCast<TfrxComponent>(source);
    if (!src) {
        TComponent::Assign(source);
        return;
    }
    TMemoryStream m;
    src->SaveToStream(&m, false, true);
    m.SetPosition(0);
    LoadFromStream(&m);
}

void TfrxComponent::AssignAll(TfrxComponent* source)
{
    TMemoryStream m;
    source->SaveToStream(&m, true, true);
    m.SetPosition(0);
    LoadFromStream(&m);
}

void TfrxComponent::GetChildren(const TGetChildProc& proc, TComponent*)
{
    for (TfrxComponent* c : std::vector<TfrxComponent*>(FObjects)) proc(c);
}

void TfrxComponent::AlignChildren()
{
    struct Entry {
        std::string Key;
        TfrxComponent* Obj;
    };
    std::vector<Entry> list;
    for (TfrxComponent* c : FObjects) {
        if (c->Is<TfrxBand>()) continue;
        double top = c->Top();
        std::string key = top > 0 ? "1" + Format("%9.2f", {top}) : "0" + Format("%9.2f", {std::fabs(top)});
        list.push_back({key, c});
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const Entry& a, const Entry& b) { return CompareStr(a.Key, b.Key) < 0; });
    auto overlaps = [](TfrxComponent* a, TfrxComponent* b) {
        return !(a->AbsTop() >= b->AbsTop() + b->Height() || b->AbsTop() >= a->AbsTop() + a->Height());
    };
    for (size_t i = 0; i < list.size(); ++i) {
        auto* v = DynamicCast<TfrxView>(list[i].Obj);
        if (!v || v->Align == baNone) continue;
        auto leftNeighbour = [&]() -> TfrxComponent* {
            for (size_t j = i; j-- > 0;) {
                TfrxComponent* o = list[j].Obj;
                if (overlaps(o, v) && o->AbsLeft() < v->AbsLeft()) return o;
            }
            return nullptr;
        };
        auto rightNeighbour = [&]() -> TfrxComponent* {
            for (size_t j = i + 1; j < list.size(); ++j) {
                TfrxComponent* o = list[j].Obj;
                if (overlaps(o, v) && o->AbsLeft() + o->Width() > v->AbsLeft() + v->Width()) return o;
            }
            return nullptr;
        };
        switch (v->Align) {
        case baLeft: {
            TfrxComponent* l = leftNeighbour();
            v->SetLeft(l ? l->Left() + l->Width() : 0);
            break;
        }
        case baRight: {
            TfrxComponent* r = rightNeighbour();
            v->SetLeft((r ? r->Left() : Width()) - v->Width());
            break;
        }
        case baCenter: v->SetLeft((Width() - v->Width()) / 2); break;
        case baWidth: {
            TfrxComponent* l = leftNeighbour();
            v->SetLeft(l ? l->Left() + l->Width() : 0);
            TfrxComponent* r = rightNeighbour();
            v->SetWidth((r ? r->Left() : Width()) - v->Left());
            break;
        }
        case baBottom: v->SetTop(Height() - v->Height()); break;
        default: break;
        }
    }
}

// ---- report component, dialog component -----------------------------------------------------------

TfrxReportComponent::TfrxReportComponent(TComponent* owner) : TfrxComponent(owner) {}

void TfrxReportComponent::BeforePrint()
{
    FSaveLeft = Left();
    FSaveTop = Top();
    FSaveWidth = Width();
    FSaveHeight = Height();
}

void TfrxReportComponent::AfterPrint() { SetBounds(FSaveLeft, FSaveTop, FSaveWidth, FSaveHeight); }

TfrxDialogComponent::TfrxDialogComponent(TComponent* owner) : TfrxReportComponent(owner)
{
    SetWidth(28);
    SetHeight(28);
}

void TfrxDialogComponent::DefineBinaryProperties(TfrxFiler& filer)
{
    bool inReport = Report() != nullptr || DynamicCast<TfrxReport>(Owner()) != nullptr;
    filer.DefineProperty(
        "pLeft", [this](TfrxBinaryReader& r) { SetLeft(double(r.ReadInteger())); },
        [this](TfrxBinaryWriter& w) { w.WriteInteger(Round(Left())); }, inReport);
    filer.DefineProperty(
        "pTop", [this](TfrxBinaryReader& r) { SetTop(double(r.ReadInteger())); },
        [this](TfrxBinaryWriter& w) { w.WriteInteger(Round(Top())); }, inReport);
}

// ---- data sets ------------------------------------------------------------------------------------

TfrxDataSet::TfrxDataSet(TComponent* owner) : TfrxDialogComponent(owner)
{
    GlobalDataSets().push_back(this);
}

TfrxDataSet::~TfrxDataSet()
{
    auto& v = GlobalDataSets();
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
}

void TfrxDataSet::SetLinkedReport(TfrxReport* r) { FReportLink = r; }

Variant TfrxDataSet::GetValue(const std::string&) { return Null(); }

void TfrxDataSet::SetUserName(const std::string& value)
{
    if (Trim(value).empty()) throw EPropertyError(frxRes::Resources().Get("prInvProp"));
    FUserName = value;
}

void TfrxDataSet::SetName(const std::string& value)
{
    bool follow = FUserName.empty() || FUserName == Name();
    TfrxComponent::SetName(value);
    if (follow && !value.empty()) FUserName = value;
}

void TfrxDataSet::Open()
{
    if (OnOpen) OnOpen(this);
}
void TfrxDataSet::Close()
{
    if (OnClose) OnClose(this);
}
void TfrxDataSet::First()
{
    FRecNo = 0;
    if (OnFirst) OnFirst(this);
}
void TfrxDataSet::Next()
{
    ++FRecNo;
    if (!(FRangeEnd == reCount && FRecNo >= FRangeEndCount) && OnNext) OnNext(this);
}
void TfrxDataSet::Prior()
{
    --FRecNo;
    if (OnPrior) OnPrior(this);
}
bool TfrxDataSet::Eof()
{
    bool eof = FRangeEnd == reCount && FRecNo >= FRangeEndCount;
    if (OnCheckEOF) OnCheckEOF(this, eof);
    return eof;
}
void TfrxDataSet::GetFieldList(TStrings* list) { list->Clear(); }

bool TfrxDataSet::HasField(const std::string& field)
{
    TStringList list;
    GetFieldList(&list);
    for (int i = 0; i < list.Count(); ++i)
        if (SameText(list[i], field)) return true;
    return false;
}

TfrxUserDataSet::TfrxUserDataSet(TComponent* owner)
    : TfrxDataSet(owner), FFields(std::make_unique<TStringList>())
{
}
TfrxUserDataSet::~TfrxUserDataSet() = default;
void TfrxUserDataSet::SetFields(TStringList* v) { FFields->Assign(v); }
void TfrxUserDataSet::GetFieldList(TStrings* list)
{
    list->Clear();
    list->AddStrings(FFields.get());
}
int TfrxUserDataSet::FieldsCount() { return FFields->Count(); }
Variant TfrxUserDataSet::GetValue(const std::string& field)
{
    Variant v = Null();
    if (OnGetValue) OnGetValue(field, v);
    return v;
}
std::string TfrxUserDataSet::GetDisplayText(const std::string& field)
{
    if (!OnGetValue) return std::string();
    return VarToStr(GetValue(field));
}

TfrxCustomDBDataSet::TfrxCustomDBDataSet(TComponent* owner)
    : TfrxDataSet(owner), FFieldNames(std::make_unique<TStringList>()),
      FAliases(std::make_unique<TStringList>())
{
    FFieldNames->SetSorted(true);
    FFieldNames->SetDuplicates(dupIgnore);
}
TfrxCustomDBDataSet::~TfrxCustomDBDataSet() = default;
void TfrxCustomDBDataSet::SetFieldAliases(TStringList* v) { FAliases->Assign(v); }
int TfrxCustomDBDataSet::FieldsCount()
{
    TStringList list;
    GetFieldList(&list);
    return list.Count();
}
std::string TfrxCustomDBDataSet::ConvertAlias(const std::string& alias) const
{
    for (int i = 0; i < FAliases->Count(); ++i) {
        std::string line = (*FAliases)[i];
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (SameText(line.substr(eq + 1), alias)) return line.substr(0, eq);
    }
    return alias;
}

// ---- bands --------------------------------------------------------------------------------------

TfrxBand::TfrxBand(TComponent* owner) : TfrxReportComponent(owner) {}

std::string TfrxBand::BaseBandName() const
{
    std::string n = ClassName();
    size_t p = n.find("Tfrx");
    if (p != std::string::npos) n.erase(p, 4);
    p = n.find("Band");
    if (p != std::string::npos) n.erase(p, 4);
    return n;
}

namespace frxClass {
namespace {
const std::vector<TClass>& BandTable()
{
    static const std::vector<TClass> table{
        TfrxReportTitle::StaticClass(),  TfrxReportSummary::StaticClass(), TfrxPageHeader::StaticClass(),
        TfrxPageFooter::StaticClass(),   TfrxHeader::StaticClass(),        TfrxFooter::StaticClass(),
        TfrxMasterData::StaticClass(),   TfrxDetailData::StaticClass(),    TfrxSubdetailData::StaticClass(),
        TfrxDataBand4::StaticClass(),    TfrxDataBand5::StaticClass(),     TfrxDataBand6::StaticClass(),
        TfrxGroupHeader::StaticClass(),  TfrxGroupFooter::StaticClass(),   TfrxChild::StaticClass(),
        TfrxColumnHeader::StaticClass(), TfrxColumnFooter::StaticClass(),  TfrxOverlay::StaticClass()};
    return table;
}
}  // namespace
TClass BandClass(int index)
{
    return index >= 0 && index < BandClassCount() ? BandTable()[size_t(index)] : nullptr;
}
int BandClassCount() { return int(BandTable().size()); }
}  // namespace frxClass

int TfrxBand::BandClassIndex() const
{
    int r = 0;
    for (int i = 0; i < frxClass::BandClassCount(); ++i)
        if (InheritsFrom(frxClass::BandClass(i))) r = i;
    return r;
}

std::string TfrxBand::GetDescription() const { return frxRes::Resources().Get("obBand"); }

namespace {
bool OnDotMatrixPage(const TfrxComponent* c)
{
    return c->Parent() && c->Parent()->ClassName() == "TfrxDMPPage";
}
}

void TfrxBand::SetLeft(double v) { TfrxComponent::SetLeft(OnDotMatrixPage(this) ? RoundTo(v, fr1CharX) : v); }
void TfrxBand::SetTop(double v) { TfrxComponent::SetTop(OnDotMatrixPage(this) ? RoundTo(v, fr1CharY) : v); }
void TfrxBand::SetHeight(double v)
{
    TfrxComponent::SetHeight(OnDotMatrixPage(this) ? RoundTo(v, fr1CharY) : v);
}

TfrxChild* TfrxBand::Child() const { return static_cast<TfrxChild*>(FChild.Get()); }
void TfrxBand::SetChild(TfrxChild* v) { FChild = v; }

TfrxDataBand::TfrxDataBand(TComponent* owner)
    : TfrxBand(owner), FVirtualDataSet(std::make_unique<TfrxUserDataSet>(nullptr))
{
    FVirtualDataSet->SetRangeEnd(reCount);
}

TfrxDataBand::~TfrxDataBand() { FreeOwned(FVirtualDataSet); }

void TfrxDataBand::SetDataSet(TfrxDataSet* v)
{
    FDataSet = v;
    FDataSetName = v ? v->UserName() : std::string();
}

std::string TfrxDataBand::DataSetName() const { return DataSet() ? DataSet()->UserName() : FDataSetName; }

void TfrxDataBand::SetDataSetName(const std::string& v)
{
    FDataSetName = v;
    FDataSet = frxClass::FindDataSet(DataSet(), v, Report());
}

void TfrxDataBand::SetRowCount(int v)
{
    FRowCount = v;
    FVirtualDataSet->SetRangeEndCount(v);
}

void TfrxDataBand::SetCurColumn(int v)
{
    if (v > Columns) v = 1;
    FCurColumn = v;
    if (FCurColumn == 1) MaxY = 0;
    SetLeft((FCurColumn - 1) * (ColumnWidth + ColumnGap));
}

std::string TfrxDataBand::GetDescription() const { return frxRes::Resources().Get("obDataBand"); }

// ---- pages ------------------------------------------------------------------------------------------

TfrxReportPage::TfrxReportPage(TComponent* owner)
    : TfrxPage(owner), FColumnPositions(std::make_unique<TStringList>()),
      FHGuides(std::make_unique<TStringList>()), FVGuides(std::make_unique<TStringList>()),
      FBackground(std::make_unique<TfrxPictureView>(nullptr))
{
    FBackground->KeepAspectRatio = false;
    FBackground->Color = clNone;
    SetPaperSize(9);
}

TfrxReportPage::~TfrxReportPage()
{
    if (TfrxSubreport* s = FSubReport.Get()) s->SetSubPage(nullptr);
    FreeOwned(FBackground);
}

namespace {
// Sizes in millimetres of the platform's paper numbers the layouts use most;
// numbers beyond the table keep the page's current size.
bool PaperDims(int n, double& w, double& h)
{
    struct P {
        int N;
        double W, H;
    };
    static const P table[] = {
        {1, 215.9, 279.4}, {2, 215.9, 279.4}, {3, 279.4, 431.8}, {4, 431.8, 279.4},
        {5, 215.9, 355.6}, {6, 139.7, 215.9}, {7, 184.2, 266.7}, {8, 297, 420},
        {9, 210, 297},     {10, 210, 297},    {11, 148, 210},    {12, 250, 354},
        {13, 182, 257},    {14, 215.9, 330.2}, {15, 215, 275},   {16, 254, 355.6},
        {17, 279.4, 431.8}, {18, 215.9, 279.4}, {19, 98.4, 225.4}, {20, 104.8, 241.3},
        {21, 114.3, 263.5}, {22, 120.7, 279.4}, {23, 127, 292.1}, {24, 431.8, 558.8},
        {25, 558.8, 863.6}, {26, 863.6, 1117.6}, {27, 110, 220},  {28, 162, 229},
        {29, 324, 458},    {30, 229, 324},    {31, 114, 162},    {32, 114, 229},
        {33, 250, 353},    {34, 176, 250},    {35, 176, 125},    {36, 110, 230},
        {37, 98.4, 190.5}, {38, 92.1, 165.1}, {39, 377.8, 279.4}, {40, 215.9, 304.8},
        {41, 215.9, 330.2}, {66, 420, 594},   {70, 105, 148}};
    for (const auto& p : table)
        if (p.N == n) {
            w = p.W;
            h = p.H;
            return true;
        }
    return false;
}
}

void TfrxReportPage::SetPaperSize(int v)
{
    FPaperSize = v;
    if (v < 256) {
        double w, h;
        if (PaperDims(v, w, h)) {
            if (FOrientation == frxEnums::poLandscape) std::swap(w, h);
            FPaperWidth = w;
            FPaperHeight = h;
        }
        UpdateDimensions();
    }
}

void TfrxReportPage::SetPaperWidth(double v)
{
    FPaperWidth = v;
    FPaperSize = 256;
    UpdateDimensions();
}

void TfrxReportPage::SetPaperHeight(double v)
{
    FPaperHeight = v;
    FPaperSize = 256;
    UpdateDimensions();
}

void TfrxReportPage::SetOrientation(int v)
{
    if (v == FOrientation) return;
    FOrientation = v;
    std::swap(FPaperWidth, FPaperHeight);
    double l = LeftMargin, r = RightMargin, t = TopMargin, b = BottomMargin;
    if (v == frxEnums::poLandscape) {
        LeftMargin = t;
        RightMargin = b;
        TopMargin = r;
        BottomMargin = l;
    } else {
        LeftMargin = b;
        RightMargin = t;
        TopMargin = l;
        BottomMargin = r;
    }
    UpdateDimensions();
}

void TfrxReportPage::UpdateDimensions()
{
    SetWidth(double(Round(FPaperWidth * fr01cm)));
    SetHeight(double(Round(FPaperHeight * fr01cm)));
}

void TfrxReportPage::SetColumns(int v)
{
    if (v < 0 || v > frMaxColumns) throw EPropertyError(frxRes::Resources().Get("prInvProp"));
    FColumns = v;
    FColumnPositions->Clear();
    if (v > 0) {
        ColumnWidth = (FPaperWidth - LeftMargin - RightMargin) / v;
        for (int i = 0; i < v; ++i) FColumnPositions->Add(FloatToStr(i * ColumnWidth));
    }
}

void TfrxReportPage::SetColumnPositions(TStringList* v) { FColumnPositions->Assign(v); }
void TfrxReportPage::SetHGuides(TStringList* v) { FHGuides->Assign(v); }
void TfrxReportPage::SetVGuides(TStringList* v) { FVGuides->Assign(v); }
TfrxPicture* TfrxReportPage::BackPicture() const { return FBackground->Picture(); }
void TfrxReportPage::SetBackPicture(TfrxPicture* v) { FBackground->SetPicture(v); }
TColor TfrxReportPage::Color() const { return FBackground->Color; }
void TfrxReportPage::SetColor(TColor v) { FBackground->Color = v; }
TfrxFrame* TfrxReportPage::Frame() const { return FBackground->Frame(); }
void TfrxReportPage::SetFrame(TfrxFrame* v) { FBackground->SetFrame(v); }

void TfrxReportPage::SetDataSet(TfrxDataSet* v)
{
    FDataSet = v;
    FDataSetName = v ? v->UserName() : std::string();
}
std::string TfrxReportPage::DataSetName() const { return DataSet() ? DataSet()->UserName() : FDataSetName; }
void TfrxReportPage::SetDataSetName(const std::string& v)
{
    FDataSetName = v;
    FDataSet = frxClass::FindDataSet(DataSet(), v, Report());
}

void TfrxReportPage::SetDefaults()
{
    LeftMargin = RightMargin = TopMargin = BottomMargin = 10;
    // Without a printer list the default paper is A4 portrait.
    FOrientation = frxEnums::poPortrait;
    SetPaperSize(9);
    UpdateDimensions();
}

void TfrxReportPage::ClearGuides()
{
    FHGuides->Clear();
    FVGuides->Clear();
}

TfrxBand* TfrxReportPage::FindBand(TClass bandClass) const
{
    for (TfrxComponent* c : Objects())
        if (c->ClassType() == bandClass) return static_cast<TfrxBand*>(c);
    return nullptr;
}

void TfrxReportPage::AlignChildren()
{
    SetWidth((FPaperWidth - LeftMargin - RightMargin) * fr01cm);
    TfrxComponent::AlignChildren();
    for (TfrxComponent* c : Objects()) {
        auto* b = DynamicCast<TfrxBand>(c);
        if (!b) continue;
        if (b->Vertical)
            b->SetHeight((FPaperHeight - TopMargin - BottomMargin) * fr01cm - b->Top());
        else
            b->SetWidth(Width() - b->Left());
        b->AlignChildren();
    }
    UpdateDimensions();
}

std::string TfrxReportPage::GetDescription() const { return frxRes::Resources().Get("obRepPage"); }

TfrxDialogPage::TfrxDialogPage(TComponent* owner) : TfrxPage(owner)
{
    TfrxFont f;
    f.SetName("Tahoma");
    f.SetSize(8);
    Font()->Assign(&f);
}

std::string TfrxDialogPage::GetDescription() const { return frxRes::Resources().Get("obDlgPage"); }

TfrxSubreport::TfrxSubreport(TComponent* owner) : TfrxView(owner)
{
    Frame()->Typ = TfrxFrameTypes::FromInt(15);
    TfrxFont f;
    f.SetName("Tahoma");
    f.SetSize(8);
    Font()->Assign(&f);
    Color = TColor(0xC0C0C0);
}

TfrxSubreport::~TfrxSubreport()
{
    if (TfrxReportPage* p = SubPage()) p->SetSubReportLink(nullptr);
}

TfrxReportPage* TfrxSubreport::SubPage() const { return static_cast<TfrxReportPage*>(FPage.Get()); }

void TfrxSubreport::SetSubPage(TfrxReportPage* v)
{
    FPage = v;
    if (v) v->SetSubReportLink(this);
}

std::string TfrxSubreport::GetDescription() const { return frxRes::Resources().Get("obSubRep"); }

// ---- views --------------------------------------------------------------------------------------------

void TfrxFrame::Assign(TPersistent* source)
{
    auto* f = DynamicCast<TfrxFrame>(source);
    if (!f) return;
    Color = f->Color;
    DropShadow = f->DropShadow;
    ShadowColor = f->ShadowColor;
    ShadowWidth = f->ShadowWidth;
    Style = f->Style;
    Typ = f->Typ;
    Width = f->Width;
}

std::string TfrxFrame::DiffText(const TfrxFrame* t) const
{
    std::string r;
    if (Color != t->Color) r += " Frame.Color=\"" + IntToStr(Color) + "\"";
    if (DropShadow != t->DropShadow) r += std::string(" Frame.DropShadow=\"") + (DropShadow ? "1" : "0") + "\"";
    if (ShadowColor != t->ShadowColor) r += " Frame.ShadowColor=\"" + IntToStr(ShadowColor) + "\"";
    if (ShadowWidth != t->ShadowWidth) r += " Frame.ShadowWidth=\"" + F(ShadowWidth) + "\"";
    if (Style != t->Style) r += " Frame.Style=\"" + IntToStr(int(Style)) + "\"";
    if (!(Typ == t->Typ)) r += " Frame.Typ=\"" + IntToStr(int64_t(Typ.ToInt())) + "\"";
    if (Width != t->Width) r += " Frame.Width=\"" + F(Width) + "\"";
    return r;
}

TfrxView::TfrxView(TComponent* owner) : TfrxReportComponent(owner), FFrame(std::make_unique<TfrxFrame>())
{
    FSerializeWhole = true;
}

TfrxView::~TfrxView() = default;

void TfrxView::SetDataSet(TfrxDataSet* v)
{
    FDataSet = v;
    FDataSetName = v ? v->UserName() : std::string();
}

std::string TfrxView::DataSetName() const { return DataSet() ? DataSet()->UserName() : FDataSetName; }

void TfrxView::SetDataSetName(const std::string& v)
{
    FDataSetName = v;
    FDataSet = frxClass::FindDataSet(DataSet(), v, Report());
}

void TfrxView::BeforePrint()
{
    TfrxReportComponent::BeforePrint();
    FSavedTagStr = TagStr;
    FSavedURL = URL;
}

void TfrxView::AfterPrint()
{
    TagStr = FSavedTagStr;
    URL = FSavedURL;
    TfrxReportComponent::AfterPrint();
}

std::string TfrxView::Diff(TfrxComponent* templ)
{
    std::string r = TfrxComponent::Diff(templ);
    auto* t = DynamicCast<TfrxView>(templ);
    if (!t) return r;
    if (BrushStyle != t->BrushStyle) r += " BrushStyle=\"" + IntToStr(BrushStyle) + "\"";
    if (Align != t->Align) r += " Align=\"" + IntToStr(int(Align)) + "\"";
    if (Color != t->Color) r += " Color=\"" + IntToStr(Color) + "\"";
    r += FFrame->DiffText(t->Frame());
    if (Cursor != t->Cursor) r += " Cursor=\"" + IntToStr(Cursor) + "\"";
    if (Printable != t->Printable) r += std::string(" Printable=\"") + (Printable ? "1" : "0") + "\"";
    if (TagStr != t->TagStr) r += " TagStr=\"" + frxXML::EncodeXMLText(TagStr) + "\"";
    if (URL != t->URL) r += " URL=\"" + frxXML::EncodeXMLText(URL) + "\"";
    return r;
}

TfrxStretcheable::TfrxStretcheable(TComponent* owner) : TfrxView(owner) {}

TfrxShapeView::TfrxShapeView(TComponent* owner) : TfrxView(owner) { FSerializeWhole = false; }

std::string TfrxShapeView::Diff(TfrxComponent* templ)
{
    std::string r = TfrxView::Diff(templ);
    auto* t = DynamicCast<TfrxShapeView>(templ);
    if (t && Shape != t->Shape) r += " Shape=\"" + IntToStr(int(Shape)) + "\"";
    return r;
}

std::string TfrxShapeView::GetDescription() const { return frxRes::Resources().Get("obShape"); }

TfrxCustomLineView::TfrxCustomLineView(TComponent* owner) : TfrxStretcheable(owner)
{
    FSerializeWhole = false;
}

TfrxLineView::TfrxLineView(TComponent* owner) : TfrxCustomLineView(owner) {}
std::string TfrxLineView::GetDescription() const { return frxRes::Resources().Get("obLine"); }

TfrxPictureView::TfrxPictureView(TComponent* owner)
    : TfrxView(owner), FPicture(std::make_unique<TfrxPicture>())
{
    FSerializeWhole = false;
    Color = TColor(0xFFFFFF);
    FPicture->OnChange = [this](TObject*) { PictureNotify(); };
}

TfrxPictureView::~TfrxPictureView() { FPicture->OnChange = nullptr; }

void TfrxPictureView::PictureNotify()
{
    SetAutoSize(FAutoSize);
    PictureChanged = true;
}

void TfrxPictureView::SetAutoSize(bool v)
{
    FAutoSize = v;
    if (v && !FPicture->Empty()) {
        SetWidth(FPicture->Width());
        SetHeight(FPicture->Height());
    }
}

std::string TfrxPictureView::Diff(TfrxComponent* templ)
{
    std::string r;
    if (PictureChanged) {
        std::string bytes = frxFiler::WriteBinaryProps(FPicture.get(), this);
        r = " Picture.PropData=\"" + frxUtils::BytesToHexText(bytes) + "\"";
    }
    return r + " " + TfrxComponent::Diff(templ);
}

std::string TfrxPictureView::GetDescription() const { return frxRes::Resources().Get("obPicture"); }

TfrxHighlight::TfrxHighlight() : FFont(std::make_unique<TfrxFont>()) { FFont->SetColor(255); }

void TfrxHighlight::Assign(TPersistent* source)
{
    auto* h = DynamicCast<TfrxHighlight>(source);
    if (!h) return;
    FFont->Assign(h->Font());
    Color = h->Color;
    Condition = h->Condition;
}

void TfrxFormat::Assign(TPersistent* source)
{
    auto* f = DynamicCast<TfrxFormat>(source);
    if (!f) return;
    DecimalSeparator = f->DecimalSeparator;
    FormatStr = f->FormatStr;
    Kind = f->Kind;
}

TfrxCustomMemoView::TfrxCustomMemoView(TComponent* owner)
    : TfrxStretcheable(owner), FMemo(std::make_unique<TStringList>()),
      FFormat(std::make_unique<TfrxFormat>()), FHighlight(std::make_unique<TfrxHighlight>())
{
    FSerializeWhole = false;
    LastValue = Null();
}

TfrxCustomMemoView::~TfrxCustomMemoView() = default;

void TfrxCustomMemoView::SetMemo(TStringList* v) { FMemo->Assign(v); }

std::string TfrxCustomMemoView::Text() const { return FMemo->Text(); }

void TfrxCustomMemoView::SetText(const std::string& v) { FMemo->SetText(v); }

void TfrxCustomMemoView::SetStyle(const std::string& v)
{
    FStyle = v;
    if (TfrxReport* r = Report()) CopyStyle(r->Styles()->Find(v));
}

void TfrxCustomMemoView::CopyStyle(TfrxStyleItem* style)
{
    if (!style) return;
    Color = style->Color;
    SetFont(style->Font());
    SetFrame(style->Frame());
}

void TfrxCustomMemoView::BeforePrint()
{
    TfrxStretcheable::BeforePrint();
    if (!HasDataField()) SavedText = Text();
}

void TfrxCustomMemoView::AfterPrint()
{
    if (!HasDataField()) SetText(SavedText);
    TfrxStretcheable::AfterPrint();
}

std::string TfrxCustomMemoView::Diff(TfrxComponent* templ)
{
    std::string r = TfrxView::Diff(templ);
    auto* t = DynamicCast<TfrxCustomMemoView>(templ);
    if (!t) return r;
    auto b = [](bool v) { return std::string(v ? "1" : "0"); };
    if (AutoWidth != t->AutoWidth) r += " AutoWidth=\"" + b(AutoWidth) + "\"";
    if (CharSpacing != t->CharSpacing) r += " CharSpacing=\"" + F(CharSpacing) + "\"";
    if (GapX != t->GapX) r += " GapX=\"" + F(GapX) + "\"";
    if (GapY != t->GapY) r += " GapY=\"" + F(GapY) + "\"";
    if (HAlign != t->HAlign) r += " HAlign=\"" + IntToStr(int(HAlign)) + "\"";
    if (Highlight()->Active != t->Highlight()->Active)
        r += " Highlight.Active=\"" + b(Highlight()->Active) + "\"";
    if (LineSpacing != t->LineSpacing) r += " LineSpacing=\"" + F(LineSpacing) + "\"";
    if (FMemo->Count() == 0)
        r += " x=\"\"";
    else if (FMemo->Count() == 1)
        r += " x=\"" + frxXML::EncodeXMLText((*FMemo)[0]) + "\"";
    else {
        std::string text = FMemo->Text();
        if (text.size() >= 2) text.resize(text.size() - 2);
        r += " x=\"" + frxXML::VariantToXMLText(Variant(text)) + "\"";
    }
    if (ParagraphGap != t->ParagraphGap) r += " ParagraphGap=\"" + F(ParagraphGap) + "\"";
    if (FRotation != t->FRotation) r += " Rotation=\"" + IntToStr(FRotation) + "\"";
    if (RTLReading != t->RTLReading) r += " RTLReading=\"" + b(RTLReading) + "\"";
    if (Underlines != t->Underlines) r += " Underlines=\"" + b(Underlines) + "\"";
    if (VAlign != t->VAlign) r += " VAlign=\"" + IntToStr(int(VAlign)) + "\"";
    if (WordWrap != t->WordWrap) r += " WordWrap=\"" + b(WordWrap) + "\"";
    return r;
}

std::string TfrxCustomMemoView::GetDescription() const { return frxRes::Resources().Get("obText"); }
std::string TfrxSysMemoView::GetDescription() const { return frxRes::Resources().Get("obSysText"); }

// ---- options ------------------------------------------------------------------------------------------

void TfrxEngineOptions::Assign(TPersistent* source)
{
    auto* o = DynamicCast<TfrxEngineOptions>(source);
    if (!o) return TPersistent::Assign(source);
    ConvertNulls = o->ConvertNulls;
    DoublePass = o->DoublePass;
    MaxMemSize = o->MaxMemSize;
    PrintIfEmpty = o->PrintIfEmpty;
    SilentMode = o->SilentMode;
    TempDir = o->TempDir;
    UseFileCache = o->UseFileCache;
    RestoreLayout = o->RestoreLayout;
}

void TfrxEngineOptions::Clear()
{
    ConvertNulls = true;
    DoublePass = false;
}

TfrxPreviewOptions::TfrxPreviewOptions() { Buttons = TfrxPreviewButtons::FromInt(2047); }

void TfrxPreviewOptions::Assign(TPersistent* source)
{
    auto* o = DynamicCast<TfrxPreviewOptions>(source);
    if (!o) return TPersistent::Assign(source);
    AllowEdit = o->AllowEdit;
    Buttons = o->Buttons;
    DoubleBuffered = o->DoubleBuffered;
    Maximized = o->Maximized;
    MDIChild = o->MDIChild;
    Modal = o->Modal;
    OutlineVisible = o->OutlineVisible;
    OutlineWidth = o->OutlineWidth;
    ShowCaptions = o->ShowCaptions;
    Zoom = o->Zoom;
    ZoomMode = o->ZoomMode;
}

void TfrxPreviewOptions::Clear()
{
    OutlineVisible = false;
    OutlineWidth = 120;
}

TfrxPrintOptions::TfrxPrintOptions() { Clear(); }

void TfrxPrintOptions::Assign(TPersistent* source)
{
    auto* o = DynamicCast<TfrxPrintOptions>(source);
    if (!o) return TPersistent::Assign(source);
    Copies = o->Copies;
    Collate = o->Collate;
    PageNumbers = o->PageNumbers;
    Printer = o->Printer;
    PrintPages = o->PrintPages;
    ShowDialog = o->ShowDialog;
}

void TfrxPrintOptions::Clear()
{
    Copies = 1;
    Collate = true;
    PageNumbers.clear();
    Printer = frxRes::Resources().Get("prDefault");
    PrintPages = ppAll;
    ShowDialog = true;
}

TfrxReportOptions::TfrxReportOptions()
    : FDescription(std::make_unique<TStringList>()), FPicture(std::make_unique<TfrxPicture>())
{
    Clear();
}

TfrxReportOptions::~TfrxReportOptions() = default;

void TfrxReportOptions::SetDescription(TStringList* v) { FDescription->Assign(v); }

void TfrxReportOptions::Assign(TPersistent* source)
{
    auto* o = DynamicCast<TfrxReportOptions>(source);
    if (!o) return TPersistent::Assign(source);
    Author = o->Author;
    Compressed = o->Compressed;
    CreateDate = o->CreateDate;
    FDescription->Assign(o->FDescription.get());
    InitString = o->InitString;
    Name = o->Name;
    LastChange = o->LastChange;
    Password = o->Password;
    FPicture->Assign(o->FPicture.get());
    VersionBuild = o->VersionBuild;
    VersionMajor = o->VersionMajor;
    VersionMinor = o->VersionMinor;
    VersionRelease = o->VersionRelease;
}

void TfrxReportOptions::Clear()
{
    Author.clear();
    Compressed = false;
    CreateDate = LastChange = ClockNow();
    FDescription->Clear();
    InitString.clear();
    Name.clear();
    Password.clear();
    FPicture->Clear();
    VersionBuild.clear();
    VersionMajor.clear();
    VersionMinor.clear();
    VersionRelease.clear();
}

bool TfrxReportOptions::CheckPassword()
{
    if (Password.empty()) return true;
    std::string typed;
    if (frxClass::PasswordPrompt) {
        if (!frxClass::PasswordPrompt(typed)) return false;
        return typed == Password;
    }
    // The host's input box asks, with the password form's texts.
    TStringList texts;
    texts.SetText(frxRes::Resources().Get("TfrxPasswordForm"));
    if (!InputQuery(texts.Values("Caption"), texts.Values("PasswordL.Caption"), typed)) return false;
    return typed == Password;
}

// ---- data-set list --------------------------------------------------------------------------------------

void TfrxDataSetItem::SetDataSet(TfrxDataSet* v)
{
    FDataSet = v;
    FDataSetName = v ? v->UserName() : std::string();
    auto* list = dynamic_cast<TfrxReportDataSets*>(Collection());
    if (v && list && list->Report()) list->Report()->FreeNotification(v);
}

std::string TfrxDataSetItem::DataSetName() const { return DataSet() ? DataSet()->UserName() : FDataSetName; }

void TfrxDataSetItem::SetDataSetName(const std::string& v)
{
    FDataSetName = v;
    auto* list = dynamic_cast<TfrxReportDataSets*>(Collection());
    TfrxDataSet* ds = frxClass::FindDataSet(DataSet(), v, list ? list->Report() : nullptr);
    if (ds != DataSet()) SetDataSet(ds);
    FDataSetName = v;
}

TfrxReportDataSets::TfrxReportDataSets(TfrxReport* report)
    : TCollection(TfrxDataSetItem::StaticClass()), FReport(report)
{
}

TfrxReportDataSets::~TfrxReportDataSets() { Clear(); }

TfrxDataSetItem* TfrxReportDataSets::Add(TfrxDataSet* ds)
{
    auto* item = AddAs<TfrxDataSetItem>();
    item->SetDataSet(ds);
    return item;
}

TfrxDataSetItem* TfrxReportDataSets::Find(TfrxDataSet* ds) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->DataSet() == ds) return Items(i);
    return nullptr;
}

TfrxDataSetItem* TfrxReportDataSets::Find(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->DataSet() && SameText(Items(i)->DataSet()->UserName(), name)) return Items(i);
    return nullptr;
}

void TfrxReportDataSets::Initialize()
{
    for (int i = 0; i < Count(); ++i)
        if (TfrxDataSet* ds = Items(i)->DataSet()) {
            ds->SetLinkedReport(FReport);
            ds->Initialize();
        }
}

void TfrxReportDataSets::Finalize()
{
    for (int i = 0; i < Count(); ++i)
        if (TfrxDataSet* ds = Items(i)->DataSet()) ds->Finalize();
}

// ---- styles ------------------------------------------------------------------------------------------------

TfrxStyleItem::TfrxStyleItem(TCollection* collection)
    : TCollectionItem(collection), FFont(std::make_unique<TfrxFont>()),
      FFrame(std::make_unique<TfrxFrame>())
{
}

TfrxStyleItem::~TfrxStyleItem() = default;

void TfrxStyleItem::Assign(TPersistent* source)
{
    auto* s = DynamicCast<TfrxStyleItem>(source);
    if (!s) return TPersistent::Assign(source);
    FName = s->FName;
    Color = s->Color;
    FFont->Assign(s->Font());
    FFrame->Assign(s->Frame());
}

void TfrxStyleItem::SetName(const std::string& v)
{
    if (auto* c = Collection())
        for (int i = 0; i < c->Count(); ++i) {
            auto* other = static_cast<TfrxStyleItem*>(c->Items(i));
            if (other != this && AnsiSameText(other->Name(), v)) throw Exception("Duplicate name");
        }
    FName = v;
}

void TfrxStyleItem::MakeUniqueName()
{
    auto* c = Collection();
    for (int n = 1;; ++n) {
        std::string candidate = "Style" + IntToStr(n);
        bool taken = false;
        for (int i = 0; c && i < c->Count(); ++i)
            if (AnsiSameText(static_cast<TfrxStyleItem*>(c->Items(i))->Name(), candidate)) taken = true;
        if (!taken) {
            FName = candidate;
            return;
        }
    }
}

TfrxStyles::TfrxStyles(TfrxReport* report) : TCollection(TfrxStyleItem::StaticClass()), FReport(report) {}
TfrxStyles::~TfrxStyles() { Clear(); }

TfrxStyleItem* TfrxStyles::Add() { return AddAs<TfrxStyleItem>(); }

TfrxStyleItem* TfrxStyles::Find(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(Items(i)->Name(), name)) return Items(i);
    return nullptr;
}

void TfrxStyles::GetList(TStrings* list) const
{
    list->Clear();
    for (int i = 0; i < Count(); ++i) list->Add(Items(i)->Name());
}

void TfrxStyles::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TfrxStyles::LoadFromStream(TStream* stream)
{
    Clear();
    TfrxXMLDocument doc;
    doc.LoadFromStream(stream);
    if (AnsiSameText(doc.Root()->Name, "style")) LoadFromXMLItem(doc.Root());
}

void TfrxStyles::LoadFromXMLItem(TfrxXMLItem* item)
{
    Clear();
    Name = item->GetAttribute("Name");
    TfrxXMLSerializer ser(nullptr);
    ser.Owner = FReport;
    for (int i = 0; i < item->Count(); ++i) {
        TfrxXMLItem* child = item->Items(i);
        if (!AnsiSameText(child->Name, "item")) continue;
        ser.ReadProperties(child->Text, Add());
    }
    ReapplyToReport();
}

void TfrxStyles::SaveToFile(const std::string& fileName)
{
    TMemoryStream m;
    SaveToStream(&m);
    frxUtils::SaveToFileWhole(&m, fileName);
}

void TfrxStyles::SaveToStream(TStream* stream)
{
    TfrxXMLDocument doc;
    doc.AutoIndent = true;
    SaveToXMLItem(doc.Root());
    doc.SaveToStream(stream);
}

void TfrxStyles::SaveToXMLItem(TfrxXMLItem* item)
{
    item->Name = "style";
    item->SetAttribute("Name", Name);
    TfrxXMLSerializer ser(nullptr);
    ser.Owner = FReport;
    for (int i = 0; i < Count(); ++i) {
        TfrxXMLItem* child = item->Add();
        child->Name = "item";
        std::string text = ser.WriteProperties(Items(i));
        child->Text = !text.empty() && text[0] == ' ' ? text.substr(1) : text;
    }
}

void TfrxStyles::ReapplyToReport()
{
    if (!FReport) return;
    for (TfrxComponent* c : FReport->AllObjects())
        if (auto* m = DynamicCast<TfrxCustomMemoView>(c)) m->SetStyle(m->Style());
}

TfrxStyleSheet::TfrxStyleSheet() = default;
TfrxStyleSheet::~TfrxStyleSheet() = default;
void TfrxStyleSheet::Clear() { FItems.clear(); }
void TfrxStyleSheet::Delete(int index) { FItems.erase(FItems.begin() + index); }
TfrxStyles* TfrxStyleSheet::Add()
{
    FItems.push_back(std::make_unique<TfrxStyles>(nullptr));
    return FItems.back().get();
}
TfrxStyles* TfrxStyleSheet::Find(const std::string& name) const
{
    for (const auto& s : FItems)
        if (AnsiSameText(s->Name, name)) return s.get();
    return nullptr;
}
void TfrxStyleSheet::GetList(TStrings* list) const
{
    list->Clear();
    for (const auto& s : FItems) list->Add(s->Name);
}
void TfrxStyleSheet::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}
void TfrxStyleSheet::LoadFromStream(TStream* stream)
{
    // Read whole before anything is replaced: a file that fails half-way
    // leaves the sheet as it was.
    TfrxXMLDocument doc;
    doc.LoadFromStream(stream);
    TfrxStyleSheet loaded;
    if (AnsiSameText(doc.Root()->Name, "stylesheet")) {
        for (int i = 0; i < doc.Root()->Count(); ++i) {
            TfrxXMLItem* item = doc.Root()->Items(i);
            if (AnsiSameText(item->Name, "style")) loaded.Add()->LoadFromXMLItem(item);
        }
    }
    FItems.swap(loaded.FItems);
}
void TfrxStyleSheet::SaveToFile(const std::string& fileName)
{
    TMemoryStream m;
    SaveToStream(&m);
    frxUtils::SaveToFileWhole(&m, fileName);
}
void TfrxStyleSheet::SaveToStream(TStream* stream)
{
    TfrxXMLDocument doc;
    doc.AutoIndent = true;
    doc.Root()->Name = "stylesheet";
    for (const auto& s : FItems) s->SaveToXMLItem(doc.Root()->Add());
    doc.SaveToStream(stream);
}

// ---- abstract bases ------------------------------------------------------------------------------------

TfrxCustomEngine::TfrxCustomEngine(TfrxReport* report) : FReport(report) {}
TfrxCustomEngine::~TfrxCustomEngine() = default;
void TfrxCustomEngine::StopReport()
{
    if (FReport) FReport->SetTerminated(true);
}
bool TfrxCustomEngine::DoublePass() const { return FReport && FReport->EngineOptions()->DoublePass; }

TfrxCustomPreviewPages::~TfrxCustomPreviewPages() = default;

TfrxCustomExportFilter::TfrxCustomExportFilter(TComponent* owner) : TComponent(owner)
{
    frxDsgnIntf::ExportFilterRegistry().AddFilter(this);
}

TfrxCustomExportFilter::~TfrxCustomExportFilter()
{
    frxDsgnIntf::ExportFilterRegistry().RemoveFilter(this);
}

TfrxCustomWizard::TfrxCustomWizard(TComponent* owner) : TComponent(owner) {}
