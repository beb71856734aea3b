// The blob edit: display texts, kinds and icons, the popup memo and popup
// image with their dialog buttons and closing keys, and what closing keeps.
#include "cxBlobEdit.h"
#include "cxButtons.h"
#include "cxEditDBRegisteredRepositoryItems.h"

#include "EditOnForm.h"
#include "EditSurface.h"

#include "DB.h"
#include "Streams.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::string BmpBytes(int w, int h, TColor c)
{
    TBitmap b(w, h);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(TRect{0, 0, w, h});
    TMemoryStream s;
    b.SaveToStream(&s);
    return std::string(static_cast<const char*>(s.Memory()), size_t(s.Size()));
}

TEST(BlobDisplayText, ByKindAndPaintStyle)
{
    TcxBlobEditProperties p;
    const std::string hundred = "  " + std::string("第一行\r\n") + std::string(93, 'x');
    struct Case {
        TcxBlobEditKind Kind;
        TcxBlobPaintStyle Style;
        Variant Value;
        bool FullText;
        std::string Expected;
    };
    const Case cases[] = {
        {bekMemo, bpsDefault, Null(), false, "(memo)"},
        {bekMemo, bpsDefault, Variant(std::string()), false, "(MEMO)"},   // only Null is empty here
        {bekMemo, bpsDefault, Variant("text"), false, "(MEMO)"},
        {bekPict, bpsDefault, Null(), false, "(picture)"},
        {bekPict, bpsDefault, Variant("x"), false, "(PICTURE)"},
        {bekOle, bpsDefault, Variant("x"), false, ""},
        {bekMemo, bpsIcon, Variant("text"), false, ""},
        {bekMemo, bpsIcon, Variant("whole\r\ntext"), true, "whole\r\ntext"},
        // From the first visible character, 80 characters (not bytes), breaks as blanks.
        {bekMemo, bpsText, Variant(hundred), false, "第一行  " + std::string(75, 'x')},
        {bekMemo, bpsText, Variant(5), false, ""},
        {bekPict, bpsText, Variant("x"), false, ""},
    };
    for (const Case& c : cases) {
        p.SetBlobEditKind(c.Kind);
        p.SetBlobPaintStyle(c.Style);
        EXPECT_EQ(cxBlobEdit::GetBlobDisplayText(c.Value, &p, c.FullText), c.Expected)
            << int(c.Kind) << "/" << int(c.Style) << "/" << VarToStr(c.Value);
    }
    // The properties' text names the kind.
    struct KindText {
        TcxBlobEditKind Kind;
        const char* Text;
    };
    p.SetBlobPaintStyle(bpsDefault);
    for (KindText k : {KindText{bekMemo, "(MEMO)"}, KindText{bekPict, "(PICTURE)"}, KindText{bekOle, "OLE"},
                       KindText{bekBlob, "BLOB"}, KindText{bekAuto, ""}}) {
        p.SetBlobEditKind(k.Kind);
        EXPECT_EQ(p.GetDisplayText(Variant("v")), k.Text);
        EXPECT_EQ(p.GetDisplayText(Null()), "");
    }
}

TEST(BlobKinds, ProviderKindsIconsAndTheButton)
{
    struct Case {
        int ProviderKind;
        TcxBlobEditKind Kind;
    };
    for (Case c : {Case{0, bekBlob}, Case{1, bekBlob}, Case{2, bekPict}, Case{3, bekMemo}, Case{4, bekOle},
                   Case{0x83, bekMemo}, Case{9, bekBlob}})
        EXPECT_EQ(cxBlobEdit::BlobKindOfProviderKind(c.ProviderKind), c.Kind) << c.ProviderKind;

    struct Icon {
        TcxBlobEditKind Kind;
        Variant Value;
        int Index;
    };
    for (const Icon& i : {Icon{bekBlob, Null(), 0}, Icon{bekBlob, Variant("b"), 1}, Icon{bekMemo, Variant(""), 2},
                          Icon{bekMemo, Variant("m"), 3}, Icon{bekPict, Null(), 4}, Icon{bekPict, Variant("p"), 5},
                          Icon{bekOle, Null(), 6}, Icon{bekOle, Variant("o"), 7}})
        EXPECT_EQ(cxBlobEdit::IconIndex(i.Kind, i.Value), i.Index);

    TcxBlobEditProperties p;
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkEllipsis);
    p.SetBlobEditKind(bekPict);
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkDown);
    p.SetBlobEditKind(bekOle);
    EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkEllipsis);
    EXPECT_EQ(p.GetSupportedOperations(), 16);
    EXPECT_TRUE(p.ImmediatePopup());
    EXPECT_EQ(p.PopupMinWidth(), 160);
    EXPECT_EQ(p.PopupMinHeight(), 140);

    // An automatic kind takes the value source's, once: without a source a blob.
    TcxBlobEditProperties free;
    free.ResolveBlobEditKind();
    EXPECT_EQ(free.BlobEditKind(), bekBlob);
    TDataSet ds;
    auto* notes = new TMemoField(&ds);
    notes->SetFieldName("Notes");
    notes->SetDataSet(&ds);
    ds.CreateDataSet();
    TcxCustomDBEditDefaultValuesProvider provider;
    provider.SetField(notes);
    TcxBlobEditProperties bound;
    bound.SetDefaultValuesProvider(&provider);
    int changes = 0;
    bound.OnPropertiesChanged = [&](TObject*) { ++changes; };
    bound.ResolveBlobEditKind();
    EXPECT_EQ(bound.BlobEditKind(), bekMemo);
    EXPECT_EQ(changes, 0);   // quietly
    // A memo field's text is a blob to its provider: no display formatting.
    EXPECT_EQ(bound.UsesDisplayFormatting(false), 0u);
    bound.SetDefaultValuesProvider(nullptr);
    EXPECT_EQ(bound.UsesDisplayFormatting(false), 1u);
}

TEST(BlobViewData, APaintedCellShowsTheIconOfItsKindAndValue)
{
    GuiTest::Init();
    cxBlobEdit::Initialize();
    TcxBlobEditProperties p;
    p.SetBlobEditKind(bekMemo);
    TcxEditStyle style(nullptr, true);
    auto data = p.CreateViewData(&style, true);
    TcxBlobEditViewInfo vi;
    TEditTestSurface s(60, 20);
    data->Calculate(s.Canvas.get(), TRect{0, 0, 60, 20}, TPoint{-1, -1}, 0, {}, &vi, false);
    data->PrepareDrawValue(s.Canvas.get(), Variant("备注"), &vi);
    EXPECT_EQ(vi.IconIndex, 3);
    EXPECT_EQ(vi.IconRect.Right - vi.IconRect.Left, 18);
    vi.Paint(s.Canvas.get());
    EXPECT_GT(s.Count(clBlack, vi.IconRect), 20);   // the icon's outline
    p.SetBlobPaintStyle(bpsText);
    auto text = p.CreateViewData(&style, true);
    text->Calculate(s.Canvas.get(), TRect{0, 0, 60, 20}, TPoint{-1, -1}, 0, {}, &vi, false);
    text->PrepareDrawValue(s.Canvas.get(), Variant("备注"), &vi);
    EXPECT_EQ(vi.IconIndex, -1);
    EXPECT_EQ(vi.Text, "备注");
}

TEST(BlobUnit, RegistersTheEditorAndTheLargeValueFieldDefaults)
{
    cxEditDBRegisteredRepositoryItems::Initialize();
    cxBlobEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    int i = r->IndexOfClass(TcxBlobEditProperties::StaticClass());
    ASSERT_GE(i, 0);
    EXPECT_EQ(r->GetDescription(i), "BlobEdit|Represents the BLOB editor");
    auto* db = cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems();
    for (TFieldType t : {ftBytes, ftVarBytes, ftBlob, ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary}) {
        TcxEditRepositoryItem* item = db->GetItemByFieldType(t);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->ClassType(), TcxEditRepositoryBlobItem::StaticClass()) << FieldTypeName(t);
    }
    EXPECT_NE(db->GetItemByFieldType(ftBlob), db->GetItemByFieldType(ftBytes));   // one item each
}

// ---- the popup ---------------------------------------------------------------------------------------------

class BlobEditTest : public TEditOnForm<TcxBlobEdit> {
protected:
    void SetUp() override
    {
        TEditOnForm<TcxBlobEdit>::SetUp();
        cxBlobEdit::Initialize();
        Edit->SetBounds(10, 10, 160, 21);
        Edit->SetFocus();
        GuiTest::ProcessEvents();
    }
    void Open()
    {
        Edit->DropDown();
        GuiTest::ProcessEvents();
    }
    // Closes the open popup with a key pressed in its editor.
    void CloseWithKey(WORD AKey, TShiftState AShift = {})
    {
        ASSERT_TRUE(Edit->PopupEditor());
        WORD key = AKey;
        Edit->PopupEditorKeyDown(key, AShift, Edit->PopupImage() != nullptr ||
                                                  !Edit->Properties()->MemoWantReturns());
        GuiTest::ProcessEvents();
    }
};

TEST_F(BlobEditTest, KeysInThePopupEditorTable)
{
    struct Case {
        WORD Key;
        TShiftState Shift;
        bool AlwaysSave, EnterCloses;
        int Result;
    };
    const Case cases[] = {
        {VK_ESCAPE, {}, true, false, 2},  {VK_ESCAPE, {}, false, false, 2},
        {VK_F4, {}, true, false, 1},      {VK_F4, {}, false, false, 2},
        {VK_F4, {ssAlt}, true, false, 0}, {VK_UP, {ssAlt}, true, false, 1},
        {VK_DOWN, {ssAlt}, false, false, 2}, {VK_DOWN, {}, true, false, 0},
        {VK_RETURN, {}, true, false, 0},  {VK_RETURN, {}, true, true, 1},
        {VK_RETURN, {ssCtrl}, false, false, 1}, {'A', {}, true, true, 0},
    };
    for (const Case& c : cases) {
        Edit->Properties()->SetAlwaysSaveData(c.AlwaysSave);
        EXPECT_EQ(Edit->PopupEditorKeyResult(c.Key, c.Shift, c.EnterCloses), c.Result)
            << c.Key << " always=" << c.AlwaysSave << " enter=" << c.EnterCloses;
    }
}

TEST_F(BlobEditTest, TheMemoPopupEditsTheTextAndItsButtonsSit)
{
    Edit->Properties()->SetBlobEditKind(bekMemo);
    Edit->SetEditValue(Variant("第一行\r\n第二行"));
    Open();
    ASSERT_TRUE(Edit->HasPopupWindow());
    TcxPopupMemo* memo = Edit->PopupMemo();
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Parent(), Edit->PopupWindow());
    EXPECT_EQ(VarToStr(memo->EditValue()), "第一行\r\n第二行");
    ASSERT_NE(Edit->OKButton(), nullptr);
    ASSERT_NE(Edit->CancelButton(), nullptr);
    EXPECT_EQ(Edit->OKButton()->Caption(), "&OK");
    EXPECT_EQ(Edit->CancelButton()->Caption(), "&Cancel");
    EXPECT_FALSE(Edit->OKButton()->Enabled());   // nothing changed yet
    EXPECT_EQ(Edit->OKButton()->ModalResult(), mrOk);
    EXPECT_EQ(Edit->CancelButton()->ModalResult(), mrCancel);
    // In the system panel at the bottom right, OK before Cancel, one height.
    const TRect ok = Edit->OKButton()->BoundsRect(), cancel = Edit->CancelButton()->BoundsRect();
    EXPECT_LT(ok.Right, cancel.Left);
    EXPECT_EQ(ok.Top, cancel.Top);
    EXPECT_EQ(ok.Width(), cancel.Width());
    EXPECT_LE(cancel.Right, Edit->PopupWindow()->Width());
    EXPECT_GT(cancel.Top, memo->BoundsRect().Bottom - 1);

    memo->SetFocus();
    GuiTest::TypeText("新");
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->OKButton()->Enabled());
    EXPECT_TRUE(Edit->OKButton()->Default());
    CloseWithKey(VK_RETURN, TShiftState{ssCtrl});   // keeps, though the memo wants returns
    EXPECT_FALSE(Edit->HasPopupWindow());
    EXPECT_EQ(Edit->PopupEditor(), nullptr);         // made anew for each opening
    EXPECT_NE(VarToStr(Edit->EditValue()).find("新"), std::string::npos);
    EXPECT_TRUE(Edit->ModifiedAfterEnter());
}

TEST_F(BlobEditTest, ButtonsFollowTheSystemPanelToTheTopWhenThePopupOpensAbove)
{
    // With no room below the edit the popup opens above it, its grip and panel at the top.
    const TRect work = Screen->WorkAreaRect();
    Form->SetBounds(100, work.Bottom - 80, 400, 80);
    GuiTest::ProcessEvents();
    Edit->Properties()->SetBlobEditKind(bekMemo);
    Edit->SetEditValue(Variant("上方"));
    Open();
    ASSERT_TRUE(Edit->HasPopupWindow());
    TcxCustomEditPopupWindow* w = Edit->PopupWindow();
    ASSERT_LT(w->Top(), Form->Top());
    EXPECT_LT(w->SizeGripCorner(), 2);
    const TRect cancel = Edit->CancelButton()->BoundsRect();
    EXPECT_LT(cancel.Bottom, Edit->PopupMemo()->BoundsRect().Top + 1);
    EXPECT_TRUE(Edit->CancelButton()->Anchors().Contains(akTop));
    EXPECT_EQ(Edit->OKButton()->Top(), cancel.Top);
    CloseWithKey(VK_ESCAPE);
}

TEST_F(BlobEditTest, WhatClosingKeeps)
{
    Edit->Properties()->SetBlobEditKind(bekMemo);
    struct Case {
        const char* Name;
        bool AlwaysSave, Change;
        WORD Key;
        bool Kept;
    };
    const Case cases[] = {
        {"Esc drops a change", true, true, VK_ESCAPE, false},
        {"F4 keeps it while data is always saved", true, true, VK_F4, true},
        {"F4 drops it otherwise", false, true, VK_F4, false},
        {"an untouched popup leaves the value", true, false, VK_F4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Edit->Properties()->SetAlwaysSaveData(c.AlwaysSave);
        Edit->SetEditValue(Variant("原文"));
        Open();
        ASSERT_TRUE(Edit->PopupMemo());
        if (c.Change) {
            Edit->PopupMemo()->SetFocus();
            GuiTest::TypeText("z");
            GuiTest::ProcessEvents();
        }
        CloseWithKey(c.Key);
        EXPECT_FALSE(Edit->HasPopupWindow());
        const std::string value = VarToStr(Edit->EditValue());
        EXPECT_EQ(value != "原文", c.Kept);
        // The text as the memo held it: no line break added at its end.
        if (c.Kept) {
            EXPECT_EQ(value.size(), std::string("原文z").size());
        }
    }
}

TEST_F(BlobEditTest, APictureThatCannotBeDecodedSurvivesTheOKOfAnUntouchedPopup)
{
    Edit->Properties()->SetBlobEditKind(bekPict);
    const std::string broken = "BM no picture here";
    Edit->SetEditValue(Variant(broken));
    Open();
    TcxPopupImage* image = Edit->PopupImage();
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->LoadError().empty());   // reported in the popup
    EXPECT_TRUE(image->Properties()->Stretch());
    EXPECT_FALSE(image->Properties()->ShowFocusRect());
    CloseWithKey(VK_RETURN);   // Enter always closes a picture popup as OK
    EXPECT_FALSE(Edit->HasPopupWindow());
    EXPECT_EQ(VarToStr(Edit->EditValue()), broken);

    // A picture put in and taken with OK becomes the value.
    Edit->SetEditValue(Null());
    Open();
    ASSERT_TRUE(Edit->PopupImage());
    std::string bytes = BmpBytes(5, 4, clRed);
    Edit->PopupImage()->UserChange([&] { Edit->PopupImage()->ChangeEditValue(Variant(bytes)); });
    Edit->PopupImage()->SetModifiedAfterEnter(true);
    CloseWithKey(VK_RETURN);
    TPicture back;
    ASSERT_TRUE(cxImage::LoadPictureFromValue(&back, nullptr, Edit->EditValue()));
    EXPECT_EQ(back.Width(), 5);
}

TEST_F(BlobEditTest, ReadOnlyShowsOnlyClose)
{
    Edit->Properties()->SetBlobEditKind(bekMemo);
    Edit->Properties()->SetReadOnly(true);
    Edit->SetEditValue(Variant("只读"));
    Open();
    ASSERT_TRUE(Edit->HasPopupWindow());
    EXPECT_EQ(Edit->OKButton(), nullptr);
    ASSERT_NE(Edit->CancelButton(), nullptr);
    EXPECT_EQ(Edit->CancelButton()->Caption(), "&Close");
    EXPECT_TRUE(Edit->PopupMemo()->Properties()->ReadOnly());
    CloseWithKey(VK_ESCAPE);
    EXPECT_EQ(VarToStr(Edit->EditValue()), "只读");
}

TEST_F(BlobEditTest, OleAndBinaryValuesHaveNoPopup)
{
    for (TcxBlobEditKind k : {bekOle, bekBlob}) {
        Edit->Properties()->SetBlobEditKind(k);
        Edit->SetEditValue(Variant("raw"));
        Open();
        EXPECT_FALSE(Edit->HasPopupWindow());
        EXPECT_EQ(Edit->PopupEditor(), nullptr);
    }
}

TEST_F(BlobEditTest, AutoReplaceTypesTheOpeningCharacterIntoTheMemo)
{
    Edit->Properties()->SetBlobEditKind(bekMemo);
    Edit->Properties()->SetMemoAutoReplace(true);
    Edit->SetEditValue(Variant("old"));
    Open();
    ASSERT_TRUE(Edit->PopupMemo());
    Edit->PopupWindow()->ForwardChar(U'甲');
    EXPECT_EQ(Edit->GetTextForLookup(), "甲");
    EXPECT_EQ(Edit->PopupMemo()->SelStart(), 1);
    EXPECT_TRUE(Edit->PopupMemo()->ModifiedAfterEnter());
    CloseWithKey(VK_F4);
    EXPECT_EQ(VarToStr(Edit->EditValue()), "甲");
}

TEST_F(BlobEditTest, MemoPopupWithChineseTextForTheEye)
{
    // Not checked by pixels: saved for a person to look at.
    Edit->Properties()->SetBlobEditKind(bekMemo);
    Edit->SetEditValue(Variant("学员备注：\r\n科目二倒车入库需加强练习。\r\n下次预约：周三上午"));
    Open();
    ASSERT_TRUE(Edit->HasPopupWindow());
    Edit->PopupMemo()->SetFocus();
    GuiTest::TypeText("好");
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> popup(GuiTest::Grab(Edit->PopupWindow()));
    std::unique_ptr<TBitmap> form(GuiTest::Grab(Form));
    ASSERT_TRUE(popup && form);
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) {
        GuiTest::SavePng(popup.get(), std::string(dir) + "/editors_blob_popup.png");
        GuiTest::SavePng(form.get(), std::string(dir) + "/editors_blob_edit.png");
    }
    CloseWithKey(VK_ESCAPE);
}

}  // namespace
