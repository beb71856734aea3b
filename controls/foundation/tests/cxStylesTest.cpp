#include "cxStyles.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A control's styles object that logs the indexes it is told about and
// supplies fixed defaults.
class TTestStyles : public TcxStyles {
    QZ_CLASS(TTestStyles, TcxStyles)
public:
    explicit TTestStyles(TPersistent* AOwner = nullptr) : TcxStyles(AOwner) { SetUseBitmapInViewParams(true); }
    std::vector<int> Log;
    TFont ControlFont;
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override
    {
        TcxStyles::GetDefaultViewParams(Index, AData, AParams);
        AParams.Color = 0x111111;
        AParams.TextColor = 0x222222;
        AParams.Font = &ControlFont;
    }
protected:
    void Changed(int Index) override { Log.push_back(Index); }
};
QZ_CLASS_IMPL(TTestStyles, TcxStyles)

class TTestSheet : public TcxCustomStyleSheet {
    QZ_CLASS(TTestSheet, TcxCustomStyleSheet)
public:
    using TcxCustomStyleSheet::TcxCustomStyleSheet;
    TClass StylesClass() const override { return TTestStyles::StaticClass(); }
};
QZ_CLASS_IMPL(TTestSheet, TcxCustomStyleSheet)

class TOtherSheet : public TcxCustomStyleSheet {
    QZ_CLASS(TOtherSheet, TcxCustomStyleSheet)
public:
    using TcxCustomStyleSheet::TcxCustomStyleSheet;
};
QZ_CLASS_IMPL(TOtherSheet, TcxCustomStyleSheet)

class StylesTest : public ::testing::Test {
protected:
    TComponent Form{nullptr};
    TcxStyleRepository* Repo = new TcxStyleRepository(&Form);
    TcxStyle* NewStyle() { return static_cast<TcxStyle*>(Repo->NewStyle(TcxStyle::StaticClass())); }
    TTestSheet* NewSheet() { return static_cast<TTestSheet*>(Repo->NewStyleSheet(TTestSheet::StaticClass())); }
    static TTestStyles* StylesOf(TcxCustomStyleSheet* s) { return static_cast<TTestStyles*>(s->Styles()); }
};

TEST_F(StylesTest, AssignedFlagsFollowTheValues)
{
    TcxStyle* s = NewStyle();
    int changes = 0;
    TTestStyles users;
    users.SetStyle(0, s);
    users.Log.clear();

    s->SetColor(clRed);
    EXPECT_TRUE(s->AssignedValues().Contains(svColor));
    s->SetColor(clDefault);
    EXPECT_FALSE(s->AssignedValues().Contains(svColor));
    s->SetTextColor(clBlue);
    EXPECT_TRUE(s->AssignedValues().Contains(svTextColor));

    TBitmap bmp(4, 4);
    s->SetBitmap(&bmp);
    EXPECT_TRUE(s->AssignedValues().Contains(svBitmap));
    s->SetBitmap(nullptr);
    EXPECT_FALSE(s->AssignedValues().Contains(svBitmap));

    s->Font()->SetSize(20);
    EXPECT_TRUE(s->AssignedValues().Contains(svFont));
    s->Font()->SetSize(9);
    EXPECT_TRUE(s->AssignedValues().Contains(svFont));   // never removed by a font change
    changes = int(users.Log.size());
    EXPECT_GE(changes, 6);
    for (int i : users.Log) EXPECT_EQ(i, 0);

    s->ResetValues();
    EXPECT_TRUE(s->AssignedValues().Empty());
    EXPECT_EQ(s->Color(), clDefault);
    EXPECT_EQ(s->Font()->Size(), 9);   // the font keeps its properties
}

TEST_F(StylesTest, AssignCopiesValuesAndFlagsExactly)
{
    TcxStyle* a = NewStyle();
    TcxStyle* b = NewStyle();
    a->SetColor(clYellow);
    a->Font()->SetName("黑体");
    a->SetAssignedValues(TcxStyleValues{svColor});   // the font flag dropped by hand
    b->SetTextColor(clRed);
    b->Assign(a);
    EXPECT_EQ(b->Color(), clYellow);
    EXPECT_EQ(b->Font()->Name(), "黑体");
    EXPECT_TRUE(b->AssignedValues() == TcxStyleValues{svColor});
    EXPECT_THROW(b->Assign(Repo), EConvertError);
}

TEST_F(StylesTest, PairsStaySortedAndSheetFillsGaps)
{
    TcxStyle* own = NewStyle();
    TcxStyle* own2 = NewStyle();
    TcxStyle* fromSheet = NewStyle();
    TTestSheet* sheet = NewSheet();
    StylesOf(sheet)->SetStyle(5, fromSheet);

    TTestStyles styles(&Form);
    styles.SetStyle(7, own2);
    styles.SetStyle(3, own);
    ASSERT_EQ(styles.PairCount(), 2);
    EXPECT_EQ(styles.Pair(0).Index, 3);
    int pos = -1;
    EXPECT_FALSE(styles.Find(5, pos));
    EXPECT_EQ(pos, 1);
    styles.AttachStyleSheet(sheet);
    EXPECT_EQ(styles.GetStyle(3), own);
    EXPECT_EQ(styles.GetStyle(5), fromSheet);
    EXPECT_EQ(styles.GetStyle(6), nullptr);

    Form.SetComponentStateFlag(csWriting, true);
    EXPECT_EQ(styles.GetStyle(5), nullptr);   // only own pairs are written
    Form.SetComponentStateFlag(csWriting, false);

    styles.Log.clear();
    styles.SetStyle(5, fromSheet);   // equal to the sheet's: nothing stored
    EXPECT_EQ(styles.PairCount(), 2);
    EXPECT_TRUE(styles.Log.empty());
    styles.SetStyle(5, own);
    EXPECT_EQ(styles.PairCount(), 3);
    EXPECT_EQ(styles.Log, std::vector<int>{5});
    styles.SetStyle(3, nullptr);
    EXPECT_EQ(styles.PairCount(), 2);
}

TEST_F(StylesTest, AttachingTellsEachCoveredIndexOnce)
{
    TTestSheet* base = NewSheet();
    TTestSheet* sheet = NewSheet();
    StylesOf(base)->SetStyle(2, NewStyle());
    StylesOf(sheet)->SetStyle(1, NewStyle());
    StylesOf(sheet)->SetStyle(2, NewStyle());
    StylesOf(sheet)->AttachStyleSheet(base);

    TTestStyles styles;
    styles.AttachStyleSheet(sheet);
    std::map<int, int> counts;
    for (int i : styles.Log) ++counts[i];
    EXPECT_EQ(counts, (std::map<int, int>{{1, 1}, {2, 1}}));

    styles.Log.clear();
    styles.AttachStyleSheet(nullptr);
    EXPECT_EQ(styles.Log.size(), 2u);
}

TEST_F(StylesTest, RefusedSheets)
{
    TTestSheet* a = NewSheet();
    TTestSheet* b = NewSheet();
    auto* other = static_cast<TcxCustomStyleSheet*>(Repo->NewStyleSheet(TOtherSheet::StaticClass()));
    StylesOf(b)->AttachStyleSheet(a);
    EXPECT_EQ(StylesOf(b)->StyleSheet(), a);

    StylesOf(a)->AttachStyleSheet(a);   // its own
    EXPECT_EQ(StylesOf(a)->StyleSheet(), nullptr);
    StylesOf(a)->AttachStyleSheet(b);   // b leads back to a
    EXPECT_EQ(StylesOf(a)->StyleSheet(), nullptr);
    TTestStyles styles;
    styles.AttachStyleSheet(other);     // another styles class
    EXPECT_EQ(styles.StyleSheet(), nullptr);
}

TEST_F(StylesTest, StyleChangesReachFollowersOfTheSheet)
{
    TcxStyle* s = NewStyle();
    TTestSheet* sheet = NewSheet();
    StylesOf(sheet)->SetStyle(4, s);
    TTestStyles f1, f2;
    f1.AttachStyleSheet(sheet);
    f2.AttachStyleSheet(sheet);
    f1.Log.clear();
    f2.Log.clear();
    s->SetColor(clGreen);
    EXPECT_EQ(f1.Log, std::vector<int>{4});
    EXPECT_EQ(f2.Log, std::vector<int>{4});
}

TEST_F(StylesTest, OneStyleOnTwoIndexesKeepsListeningAfterOneGoes)
{
    TcxStyle* s = NewStyle();
    TTestStyles styles;
    styles.SetStyle(1, s);
    styles.SetStyle(2, s);
    styles.SetStyle(1, nullptr);
    styles.Log.clear();
    s->SetColor(clRed);
    EXPECT_EQ(styles.Log, std::vector<int>{2});
}

TEST_F(StylesTest, FreeingStylesAndSheetsLeavesNoDanglingReference)
{
    TcxStyle* s = NewStyle();
    TTestSheet* sheet = NewSheet();
    TTestStyles styles;
    styles.SetStyle(1, s);
    styles.SetStyle(8, s);
    styles.AttachStyleSheet(sheet);
    styles.Log.clear();
    FreeObject(s);
    EXPECT_EQ(styles.PairCount(), 0);
    EXPECT_EQ(styles.Log, (std::vector<int>{8, 1}));
    EXPECT_EQ(Repo->Count(), 0);
    FreeObject(sheet);
    EXPECT_EQ(styles.StyleSheet(), nullptr);
    EXPECT_EQ(Repo->StyleSheetCount(), 0);
}

TEST_F(StylesTest, ViewParamsResolution)
{
    TcxStyle* s1 = NewStyle();
    TcxStyle* s2 = NewStyle();
    TTestStyles styles;
    styles.SetStyle(0, s2);
    s1->SetColor(clRed);
    s2->SetColor(clBlue);
    s2->SetTextColor(clLime);
    TBitmap bmp(2, 2);
    s2->SetBitmap(&bmp);

    TcxStyleParams p;
    styles.GetViewParams(0, nullptr, s1, p);
    EXPECT_EQ(p.Color, clRed);             // the extra style first
    EXPECT_EQ(p.TextColor, clLime);        // then the element's
    EXPECT_EQ(p.Bitmap, s2->Bitmap());
    EXPECT_EQ(p.Font, &styles.ControlFont);   // then the defaults

    styles.GetViewParams(3, nullptr, nullptr, p);
    EXPECT_EQ(p.Color, 0x111111);
    EXPECT_EQ(p.TextColor, 0x222222);
    EXPECT_EQ(p.Bitmap, nullptr);
    EXPECT_EQ(styles.HighestDefaultIndex(), 3);

    s2->SetColor(clDefault);
    styles.GetViewParams(0, nullptr, nullptr, p);
    EXPECT_EQ(p.Color, 0x111111);
}

TEST_F(StylesTest, FontListenerReportsOnlyIndexesUsingTheControlFont)
{
    TcxStyle* withFont = NewStyle();
    withFont->Font()->SetSize(14);
    TTestStyles styles;
    styles.SetStyle(1, withFont);
    TcxStyleParams p;
    styles.GetViewParams(2, nullptr, nullptr, p);   // raises the highest default index
    styles.Log.clear();
    styles.ControlFontChanged(nullptr, &styles.ControlFont);
    EXPECT_EQ(styles.Log, (std::vector<int>{0, 2}));
    styles.Log.clear();
    TFont unrelated;
    styles.ControlFontChanged(nullptr, &unrelated);
    EXPECT_TRUE(styles.Log.empty());
}

TEST_F(StylesTest, SheetCaptionAndFakeLinks)
{
    TTestSheet* sheet = NewSheet();
    sheet->SetName("Sheet1");
    EXPECT_EQ(sheet->Caption(), "Sheet1");
    sheet->SetCaption("sheet1");
    EXPECT_FALSE(sheet->IsCaptionStored());
    sheet->SetCaption("学员表格");
    EXPECT_EQ(sheet->Caption(), "学员表格");

    TComponent otherForm(nullptr);
    auto* foreign = static_cast<TcxStyle*>(Repo->NewStyleWithOwner(TcxStyle::StaticClass(), &otherForm));
    Form.SetDesigning(true);
    StylesOf(sheet)->SetStyle(0, NewStyle());
    StylesOf(sheet)->SetStyle(1, foreign);
    EXPECT_EQ(sheet->FakeComponentLink1(), foreign);
    EXPECT_EQ(sheet->FakeComponentLink2(), nullptr);
    Form.SetDesigning(false);
    FreeObject(foreign);
}

TEST_F(StylesTest, RepositoryStreamsItsChildrenAndCreatesByName)
{
    cxStyles::Initialize();
    EXPECT_EQ(GetClass("TcxStyle"), TcxStyle::StaticClass());
    NewStyle();
    NewSheet();
    std::vector<std::string> kinds;
    Repo->GetChildren([&](TComponent* c) { kinds.push_back(c->ClassName()); }, Repo);
    EXPECT_EQ(kinds, (std::vector<std::string>{"TcxStyle", "TTestSheet"}));
    TcxStyle* s = NewStyle();
    EXPECT_EQ(s->GetParentComponent(), Repo);
    EXPECT_FALSE(IsStoredProp(s, "Color"));
    s->SetColor(clRed);
    EXPECT_TRUE(IsStoredProp(s, "Color"));
}

}  // namespace
