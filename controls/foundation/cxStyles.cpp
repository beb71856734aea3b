#include "cxStyles.h"

#include "SysUtils.h"

#include <algorithm>

namespace {
void DefineStyleProps(std::vector<TPropInfo>& props)
{
    props.push_back(PublishSet<TcxStyle>("AssignedValues", &TcxStyle::AssignedValues,
                                         &TcxStyle::SetAssignedValues, TcxStyleValues{}));
    TPropInfo color = PublishInt<TcxStyle>("Color", &TcxStyle::Color, &TcxStyle::SetColor);
    color.TypeName = "TColor";
    props.push_back(color.StoredBy(StoredWhen(&TcxStyle::IsColorStored)));
    props.push_back(PublishObject<TcxStyle>("Bitmap", &TcxStyle::Bitmap, &TcxStyle::SetBitmap)
                        .StoredBy(StoredWhen(&TcxStyle::IsBitmapStored)));
    props.push_back(PublishObject<TcxStyle>("Font", &TcxStyle::Font, &TcxStyle::SetFont)
                        .StoredBy(StoredWhen(&TcxStyle::IsFontStored)));
    TPropInfo text = PublishInt<TcxStyle>("TextColor", &TcxStyle::TextColor, &TcxStyle::SetTextColor);
    text.TypeName = "TColor";
    props.push_back(text.StoredBy(StoredWhen(&TcxStyle::IsTextColorStored)));
}

void DefineSheetProps(std::vector<TPropInfo>& props)
{
    props.push_back(PublishString<TcxCustomStyleSheet>("Caption", &TcxCustomStyleSheet::Caption,
                                                       &TcxCustomStyleSheet::SetCaption)
                        .StoredBy(StoredWhen(&TcxCustomStyleSheet::IsCaptionStored)));
}

template <class T> void AddOnce(std::vector<T*>& list, T* item)
{
    if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}
template <class T> void RemoveFrom(std::vector<T*>& list, T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}  // namespace

QZ_CLASS_IMPL(TcxCustomStyle, TComponent)
QZ_CLASS_IMPL_PROPS(TcxStyle, TcxCustomStyle, DefineStyleProps)
QZ_CLASS_IMPL(TcxCustomStyles, TcxInterfacedPersistent)
QZ_CLASS_IMPL(TcxStyles, TcxCustomStyles)
QZ_CLASS_IMPL_PROPS(TcxCustomStyleSheet, TcxComponent, DefineSheetProps)
QZ_CLASS_IMPL(TcxStyleRepository, TComponent)

// ---- TcxCustomStyle --------------------------------------------------------------------

TcxCustomStyle::TcxCustomStyle(TComponent* AOwner) : TComponent(AOwner) {}

TcxCustomStyle::~TcxCustomStyle()
{
    DetachUsers();
    SetRepository(nullptr);
}

void TcxCustomStyle::BeforeDestruction()
{
    // While the style is still whole, so controls told of the change may
    // look at whatever they like.
    DetachUsers();
    TComponent::BeforeDestruction();
}

void TcxCustomStyle::DetachUsers()
{
    // Every user drops its pairs with this style (telling its control).
    while (!FStyleUsers.empty()) {
        TcxCustomStyles* user = FStyleUsers.back();
        user->RemoveStyle(this);
        RemoveFrom(FStyleUsers, user);   // in case the user held no pair
    }
}

void TcxCustomStyle::Changed()
{
    std::vector<TcxCustomStyles*> users = FStyleUsers;
    for (auto it = users.rbegin(); it != users.rend(); ++it)
        if (std::find(FStyleUsers.begin(), FStyleUsers.end(), *it) != FStyleUsers.end())
            (*it)->StyleChanged(this);
}

void TcxCustomStyle::AddListener(TcxCustomStyles* AStyles) { AddOnce(FStyleUsers, AStyles); }

void TcxCustomStyle::RemoveListener(TcxCustomStyles* AStyles) { RemoveFrom(FStyleUsers, AStyles); }

void TcxCustomStyle::SetRepository(TcxStyleRepository* Value)
{
    if (FRepository == Value) return;
    if (FRepository) RemoveFrom(FRepository->FStyleList, this);
    FRepository = Value;
    if (FRepository) AddOnce(FRepository->FStyleList, this);
}

TComponent* TcxCustomStyle::GetParentComponent() const { return FRepository; }

void TcxCustomStyle::SetParentComponent(TComponent* Value)
{
    if (auto* r = DynamicCast<TcxStyleRepository>(Value)) SetRepository(r);
}

// ---- TcxStyle -----------------------------------------------------------------------------

TcxStyle::TcxStyle(TComponent* AOwner)
    : TcxCustomStyle(AOwner), FBitmap(std::make_unique<TBitmap>()), FFont(std::make_unique<TFont>())
{
    FBitmap->OnChange = [this](TObject* s) { BitmapChanged(s); };
    FFont->OnChange = [this](TObject* s) { FontChanged(s); };
}

TcxStyle::~TcxStyle()
{
    FBitmap->OnChange = nullptr;
    FFont->OnChange = nullptr;
}

void TcxStyle::BitmapChanged(TObject*)
{
    if (FBitmap->Empty())
        FAssignedValues.Exclude(svBitmap);
    else
        FAssignedValues.Include(svBitmap);
    Changed();
}

void TcxStyle::FontChanged(TObject*)
{
    FAssignedValues.Include(svFont);
    Changed();
}

void TcxStyle::SetAssignedValues(TcxStyleValues Value)
{
    if (FAssignedValues == Value) return;
    FAssignedValues = Value;
    Changed();
}

void TcxStyle::SetColor(TColor Value)
{
    if (FColor == Value) return;
    FColor = Value;
    if (Value == clDefault)
        FAssignedValues.Exclude(svColor);
    else
        FAssignedValues.Include(svColor);
    Changed();
}

void TcxStyle::SetTextColor(TColor Value)
{
    if (FTextColor == Value) return;
    FTextColor = Value;
    if (Value == clDefault)
        FAssignedValues.Exclude(svTextColor);
    else
        FAssignedValues.Include(svTextColor);
    Changed();
}

void TcxStyle::SetBitmap(TBitmap* Value)
{
    if (Value == FBitmap.get()) return;
    if (Value)
        FBitmap->Assign(Value);
    else
        FBitmap->SetSize(0, 0);
    // The copy may not announce itself when nothing visible changed.
    BitmapChanged(FBitmap.get());
}

void TcxStyle::SetFont(TFont* Value)
{
    if (!Value || Value == FFont.get()) return;
    FFont->Assign(Value);
}

void TcxStyle::Assign(TPersistent* Source)
{
    if (auto* s = DynamicCast<TcxStyle>(Source)) {
        SetBitmap(s->Bitmap());
        SetColor(s->Color());
        SetFont(s->Font());
        SetTextColor(s->TextColor());
        SetAssignedValues(s->AssignedValues());
        return;
    }
    TcxCustomStyle::Assign(Source);
}

void TcxStyle::ResetValues()
{
    FAssignedValues = TcxStyleValues{};
    TNotifyEvent keep = std::move(FBitmap->OnChange);
    FBitmap->OnChange = nullptr;
    FBitmap->SetSize(0, 0);
    FBitmap->OnChange = std::move(keep);
    FColor = clDefault;
    FTextColor = clDefault;
    Changed();
}

// ---- TcxCustomStyles -----------------------------------------------------------------------

TcxCustomStyles::TcxCustomStyles(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {}

TcxCustomStyles::~TcxCustomStyles()
{
    FInDestruction = true;
    for (auto it = FPairs.rbegin(); it != FPairs.rend(); ++it)
        if (it->Style) it->Style->RemoveListener(this);
    FPairs.clear();
    if (FStyleSheet) FStyleSheet->DetachFollower(this);
    FStyleSheet = nullptr;
}

TcxCustomStyles* TcxCustomStyles::CreateFromClass(TClass AClass, TPersistent* AOwner)
{
    if (!AClass || !AClass->InheritsFrom(TcxCustomStyles::StaticClass()))
        throw EConvertError("Invalid styles class");
    TObject* obj = AClass->Create(nullptr);
    auto* styles = static_cast<TcxCustomStyles*>(obj);
    styles->SetOwner(AOwner);
    return styles;
}

void TcxCustomStyles::ReleaseStyle(TcxCustomStyle* Style)
{
    // One style may serve several indexes: it stays a listener target while
    // another pair still holds it, so changes to it keep reaching them.
    if (!Style) return;
    for (const auto& q : FPairs)
        if (q.Style == Style) return;
    Style->RemoveListener(this);
}

bool TcxCustomStyles::Find(int Index, int& Position) const
{
    int lo = 0, hi = int(FPairs.size()) - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int v = FPairs[size_t(mid)].Index;
        if (v == Index) {
            Position = mid;
            return true;
        }
        if (v < Index)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    Position = lo;
    return false;
}

bool TcxCustomStyles::OwnerIsBeingWritten() const
{
    auto* c = dynamic_cast<TComponent*>(Owner());
    return c && c->ComponentState().Contains(csWriting);
}

TcxCustomStyle* TcxCustomStyles::GetStyle(int Index) const
{
    int pos;
    if (Find(Index, pos)) return FPairs[size_t(pos)].Style;
    if (FStyleSheet && !OwnerIsBeingWritten()) return FStyleSheet->Styles()->GetStyle(Index);
    return nullptr;
}

void TcxCustomStyles::SetStyle(int Index, TcxCustomStyle* Style)
{
    if (Style == GetStyle(Index)) return;
    int pos;
    if (Find(Index, pos)) {
        TcxCustomStyle* old = FPairs[size_t(pos)].Style;
        if (Style) {
            FPairs[size_t(pos)].Style = Style;
            Style->AddListener(this);
        } else {
            FPairs.erase(FPairs.begin() + pos);
        }
        ReleaseStyle(old);
        IndexChanged(Index);
    } else if (Style) {
        FPairs.insert(FPairs.begin() + pos, TcxStylesPair{Index, Style});
        Style->AddListener(this);
        IndexChanged(Index);
    }
}

void TcxCustomStyles::Delete(int Position)
{
    TcxStylesPair p = FPairs[size_t(Position)];
    FPairs.erase(FPairs.begin() + Position);
    ReleaseStyle(p.Style);
    IndexChanged(p.Index);
}

void TcxCustomStyles::Clear()
{
    for (int i = int(FPairs.size()) - 1; i >= 0; --i) Delete(i);
}

void TcxCustomStyles::RemoveStyle(TcxCustomStyle* Style)
{
    for (int i = int(FPairs.size()) - 1; i >= 0; --i)
        if (i < int(FPairs.size()) && FPairs[size_t(i)].Style == Style) Delete(i);
}

void TcxCustomStyles::StyleChanged(TcxCustomStyle* Style)
{
    std::vector<int> indexes;
    for (const auto& p : FPairs)
        if (p.Style == Style) indexes.push_back(p.Index);
    for (int i : indexes) IndexChanged(i);
}

void TcxCustomStyles::IndexChanged(int Index)
{
    if (FInDestruction) return;
    Changed(Index);
    if (FOwningSheet) FOwningSheet->StyleIndexChanged(Index);
}

bool TcxCustomStyles::CanUseStyleSheet(TcxCustomStyleSheet* Sheet) const
{
    if (!Sheet) return true;
    if (Sheet == FOwningSheet) return false;
    if (Sheet->StylesClass() != ClassType()) return false;
    if (FOwningSheet) {
        // Bounded walk: a chain longer than the number of sheets reachable
        // would already be a cycle.
        TcxCustomStyleSheet* s = Sheet;
        for (int guard = 0; s && guard < 100000; ++guard) {
            if (s == FOwningSheet) return false;
            s = s->Styles()->StyleSheet();
        }
    }
    return true;
}

void TcxCustomStyles::CollectIndexes(TcxCustomStyleSheet* Sheet, std::vector<int>& Indexes) const
{
    for (int guard = 0; Sheet && guard < 100000; ++guard) {
        TcxCustomStyles* s = Sheet->Styles();
        for (const auto& p : s->FPairs)
            if (std::find(Indexes.begin(), Indexes.end(), p.Index) == Indexes.end()) Indexes.push_back(p.Index);
        Sheet = s->StyleSheet();
    }
}

void TcxCustomStyles::AttachStyleSheet(TcxCustomStyleSheet* Sheet)
{
    if (Sheet == FStyleSheet || !CanUseStyleSheet(Sheet)) return;
    std::vector<int> indexes;
    if (FStyleSheet) {
        FStyleSheet->DetachFollower(this);
        if (!FInDestruction) CollectIndexes(FStyleSheet, indexes);
    }
    FStyleSheet = Sheet;
    if (FStyleSheet) {
        FStyleSheet->AttachFollower(this);
        CollectIndexes(FStyleSheet, indexes);
    }
    for (int i : indexes) IndexChanged(i);
}

void TcxCustomStyles::Assign(TPersistent* Source)
{
    if (auto* s = DynamicCast<TcxCustomStyles>(Source)) {
        AttachStyleSheet(s->StyleSheet());
        return;
    }
    TcxInterfacedPersistent::Assign(Source);
}

// ---- TcxStyles ------------------------------------------------------------------------------

void TcxStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    AParams.Bitmap = nullptr;
    if (Index > FHighestDefaultIndex) FHighestDefaultIndex = Index;
}

bool TcxStyles::IsDefaultFontUsed(int Index) const
{
    auto* s = DynamicCast<TcxStyle>(GetStyle(Index));
    return !s || !s->AssignedValues().Contains(svFont);
}

TBitmap* TcxStyles::GetBitmap(int Index) const
{
    auto* s = DynamicCast<TcxStyle>(GetStyle(Index));
    if (s && s->AssignedValues().Contains(svBitmap) && !s->Bitmap()->Empty()) return s->Bitmap();
    return nullptr;
}

void TcxStyles::GetViewParams(int Index, TObject* AData, TcxCustomStyle* AStyle, TcxStyleParams& AParams)
{
    auto* s1 = DynamicCast<TcxStyle>(AStyle);
    auto* s2 = DynamicCast<TcxStyle>(GetStyle(Index));
    auto has = [](TcxStyle* s, TcxStyleValue v) { return s && s->AssignedValues().Contains(v); };

    AParams = TcxStyleParams{};
    if (FUseBitmapInViewParams) {
        if (has(s1, svBitmap))
            AParams.Bitmap = s1->Bitmap();
        else if (has(s2, svBitmap))
            AParams.Bitmap = s2->Bitmap();
    }
    if (has(s1, svColor))
        AParams.Color = s1->Color();
    else if (has(s2, svColor))
        AParams.Color = s2->Color();
    if (has(s1, svFont))
        AParams.Font = s1->Font();
    else if (has(s2, svFont))
        AParams.Font = s2->Font();
    if (has(s1, svTextColor))
        AParams.TextColor = s1->TextColor();
    else if (has(s2, svTextColor))
        AParams.TextColor = s2->TextColor();

    bool complete = (!FUseBitmapInViewParams || AParams.Bitmap) && AParams.Color != clDefault &&
                    AParams.Font && AParams.TextColor != clDefault;
    if (complete) return;
    TcxStyleParams def;
    GetDefaultViewParams(Index, AData, def);
    if (!AParams.Bitmap) AParams.Bitmap = def.Bitmap;
    if (AParams.Color == clDefault) AParams.Color = def.Color;
    if (!AParams.Font) AParams.Font = def.Font;
    if (AParams.TextColor == clDefault) AParams.TextColor = def.TextColor;
}

void TcxStyles::ControlFontChanged(TObject* Sender, TFont* AFont)
{
    for (int i = 0; i <= FHighestDefaultIndex; ++i) {
        if (!IsDefaultFontUsed(i)) continue;
        TcxStyleParams def;
        GetDefaultViewParams(i, nullptr, def);
        if (def.Font == AFont) IndexChanged(i);
    }
}

// ---- TcxCustomStyleSheet ----------------------------------------------------------------------

TcxCustomStyleSheet::TcxCustomStyleSheet(TComponent* AOwner) : TcxComponent(AOwner)
{
    FBuiltIn = AOwner && AOwner->ComponentState().Contains(csDesigning);
}

TcxCustomStyleSheet::~TcxCustomStyleSheet()
{
    if (!ComponentState().Contains(csDestroying)) Destroying();
    while (!FFollowers.empty()) {
        TcxCustomStyles* f = FFollowers.back();
        f->AttachStyleSheet(nullptr);
        RemoveFrom(FFollowers, f);
    }
    SetRepository(nullptr);
    FStyles.reset();
}

void TcxCustomStyleSheet::AfterConstruction()
{
    TcxComponent::AfterConstruction();
    Styles();
}

TcxCustomStyles* TcxCustomStyleSheet::Styles() const
{
    // Made on first use: the styles class comes from a virtual call, which
    // cannot run while the sheet is still being constructed.
    if (!FStyles) {
        FStyles.reset(TcxCustomStyles::CreateFromClass(StylesClass(), const_cast<TcxCustomStyleSheet*>(this)));
        FStyles->FOwningSheet = const_cast<TcxCustomStyleSheet*>(this);
    }
    return FStyles.get();
}

void TcxCustomStyleSheet::Assign(TPersistent* Source)
{
    if (auto* s = DynamicCast<TcxCustomStyleSheet>(Source)) {
        SetCaption(s->Caption());
        Styles()->Assign(s->Styles());
        return;
    }
    TcxComponent::Assign(Source);
}

std::string TcxCustomStyleSheet::Caption() const
{
    return FCaption.empty() ? Name() : FCaption;
}

void TcxCustomStyleSheet::SetCaption(const std::string& Value)
{
    if (Value == FCaption) return;
    if (SameText(Value, Name()))
        FCaption.clear();
    else
        FCaption = Value;
}

void TcxCustomStyleSheet::SetRepository(TcxStyleRepository* Value)
{
    if (FRepository == Value) return;
    if (FRepository) RemoveFrom(FRepository->FSheetList, this);
    FRepository = Value;
    if (FRepository) AddOnce(FRepository->FSheetList, this);
}

TComponent* TcxCustomStyleSheet::GetParentComponent() const { return FRepository; }

void TcxCustomStyleSheet::SetParentComponent(TComponent* Value)
{
    if (auto* r = DynamicCast<TcxStyleRepository>(Value)) SetRepository(r);
}

void TcxCustomStyleSheet::AttachFollower(TcxCustomStyles* AStyles) { AddOnce(FFollowers, AStyles); }

void TcxCustomStyleSheet::DetachFollower(TcxCustomStyles* AStyles) { RemoveFrom(FFollowers, AStyles); }

void TcxCustomStyleSheet::StyleIndexChanged(int Index)
{
    std::vector<TcxCustomStyles*> followers = FFollowers;
    for (TcxCustomStyles* f : followers)
        if (std::find(FFollowers.begin(), FFollowers.end(), f) != FFollowers.end()) f->IndexChanged(Index);
    UpdateFakeLinks();
}

void TcxCustomStyleSheet::GetFakeComponentLinks(std::vector<TComponent*>& List)
{
    if (!Owner()) return;
    TcxCustomStyles* s = Styles();
    for (int i = 0; i < s->PairCount(); ++i) {
        TcxCustomStyle* style = s->Pair(i).Style;
        if (style && style->Owner() != Owner() && std::find(List.begin(), List.end(), style) == List.end())
            List.push_back(style);
    }
}

// ---- TcxStyleRepository ------------------------------------------------------------------------

TcxStyleRepository::TcxStyleRepository(TComponent* AOwner) : TComponent(AOwner) {}

TcxStyleRepository::~TcxStyleRepository()
{
    while (!FStyleList.empty()) FreeObject(FStyleList.back());
    while (!FSheetList.empty()) FreeObject(FSheetList.back());
}

TcxCustomStyle* TcxStyleRepository::NewStyle(TClass AStyleClass)
{
    return NewStyleWithOwner(AStyleClass, this);
}

TcxCustomStyle* TcxStyleRepository::NewStyleWithOwner(TClass AStyleClass, TComponent* AOwner)
{
    if (!AStyleClass || !AStyleClass->InheritsFrom(TcxCustomStyle::StaticClass()))
        throw EConvertError("Invalid style class");
    auto* style = static_cast<TcxCustomStyle*>(AStyleClass->Create(AOwner));
    style->SetRepository(this);
    return style;
}

TcxCustomStyleSheet* TcxStyleRepository::NewStyleSheet(TClass ASheetClass)
{
    return NewStyleSheetWithOwner(ASheetClass, this);
}

TcxCustomStyleSheet* TcxStyleRepository::NewStyleSheetWithOwner(TClass ASheetClass, TComponent* AOwner)
{
    if (!ASheetClass || !ASheetClass->InheritsFrom(TcxCustomStyleSheet::StaticClass()))
        throw EConvertError("Invalid style sheet class");
    auto* sheet = static_cast<TcxCustomStyleSheet*>(ASheetClass->Create(AOwner));
    sheet->SetRepository(this);
    return sheet;
}

void TcxStyleRepository::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (TcxCustomStyle* s : FStyleList)
        if (s->Owner() == Root) Proc(s);
    for (TcxCustomStyleSheet* s : FSheetList)
        if (s->Owner() == Root) Proc(s);
}

namespace cxStyles {
void Initialize()
{
    RegisterClass(TcxStyle::StaticClass());
}
}  // namespace cxStyles
