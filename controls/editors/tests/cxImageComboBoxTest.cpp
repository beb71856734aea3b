#include "cxImageComboBox.h"
#include "cxMRUEdit.h"

#include "EditOnForm.h"
#include "SysUtils.h"

namespace {

// Three 16 by 16 pictures: red, green, blue.
std::unique_ptr<TImageList> ThreePictures()
{
    auto il = std::make_unique<TImageList>(nullptr);
    il->SetSize(16, 16);
    for (TColor c : {clRed, clLime, clBlue}) {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->FillRect(TRect{0, 0, 16, 16});
        il->Add(&b, nullptr);
    }
    return il;
}

class ImageComboBoxTest : public TEditOnForm<TcxImageComboBox> {
protected:
    void SetUp() override
    {
        TEditOnForm::SetUp();
        Images = ThreePictures();
        Combo = Edit;
        Combo->SetBounds(10, 10, 160, 21);
        TcxCustomImageComboBoxProperties* p = Combo->Properties();
        p->SetImages(Images.get());
        const char* names[] = {"小型汽车", "大型客车", "摩托车"};
        for (int i = 0; i < 3; ++i) {
            TcxImageComboBoxItem* it = p->Items()->Add();
            it->SetDescription(names[i]);
            it->SetValue(Variant(10 * (i + 1)));
        }
        p->SetDefaultDescription("未知");
        p->SetDefaultImageIndex(2);
        GuiTest::ProcessEvents();
    }
    TcxImageComboBoxViewInfo* ViewInfo()
    {
        Combo->ShortRefreshContainer(false);
        return dynamic_cast<TcxImageComboBoxViewInfo*>(Combo->EditViewInfo());
    }
    std::unique_ptr<TImageList> Images;
    TcxImageComboBox* Combo = nullptr;
};

}  // namespace

TEST_F(ImageComboBoxTest, TheValueChoosesThePictureAndDescription)
{
    struct Case {
        int value;
        int image;
        const char* text;
    } cases[] = {{20, 1, "大型客车"}, {30, 2, "摩托车"}, {99, 2, "未知"}};
    for (const Case& c : cases) {
        Combo->SetEditValue(Variant(c.value));
        TcxImageComboBoxViewInfo* vi = ViewInfo();
        ASSERT_NE(vi, nullptr);
        EXPECT_EQ(vi->ImageIndex, c.image) << c.value;
        EXPECT_EQ(vi->Text, c.text) << c.value;
        EXPECT_EQ(Combo->Properties()->GetDisplayText(Variant(c.value)), c.text);
    }
    // The picture stands left of the text, centred vertically.
    Combo->SetEditValue(Variant(10));
    TcxImageComboBoxViewInfo* vi = ViewInfo();
    EXPECT_EQ(vi->ImageRect.Width(), 16);
    EXPECT_GE(vi->TextRect.Left, vi->ImageRect.Right + 2);
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Combo));
    TPoint mid{(vi->ImageRect.Left + vi->ImageRect.Right) / 2, (vi->ImageRect.Top + vi->ImageRect.Bottom) / 2};
    EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(mid.X, mid.Y)), ColorToRGB(clRed));
    // Without descriptions only the picture, centred.
    Combo->Properties()->SetShowDescriptions(false);
    vi = ViewInfo();
    EXPECT_TRUE(vi->Text.empty());
    const TRect& c = vi->ContentRect;
    EXPECT_LE(std::abs((vi->ImageRect.Left - c.Left) - (c.Right - vi->ImageRect.Right)), 1);
}

TEST_F(ImageComboBoxTest, NewItemsTakeTheirOwnPictureWhileThereIsOne)
{
    TcxImageComboBoxProperties p;
    p.SetImages(Images.get());
    std::vector<int> indexes;
    for (int i = 0; i < 5; ++i) indexes.push_back(p.Items()->Add()->ImageIndex());
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2, -1, -1}));
    EXPECT_TRUE(VarIsNull(p.Items()->Items(0)->Value()));
    // A freed list leaves the properties.
    p.SetImages(nullptr);
    auto other = ThreePictures();
    p.SetLargeImages(other.get());
    other.reset();
    EXPECT_EQ(p.LargeImages(), nullptr);
}

TEST_F(ImageComboBoxTest, LookupsOperationsAndTheRegistry)
{
    TcxImageComboBoxProperties p;
    TcxImageComboBoxItem* yes = p.Items()->Add();
    yes->SetValue(Variant(std::string("True")));
    yes->SetDescription("合格");
    EXPECT_EQ(p.FindItemByValue(Variant(true)), yes);   // a Boolean meets the text
    EXPECT_EQ(p.FindItemByValue(Variant(false)), nullptr);
    EXPECT_EQ(p.FindItemByText("合格"), yes);
    struct Case {
        bool buttons, descriptions;
        uint16_t ops;
    } cases[] = {{true, true, 0x1BC}, {true, false, 0x19C}, {false, true, 0x1AC}, {false, false, 0x18C}};
    for (const Case& c : cases) {
        if (!c.buttons) p.Buttons()->Clear();
        else if (p.Buttons()->Count() == 0) p.Buttons()->Add();
        p.SetShowDescriptions(c.descriptions);
        EXPECT_EQ(p.GetSupportedOperations(), c.ops) << c.buttons << c.descriptions;
    }
    EXPECT_EQ(p.FindItemByText("合格"), nullptr);   // descriptions off: no text lookups
    EXPECT_EQ(p.DropDownListStyle(), lsFixedList);
    cxImageComboBox::Initialize();
    cxMRUEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    EXPECT_EQ(r->GetDescription(r->IndexOfClass(TcxImageComboBoxProperties::StaticClass())),
              "ImageComboBox|Represents an editor displaying the list of images and text strings within the "
              "dropdown window");
    EXPECT_EQ(r->GetDescription(r->IndexOfClass(TcxMRUEditProperties::StaticClass())),
              "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a "
              "dropdown window");
}

TEST_F(ImageComboBoxTest, ChoosingInThePopupSetsTheItemsValue)
{
    Combo->SetEditValue(Variant(10));
    Combo->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_F4);
    GuiTest::ProcessEvents();
    ASSERT_TRUE(Combo->HasPopupWindow());
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Combo->EditValue().AsInteger(), 10);
    std::unique_ptr<TBitmap> popup(GuiTest::Grab(Combo->PopupWindow()));
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(popup.get(), std::string(dir) + "/image-combo.png");
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Combo->HasPopupWindow());
    EXPECT_EQ(Combo->EditValue().AsInteger(), 30);
    EXPECT_EQ(ViewInfo()->Text, "摩托车");
}

// ---- the most-recently-used edit ------------------------------------------------------------------------

TEST(MRUEditPropertiesTest, TheEllipsisIsTheSecondButtonAndTheCountIsNeverNegative)
{
    TcxMRUEditProperties p;
    ASSERT_EQ(p.Buttons()->Count(), 2);
    EXPECT_EQ(p.Buttons()->Items(1)->Kind(), bkEllipsis);
    EXPECT_TRUE(p.Buttons()->Items(1)->Default());
    EXPECT_EQ(p.GetDropDownButtonIndex(), 0);   // the popup opens with button 0
    EXPECT_EQ(p.DropDownButtonIndex(), 1);      // the glyph is the ellipsis'
    EXPECT_EQ(p.DropDownListStyle(), lsEditList);
    EXPECT_EQ(p.ClickKey(), 16397);
    for (const char* s : {"a", "b", "c"}) p.LookupItems()->Add(s);
    p.SetMaxItemCount(-1);
    EXPECT_EQ(p.MaxItemCount(), 0);
    EXPECT_EQ(p.LookupItems()->Count(), 3);
    p.SetMaxItemCount(2);
    EXPECT_EQ(p.LookupItems()->Count(), 2);
    p.SetShowEllipsis(false);
    EXPECT_FALSE(p.Buttons()->Items(1)->Visible());
    EXPECT_EQ(p.DropDownButtonIndex(), 0);
    TcxMRUEditProperties q;
    p.Update(&q);
    EXPECT_EQ(q.LookupItems()->Count(), 2);
}

TEST(MRUEditTest, EnteredTextsGoFirstUpToTheMaximum)
{
    GuiTest::Init();
    cxLookAndFeels::Initialize();
    std::unique_ptr<TForm> form(new TForm(nullptr));
    form->SetBounds(100, 100, 300, 200);
    auto* e = new TcxMRUEdit(form.get());
    e->SetParent(form.get());
    e->Properties()->SetMaxItemCount(3);
    e->Properties()->SetValidateOnEnter(true);
    form->Show();
    GuiTest::ProcessEvents();
    e->SetFocus();
    GuiTest::ProcessEvents();
    auto enter = [&](const std::string& s) {
        e->SelectAll();
        GuiTest::TypeText(s);
        // Typing opened the list of earlier texts: the first Enter closes it.
        if (e->HasPopupWindow()) GuiTest::KeyPress(VK_RETURN);
        GuiTest::KeyPress(VK_RETURN);
        GuiTest::ProcessEvents();
    };
    for (const char* s : {"a", "b", "c", "d"}) enter(s);
    auto items = [&] {
        std::vector<std::string> v;
        for (int i = 0; i < e->Properties()->LookupItems()->Count(); ++i)
            v.push_back(e->Properties()->LookupItems()->Strings(i));
        return v;
    };
    EXPECT_EQ(items(), (std::vector<std::string>{"d", "c", "b"}));
    enter("B");   // found again without regard to case: moves first
    EXPECT_EQ(items(), (std::vector<std::string>{"b", "d", "c"}));
    e->AddItem("");
    EXPECT_EQ(items().size(), 3u);
    // The ellipsis fires the edit's own event only.
    int own = 0, common = 0;
    e->Properties()->OnButtonClick = [&](TObject* s) {
        EXPECT_EQ(s, e);
        ++own;
    };
    e->Properties()->TcxCustomEditProperties::OnButtonClick = [&](TObject*, int) { ++common; };
    GuiTest::KeyPress(VK_RETURN, {ssCtrl});
    GuiTest::ProcessEvents();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(common, 0);
}
