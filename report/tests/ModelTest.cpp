// The report model: component tree, names, geometry and fonts, data sets,
// bands and pages, styles and variables.
#include "frxClass.h"
#include "frxVariables.h"
#include "frxXML.h"

#include "RecordingHost.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Env {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TfrxReport Report{nullptr};
    TfrxReportPage* Page = new TfrxReportPage(&Report);
    TfrxMasterData* Band = new TfrxMasterData(Page);
};

// A new object of class T below parent, named.
template <class T> T* Named(TfrxComponent* parent, const std::string& name)
{
    auto* obj = new T(parent);
    obj->SetName(name);
    return obj;
}

// ---- component base --------------------------------------------------------------------

TEST(Component, TreeOwnershipAndLookup)
{
    Env e;
    auto* memo = new TfrxMemoView(e.Band);
    memo->SetName("Memo1");
    EXPECT_EQ(memo->Parent(), e.Band);
    EXPECT_EQ(memo->Owner(), &e.Report);
    EXPECT_EQ(memo->Report(), &e.Report);
    EXPECT_EQ(memo->Page(), e.Page);
    EXPECT_EQ(e.Report.FindObject("memo1"), memo);
    auto all = e.Report.AllObjects();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], e.Page);
    EXPECT_EQ(all[1], e.Band);
    EXPECT_EQ(all[2], memo);
    FreeObject(e.Band);
    EXPECT_EQ(e.Report.FindObject("Memo1"), nullptr);
    EXPECT_EQ(e.Report.ComponentCount(), 1);
}

TEST(Component, NamesAreUniqueInTheReport)
{
    Env e;
    Named<TfrxMemoView>(e.Band, "Memo1");
    Named<TfrxMemoView>(e.Band, "Memo3");
    auto* m = new TfrxMemoView(e.Band);
    m->MakeUniqueName();
    EXPECT_EQ(m->Name(), "Memo2");
    try {
        m->SetName("MEMO1");
        ADD_FAILURE();
    } catch (const Exception& ex) {
        EXPECT_EQ(ex.Message(), "重复命名");
    }
    EXPECT_EQ(m->Name(), "Memo2");
    auto* b = new TfrxMasterData(e.Page);
    b->MakeUniqueName();
    EXPECT_EQ(b->Name(), "MasterData1");
    auto* pic = new TfrxPictureView(e.Band);
    pic->MakeUniqueName();
    EXPECT_EQ(pic->Name(), "Picture1");
}

TEST(Component, NamesFollowObjectsMovedBetweenReportsRenamedAndFreed)
{
    Env a;
    Env b;
    auto* m1 = Named<TfrxMemoView>(a.Band, "Memo1");
    auto* other = Named<TfrxMemoView>(b.Band, "Memo1");
    // A band and its objects move to another report, names and all.
    auto* band = Named<TfrxHeader>(a.Page, "Header1");
    auto* m2 = Named<TfrxMemoView>(band, "Memo2");
    band->SetParent(b.Page);
    EXPECT_EQ(a.Report.FindObject("Memo2"), nullptr);
    EXPECT_EQ(b.Report.FindObject("memo2"), m2);
    EXPECT_EQ(b.Page->FindObject("Header1"), band);
    EXPECT_EQ(b.Band->FindObject("Memo2"), nullptr);   // not below that band
    auto* m = new TfrxMemoView(a.Band);
    EXPECT_THROW(m->SetName("Memo1"), EComponentError);
    // Moving in an object of a name taken there leaves two: the walk order
    // decides which is found, and a third cannot take the name.
    m1->SetParent(b.Band);
    EXPECT_EQ(b.Report.FindObject("Memo1"), other);
    EXPECT_EQ(band->FindObject("Memo1"), nullptr);
    auto* third = new TfrxMemoView(band);
    EXPECT_THROW(third->SetName("Memo1"), EComponentError);
    FreeObject(other);
    EXPECT_EQ(b.Report.FindObject("Memo1"), m1);
    // Saving an object blanks its name for a while; it is found afterwards.
    TMemoryStream s;
    band->SaveToStream(&s);
    EXPECT_EQ(b.Report.FindObject("Header1"), band);
    m2->SetName("Total");
    EXPECT_EQ(b.Report.FindObject("Memo2"), nullptr);
    third->MakeUniqueName();
    EXPECT_EQ(third->Name(), "Memo2");
    FreeObject(b.Page);
    EXPECT_EQ(b.Report.FindObject("Total"), nullptr);
    EXPECT_EQ(b.Report.FindObject("Header1"), nullptr);
}

TEST(Component, RestrictionsBindOnlyDesignedObjects)
{
    Env e;
    auto* designed = static_cast<TfrxMemoView*>(
        TfrxComponent::CreateDesigned(TfrxMemoView::StaticClass(), e.Band));
    designed->SetRestrictions({rfDontMove, rfDontSize});
    designed->SetLeft(5);
    designed->SetWidth(5);
    EXPECT_EQ(designed->Left(), 0);
    EXPECT_EQ(designed->Width(), 0);
    auto* plain = new TfrxMemoView(e.Band);
    plain->SetRestrictions({rfDontMove});
    plain->SetLeft(5);
    EXPECT_EQ(plain->Left(), 5);
    auto* shape = static_cast<TfrxShapeView*>(
        TfrxComponent::CreateDesigned(TfrxShapeView::StaticClass(), e.Band, int(skDiamond)));
    EXPECT_EQ(shape->Shape, skDiamond);
}

TEST(Component, FontChangesFlowToChildrenThatFollowTheirParent)
{
    Env e;
    auto* follows = new TfrxMemoView(e.Band);
    auto* own = new TfrxMemoView(e.Band);
    own->Font()->SetName("宋体");
    EXPECT_FALSE(own->ParentFont());
    e.Band->Font()->SetHeight(-20);
    EXPECT_EQ(follows->Font()->Height(), -20);
    EXPECT_TRUE(follows->ParentFont());
    EXPECT_EQ(own->Font()->Height(), -13);
    EXPECT_FALSE(e.Band->ParentFont());
    own->SetParentFont(true);
    EXPECT_EQ(own->Font()->Name(), "Arial");
    EXPECT_EQ(own->Font()->Height(), -20);
}

TEST(Component, AbsolutePositionsStopAtDialogPages)
{
    Env e;
    e.Band->SetTop(100);
    auto* memo = new TfrxMemoView(e.Band);
    memo->SetBounds(10, 5, 1, 1);
    EXPECT_EQ(memo->AbsTop(), 105);
    auto* dlg = new TfrxDialogPage(&e.Report);
    dlg->SetTop(300);
    auto* ds = new TfrxUserDataSet(dlg);
    ds->SetTop(7);
    EXPECT_EQ(ds->AbsTop(), 7);
}

TEST(Component, AlignChildrenByNeighbours)
{
    Env e;
    e.Band->SetWidth(200);
    e.Band->SetHeight(50);
    auto make = [&](double l, double t, double w, TfrxAlign a) {
        auto* m = new TfrxMemoView(e.Band);
        m->SetBounds(l, t, w, 10);
        m->Align = a;
        return m;
    };
    auto* left = make(20, 0, 30, baNone);
    auto* toLeft = make(90, 0, 20, baLeft);
    auto* toRight = make(60, 0, 20, baRight);
    auto* alone = make(5, 30, 40, baRight);
    auto* centre = make(0, 40, 100, baCenter);
    auto* bottom = make(0, 12, 10, baBottom);
    e.Band->AlignChildren();
    EXPECT_EQ(toLeft->Left(), 50);
    EXPECT_EQ(toRight->Left(), 180);
    EXPECT_EQ(alone->Left(), 160);
    EXPECT_EQ(centre->Left(), 50);
    EXPECT_EQ(bottom->Top(), 40);
    EXPECT_EQ(left->Left(), 20);
}

TEST(Component, DiffAgainstATemplate)
{
    Env e;
    auto* a = new TfrxMemoView(e.Band);
    auto* t = new TfrxMemoView(e.Band);
    a->SetBounds(10, 0, 5, 0);
    a->SetVisible(false);
    a->Font()->SetStyle(TfrxFont::Bold | TfrxFont::Italic);
    a->SetText("x");
    EXPECT_EQ(a->Diff(t), " l=\"10\" w=\"5\" Visible=\"0\" Font.Style=\"3\" ParentFont=\"0\" x=\"x\"");
    a->SetText("a\r\nb");
    EXPECT_NE(a->Diff(t).find(" x=\"a&#13;&#10;b\""), std::string::npos);
    auto* band = new TfrxHeader(e.Page);
    EXPECT_EQ(band->Diff(e.Band), " t=\"0\"");
}

// ---- data sets ------------------------------------------------------------------------------

TEST(DataSet, CountedRange)
{
    TfrxUserDataSet ds(nullptr);
    ds.SetRangeEnd(reCount);
    ds.SetRangeEndCount(3);
    int nexts = 0;
    ds.OnNext = [&](TObject*) { ++nexts; };
    ds.First();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(ds.Eof()) << i;
        ds.Next();
    }
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(nexts, 2);
    TfrxUserDataSet open(nullptr);
    EXPECT_FALSE(open.Eof());
    open.OnCheckEOF = [](TObject*, bool& eof) { eof = true; };
    EXPECT_TRUE(open.Eof());
}

TEST(DataSet, UserNameFieldsAndAliases)
{
    TfrxUserDataSet ds(nullptr);
    ds.SetName("Students");
    EXPECT_EQ(ds.UserName(), "Students");
    ds.SetName("S2");
    EXPECT_EQ(ds.UserName(), "S2");
    ds.SetUserName("学员");
    ds.SetName("S3");
    EXPECT_EQ(ds.UserName(), "学员");
    EXPECT_THROW(ds.SetUserName("  "), EPropertyError);
    EXPECT_EQ(ds.UserName(), "学员");
    ds.Fields()->SetStrings({"Name", "Fee"});
    EXPECT_TRUE(ds.HasField("NAME"));
    EXPECT_FALSE(ds.HasField("Age"));
    EXPECT_EQ(ds.FieldsCount(), 2);
    EXPECT_TRUE(VarIsNull(ds.GetValue("Name")));
    ds.OnGetValue = [](const std::string& f, Variant& v) { v = Variant(f + "!"); };
    EXPECT_EQ(ds.GetDisplayText("Fee"), "Fee!");

    TfrxCustomDBDataSet db(nullptr);
    db.FieldAliases()->SetStrings({"Name=姓名", "Id=-Id"});
    EXPECT_EQ(db.ConvertAlias("姓名"), "Name");
    EXPECT_EQ(db.ConvertAlias("Other"), "Other");
}

TEST(DataSet, EachReportFindsItsOwnByUserName)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfrxReport a(nullptr), b(nullptr);
    auto* pa = new TfrxReportPage(&a);
    auto* pb = new TfrxReportPage(&b);
    auto* da = new TfrxUserDataSet(pa);
    da->SetName("Same");
    auto* db = new TfrxUserDataSet(pb);
    db->SetName("Same");
    EXPECT_EQ(frxClass::FindDataSet(nullptr, "same", &a), da);
    EXPECT_EQ(frxClass::FindDataSet(nullptr, "SAME", &b), db);
    EXPECT_EQ(frxClass::FindDataSet(da, "nothing", &b), da);
    EXPECT_EQ(frxClass::FindDataSet(da, "", &b), nullptr);
    TStringList list;
    frxClass::ListEnabledDataSets(&list);
    EXPECT_EQ(list.Count(), 2);
}

TEST(DataSet, ReportForgetsAFreedDataSet)
{
    Env e;
    auto* glue = new TComponent(nullptr);
    auto* ds = new TfrxUserDataSet(glue);
    ds->SetName("d0");
    e.Report.DataSets()->Add(ds);
    e.Band->SetDataSet(ds);
    EXPECT_EQ(e.Report.GetDataset("D0"), ds);
    EXPECT_EQ(e.Report.DataSetDisplayName(ds), "d0");
    auto* user = new TfrxUserDataSet(glue);
    user->SetName("u");
    e.Report.DataSets()->Add(user);
    auto* stray = new TfrxUserDataSet(glue);
    EXPECT_EQ(e.Report.DataSetDisplayName(stray), "(数据集未加入至 Report.DataSets)");
    TStringList list;
    e.Report.ListReportDataSets(&list, false);
    EXPECT_EQ(list.CommaText(), "d0,u");
    e.Report.ListReportDataSets(&list, true);
    EXPECT_EQ(list.Count(), 0);
    TfrxDataSet* found = nullptr;
    std::string field;
    e.Report.SplitFieldReference("D0.\"Fee\"", found, field);
    EXPECT_EQ(found, ds);
    EXPECT_EQ(field, "Fee");
    e.Report.SplitFieldReference("Fee", found, field);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(field, "");
    FreeObject(glue);
    EXPECT_EQ(e.Report.DataSets()->Count(), 0);
    EXPECT_EQ(e.Band->DataSet(), nullptr);
    EXPECT_EQ(e.Band->DataSetName(), "d0");
}

// ---- bands and pages ----------------------------------------------------------------------------

TEST(Page, NewPageAndDefaults)
{
    Env e;
    TfrxReportPage* p = e.Page;
    EXPECT_EQ(p->PaperSize(), 9);
    EXPECT_EQ(p->PaperWidth(), 210);
    EXPECT_EQ(p->PaperHeight(), 297);
    EXPECT_EQ(p->Bin, 7);
    EXPECT_EQ(p->LeftMargin, 0);
    EXPECT_TRUE(p->PrintIfEmpty);
    EXPECT_TRUE(p->TitleBeforeHeader);
    EXPECT_EQ(p->Width(), 794);
    EXPECT_EQ(p->Height(), 1123);
    p->SetDefaults();
    EXPECT_EQ(p->LeftMargin, 10);
    EXPECT_EQ(p->BottomMargin, 10);
    p->SetPaperWidth(100);
    EXPECT_EQ(p->PaperSize(), 256);
}

TEST(Page, OrientationRotatesMargins)
{
    Env e;
    TfrxReportPage* p = e.Page;
    p->LeftMargin = 10;
    p->RightMargin = 20;
    p->TopMargin = 30;
    p->BottomMargin = 40;
    p->SetOrientation(frxEnums::poLandscape);
    EXPECT_EQ(p->LeftMargin, 30);
    EXPECT_EQ(p->RightMargin, 40);
    EXPECT_EQ(p->TopMargin, 20);
    EXPECT_EQ(p->BottomMargin, 10);
    EXPECT_EQ(p->PaperWidth(), 297);
    p->SetOrientation(frxEnums::poLandscape);
    EXPECT_EQ(p->LeftMargin, 30);
    p->SetOrientation(frxEnums::poPortrait);
    EXPECT_EQ(p->LeftMargin, 10);
    EXPECT_EQ(p->TopMargin, 30);
}

TEST(Page, Columns)
{
    Env e;
    e.Page->SetDefaults();
    e.Page->SetColumns(3);
    EXPECT_NEAR(e.Page->ColumnWidth, 63.3333333, 1e-6);
    ASSERT_EQ(e.Page->ColumnPositions()->Count(), 3);
    EXPECT_EQ((*e.Page->ColumnPositions())[0], "0");
    EXPECT_EQ((*e.Page->ColumnPositions())[1], FloatToStr(190.0 / 3));
}

TEST(Band, ClassIndexAndDataBand)
{
    Env e;
    struct Case {
        TClass Class;
        int Index;
    } cases[] = {{TfrxReportTitle::StaticClass(), 0}, {TfrxPageFooter::StaticClass(), 3},
                 {TfrxMasterData::StaticClass(), 6},  {TfrxDataBand6::StaticClass(), 11},
                 {TfrxChild::StaticClass(), 14},      {TfrxOverlay::StaticClass(), 17},
                 {TfrxNullBand::StaticClass(), 0}};
    for (const auto& c : cases) {
        auto* b = static_cast<TfrxBand*>(c.Class->Create(e.Page));
        EXPECT_EQ(b->BandClassIndex(), c.Index) << c.Class->Name;
    }
    EXPECT_EQ(e.Band->BaseBandName(), "MasterData");
    e.Band->SetRowCount(5);
    TfrxUserDataSet* v = e.Band->VirtualDataSet();
    int rows = 0;
    for (v->First(); !v->Eof(); v->Next()) ++rows;
    EXPECT_EQ(rows, 5);
    auto* ds = new TfrxUserDataSet(e.Page);
    ds->SetName("Known");
    e.Band->SetDataSetName("known");
    EXPECT_EQ(e.Band->DataSet(), ds);
    e.Band->SetDataSetName("unknown");
    EXPECT_EQ(e.Band->DataSet(), ds);   // an unknown name keeps the link
    e.Band->Columns = 2;
    e.Band->ColumnWidth = 100;
    e.Band->ColumnGap = 10;
    e.Band->SetCurColumn(2);
    EXPECT_EQ(e.Band->Left(), 110);
    e.Band->SetCurColumn(3);
    EXPECT_EQ(e.Band->CurColumn(), 1);
    EXPECT_EQ(e.Band->Left(), 0);
}

TEST(Band, ChildAndSubreportLinksClearWhenTheTargetGoes)
{
    Env e;
    auto* child = new TfrxChild(e.Page);
    e.Band->SetChild(child);
    FreeObject(child);
    EXPECT_EQ(e.Band->Child(), nullptr);
    auto* page2 = new TfrxReportPage(&e.Report);
    auto* sub = new TfrxSubreport(e.Band);
    sub->SetSubPage(page2);
    EXPECT_TRUE(page2->IsSubReport());
    FreeObject(sub);
    EXPECT_FALSE(page2->IsSubReport());
}

// ---- styles --------------------------------------------------------------------------------------

TEST(Styles, NamesAndFiles)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfrxStyles set(nullptr);
    set.Name = "报表样式";
    auto* s1 = set.Add();
    s1->MakeUniqueName();
    auto* s2 = set.Add();
    s2->MakeUniqueName();
    EXPECT_EQ(s2->Name(), "Style2");
    auto* s3 = set.Add();
    s3->MakeUniqueName();
    EXPECT_EQ(s3->Name(), "Style3");
    EXPECT_THROW(s3->SetName("style1"), Exception);
    EXPECT_EQ(s3->Name(), "Style3");
    s1->Color = 0xFF;
    s1->Font()->SetName("黑体");
    s1->Frame()->Typ = TfrxFrameTypes{ftTop};
    EXPECT_EQ(set.Find("STYLE1"), s1);

    TStringStream out;
    set.SaveToStream(&out);
    TfrxStyles back(nullptr);
    TStringStream in(out.DataString());
    back.LoadFromStream(&in);
    EXPECT_EQ(back.Name, "报表样式");
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back.Items(0)->Font()->Name(), "黑体");
    EXPECT_EQ(back.Items(0)->Frame()->Typ, TfrxFrameTypes{ftTop});
    EXPECT_EQ(back.Items(1)->Color, clNone);

    TfrxStyleSheet sheet;
    sheet.Add()->Name = "A";
    TStringStream sheetOut;
    sheet.SaveToStream(&sheetOut);
    TStringStream wrongRoot(sheetOut.DataString());
    back.LoadFromStream(&wrongRoot);
    EXPECT_EQ(back.Count(), 0);
    TfrxStyleSheet sheet2;
    TStringStream sheetIn(sheetOut.DataString());
    sheet2.LoadFromStream(&sheetIn);
    ASSERT_EQ(sheet2.Count(), 1);
    EXPECT_EQ(sheet2.Find("a"), sheet2.Items(0));
    TStringStream broken("<?xml?><style Name=\"x\"><item");
    EXPECT_THROW(back.LoadFromStream(&broken), EfrxInvalidFileFormat);
}

TEST(Styles, ReportStylesReachTextObjects)
{
    Env e;
    auto* st = e.Report.Styles()->Add();
    st->SetName("Head");
    st->Color = 0x123456;
    auto* memo = new TfrxMemoView(e.Band);
    memo->SetStyle("head");
    EXPECT_EQ(memo->Color, 0x123456);
    st->Color = 0x654321;
    e.Report.Styles()->ReapplyToReport();
    EXPECT_EQ(memo->Color, 0x654321);
}

// ---- variables ---------------------------------------------------------------------------------

TEST(Variables, CategoriesAndValues)
{
    TfrxVariables v;
    EXPECT_TRUE(VarIsNull(v.Variables("nothing")));
    EXPECT_EQ(v.Count(), 0);
    for (const char* n : {" A", "x", "y", " B", "z"}) v.Add()->Name = n;
    TStringList list;
    v.ListCategories(&list);
    EXPECT_EQ(list.CommaText(), "A,B");
    v.ListCategoryVariables("A", &list);
    EXPECT_EQ(list.CommaText(), "x,y");
    v.ListCategoryVariables("", &list);
    EXPECT_EQ(list.Count(), 0);
    v.AddToCategory("A", "w", Variant(1));
    EXPECT_EQ(v.Items(3)->Name, "w");
    v.AddToCategory("B", "last", Variant(2));
    EXPECT_EQ(v.Items(v.Count() - 1)->Name, "last");
    v.AddToCategory("Nope", "q", Variant(3));
    EXPECT_EQ(v.IndexOf("q"), -1);
    v.RemoveCategory("A");
    v.ListCategories(&list);
    EXPECT_EQ(list.CommaText(), "B");
    EXPECT_EQ(v.Items(0)->Name, " B");
    v.SetVariables("New", Variant(5));
    EXPECT_EQ(v.Variables("NEW").AsInteger(), 5);
    v.RemoveVariable("new");
    EXPECT_EQ(v.IndexOf("New"), -1);
}

TEST(Variables, File)
{
    TfrxVariables v;
    v.SetVariables("Empty", Null());
    v.SetVariables("Num", Variant(12.5));
    v.SetVariables("Text", Variant("恒岳\r\n\"驾校\""));
    TStringStream out;
    v.SaveToStream(&out);
    EXPECT_NE(out.DataString().find("<item Name=\"Empty\"/>"), std::string::npos);
    TfrxVariables back;
    TStringStream in(out.DataString());
    back.LoadFromStream(&in);
    ASSERT_EQ(back.Count(), 3);
    EXPECT_TRUE(VarIsNull(back.Items(0)->Value));
    EXPECT_TRUE(VarIsStr(back.Items(1)->Value));
    EXPECT_EQ(VarToStr(back.Items(1)->Value), FloatToStr(12.5));
    EXPECT_EQ(VarToStr(back.Items(2)->Value), "恒岳\r\n\"驾校\"");
    TStringStream other(std::string(frxXML::XMLHeader) + "<style><item Name=\"x\"/></style>");
    back.LoadFromStream(&other);
    EXPECT_EQ(back.Count(), 0);
}

}  // namespace
