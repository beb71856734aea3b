// The inspector's property editors: text both ways for every editor kind,
// the values they offer, their dialogs, and the rows for one object and for
// several selected objects.
#include "Graphics.h"
#include "GuiTesting.h"
#include "RecordingHost.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxClass.h"
#include "frxDsgnIntf.h"

#include <gtest/gtest.h>

namespace {

enum TInspTone { itQuiet, itLoud, itShrill };
QZ_ENUM_TYPEINFO(TInspTone, "itQuiet", "itLoud", "itShrill")
using TInspTones = TSet<TInspTone, 8>;

// One property of every kind the inspector knows, and a few it does not show.
class TInspected : public TComponent {
    QZ_CLASS(TInspected, TComponent)
public:
    explicit TInspected(TComponent* owner = nullptr) : TComponent(owner), FFont(std::make_unique<TFont>()) {}
    int Count = 3;
    char Mark = 'A';
    bool Enabled = false;
    TInspTone Tone = itQuiet;
    TInspTones Tones;
    double Ratio = 1.5;
    std::string Title = "学员";
    int Colour = 0;
    int Pointer = 0;
    int Result = 0;
    int Key = 0;
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* f) { FFont->Assign(f); }
    TInspected* Buddy = nullptr;
    Variant Anything;
    TNotifyEvent OnPoke;

private:
    std::unique_ptr<TFont> FFont;
};

void DefineInspected(std::vector<TPropInfo>& p)
{
    using T = TInspected;
    p.push_back(PublishInt<T>("Count", &T::Count, &T::Count));
    p.push_back(PublishChar<T>("Mark", &T::Mark, &T::Mark));
    p.push_back(PublishBool<T>("Enabled", &T::Enabled, &T::Enabled));
    p.push_back(PublishEnum<T>("Tone", &T::Tone, &T::Tone));
    p.push_back(PublishSet<T>("Tones", &T::Tones, &T::Tones));
    p.push_back(PublishFloat<T>("Ratio", &T::Ratio, &T::Ratio));
    p.push_back(PublishString<T>("Title", &T::Title, &T::Title));
    p.push_back(PublishInt<T>("Colour", &T::Colour, &T::Colour));
    p.back().TypeName = "TColor";
    p.push_back(PublishInt<T>("Pointer", &T::Pointer, &T::Pointer));
    p.back().TypeName = "TCursor";
    p.push_back(PublishInt<T>("Result", &T::Result, &T::Result));
    p.back().TypeName = "TModalResult";
    p.push_back(PublishInt<T>("Key", &T::Key, &T::Key));
    p.back().TypeName = "TShortCut";
    p.push_back(PublishObject<T>("Font", &T::Font, &T::SetFont));
    p.back().TypeName = "TFont";
    p.push_back(PublishObject<T>("Buddy", &T::Buddy, &T::Buddy));
    p.push_back(PublishVariant<T>("Anything", &T::Anything, &T::Anything));
    p.push_back(PublishEvent<T>("OnPoke", &T::OnPoke));
}

// The same with two properties hidden from the inspector.
class TQuietInspected : public TInspected {
    QZ_CLASS(TQuietInspected, TInspected)
public:
    using TInspected::TInspected;
};

}  // namespace

QZ_CLASS_IMPL_PROPS(TInspected, TComponent, DefineInspected)
QZ_CLASS_IMPL(TQuietInspected, TInspected)

namespace {

TfrxPropertyEditor* EditorOf(TfrxPropertyList& list, const std::string& name)
{
    TfrxPropertyItem* item = list.Find(name);
    return item ? item->Editor.get() : nullptr;
}

std::string Names(const TfrxPropertyList& list)
{
    std::string r;
    for (int i = 0; i < list.Count(); ++i) r += (r.empty() ? "" : " ") + list.Items(i)->Editor->GetName();
    return r;
}

}  // namespace

TEST(PropertyEditors, RowsOfOneObjectSortedWithTheirEditorsAndSubRows)
{
    GuiTest::Init();
    TInspected obj;
    obj.SetName("Obj1");
    TfrxPropertyList list;
    list.SetComponent(&obj);
    // Variants and events leave no row; the rest sorted by name.
    EXPECT_EQ(Names(list), "Buddy Colour Count Enabled Font Key Mark Name Pointer Ratio Result Tag Title Tone Tones");
    struct Case {
        const char* Property;
        const char* Editor;
        int Attributes;
    };
    const Case cases[] = {
        {"Buddy", "TfrxComponentProperty", 11}, {"Colour", "TfrxColorProperty", 73},
        {"Count", "TfrxIntegerProperty", 8},    {"Enabled", "TfrxEnumProperty", 11},
        {"Font", "TfrxFontProperty", 60},       {"Key", "TfrxShortCutProperty", 9},
        {"Mark", "TfrxCharProperty", 8},        {"Name", "TfrxNameProperty", 0},
        {"Pointer", "TfrxCursorProperty", 11},  {"Ratio", "TfrxFloatProperty", 8},
        {"Result", "TfrxModalResultProperty", 9}, {"Title", "TfrxStringProperty", 8},
        {"Tone", "TfrxEnumProperty", 11},       {"Tones", "TfrxSetProperty", 56},
    };
    for (const Case& c : cases) {
        TfrxPropertyEditor* e = EditorOf(list, c.Property);
        ASSERT_NE(e, nullptr) << c.Property;
        EXPECT_EQ(e->ClassName(), c.Editor) << c.Property;
        EXPECT_EQ(int(e->GetAttributes().ToInt()), c.Attributes) << c.Property;
    }
    // A set has a row per element, a font a row per property of its own,
    // with the font's name and character set editors.
    TfrxPropertyItem* tones = list.Find("Tones");
    ASSERT_TRUE(tones->SubProperty);
    EXPECT_EQ(Names(*tones->SubProperty), "itQuiet itLoud itShrill");
    TfrxPropertyItem* font = list.Find("Font");
    ASSERT_TRUE(font->SubProperty);
    EXPECT_EQ(EditorOf(*font->SubProperty, "Name")->ClassName(), "TfrxFontNameProperty");
    EXPECT_EQ(EditorOf(*font->SubProperty, "Charset")->ClassName(), "TfrxFontCharsetProperty");
    EXPECT_EQ(EditorOf(*font->SubProperty, "Color")->ClassName(), "TfrxColorProperty");
    EXPECT_EQ(font->SubProperty->Parent, &list);

    // An object that goes leaves its rows harmless.
    {
        auto gone = std::make_unique<TInspected>();
        TfrxPropertyList rows;
        rows.SetComponent(gone.get());
        TfrxPropertyEditor* count = EditorOf(rows, "Count");
        gone.reset();
        EXPECT_EQ(count->GetComponent(), nullptr);
        EXPECT_EQ(count->GetValue(), "0");
        count->SetValue("5");
    }

    // A hidden property leaves no row.
    frxDsgnIntf::HideProperties(TQuietInspected::StaticClass(), "Ratio;Tag");
    TQuietInspected quiet;
    list.SetComponent(&quiet);
    EXPECT_EQ(list.Find("Ratio"), nullptr);
    EXPECT_EQ(list.Find("Tag"), nullptr);
    ASSERT_NE(list.Find("Count"), nullptr);
    list.SetComponent(&obj);
    EXPECT_NE(list.Find("Ratio"), nullptr);   // the class it came from keeps it
    list.SetComponent(nullptr);
    EXPECT_EQ(list.Count(), 0);
}

TEST(PropertyEditors, TextBothWaysForEveryEditorKind)
{
    GuiTest::Init();
    TInspected obj, buddy;
    TfrxPropertyList list;
    list.SetComponent(&obj);
    struct Case {
        const char* Property;
        const char* Typed;   // null: only read
        const char* Shown;
    };
    const Case cases[] = {
        {"Count", nullptr, "3"},
        {"Count", " 42 ", "42"},
        {"Mark", nullptr, "A"},
        {"Mark", "#9", "#9"},          // a tab shows as its code
        {"Mark", "#65", "A"},
        {"Mark", "", "#0"},
        {"Mark", "z", "z"},
        {"Enabled", "true", "True"},
        {"Tone", "ITLOUD", "itLoud"},
        {"Ratio", "1,5", "1.5"},        // either separator
        {"Ratio", "2.25", "2.25"},
        {"Title", "一班", "一班"},
        {"Colour", "clRed", "clRed"},
        {"Colour", "$00123456", "$00123456"},
        {"Colour", "255", "clRed"},
        {"Pointer", "crHourGlass", "crHourGlass"},
        {"Pointer", "-99", "-99"},
        {"Result", "mryes", "mrYes"},
        {"Result", "12", "12"},
        {"Result", "", "mrNone"},
        {"Key", "Ctrl+S", "Ctrl+S"},
        {"Key", "(none)", "(None)"},
        {"Key", "Shift+Ctrl+F3", "Shift+Ctrl+F3"},
    };
    for (const Case& c : cases) {
        TfrxPropertyEditor* e = EditorOf(list, c.Property);
        ASSERT_NE(e, nullptr) << c.Property;
        if (c.Typed) e->SetValue(c.Typed);
        EXPECT_EQ(e->GetValue(), c.Shown) << c.Property << " <- " << (c.Typed ? c.Typed : "");
    }
    EXPECT_EQ(obj.Result, 0);
    EXPECT_EQ(obj.Mark, 'z');
    EXPECT_DOUBLE_EQ(obj.Ratio, 2.25);

    // Text an editor cannot take raises and the value stays.
    struct Bad {
        const char* Property;
        const char* Typed;
        bool Invalid;   // the "非法属性值" error, else a conversion error
    };
    const Bad bad[] = {{"Mark", "AB", true},      {"Mark", "#x", false},  {"Tone", "itSoft", true},
                       {"Enabled", "yes", true},  {"Count", "3a", false}, {"Ratio", "1..5", false},
                       {"Colour", "clNoSuch", false}, {"Key", "Ctrl+Nothing", true}};
    for (const Bad& b : bad) {
        TfrxPropertyEditor* e = EditorOf(list, b.Property);
        const std::string before = e->GetValue();
        try {
            e->SetValue(b.Typed);
            ADD_FAILURE() << b.Property << " took " << b.Typed;
        } catch (const EConvertError&) {
            EXPECT_FALSE(b.Invalid) << b.Property;
        } catch (const Exception& ex) {
            EXPECT_TRUE(b.Invalid) << b.Property << ": " << ex.Message();
            if (b.Invalid) EXPECT_EQ(ex.Message(), "非法属性值");
        }
        EXPECT_EQ(e->GetValue(), before) << b.Property;
    }

    // A set shows its members in order; its element rows switch them.
    TfrxPropertyItem* tones = list.Find("Tones");
    tones->SubProperty->Items(2)->Editor->SetValue("TRUE");
    tones->SubProperty->Items(0)->Editor->SetValue("True");
    EXPECT_EQ(tones->Editor->GetValue(), "[itQuiet,itShrill]");
    tones->SubProperty->Items(0)->Editor->SetValue("false");
    EXPECT_EQ(tones->Editor->GetValue(), "[itShrill]");
    EXPECT_EQ(tones->SubProperty->Items(0)->Editor->GetValue(), "False");
    EXPECT_THROW(tones->SubProperty->Items(1)->Editor->SetValue("on"), Exception);

    // A component reference by name, only within the report.
    EXPECT_EQ(EditorOf(list, "Buddy")->GetValue(), "");
    EXPECT_THROW(EditorOf(list, "Buddy")->SetValue("Nobody"), Exception);
    EditorOf(list, "Buddy")->SetValue("");
    EXPECT_EQ(obj.Buddy, nullptr);
    (void)buddy;
}

TEST(PropertyEditors, ValueListsAndTheBaseEditCyclingThem)
{
    GuiTest::Init();
    TInspected obj;
    TfrxPropertyList list;
    list.SetComponent(&obj);
    // A Boolean toggles: the sorted list is False, True, and after the last
    // comes the first.
    TfrxPropertyEditor* enabled = EditorOf(list, "Enabled");
    EXPECT_TRUE(enabled->Edit());
    EXPECT_TRUE(obj.Enabled);
    EXPECT_TRUE(enabled->Edit());
    EXPECT_FALSE(obj.Enabled);
    EXPECT_TRUE(enabled->Values()->Sorted());
    EXPECT_FALSE(EditorOf(list, "Count")->Edit());   // no values to cycle

    struct Case {
        const char* Property;
        int Count;
        const char* First;
        const char* Last;
    };
    const Case cases[] = {{"Result", 11, "mrNone", "mrYesToAll"},
                          {"Key", 109, "(None)", "Shift+Alt+BkSp"},
                          {"Colour", 52, nullptr, nullptr},
                          {"Pointer", 22, "crAppStart", "crVSplit"},   // sorted
                          {"Tone", 3, "itLoud", "itShrill"}};   // sorted
    for (const Case& c : cases) {
        TfrxPropertyEditor* e = EditorOf(list, c.Property);
        e->GetValues();
        TStringList* v = e->Values();
        EXPECT_EQ(v->Count(), c.Count) << c.Property;
        if (c.First) EXPECT_EQ((*v)[0], c.First) << c.Property;
        if (c.Last) EXPECT_EQ((*v)[v->Count() - 1], c.Last) << c.Property;
    }
    TfrxPropertyEditor* key = EditorOf(list, "Key");
    key->GetValues();
    for (const char* s : {"Ctrl+A", "Ctrl+Alt+Z", "F12", "Ctrl+F1", "Shift+F5", "Shift+Ctrl+F12", "Ins", "Shift+Del",
                          "Alt+BkSp"})
        EXPECT_GE(key->Values()->IndexOf(s), 0) << s;
    TfrxPropertyEditor* charset = EditorOf(*list.Find("Font")->SubProperty, "Charset");
    charset->SetValue("GB2312_CHARSET");
    EXPECT_EQ(obj.Font()->Charset(), 134);
    EXPECT_EQ(charset->GetValue(), "GB2312_CHARSET");
}

TEST(PropertyEditors, ColourAndFontDialogsSetEveryObject)
{
    GuiTest::Init();
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TInspected a, b;
    a.Colour = clRed;
    auto list = frxDsgnIntf::BuildCommonPropertyList({&a, &b}, nullptr);
    ASSERT_TRUE(list);
    uint32_t offered = 1;
    host->QueueColorDialog([&](TColorDialogData& d) {
        offered = d.Color;
        d.Color = 0x00FF00;
        return true;
    });
    EXPECT_TRUE(EditorOf(*list, "Colour")->Edit());
    EXPECT_EQ(offered, 0x0000FFu);   // opened on the first object's colour
    EXPECT_EQ(a.Colour, 0x00FF00);
    EXPECT_EQ(b.Colour, 0x00FF00);
    host->QueueColorDialog([](TColorDialogData&) { return false; });
    EXPECT_FALSE(EditorOf(*list, "Colour")->Edit());
    EXPECT_EQ(a.Colour, 0x00FF00);

    // The colour row draws a swatch of the colour before its name, and the
    // list a swatch of each listed colour.
    {
        TBitmap bmp;
        bmp.SetWidth(120);
        bmp.SetHeight(40);
        TCanvas* c = bmp.Canvas();
        c->Brush()->SetColor(clWhite);
        c->FillRect(Rect(0, 0, 120, 40));
        TfrxPropertyEditor* colour = EditorOf(*list, "Colour");
        colour->ItemHeight = 16;
        colour->DrawValue(c, Rect(0, 0, 120, 20));
        EXPECT_EQ(c->Pixels(6, 9), TColor(0x00FF00));
        colour->GetValues();
        const int blue = colour->Values()->IndexOf("clBlue");
        ASSERT_GE(blue, 0);
        c->Brush()->SetColor(clWhite);
        colour->DrawListItem(c, blue, Rect(0, 20, 120, 40), false);
        EXPECT_EQ(c->Pixels(8, 30), clBlue);
        EXPECT_EQ(colour->GetExtraListWidth(), 18);
    }

    bool existingOnly = false;
    host->QueueFontDialog([&](TFontDialogData& d) {
        existingOnly = d.ExistingOnly;
        d.Name = "宋体";
        d.Size = 14;
        d.Bold = true;
        return true;
    });
    EXPECT_TRUE(EditorOf(*list, "Font")->Edit());
    EXPECT_TRUE(existingOnly);
    for (TInspected* o : {&a, &b}) {
        EXPECT_EQ(o->Font()->Name(), "宋体");
        EXPECT_EQ(o->Font()->Size(), 14);
        EXPECT_TRUE(o->Font()->Style().Contains(fsBold));
    }
}

TEST(PropertyEditors, SeveralSelectedObjectsShareOnlyCommonRows)
{
    GuiTest::Init();
    TfrxReport report;
    auto* page = new TfrxReportPage(&report);
    page->SetName("Page1");
    auto* band = new TfrxMasterData(page);
    band->SetName("MasterData1");
    auto* memo = new TfrxMemoView(band);
    memo->SetName("Memo1");
    auto* memo2 = new TfrxMemoView(band);
    memo2->SetName("Memo2");
    auto* picture = new TfrxPictureView(band);
    picture->SetName("Picture1");
    memo->Frame()->Typ = TfrxFrameTypes{ftLeft, ftBottom};

    // One memo: the frame's lines read in order, left first.
    TfrxPropertyList one;
    one.SetComponent(memo);
    TfrxPropertyItem* frame = one.Find("Frame");
    ASSERT_TRUE(frame && frame->SubProperty);
    EXPECT_EQ(EditorOf(*frame->SubProperty, "Typ")->GetValue(), "[ftLeft,ftBottom]");

    auto common = frxDsgnIntf::BuildCommonPropertyList({memo, picture}, nullptr);
    ASSERT_TRUE(common);
    // No name row, nothing only one of them has.
    EXPECT_EQ(common->Find("Name"), nullptr);
    EXPECT_EQ(common->Find("Memo"), nullptr);
    EXPECT_EQ(common->Find("Center"), nullptr);
    ASSERT_NE(common->Find("Left"), nullptr);
    ASSERT_NE(common->Find("Frame"), nullptr);
    for (int i = 0; i < common->Count(); ++i) {
        TfrxPropertyEditor* e = common->Items(i)->Editor.get();
        EXPECT_TRUE(e->GetAttributes().Contains(eaMultiSelect)) << e->GetName();
        EXPECT_EQ(e->ComponentCount(), 2) << e->GetName();
        EXPECT_NE(one.Find(e->GetName()), nullptr) << e->GetName();
    }
    // The value shown is the first object's; a change reaches both, down to sub-rows.
    TfrxPropertyEditor* left = EditorOf(*common, "Left");
    memo->SetLeft(10);
    picture->SetLeft(20);
    EXPECT_EQ(left->GetValue(), "10");
    left->SetValue("30,5");
    EXPECT_DOUBLE_EQ(memo->Left(), 30.5);
    EXPECT_DOUBLE_EQ(picture->Left(), 30.5);
    TfrxPropertyItem* typ = common->Find("Frame")->SubProperty->Find("Typ");
    ASSERT_TRUE(typ && typ->SubProperty);
    EditorOf(*typ->SubProperty, "ftTop")->SetValue("True");
    EXPECT_TRUE(memo->Frame()->Typ.Contains(ftTop));
    EXPECT_TRUE(memo->Frame()->Typ.Contains(ftLeft));   // each keeps its other lines
    EXPECT_TRUE(picture->Frame()->Typ.Contains(ftTop));
    EXPECT_FALSE(picture->Frame()->Typ.Contains(ftLeft));

    EXPECT_EQ(frxDsgnIntf::BuildCommonPropertyList({}, nullptr), nullptr);

    // A reference offers the page's other objects of its class, by name.
    TfrxPropertyEditor* flow = EditorOf(one, "FlowTo");
    ASSERT_NE(flow, nullptr);
    flow->GetValues();
    ASSERT_EQ(flow->Values()->Count(), 1);
    EXPECT_EQ((*flow->Values())[0], "Memo2");
    flow->SetValue("Memo2");
    EXPECT_EQ(memo->FlowTo(), memo2);
    EXPECT_EQ(flow->GetValue(), "Memo2");
    EXPECT_THROW(flow->SetValue("Picture1"), Exception);   // not a text object
    EXPECT_EQ(memo->FlowTo(), memo2);
}
