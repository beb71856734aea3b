#include "cxEdit.h"

#include "cxEditConsts.h"
#include "cxFilterConsts.h"

#include <gtest/gtest.h>

namespace {

// A bound field's defaults, for the properties to fall back on.
class TFieldProvider : public TcxCustomEditDefaultValuesProvider {
public:
    TAlignment Alignment = taRightJustify;
    bool ReadOnlyValue = false;
    bool CanModifyValue = true;
    TAlignment DefaultAlignment() override { return Alignment; }
    bool DefaultReadOnly() override { return ReadOnlyValue; }
    bool CanModify() override { return CanModifyValue; }
};

struct ChangeCounter {
    int Count = 0;
    void Attach(TcxCustomEditProperties& p) { p.OnPropertiesChanged = [this](TObject*) { ++Count; }; }
};

}  // namespace

TEST(EditProperties, WhichSettersNotify)
{
    struct Case {
        const char* Name;
        std::function<void(TcxCustomEditProperties&)> Set;
        bool Notifies;
    };
    const Case cases[] = {
        {"AutoSelect", [](auto& p) { p.SetAutoSelect(false); }, true},
        {"ReadOnly", [](auto& p) { p.SetReadOnly(true); }, true},
        {"UseLeftAlignmentOnEditing", [](auto& p) { p.SetUseLeftAlignmentOnEditing(false); }, true},
        {"Alignment.Horz", [](auto& p) { p.Alignment()->SetHorz(taCenter); }, true},
        {"Buttons", [](auto& p) { p.Buttons()->Add(); }, true},
        {"BeepOnError", [](auto& p) { p.SetBeepOnError(true); }, false},
        {"ClearKey", [](auto& p) { p.SetClearKey(46); }, false},
        {"ClickKey", [](auto& p) { p.SetClickKey(13); }, false},
        {"ImmediatePost", [](auto& p) { p.SetImmediatePost(true); }, false},
        {"ValidateOnEnter", [](auto& p) { p.SetValidateOnEnter(true); }, false},
        {"AutoSelect unchanged", [](auto& p) { p.SetAutoSelect(true); }, false},
    };
    for (const Case& c : cases) {
        TcxCustomEditProperties p;
        ChangeCounter n;
        n.Attach(p);
        c.Set(p);
        EXPECT_EQ(n.Count > 0, c.Notifies) << c.Name;
    }
    TcxCustomEditProperties p;
    EXPECT_EQ(p.ClickKey(), 16397);
    EXPECT_TRUE(p.AutoSelect());
}

TEST(EditProperties, UpdatesAreCoalesced)
{
    TcxCustomEditProperties p;
    ChangeCounter n;
    n.Attach(p);
    p.BeginUpdate();
    p.SetAutoSelect(false);
    p.SetReadOnly(true);
    p.Buttons()->Add();
    EXPECT_EQ(n.Count, 0);
    p.EndUpdate();
    EXPECT_EQ(n.Count, 1);
    p.BeginUpdate();
    p.SetAutoSelect(true);
    p.EndUpdate(false);
    EXPECT_EQ(n.Count, 1);
    p.EndUpdate();   // unbalanced: nothing
    EXPECT_EQ(n.Count, 1);
    p.SetChangedLocked(true);
    p.SetAutoSelect(false);
    EXPECT_EQ(n.Count, 1);
}

TEST(EditProperties, AlignmentFallsBackToTheProvider)
{
    TFieldProvider field;
    TcxCustomEditProperties p;
    EXPECT_EQ(p.Alignment()->Horz(), taLeftJustify);
    p.SetDefaultValuesProvider(&field);
    EXPECT_EQ(p.Alignment()->Horz(), taRightJustify);
    EXPECT_FALSE(p.IsAlignmentStored());
    p.Alignment()->SetHorz(taCenter);
    EXPECT_EQ(p.Alignment()->Horz(), taCenter);
    EXPECT_TRUE(p.IsAlignmentStored());
    p.RestoreDefaults();
    EXPECT_EQ(p.Alignment()->Horz(), taRightJustify);
    p.Alignment()->SetVert(taVCenter);
    EXPECT_TRUE(p.IsAlignmentStored());
}

TEST(EditProperties, ReadOnlyAndCanModify)
{
    struct Case {
        int Assigned;   // -1 not assigned, else the value
        bool Provider;
        bool ProviderReadOnly;
        bool ProviderCanModify;
        bool ReadOnly;
        bool CanModify;
    };
    const Case cases[] = {
        {-1, false, false, true, false, true},
        {-1, true, false, true, false, true},
        {-1, true, true, true, true, false},
        {-1, true, false, false, false, false},
        {0, true, true, false, false, true},   // assigned False wins over everything
        {1, true, false, true, true, false},
        {1, false, false, true, true, false},
    };
    for (const Case& c : cases) {
        TFieldProvider field;
        field.ReadOnlyValue = c.ProviderReadOnly;
        field.CanModifyValue = c.ProviderCanModify;
        TcxCustomEditProperties p;
        if (c.Provider) p.SetDefaultValuesProvider(&field);
        if (c.Assigned >= 0) p.SetReadOnly(c.Assigned == 1);
        EXPECT_EQ(p.ReadOnly(), c.ReadOnly);
        EXPECT_EQ(p.CanModify(), c.CanModify);
        EXPECT_EQ(p.IsReadOnlyStored(), c.Assigned >= 0);
    }
}

TEST(EditProperties, AFreedProviderLeavesNoUser)
{
    TcxCustomEditProperties a, b;
    {
        TFieldProvider field;
        a.SetDefaultValuesProvider(&field);
        b.SetDefaultValuesProvider(&field);
        b.Assign(&a);
        EXPECT_EQ(b.DefaultValuesProvider(), &field);
    }
    EXPECT_EQ(a.DefaultValuesProvider(), nullptr);
    EXPECT_EQ(b.DefaultValuesProvider(), nullptr);
    EXPECT_EQ(a.Alignment()->Horz(), taLeftJustify);
}

TEST(EditProperties, AssignCopiesAndRefusesForeignSources)
{
    TcxCustomEditProperties a, b;
    a.SetAutoSelect(false);
    a.SetReadOnly(true);
    a.Alignment()->SetHorz(taCenter);
    a.Buttons()->Add()->SetKind(bkEllipsis);
    int clicks = 0;
    a.OnButtonClick = [&](TObject*, int) { ++clicks; };
    ChangeCounter n;
    n.Attach(b);
    b.Assign(&a);
    EXPECT_EQ(n.Count, 1);
    EXPECT_FALSE(b.AutoSelect());
    EXPECT_TRUE(b.ReadOnly());
    EXPECT_EQ(b.Alignment()->Horz(), taCenter);
    ASSERT_EQ(b.Buttons()->Count(), 1);
    EXPECT_EQ(b.Buttons()->Items(0)->Kind(), bkEllipsis);
    b.OnButtonClick(&b, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b.GetSupportedOperations(), esoHasButtons);
    TcxEditAlignment foreign;
    EXPECT_THROW(b.Assign(&foreign), EConvertError);
}

TEST(EditProperties, ValidationHandlerAndErrorText)
{
    TcxCustomEditProperties p;
    Variant v("abc");
    bool changed = true;
    std::string text;
    bool error = false;
    p.DoValidate(v, text, error, nullptr, changed);
    EXPECT_FALSE(changed);
    p.OnValidate = [](TObject*, Variant& d, std::string& t, bool& e) {
        e = true;
        t = "no";
        d = Variant("fixed");
    };
    p.DoValidate(v, text, error, nullptr, changed);
    EXPECT_TRUE(error);
    EXPECT_TRUE(changed);
    EXPECT_EQ(VarToStr(v), "fixed");
    EXPECT_EQ(p.GetValidationErrorText(0), "Invalid input value. Use escape key to abandon changes");
}

TEST(EditButtons, DefaultIsExclusiveAndFirstAtDesignTime)
{
    TComponent form;
    form.SetComponentStateFlag(csDesigning, true);
    TcxEditRepositoryItem* item = nullptr;
    TcxEditRepository repo(&form);
    item = repo.CreateItemEx(TcxEditRepositoryItem::StaticClass(), &form);
    TcxEditButtons* buttons = item->Properties()->Buttons();
    // The properties' owner is the repository item, which is not designed;
    // a properties object owned by a designed component makes the first default.
    TcxCustomEditProperties designed(&form);
    TcxEditButton* first = designed.Buttons()->Add();
    TcxEditButton* second = designed.Buttons()->Add();
    EXPECT_TRUE(first->Default());
    EXPECT_FALSE(second->Default());
    second->SetDefault(true);
    EXPECT_FALSE(first->Default());
    EXPECT_TRUE(second->Default());
    buttons->Add();
    EXPECT_FALSE(buttons->Items(0)->Default());
    second->SetVisible(false);
    EXPECT_EQ(designed.Buttons()->VisibleCount(), 1);
}

TEST(EditStyle, ValuesFallBackThroughTheController)
{
    TcxEditStyleController controller;
    TcxEditStyle style(nullptr, false);
    EXPECT_EQ(style.ButtonStyle(), btsDefault);
    controller.EditStyle()->SetButtonStyle(btsUltraFlat);
    style.SetStyleController(&controller);
    EXPECT_EQ(style.ButtonStyle(), btsUltraFlat);
    EXPECT_TRUE(style.IsValueAssigned(svButtonStyle));
    EXPECT_FALSE(style.AssignedValues().Contains(svButtonStyle));
    style.SetButtonStyle(bts3D);
    EXPECT_EQ(style.ButtonStyle(), bts3D);
    EXPECT_EQ(style.GetStyleValueCount(), 11);
    std::string name;
    EXPECT_TRUE(style.GetStyleValueName(svPopupBorderStyle, name));
    EXPECT_EQ(name, "PopupBorderStyle");
    EXPECT_FALSE(style.GetStyleValueName(11, name));
    TcxEditStyle copy(nullptr, false);
    style.SetButtonTransparency(ebtHideInactive);
    copy.Assign(&style);
    EXPECT_EQ(copy.ButtonTransparency(), ebtHideInactive);
    style.SetStyleController(nullptr);
}

namespace {
struct Listener : IcxEditRepositoryItemListener {
    std::string* Log;
    std::string Name;
    void ItemRemoved(TObject*) override { *Log += Name + "-removed "; }
    void PropertiesChanged(TObject*) override { *Log += Name + "-changed "; }
};
}  // namespace

TEST(EditRepository, ListenersHearLastRegisteredFirst)
{
    std::string log;
    Listener a{}, b{};
    a.Log = b.Log = &log;
    a.Name = "a";
    b.Name = "b";
    TcxEditRepository repo;
    TcxEditRepositoryItem* item = repo.CreateItem(TcxEditRepositoryItem::StaticClass());
    EXPECT_EQ(repo.Count(), 1);
    EXPECT_EQ(item->GetParentComponent(), &repo);
    item->AddListener(&a);
    item->AddListener(&b);
    item->AddListener(&a);
    item->Properties()->SetAutoSelect(false);
    EXPECT_EQ(log, "b-changed a-changed ");
    log.clear();
    delete item;
    EXPECT_EQ(log, "b-removed a-removed ");
    EXPECT_EQ(repo.Count(), 0);
    repo.CreateItem(TcxEditRepositoryItem::StaticClass());
    repo.CreateItem(TcxEditRepositoryItem::StaticClass());
    std::vector<TComponent*> children;
    repo.GetChildren([&](TComponent* c) { children.push_back(c); }, &repo);
    EXPECT_EQ(children.size(), 2u);
    EXPECT_THROW(repo.CreateItem(TComponent::StaticClass()), EConvertError);
}

TEST(EditUnit, RegistryRepositoryAndFilterCaptions)
{
    cxEdit::Initialize();
    cxClasses::SetResourceString(&cxSFilterAndCaption, "并且");
    EXPECT_EQ(cxFilterConsts::GetFilterString(&cxSFilterAndCaption), "并且");
    cxClasses::ResetResourceString(&cxSFilterAndCaption);
    EXPECT_EQ(cxEdit::GetDefaultEditRepository(), cxEdit::GetDefaultEditRepository());
    EXPECT_TRUE(cxEdit::GetRegisteredEditProperties()->RegisterClassesFlag());
    EXPECT_TRUE(cxEdit::VarEqualsExact(Variant(1), Variant(1)));
    EXPECT_FALSE(cxEdit::VarEqualsExact(Variant(1), Variant(1.0)));
    EXPECT_EQ(cxEdit::ShiftStateToMouseKeys(TShiftState{ssShift, ssLeft}), unsigned(MK_SHIFT | MK_LBUTTON));
    EXPECT_TRUE(cxEdit::ExtMouseButtonToShift(3).Contains(ssMiddle));
    EXPECT_TRUE(cxEdit::ExtMouseButtonToShift(0).Empty());
    EXPECT_TRUE(cxEdit::MouseButtonToShift(mbRight).Contains(ssRight));
    cxEdit::Finalize();
}
