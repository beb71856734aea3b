// The image editor: stored values and their decoding, the picture routines,
// the context menu, the clipboard keys, scrolling and painting.
#include "cxEditDBRegisteredRepositoryItems.h"
#include "cxImage.h"

#include "EditOnForm.h"
#include "EditSurface.h"
#include "RecordingHost.h"

#include "Clipbrd.h"
#include "Jpeg.h"
#include "Menus.h"
#include "Streams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

// A w x h bitmap of colour c with a black top-left pixel.
std::unique_ptr<TBitmap> MakeBitmap(int w, int h, TColor c)
{
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(TRect{0, 0, w, h});
    b->Canvas()->SetPixels(0, 0, clBlack);
    return b;
}

std::string BytesOf(TGraphic* g)
{
    TMemoryStream s;
    g->SaveToStream(&s);
    return std::string(static_cast<const char*>(s.Memory()), size_t(s.Size()));
}

std::string BmpBytes(int w, int h, TColor c = clRed) { return BytesOf(MakeBitmap(w, h, c).get()); }

std::string JpegBytes(int w, int h)
{
    auto b = MakeBitmap(w, h, clBlue);
    TJPEGImage j;
    j.Assign(b.get());
    j.JPEGNeeded();
    return BytesOf(&j);
}

// The 8-byte header a graphic field may put before a picture's bytes.
std::string WithHeader(const std::string& bytes, int sizeDelta = 0)
{
    const uint32_t n = uint32_t(bytes.size()) + uint32_t(sizeDelta);
    std::string h = {1, 0, 0, 1, char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char(n >> 24)};
    return h + bytes;
}

TEST(ImagePictureRoutines, StoredValuesDecodeByWhatTheirBytesAre)
{
    struct Case {
        const char* Name;
        std::string Value;
        TGraphicClass GraphicClass;
        bool Decodes;
        TClass Expected;
        int Width;
    };
    const std::string bmp = BmpBytes(7, 5), jpeg = JpegBytes(9, 4);
    const Case cases[] = {
        {"bitmap", bmp, TBitmap::StaticClass(), true, TBitmap::StaticClass(), 7},
        {"bitmap after a field header", WithHeader(bmp), TBitmap::StaticClass(), true, TBitmap::StaticClass(), 7},
        // A size one off is no header: the bytes are read from the start, and they are no picture.
        {"header with a wrong size", WithHeader(bmp, 1), TBitmap::StaticClass(), false, nullptr, 0},
        // The class asked for does not decide: JPEG bytes stay readable under the bitmap class.
        {"JPEG under the bitmap class", jpeg, TBitmap::StaticClass(), true, TJPEGImage::StaticClass(), 9},
        {"JPEG without a class", WithHeader(jpeg), nullptr, true, TJPEGImage::StaticClass(), 9},
        {"bitmap under the JPEG class", bmp, TJPEGImage::StaticClass(), true, TBitmap::StaticClass(), 7},
        {"broken JPEG", jpeg.substr(0, 40), TBitmap::StaticClass(), false, nullptr, 0},
        {"text", std::string("not a picture at all"), TBitmap::StaticClass(), false, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TPicture picture;
        picture.Assign(MakeBitmap(3, 3, clGreen).get());   // something to replace
        std::string error;
        EXPECT_EQ(cxImage::LoadPictureFromValue(&picture, c.GraphicClass, Variant(c.Value), &error), c.Decodes);
        EXPECT_EQ(error.empty(), c.Decodes);
        EXPECT_EQ(picture.Graphic() ? picture.Graphic()->ClassType() : nullptr, c.Expected);
        EXPECT_EQ(picture.Width(), c.Width);
        if (c.Decodes) {   // what is saved reads back the same
            TPicture again;
            ASSERT_TRUE(cxImage::LoadPictureFromValue(&again, c.GraphicClass,
                                                      Variant(cxImage::SavePictureToString(&picture))));
            EXPECT_EQ(again.Graphic()->ClassType(), c.Expected);
            EXPECT_EQ(again.Height(), picture.Height());
        }
    }
    // Values of any other type, and empty ones, are no picture and no error.
    for (const Variant& v : {Null(), Variant(5), Variant::FromWide(bmp), Variant(std::string())}) {
        TPicture picture;
        picture.Assign(MakeBitmap(3, 3, clGreen).get());
        EXPECT_TRUE(cxImage::LoadPictureFromValue(&picture, nullptr, v));
        EXPECT_TRUE(cxImage::IsPictureBlank(&picture));
    }
    EXPECT_EQ(cxImage::SavePictureToString(nullptr), "");
}

TEST(ImagePictureRoutines, FitPictureRectKeepsProportionsAtTheTopLeft)
{
    struct Case {
        TRect R;
        int W, H;
        TRect Expected;
    };
    const Case cases[] = {
        {{0, 0, 100, 100}, 300, 100, {0, 0, 100, 33}},
        {{10, 20, 110, 120}, 100, 300, {10, 20, 43, 120}},
        {{0, 0, 200, 100}, 50, 50, {0, 0, 100, 100}},
        {{0, 0, 40, 30}, 4, 3, {0, 0, 40, 30}},
        {{5, 5, 5, 50}, 10, 10, {5, 5, 5, 50}},   // an empty rectangle stays
    };
    for (const Case& c : cases) EXPECT_EQ(cxImage::FitPictureRect(c.R, c.W, c.H), c.Expected);
}

TEST(ImagePictureRoutines, GraphicClassesAreFoundByName)
{
    EXPECT_EQ(cxImage::FindGraphicClass("tjpegimage"), TJPEGImage::StaticClass());
    EXPECT_EQ(cxImage::FindGraphicClass("TBitmap"), TBitmap::StaticClass());
    EXPECT_EQ(cxImage::FindGraphicClass("TPicture"), nullptr);
    EXPECT_EQ(cxImage::GraphicClassList().front(), TBitmap::StaticClass());
    const size_t n = cxImage::GraphicClassList().size();
    cxImage::AddGraphicClass(TIcon::StaticClass());   // listed already
    EXPECT_EQ(cxImage::GraphicClassList().size(), n);
}

TEST(ImageProperties, GraphicClassNameAndItsEmptyMark)
{
    TcxImageProperties p;
    EXPECT_EQ(p.GraphicClass(), TBitmap::StaticClass());
    EXPECT_FALSE(p.IsGraphicClassNameStored());
    p.SetGraphicClassName("TJPEGImage");
    EXPECT_EQ(p.GraphicClass(), TJPEGImage::StaticClass());
    p.SetGraphicClassName("TNoSuchGraphic");   // ignored
    EXPECT_EQ(p.GraphicClass(), TJPEGImage::StaticClass());
    p.SetGraphicClassName("");
    EXPECT_EQ(p.GraphicClass(), nullptr);
    EXPECT_EQ(p.GetGraphicClass(true), TBitmap::StaticClass());   // pasting makes a bitmap
    EXPECT_EQ(p.GetGraphicClass(false), nullptr);
}

TEST(ImageProperties, AnEmptyGraphicClassSurvivesStoringThroughItsMark)
{
    GuiTest::Init();
    for (const char* name : {"", "TJPEGImage", "TBitmap"}) {
        SCOPED_TRACE(name);
        TMemoryStream stream;
        {
            TcxImage source(nullptr);
            source.SetName("Photo");
            source.Properties()->SetGraphicClassName(name);
            stream.WriteComponent(&source);
        }
        stream.SetPosition(0);
        TcxImage read(nullptr);
        read.Properties()->SetGraphicClass(TIcon::StaticClass());
        stream.ReadComponent(&read);
        const std::string expected = *name ? name : "";
        // Not stored when it is the default: the reader's own class stays then.
        EXPECT_EQ(read.Properties()->GraphicClassName(), std::string(name) == "TBitmap" ? "TIcon" : expected);
    }
}

TEST(ImageProperties, CopiedWithoutTheFocusRectangle)
{
    TcxImageProperties p;
    p.SetGraphicClassName("");
    TcxImageProperties copy;
    p.SetCaption("无照片");
    p.SetStretch(true);
    p.SetShowFocusRect(false);
    copy.Assign(&p);
    EXPECT_EQ(copy.Caption(), "无照片");
    EXPECT_TRUE(copy.Stretch());
    EXPECT_EQ(copy.GraphicClass(), nullptr);
    EXPECT_TRUE(copy.ShowFocusRect());   // not copied
    EXPECT_EQ(copy.GetDisplayText(Null()), "");
    EXPECT_EQ(copy.GetDisplayText(Variant(std::string("x"))), "无照片");
}

TEST(ImageUnit, RegistersTheEditorAndThePictureFieldDefault)
{
    cxEditDBRegisteredRepositoryItems::Initialize();
    cxImage::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    int i = r->IndexOfClass(TcxImageProperties::StaticClass());
    ASSERT_GE(i, 0);
    EXPECT_EQ(r->GetDescription(i), "Image|Represents an image editor");
    TcxEditRepositoryItem* item =
        cxEditDBRegisteredRepositoryItems::GetDefaultEditDBRepositoryItems()->GetItemByFieldType(ftGraphic);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->ClassType(), TcxEditRepositoryImageItem::StaticClass());
    EXPECT_EQ(item->Properties()->ClassType(), TcxImageProperties::StaticClass());
}

// ---- the edit on a form ----------------------------------------------------------------------------------

class ImageTest : public TEditOnForm<TcxImage> {
protected:
    void SetUp() override
    {
        TEditOnForm<TcxImage>::SetUp();
        cxImage::Initialize();
        Edit->SetBounds(10, 10, 120, 120);
        GuiTest::ProcessEvents();
    }
    void SetBitmapValue(int w, int h, TColor c = clRed) { Edit->SetEditValue(Variant(BmpBytes(w, h, c))); }
    // Visible and enabled states of the menu's items, by position.
    std::vector<std::pair<bool, bool>> MenuStates()
    {
        Edit->PrepareContextMenu();
        std::vector<std::pair<bool, bool>> r;
        TMenuItem* root = Edit->ContextMenu()->Items();
        for (int i = 0; i < root->Count(); ++i) r.emplace_back(root->Items(i)->Visible(), root->Items(i)->Enabled());
        return r;
    }
};

TEST_F(ImageTest, AValueNoDecoderTakesIsReportedAndKeptUntilReplaced)
{
    const std::string broken = "BM this is no bitmap";
    Edit->SetEditValue(Variant(broken));
    EXPECT_TRUE(cxImage::IsPictureBlank(Edit->Picture()));
    EXPECT_FALSE(Edit->LoadError().empty());
    // Posting the edit's value gives back the stored bytes, not an empty picture.
    EXPECT_EQ(VarToStr(Edit->EditValue()), broken);
    EXPECT_FALSE(Edit->Modified());
    // The reason shows where the picture would be.
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->ImageViewInfo()->LoadError, Edit->LoadError());
    // Changing how the edit shows things keeps the bytes.
    Edit->Properties()->SetCaption("照片");
    Edit->Properties()->SetStretch(true);
    EXPECT_EQ(VarToStr(Edit->EditValue()), broken);

    // The user's delete drops the bytes.
    Edit->MenuCommand(3);
    EXPECT_TRUE(Edit->EditValue().IsNull());
    EXPECT_TRUE(Edit->LoadError().empty());
    EXPECT_TRUE(Edit->ModifiedAfterEnter());

    // A good value after a bad one shows and saves normally.
    SetBitmapValue(4, 6);
    EXPECT_TRUE(Edit->LoadError().empty());
    EXPECT_EQ(Edit->Picture()->Width(), 4);
    TPicture back;
    ASSERT_TRUE(cxImage::LoadPictureFromValue(&back, nullptr, Edit->EditValue()));
    EXPECT_EQ(back.Height(), 6);
    Edit->SetEditValue(Null());
    EXPECT_TRUE(Edit->EditValue().IsNull());
}

TEST_F(ImageTest, ContextMenuItemsFollowTheEditsState)
{
    // Positions: cut, copy, paste, delete, line, load, save, line, custom.
    Clipboard()->Clear();
    struct Case {
        const char* Name;
        bool ReadOnly, Blank;
        TGraphicClass GraphicClass;
        std::vector<bool> Enabled;   // cut, copy, paste, delete, load, save
    };
    const Case cases[] = {
        {"editable with a picture", false, false, TBitmap::StaticClass(), {1, 1, 0, 1, 1, 1}},
        {"editable and blank", false, true, TBitmap::StaticClass(), {0, 0, 0, 0, 1, 0}},
        {"read-only with a picture", true, false, TBitmap::StaticClass(), {0, 1, 0, 0, 0, 1}},
        {"icons", false, false, TIcon::StaticClass(), {0, 0, 0, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Edit->Properties()->SetReadOnly(c.ReadOnly);
        Edit->Properties()->SetGraphicClass(c.GraphicClass);
        if (c.Blank) Edit->SetEditValue(Null());
        else SetBitmapValue(5, 5);
        auto s = MenuStates();
        ASSERT_EQ(s.size(), 9u);
        const int positions[] = {0, 1, 2, 3, 5, 6};
        for (int k = 0; k < 6; ++k) EXPECT_EQ(s[size_t(positions[k])].second, c.Enabled[size_t(k)]) << k;
    }
    Edit->Properties()->SetReadOnly(false);
    Edit->Properties()->SetGraphicClass(TBitmap::StaticClass());
    // Paste follows the clipboard.
    Clipboard()->Assign(MakeBitmap(2, 2, clLime).get());
    EXPECT_TRUE(MenuStates()[2].second);
    // Visibility follows the layout; the lines go with what they separate.
    TcxPopupMenuLayout* layout = Edit->Properties()->PopupMenuLayout();
    layout->SetMenuItems(TcxPopupMenuItems{pmiCopy, pmiCustom});
    layout->SetCustomMenuItemCaption("自定义");
    auto s = MenuStates();
    const bool visible[] = {false, true, false, false, false, false, false, true, true};
    for (size_t i = 0; i < 9; ++i) EXPECT_EQ(s[i].first, visible[i]) << i;
    EXPECT_EQ(Edit->ContextMenu()->Items()->Items(8)->Caption(), "自定义");
    EXPECT_EQ(Edit->ContextMenu()->Items()->Items(0)->Caption(), "Cu&t");
    int custom = 0;
    Edit->Properties()->OnCustomClick = [&](TObject* s) {
        EXPECT_EQ(s, Edit);
        ++custom;
    };
    Edit->MenuCommand(6);
    EXPECT_EQ(custom, 1);
}

TEST_F(ImageTest, AKeyboardMenuOpensAtTenTenAndItsCommandsRun)
{
    SetBitmapValue(8, 8);
    Edit->SetFocus();
    GuiTest::ProcessEvents();
    std::vector<GuiTest::TShownMenuItem> shown;
    GuiTest::Later([&] {
        shown = GuiTest::ShownPopupMenu();
        GuiTest::ChoosePopupMenuItem("&Delete");
    });
    // Through the control's context-menu path, as the keyboard's menu key does.
    Edit->Perform(WM_CONTEXTMENU, WPARAM(Edit->Handle()), LPARAM(-1));
    GuiTest::ProcessEvents();
    ASSERT_NE(Edit->ContextMenu(), nullptr);
    EXPECT_EQ(Edit->ContextMenu()->PopupPoint(), Edit->ClientToScreen(TPoint{10, 10}));
    // The custom command and its line are hidden by default.
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0].Caption, "Cu&t");
    EXPECT_EQ(shown[6].Caption, "Save &As...");
    EXPECT_TRUE(Edit->EditValue().IsNull());   // the delete ran
}

TEST_F(ImageTest, ClipboardKeysCopyCutAndPaste)
{
    Clipboard()->Clear();
    SetBitmapValue(6, 3, clYellow);
    Edit->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_INSERT, TShiftState{ssCtrl});   // copy
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    GuiTest::KeyPress(VK_DELETE, TShiftState{ssShift});   // cut
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Edit->EditValue().IsNull());
    EXPECT_TRUE(Edit->ModifiedAfterEnter());
    GuiTest::KeyPress(VK_INSERT, TShiftState{ssShift});   // paste
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->Picture()->Width(), 6);
    EXPECT_EQ(Edit->Picture()->Height(), 3);

    // Pasted into the JPEG class, the picture is stored as JPEG and reads back.
    Edit->Properties()->SetGraphicClass(TJPEGImage::StaticClass());
    Edit->SetEditValue(Null());
    GuiTest::KeyPress('V', TShiftState{ssCtrl});
    GuiTest::ProcessEvents();
    ASSERT_NE(Edit->Picture()->Graphic(), nullptr);
    EXPECT_EQ(Edit->Picture()->Graphic()->ClassType(), TJPEGImage::StaticClass());
    TPicture back;
    ASSERT_TRUE(cxImage::LoadPictureFromValue(&back, TBitmap::StaticClass(), Edit->EditValue()));
    EXPECT_EQ(back.Width(), 6);

    // Icons: nothing pastes, but Ctrl+C still copies what is there.
    Edit->Properties()->SetGraphicClass(TIcon::StaticClass());
    EXPECT_FALSE(Edit->CanPasteFromClipboard());
    Clipboard()->Clear();
    GuiTest::KeyPress('C', TShiftState{ssCtrl});
    GuiTest::ProcessEvents();
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));

    // A read-only edit keeps its picture.
    Edit->Properties()->SetGraphicClass(TBitmap::StaticClass());
    SetBitmapValue(6, 3, clYellow);   // unmodified again
    Edit->Properties()->SetReadOnly(true);
    GuiTest::KeyPress('X', TShiftState{ssCtrl});
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->EditValue().IsNull());
}

TEST_F(ImageTest, LoadAndSaveGoThroughTheFileDialogs)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    char dir[] = "/tmp/qz-image-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string jpg = std::string(dir) + "/photo.jpg", saved = std::string(dir) + "/saved.jpg";
    {
        TFileStream f(jpg, fmCreate);
        std::string bytes = JpegBytes(12, 10);
        f.WriteBuffer(bytes.data(), int(bytes.size()));
    }
    // The bitmap class does not keep a JPEG file from being loaded and stored readably.
    host->QueueOpenFile({jpg});
    Edit->MenuCommand(4);
    ASSERT_EQ(host->CallsOf(THostCallKind::OpenFile).size(), 1u);
    EXPECT_NE(host->CallsOf(THostCallKind::OpenFile)[0].Request.Filter.find("bmp"), std::string::npos);
    EXPECT_EQ(Edit->Picture()->Width(), 12);
    TPicture back;
    ASSERT_TRUE(cxImage::LoadPictureFromValue(&back, TBitmap::StaticClass(), Edit->EditValue()));
    EXPECT_EQ(back.Height(), 10);
    // Saving offers the picture's own format.
    Edit->Properties()->SetCustomFilter("");
    host->QueueSaveFile({saved});
    Edit->MenuCommand(5);
    ASSERT_EQ(host->CallsOf(THostCallKind::SaveFile).size(), 1u);
    EXPECT_EQ(host->CallsOf(THostCallKind::SaveFile)[0].Request.DefaultExt, "jpg");
    TPicture file;
    file.LoadFromFile(saved);
    EXPECT_EQ(file.Width(), 12);
    // Cancelling changes nothing.
    host->QueueOpenFile({});
    Edit->MenuCommand(4);
    EXPECT_EQ(Edit->Picture()->Width(), 12);
    std::remove(jpg.c_str());
    std::remove(saved.c_str());
    rmdir(dir);
}

TEST_F(ImageTest, ScrollBarsOnlyForALargePictureAtItsOwnSize)
{
    SetBitmapValue(400, 300);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->HScrollBar()->Visible());   // centred: no bars
    Edit->Properties()->SetCenter(false);
    GuiTest::ProcessEvents();
    ASSERT_TRUE(Edit->HScrollBar()->Visible());
    ASSERT_TRUE(Edit->VScrollBar()->Visible());
    Edit->VScrollBar()->Scroll(scLineDown);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->ImageViewInfo()->ScrollOffset.Y, 8);
    // The far end stops at the last page.
    Edit->HScrollBar()->Scroll(scBottom);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Edit->ImageViewInfo()->ScrollOffset.X, 400 - Edit->HScrollBar()->PageSize());
    Edit->Properties()->SetStretch(true);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(Edit->HScrollBar()->Visible());
    EXPECT_EQ(Edit->ImageViewInfo()->ScrollOffset, (TPoint{0, 0}));
}

TEST_F(ImageTest, AStretchedPictureKeepsItsProportionsOnTheBackground)
{
    Edit->Style()->SetColor(clWhite);
    Edit->Properties()->SetStretch(true);
    Edit->Properties()->SetShowFocusRect(false);
    Edit->SetBounds(10, 10, 104, 104);   // a 100 by 100 client area inside the border
    SetBitmapValue(300, 100, clRed);
    GuiTest::ProcessEvents();
    const TRect c = Edit->ImageViewInfo()->ContentRect;
    ASSERT_EQ(c.Width(), 100);
    ASSERT_EQ(c.Height(), 100);
    for (bool center : {false, true}) {
        Edit->Properties()->SetCenter(center);
        GuiTest::ProcessEvents();
        std::unique_ptr<TBitmap> shot(GuiTest::Grab(Edit));
        ASSERT_TRUE(shot);
        const int top = c.Top + (center ? (100 - 33) / 2 : 0);
        auto at = [&](int x, int y) { return ColorToRGB(shot->Canvas()->Pixels(x, y)); };
        EXPECT_EQ(at(c.Left + 50, top + 16), ColorToRGB(clRed)) << center;
        EXPECT_EQ(at(c.Left + 50, top + 40), ColorToRGB(clWhite)) << center;
        EXPECT_EQ(at(c.Left + 50, center ? top - 3 : c.Bottom - 2), ColorToRGB(clWhite)) << center;
    }
}

TEST(ImageViewData, AHostPaintsAValueWithoutAnEdit)
{
    GuiTest::Init();
    cxImage::Initialize();
    TcxImageProperties p;
    p.SetCaption("空");
    TcxEditStyle style(nullptr, true);
    auto data = p.CreateViewData(&style, true);
    TcxImageViewInfo vi;
    TEditTestSurface s(60, 40);
    data->Calculate(s.Canvas.get(), TRect{0, 0, 60, 40}, TPoint{-1, -1}, 0, {}, &vi, false);
    data->PrepareDrawValue(s.Canvas.get(), Variant(BmpBytes(20, 10, clBlue)), &vi);
    ASSERT_NE(vi.Picture(), nullptr);
    EXPECT_EQ(vi.Picture()->Width(), 20);
    vi.Paint(s.Canvas.get());
    EXPECT_GT(s.Count(clBlue), 150);
    // A value that is no picture paints its caption; bytes no decoder takes report why.
    data->PrepareDrawValue(s.Canvas.get(), Variant(std::string("BMxx")), &vi);
    EXPECT_TRUE(cxImage::IsPictureBlank(vi.Picture()));
    EXPECT_FALSE(vi.LoadError.empty());
    data->PrepareDrawValue(s.Canvas.get(), Null(), &vi);
    EXPECT_TRUE(vi.LoadError.empty());
    // Measuring in place: the picture's size, or the caption's when there is none.
    TEditTestSurface m(10, 10);
    TSize size = data->GetEditSize(m.Canvas.get(), Variant(BmpBytes(30, 12)), TcxEditSizeProperties{});
    TRect border = data->GetBorderExtent();
    EXPECT_EQ(size.cy - border.Top - border.Bottom, 12);
    p.SetStretch(true);
    auto stretched = p.CreateViewData(&style, true);
    size = stretched->GetEditSize(m.Canvas.get(), Variant(BmpBytes(30, 12)), TcxEditSizeProperties{0, 60});
    EXPECT_EQ(size.cy - border.Top - border.Bottom, 24);
}

TEST_F(ImageTest, PictureWithChineseCaptionForTheEye)
{
    // Not checked by pixels: saved for a person to look at.
    auto b = MakeBitmap(160, 100, clSkyBlue);
    b->Canvas()->Brush()->SetColor(clGreen);
    b->Canvas()->Ellipse(20, 20, 140, 90);
    b->Canvas()->Brush()->SetColor(clYellow);
    b->Canvas()->Ellipse(110, 8, 140, 38);
    Edit->SetEditValue(Variant(BytesOf(b.get())));
    Edit->Properties()->SetStretch(true);
    auto* empty = new TcxImage(Form);
    empty->SetParent(Form);
    empty->SetBounds(140, 10, 120, 120);
    empty->Properties()->SetCaption("暂无照片");
    auto* broken = new TcxImage(Form);
    broken->SetParent(Form);
    broken->SetBounds(270, 10, 120, 120);
    broken->SetEditValue(Variant(std::string("BM broken")));
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Form));
    ASSERT_TRUE(shot);
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(shot.get(), std::string(dir) + "/editors_image.png");
}

}  // namespace
