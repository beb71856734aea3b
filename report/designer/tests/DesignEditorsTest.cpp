// The designer's editors as registered at start-up: which component and
// property editor serves which object and property, hidden properties, the
// context-menu items and what they change, the unit, data-set and
// data-field editors, the editor dialogs' entry points and the jump to an
// event handler in the script.
#include "GuiTesting.h"
#include "Lists.h"
#include "Menus.h"
#include "RecordingHost.h"
#include "StringLists.h"
#include "TestDesigner.h"
#include "frxClass.h"
#include "frxCustomEditors.h"
#include "frxDMPClass.h"
#include "frxDesgnEditors.h"
#include "frxDesignerStartup.h"
#include "frxRes.h"
#include "frxSyntaxMemo.h"
#include "fs_istartup.h"

#include <gtest/gtest.h>

#include <typeinfo>

namespace {

std::string Text(const char* key) { return frxRes::Resources().Get(key); }

struct EditorsFixture : ::testing::Test {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TfrxReport Report{nullptr};
    TfrxReportPage* Page;
    TfrxMasterData* Band;
    TfrxMemoView *Memo1, *Memo2, *Memo3;
    TfrxPictureView* Picture;
    TfrxUserDataSet* Data;
    std::unique_ptr<TTestDesigner> Designer;
    TPopupMenu Menu{nullptr};

    EditorsFixture()
    {
        GuiTest::Init();
        fs_istartup::StartUp();
        frxDesignerStartup::StartUp();
        Page = new TfrxReportPage(&Report);
        Page->SetName("Page1");
        Band = new TfrxMasterData(Page);
        Band->SetName("MasterData1");
        Memo1 = AddMemo("Memo1");
        Memo2 = AddMemo("Memo2");
        Memo3 = AddMemo("Memo3");
        Picture = new TfrxPictureView(Band);
        Picture->SetName("Picture1");
        Data = new TfrxUserDataSet(&Report);
        Data->SetUserName("d0");
        Data->Fields()->Add("Name");
        Data->Fields()->Add("Age");
        Report.DataSets()->Add(Data);
        Designer = std::make_unique<TTestDesigner>(&Report);
        Designer->FillObjects();
    }
    ~EditorsFixture() override
    {
        frxEditorForms::FormatEditor = nullptr;
        frxEditorForms::MemoEditor = nullptr;
        frxEditorForms::PageEditor = nullptr;
    }
    TfrxMemoView* AddMemo(const char* name)
    {
        auto* m = new TfrxMemoView(Band);
        m->SetName(name);
        return m;
    }
    std::unique_ptr<TfrxComponentEditor> EditorFor(TfrxComponent* c)
    {
        Menu.Items()->Clear();
        return std::unique_ptr<TfrxComponentEditor>(
            frxDsgnIntf::ComponentEditorRegistry().GetComponentEditor(c, Designer.get(), &Menu));
    }
    // The menu's captions in order, separators as "-".
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> r;
        for (int i = 0; i < Menu.Items()->Count(); ++i) r.push_back(Menu.Items()->Items(i)->Caption());
        return r;
    }
    TMenuItem* ItemOf(const char* key) const { return Menu.Items()->Find(Text(key)); }
    // Clicks the item (it checks itself) and runs its command.
    bool Run(TfrxComponentEditor& e, const char* key)
    {
        TMenuItem* item = ItemOf(key);
        EXPECT_NE(nullptr, item) << key;
        if (!item) return false;
        item->Click();
        return e.RunMenuCommand(int(item->Tag()));
    }
    // The editor of the object's row in the inspector's list.
    TfrxPropertyEditor* PropertyEditor(TfrxPropertyList& list, TObject* o, const std::string& name)
    {
        list.SetComponent(o);
        TfrxPropertyItem* item = list.Find(name);
        return item ? item->Editor.get() : nullptr;
    }
};

// ---- registration ---------------------------------------------------------------------------

TEST_F(EditorsFixture, EachObjectGetsItsExactEditorElseTheLastRegisteredAncestors)
{
    auto* shape = new TfrxShapeView(Band);
    auto* line = new TfrxLineView(Band);
    auto* sys = new TfrxSysMemoView(Band);
    auto* dmpMemo = new TfrxDMPMemoView(Band);
    auto* dmpLine = new TfrxDMPLineView(Band);
    auto* sub = new TfrxSubreport(Band);
    auto* detail = new TfrxDataBand5(Page);
    auto* header = new TfrxHeader(Page);
    auto* footer = new TfrxFooter(Page);
    auto* title = new TfrxReportTitle(Page);
    auto* group = new TfrxGroupHeader(Page);
    auto* groupFooter = new TfrxGroupFooter(Page);
    auto* pageHeader = new TfrxPageHeader(Page);
    auto* pageFooter = new TfrxPageFooter(Page);
    auto* dmpPage = new TfrxDMPPage(&Report);
    struct Case {
        TfrxComponent* Object;
        const std::type_info& Editor;
    };
    const Case cases[] = {
        {Memo1, typeid(TfrxMemoEditor)},         {sys, typeid(TfrxSysMemoEditor)},
        {dmpMemo, typeid(TfrxMemoEditor)},       {shape, typeid(TfrxViewEditor)},
        {line, typeid(TfrxLineEditor)},          {dmpLine, typeid(TfrxLineEditor)},
        {Picture, typeid(TfrxPictureEditor)},    {sub, typeid(TfrxSubreportEditor)},
        {Page, typeid(TfrxPageEditor)},          {dmpPage, typeid(TfrxPageEditor)},
        {Band, typeid(TfrxDataBandEditor)},      {detail, typeid(TfrxDataBandEditor)},
        {header, typeid(TfrxHeaderEditor)},      {footer, typeid(TfrxBandEditor)},
        {title, typeid(TfrxBandEditor)},         {group, typeid(TfrxGroupHeaderEditor)},
        {groupFooter, typeid(TfrxBandEditor)},   {pageHeader, typeid(TfrxPageHeaderEditor)},
        {pageFooter, typeid(TfrxPageFooterEditor)},
    };
    for (const Case& c : cases) {
        auto e = EditorFor(c.Object);
        ASSERT_NE(nullptr, e) << c.Object->ClassName();
        EXPECT_EQ(std::string(c.Editor.name()), typeid(*e).name()) << c.Object->ClassName();
    }
    // Dialog-page objects and the report itself have none.
    EXPECT_EQ(nullptr, EditorFor(Data));
}

TEST_F(EditorsFixture, EachPropertyGetsItsEditorAndHiddenOnesNone)
{
    TfrxPropertyList list(Designer.get());
    struct Case {
        TObject* Object;
        const char* Property;
        const char* Editor;   // "" for hidden
    };
    const Case cases[] = {
        {Memo1, "Left", "TfrxLocSizeXProperty"},
        {Memo1, "Top", "TfrxLocSizeYProperty"},
        {Memo1, "Width", "TfrxLocSizeXProperty"},
        {Band, "Height", "TfrxLocSizeYProperty"},
        {Band, "ColumnWidth", "TfrxLocSizeXProperty"},
        {Band, "ColumnGap", "TfrxLocSizeXProperty"},
        {Page, "PaperWidth", "TfrxPaperXProperty"},
        {Page, "PaperHeight", "TfrxPaperYProperty"},
        {Page, "LeftMargin", "TfrxPaperXProperty"},
        {Page, "BottomMargin", "TfrxPaperYProperty"},
        {Memo1, "Visible", "TfrxBooleanProperty"},
        {Page, "TitleBeforeHeader", "TfrxBooleanProperty"},
        {Memo1, "Frame", "TfrxFrameProperty"},
        {Picture, "Picture", "TfrxPictureProperty"},
        {Memo1, "DataSet", "TfrxDataSetProperty"},
        {Memo1, "DataField", "TfrxDataFieldProperty"},
        {Picture, "DataField", "TfrxDataFieldProperty"},
        {Memo1, "Memo", "TfrxMemoProperty"},
        {Memo1, "BrushStyle", "TfrxBrushProperty"},
        {Memo1->Frame(), "Style", "TfrxFrameStyleProperty"},
        {Memo1, "DisplayFormat", "TfrxDisplayFormatProperty"},
        {Memo1, "OnBeforePrint", "TfrxEventProperty"},
        {Page, "OnManualBuild", "TfrxEventProperty"},
        // The library's own editors stay where nothing later serves.
        {Memo1, "Color", "TfrxColorProperty"},
        {Memo1, "Name", "TfrxNameProperty"},
        {Memo1, "Font", "TfrxFontProperty"},
        {Memo1->Font(), "Name", "TfrxFontNameProperty"},
        {Memo1->Font(), "Charset", "TfrxFontCharsetProperty"},
        {Memo1, "Tag", "TfrxIntegerProperty"},
        // Hidden, on the class named and its descendants.
        {Memo1, "DataSetName", ""},
        {Memo1, "GroupIndex", ""},
        {Band, "GroupIndex", ""},
        {Band, "Vertical", ""},
        {Band, "DataSetName", ""},
        {Page, "PaperSize", ""},
        {Page, "HGuides", ""},
        {Page, "ColumnWidth", ""},
        {&Report, "ScriptText", ""},
        {&Report, "Name", ""},
        {Report.ReportOptions(), "LastChange", ""},
        {Report.EngineOptions(), "SilentMode", ""},
        {Memo1->Font(), "Height", ""},
    };
    for (const Case& c : cases) {
        TfrxPropertyEditor* e = PropertyEditor(list, c.Object, c.Property);
        if (!*c.Editor) {
            EXPECT_EQ(nullptr, e) << c.Object->ClassName() << "." << c.Property;
            continue;
        }
        ASSERT_NE(nullptr, e) << c.Object->ClassName() << "." << c.Property;
        EXPECT_EQ(c.Editor, e->ClassName()) << c.Object->ClassName() << "." << c.Property;
    }
}

TEST_F(EditorsFixture, ThePaletteListsTheShapesOncePerKind)
{
    TfrxObjectCollection& r = frxDsgnIntf::ObjectRegistry();
    int shapes = 0, memos = 0;
    std::vector<int> kinds;
    for (int i = 0; i < r.Count(); ++i) {
        const TfrxObjectItem& item = r.GetItem(i);
        if (item.ClassRef == TfrxShapeView::StaticClass()) {
            ++shapes;
            kinds.push_back(item.Flags);
            EXPECT_EQ("Draw", item.CategoryName);
        }
        if (item.ClassRef == TfrxMemoView::StaticClass()) ++memos;
    }
    EXPECT_EQ(5, shapes);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), kinds);
    EXPECT_EQ(1, memos);
    // Registering again changes nothing.
    frxDesgnEditors::Initialize();
    int again = 0;
    for (int i = 0; i < r.Count(); ++i) again += r.GetItem(i).ClassRef == TfrxShapeView::StaticClass();
    EXPECT_EQ(5, again);
}

// ---- context menus --------------------------------------------------------------------------

TEST_F(EditorsFixture, ShiftItemsActOnEverySelectedViewThatMayChange)
{
    Memo2->ShiftMode = smWhenOverlapped;
    Memo3->SetRestrictions({rfDontModify});
    Memo3->ShiftMode = smWhenOverlapped;
    Memo1->ShiftMode = smDontShift;
    Designer->Select({Memo1, Memo2, Memo3});
    auto e = EditorFor(Memo1);
    e->FillMenu();
    ASSERT_FALSE(ItemOf("mvShift")->Checked());
    EXPECT_TRUE(Run(*e, "mvShift"));
    EXPECT_EQ(smAlways, Memo1->ShiftMode);
    EXPECT_EQ(smAlways, Memo2->ShiftMode);
    EXPECT_EQ(smWhenOverlapped, Memo3->ShiftMode);

    Memo2->ShiftMode = smWhenOverlapped;
    e = EditorFor(Memo1);
    e->FillMenu();
    ASSERT_TRUE(ItemOf("mvShift")->Checked());
    EXPECT_TRUE(Run(*e, "mvShift"));
    EXPECT_EQ(smDontShift, Memo1->ShiftMode);
    EXPECT_EQ(smDontShift, Memo2->ShiftMode);
    EXPECT_EQ(smWhenOverlapped, Memo3->ShiftMode);

    EXPECT_TRUE(Run(*e, "mvVisible"));
    EXPECT_FALSE(Memo1->Visible());
    EXPECT_FALSE(Memo2->Visible());
    EXPECT_TRUE(Memo3->Visible());
}

TEST_F(EditorsFixture, TextItemsSetTheirFlagsAndTheFormatDialogMayBeCancelled)
{
    Designer->Select({Memo1, Memo2});
    auto e = EditorFor(Memo1);
    e->FillMenu();
    EXPECT_EQ((std::vector<std::string>{"显示格式...", "清除内容", "-", "自动宽度", "文本自动换行", "禁止重复值",
                                        "隐藏零值", "允许表达式", "允许 HTML 标记", "-", "伸展", "伸展到最大高度",
                                        "移动", "覆盖时移动", "可见", "可打印"}),
              Captions());
    EXPECT_TRUE(Run(*e, "mvStretchToMax"));
    EXPECT_EQ(smMaxHeight, Memo1->StretchMode);
    EXPECT_EQ(smMaxHeight, Memo2->StretchMode);
    EXPECT_TRUE(Run(*e, "mvWWrap"));
    EXPECT_FALSE(Memo2->WordWrap);

    Memo1->DisplayFormat()->FormatStr = "%2.2f";
    TfrxFormat* seen = nullptr;
    bool answer = false;
    frxEditorForms::FormatEditor = [&](TfrxCustomDesigner* d, TfrxFormat* f) {
        EXPECT_EQ(Designer.get(), d);
        seen = f;
        EXPECT_EQ("%2.2f", f->FormatStr);
        f->FormatStr = "#,##0";
        return answer;
    };
    EXPECT_FALSE(Run(*e, "mvFormat"));
    ASSERT_NE(nullptr, seen);
    EXPECT_EQ("%2.2f", Memo1->DisplayFormat()->FormatStr);
    EXPECT_EQ("", Memo2->DisplayFormat()->FormatStr);
    answer = true;
    EXPECT_TRUE(Run(*e, "mvFormat"));
    EXPECT_EQ("#,##0", Memo1->DisplayFormat()->FormatStr);
    EXPECT_EQ("#,##0", Memo2->DisplayFormat()->FormatStr);

    Memo2->SetText("kept?");
    EXPECT_TRUE(Run(*e, "mvClear"));
    EXPECT_EQ("", Memo2->Text());
}

TEST_F(EditorsFixture, BandMenusLeaveOutWhatTheKindDoesNotHave)
{
    auto* title = new TfrxReportTitle(Page);
    auto* pageHeader = new TfrxPageHeader(Page);
    auto* pageFooter = new TfrxPageFooter(Page);
    auto* footer = new TfrxFooter(Page);
    auto* vertical = new TfrxMasterData(Page);
    vertical->Vertical = true;
    using V = std::vector<std::string>;
    struct Case {
        TfrxComponent* Band;
        V Keys;
    };
    const Case cases[] = {
        {Band, {"mvStretch", "bvSplit", "bvKeepChild", "bvPrintChild", "bvStartPage", "bvPrintIfEmpty",
                "bvFooterAfterEach", "bvKeepDetail", "bvKeepFooter", "bvKeepHeader"}},
        {vertical, {"bvPrintChild", "bvStartPage", "bvPrintIfEmpty", "bvFooterAfterEach"}},
        {title, {"mvStretch", "bvKeepChild", "bvPrintChild", "bvStartPage"}},
        {pageHeader, {"mvStretch", "bvPrintChild", "bvOnFirst"}},
        {pageFooter, {"bvOnFirst", "bvOnLast"}},
        {footer, {"mvStretch", "bvSplit", "bvKeepChild", "bvPrintChild"}},
    };
    for (const Case& c : cases) {
        Designer->Select({c.Band});
        auto e = EditorFor(c.Band);
        e->FillMenu();
        V expected;
        for (const std::string& k : c.Keys) expected.push_back(Text(k.c_str()));
        EXPECT_EQ(expected, Captions()) << c.Band->ClassName();
    }
    // With two bands selected a band's menu has no band items.
    Designer->Select({Band, title});
    auto e = EditorFor(Band);
    e->FillMenu();
    EXPECT_TRUE(Captions().empty());
}

TEST_F(EditorsFixture, BandCommandsChangeTheFirstSelectedBandUnlessItIsLocked)
{
    Designer->Select({Band});
    auto e = EditorFor(Band);
    e->FillMenu();
    EXPECT_TRUE(Run(*e, "bvKeepDetail"));
    EXPECT_TRUE(Band->KeepTogether);
    EXPECT_TRUE(Run(*e, "mvStretch"));
    EXPECT_TRUE(Band->Stretched);
    Band->SetRestrictions({rfDontModify});
    e = EditorFor(Band);
    e->FillMenu();
    EXPECT_FALSE(Run(*e, "bvStartPage"));
    EXPECT_FALSE(Band->StartNewPage);
}

// ---- double-click editors -------------------------------------------------------------------

TEST_F(EditorsFixture, TheTextEditorReplacesTheTextAndUnbindsTheField)
{
    Memo1->SetText("old");
    Memo1->SetDataSet(Data);
    Memo1->DataField = "Name";
    auto e = EditorFor(Memo1);
    EXPECT_TRUE(e->HasEditor());
    // Until the dialogs are installed a double click opens nothing.
    EXPECT_FALSE(e->Edit());
    frxEditorForms::MemoEditor = [](TfrxCustomDesigner*, TfrxCustomMemoView*, std::string& text) {
        EXPECT_EQ("old\r\n", text);
        text = "[d0.\"Age\"]";
        return true;
    };
    EXPECT_TRUE(e->Edit());
    EXPECT_EQ("[d0.\"Age\"]\r\n", Memo1->Text());
    EXPECT_EQ("", Memo1->DataField);
    EXPECT_FALSE(EditorFor(new TfrxShapeView(Band))->HasEditor());
}

TEST_F(EditorsFixture, ASubreportsPageIsNotEditedWithThePageDialog)
{
    auto* inner = new TfrxReportPage(&Report);
    inner->SetName("Page2");
    auto* sub = new TfrxSubreport(Band);
    sub->SetSubPage(inner);
    int opened = 0;
    frxEditorForms::PageEditor = [&](TfrxCustomDesigner*, TfrxReportPage*) { return ++opened, true; };
    EXPECT_FALSE(EditorFor(inner)->Edit());
    EXPECT_EQ(0, opened);
    EXPECT_TRUE(EditorFor(Page)->Edit());
    EXPECT_EQ(1, opened);
    // The subreport's own editor shows its page instead.
    EXPECT_FALSE(EditorFor(sub)->Edit());
    ASSERT_FALSE(Designer->PagesShown.empty());
    EXPECT_EQ(inner, Designer->PagesShown.back());
}

// ---- property editors -----------------------------------------------------------------------

TEST_F(EditorsFixture, UnitTextsConvertBothWays)
{
    using namespace frxDesgnEditors;
    struct Case {
        int Units;
        double Pixels;
        const char* Shown;
    };
    const Case lengths[] = {
        {duInches, 96, "1"}, {duCM, 100, "2.65"}, {duCM, 96, "2.54"}, {duPixels, 37.5, "37.50"},
        {duChars, 19.2, "2"}, {duInches, 0, "0"},
    };
    for (const Case& c : lengths) EXPECT_EQ(c.Shown, PixelsToUnitText(c.Pixels, c.Units, 9.6)) << c.Pixels;
    EXPECT_EQ("2", PixelsToUnitText(34, duChars, 17));
    EXPECT_DOUBLE_EQ(240, UnitTextToPixels("2,5", duInches, 9.6));
    EXPECT_DOUBLE_EQ(240, UnitTextToPixels(" 2.5 ", duInches, 9.6));
    EXPECT_DOUBLE_EQ(96, UnitTextToPixels("2.54", duCM, 9.6));
    EXPECT_DOUBLE_EQ(51, UnitTextToPixels("3", duChars, 17));
    EXPECT_EQ("21", MillimetresToUnitText(210, duCM, 9.6));
    EXPECT_EQ("8.27", MillimetresToUnitText(210, duInches, 9.6));
    EXPECT_DOUBLE_EQ(297, UnitTextToMillimetres("29,7", duCM, 9.6));
    EXPECT_DOUBLE_EQ(25.4, UnitTextToMillimetres("96", duPixels, 9.6));
    EXPECT_THROW(UnitTextToPixels("two", duCM, 9.6), Exception);
}

TEST_F(EditorsFixture, BindingATextObjectRewritesItsText)
{
    TfrxPropertyList list(Designer.get());
    TfrxPropertyEditor* ds = PropertyEditor(list, Memo1, "DataSet");
    ASSERT_NE(nullptr, ds);
    EXPECT_EQ(Text("prNotAssigned"), ds->GetValue());
    ds->SetValue("d0");
    EXPECT_EQ(Data, Memo1->DataSet());
    EXPECT_EQ("d0", ds->GetValue());
    // No field yet: the text stays.
    EXPECT_EQ("", Memo1->Text());
    TfrxPropertyEditor* field = PropertyEditor(list, Memo1, "DataField");
    field->GetValues();
    EXPECT_EQ(2, field->Values()->Count());
    field->SetValue("Name");
    EXPECT_EQ("[d0.\"Name\"]\r\n", Memo1->Text());
    // A data set the report does not know is refused and changes nothing.
    ds = PropertyEditor(list, Memo1, "DataSet");
    try {
        ds->SetValue("nowhere");
        FAIL() << "accepted";
    } catch (const Exception& e) {
        EXPECT_EQ("非法属性值", e.Message());
    }
    EXPECT_EQ(Data, Memo1->DataSet());
    ds->SetValue("");
    EXPECT_EQ(nullptr, Memo1->DataSet());

    // A picture keeps no text.
    Picture->SetDataSet(Data);
    field = PropertyEditor(list, Picture, "DataField");
    field->SetValue("Age");
    EXPECT_EQ("Age", Picture->DataField);
}

TEST_F(EditorsFixture, TheFontDialogEditsTheFontOfTheLayoutsObjects)
{
    Memo1->Font()->SetName("Arial");
    Memo1->Font()->SetSize(10);
    Host->QueueFontDialog([](TFontDialogData& d) {
        EXPECT_EQ("Arial", d.Name);
        EXPECT_EQ(10, d.Size);
        d.Name = "Courier New";
        d.Size = 14;
        d.Bold = true;
        return true;
    });
    TfrxPropertyList list(Designer.get());
    TfrxPropertyEditor* font = PropertyEditor(list, Memo1, "Font");
    ASSERT_NE(nullptr, font);
    EXPECT_TRUE(font->Edit());
    EXPECT_EQ("Courier New", Memo1->Font()->Name());
    EXPECT_EQ(14, Memo1->Font()->Size());
    EXPECT_EQ(TfrxFont::Bold, Memo1->Font()->Style());
}

// ---- event handlers -------------------------------------------------------------------------

struct HandlerFixture : EditorsFixture {
    TfrxSyntaxMemo Code{nullptr};
    HandlerFixture()
    {
        Report.ScriptLanguage = "PascalScript";
        Designer->GetCode()->Add("begin");
        Designer->GetCode()->Add("");
        Designer->GetCode()->Add("end.");
        Code.SetLines(Designer->GetCode());
        Designer->SetCodeWindow(&Code);
    }
    std::vector<std::string> Script() const
    {
        std::vector<std::string> r;
        TStrings* s = Designer->GetCode();
        for (int i = 0; i < s->Count(); ++i) r.push_back((*s)[i]);
        return r;
    }
};

TEST_F(HandlerFixture, AnEventWithoutHandlerGetsOneAndASecondEditOnlyJumps)
{
    TfrxPropertyList list(Designer.get());
    TfrxPropertyEditor* event = PropertyEditor(list, Page, "OnBeforePrint");
    ASSERT_NE(nullptr, event);
    EXPECT_TRUE(event->Edit());
    EXPECT_EQ("Page1OnBeforePrint", Page->OnBeforePrint);
    EXPECT_EQ((std::vector<std::string>{"procedure Page1OnBeforePrint(Sender: TfrxComponent);", "begin", "", "end;",
                                        "", "begin", "", "end."}),
              Script());
    ASSERT_EQ(1u, Designer->PagesShown.size());
    EXPECT_EQ(nullptr, Designer->PagesShown[0]);
    EXPECT_EQ(8, Code.Model()->Lines()->Count());
    EXPECT_EQ(::Point(3, 3), Code.GetCaretPos());
    // The list offers it now.
    event->GetValues();
    EXPECT_EQ(0, event->Values()->IndexOf("Page1OnBeforePrint"));

    Code.SetCaretPos(1, 8);
    EXPECT_FALSE(event->Edit());
    EXPECT_EQ(8u, Script().size());
    EXPECT_EQ(::Point(1, 3), Code.GetCaretPos());
    EXPECT_EQ(2u, Designer->PagesShown.size());
}

TEST_F(HandlerFixture, AHandlerOfTheNameAlreadyInTheScriptIsReused)
{
    TStrings* s = Designer->GetCode();
    s->Insert(0, "procedure Memo1OnAfterPrint(Sender: TfrxComponent);");
    s->Insert(1, "begin");
    s->Insert(2, "  Beep;");
    s->Insert(3, "end;");
    TfrxPropertyList list(Designer.get());
    TfrxPropertyEditor* event = PropertyEditor(list, Memo1, "OnAfterPrint");
    EXPECT_TRUE(event->Edit());
    EXPECT_EQ("Memo1OnAfterPrint", Memo1->OnAfterPrint);
    EXPECT_EQ(7u, Script().size());
    EXPECT_EQ(::Point(3, 3), Code.GetCaretPos());
}

TEST_F(HandlerFixture, AScriptWithoutMainBlockIsReportedAndTheEventStaysEmpty)
{
    Designer->GetCode()->Clear();
    Designer->GetCode()->Add("// nothing here");
    TfrxPropertyList list(Designer.get());
    TfrxPropertyEditor* event = PropertyEditor(list, Memo1, "OnBeforePrint");
    try {
        event->Edit();
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(Text("dsCantFindProc"), e.Message());
    }
    EXPECT_EQ("", Memo1->OnBeforePrint);
    EXPECT_EQ(1u, Script().size());
    EXPECT_TRUE(Designer->PagesShown.empty());
}

}  // namespace
