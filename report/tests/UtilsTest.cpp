// Texts, utility routines, pictures as data and the design-time registries.
#include "frxClass.h"
#include "frxDsgnIntf.h"
#include "frxFiler.h"
#include "frxXML.h"
#include "frxRes.h"
#include "frxUtils.h"

#include "RecordingHost.h"
#include "Streams.h"
#include "StringLists.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

namespace {

using namespace frxUtils;

TEST(Resources, TextsByKey)
{
    TfrxResources& r = frxRes::Resources();
    EXPECT_EQ(r.Get("mbError"), "错误");
    EXPECT_EQ(r.Get("MBERROR"), "错误");
    EXPECT_EQ(r.Get("clDSNotExist"), "数据集 \"%s\" 不存在");
    EXPECT_EQ(r.Get("noSuchKey"), "noSuchKey");
    int n = r.TextCount();
    r.Add("mbInfo", "消息");
    EXPECT_EQ(r.TextCount(), n);
    EXPECT_EQ(r.Get("mbInfo"), "消息");
    r.Add("mbInfo", "信息");
}

class TLocalizedForm : public TComponent {
    QZ_CLASS(TLocalizedForm, TComponent)
public:
    using TComponent::TComponent;
    std::string Caption = "before";
};
class TLabelLike : public TComponent {
    QZ_CLASS(TLabelLike, TComponent)
public:
    using TComponent::TComponent;
    std::string Caption = "label";
};
void FormProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishString<TLocalizedForm>("Caption", &TLocalizedForm::Caption, &TLocalizedForm::Caption));
}
void LabelProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishString<TLabelLike>("Caption", &TLabelLike::Caption, &TLabelLike::Caption));
}
QZ_CLASS_IMPL_PROPS(TLocalizedForm, TComponent, FormProps)
QZ_CLASS_IMPL_PROPS(TLabelLike, TComponent, LabelProps)

TEST(Resources, LocalizeForm)
{
    TfrxResources r;
    r.Add("TLocalizedForm", "Caption=标题\nOkL.Caption=确定 \nMissing.Caption=x\nOkL.NoProp=y\n=z");
    TLocalizedForm form(nullptr);
    auto* label = new TLabelLike(&form);
    label->SetName("OkL");
    r.LocalizeForm(&form);
    EXPECT_EQ(form.Caption, "标题");
    EXPECT_EQ(label->Caption, "确定 ");
    TLabelLike other(nullptr);
    r.LocalizeForm(&other);
    EXPECT_EQ(other.Caption, "label");
}

TEST(Utils, BracketScanner)
{
    struct Case {
        std::string Text;
        int Start;
        std::string Result;
        int NewStart, End;
    } cases[] = {
        {"[a[b]c]", 1, "a[b]c", 1, 7},
        {"x[a]", 1, "", 1, 1},
        {"x[a]", 2, "a", 2, 4},
        {"[a ']' b]", 1, "a ']' b", 1, 9},
        {"[\"]\"]", 1, "\"]\"", 1, 5},
        {"[汉]x]", 1, "汉", 1, 5},
        {"[ab", 1, "a", 1, 3},
        {"", 1, "", 1, 1},
    };
    for (const auto& c : cases) {
        int start = c.Start, end = 0;
        std::string r = ExtractBracketedExpression(c.Text, "[", "]", start, end);
        EXPECT_EQ(r, c.Result) << c.Text;
        EXPECT_EQ(start, c.NewStart) << c.Text;
        EXPECT_EQ(end, c.End) << c.Text;
    }
    int start = 1, end = 0;
    EXPECT_EQ(ExtractBracketedExpression("<%a%>", "<%", "%>", start, end), "a");
    EXPECT_EQ(end, 5);
}

TEST(Utils, PageNumbers)
{
    EXPECT_EQ(ParsePageNumbers("1,3,5-7", 10), (std::vector<int>{1, 3, 5, 6, 7}));
    EXPECT_EQ(ParsePageNumbers(" 8 -", 10), (std::vector<int>{8, 9, 10}));
    EXPECT_TRUE(ParsePageNumbers("5-3", 10).empty());
    EXPECT_TRUE(ParsePageNumbers("", 10).empty());
    EXPECT_THROW(ParsePageNumbers("1,x", 10), EConvertError);
}

TEST(Utils, ConversionsAndSplitting)
{
    EXPECT_EQ(StrToFloatAnySeparator("1 234,5"), 1234.5);
    EXPECT_EQ(StrToFloatAnySeparator("2.25"), 2.25);
    EXPECT_THROW(StrToFloatAnySeparator("abc"), EConvertError);
    EXPECT_EQ(FloatToTextTwoDecimals(2.5), "2.50");
    EXPECT_EQ(FloatToTextTwoDecimals(3), "3");
    EXPECT_EQ(BytesToHexText(std::string("\x00\xAB\x10", 3)), "00AB10");
    EXPECT_EQ(HexTextToBytes("00ab1Gff"), std::string("\x00\xAB", 2));
    EXPECT_EQ(SplitBySeparator("a;;b;", ';'), (std::vector<std::string>{"a", "", "b"}));
    int pos = 1;
    EXPECT_EQ(ExtractUntil("ab,cd", pos, ','), "ab");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(ExtractUntil("ab,cd", pos, ','), "cd");
}

TEST(Utils, ComponentPaths)
{
    TComponent glue(nullptr);
    glue.SetName("Glue");
    auto* report = new TfrxReport(&glue);
    auto* ds = new TfrxUserDataSet(&glue);
    ds->SetName("d0");
    EXPECT_EQ(FindComponentByPath(report, "d0"), ds);
    EXPECT_EQ(FindComponentByPath(report, "Glue.d0"), ds);
    EXPECT_EQ(FindComponentByPath(report, "nothing"), nullptr);
    EXPECT_EQ(GetReferenceName(report, ds), "d0");
    TComponent elsewhere(nullptr);
    auto* foreign = new TfrxUserDataSet(&elsewhere);
    foreign->SetName("f");
    EXPECT_EQ(GetReferenceName(report, foreign), "");
    auto* own = new TfrxUserDataSet(report);
    own->SetName("inside");
    TStringList list;
    ListComponentsOfClass(report, TfrxDataSet::StaticClass(), &list, own);
    EXPECT_EQ(list.CommaText(), "d0");
    ListComponentsOfClass(report, TfrxDataSet::StaticClass(), &list, nullptr);
    EXPECT_EQ(list.CommaText(), "inside,d0");
    std::string tmp = TempFileName("");
    EXPECT_TRUE(FileExists(tmp));
    EXPECT_EQ(ExtractFileName(tmp).compare(0, 2, "fr"), 0);
    DeleteFile(tmp);
}

TEST(Utils, ErrorBox)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    ShowErrorBox("坏了");
    auto calls = host->CallsOf(THostCallKind::MessageBox);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Text, "坏了");
    EXPECT_EQ(calls[0].Caption, "错误");
}

TEST(Picture, KindsSizesAndBadData)
{
    TfrxPicture p;
    struct Case {
        std::string Bytes;
        TfrxGraphicKind Kind;
    } cases[] = {
        {"BM" + std::string(60, '\0'), gkBitmap},
        {std::string("\xFF\xD8\xFF\xD9", 4), gkJPEG},
        {std::string("\xD7\xCD\xC6\x9A", 4) + std::string(18, '\0'), gkMetafile},
        {std::string(40, '\x01') + " EMF" + std::string(8, '\0'), gkMetafile},
        {std::string("\x00\x00\x01\x00\x01\x00\x10\x20", 8), gkIcon},
        {"plain text", gkNone},
    };
    for (const auto& c : cases) EXPECT_EQ(TfrxPicture::Sniff(c.Bytes), c.Kind);
    EXPECT_THROW(p.SetData(std::string("plain text")), EfrxInvalidGraphic);
    p.SetData(std::string("\x00\x00\x01\x00\x01\x00\x10\x20", 8));
    EXPECT_EQ(p.Width(), 16);
    EXPECT_EQ(p.Height(), 32);
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    p.Clear();
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(changes, 1);
}

TEST(Picture, StoredDataWithAndWithoutItsLength)
{
    const std::string ico = std::string("\x00\x00\x01\x00\x01\x00\x10\x10", 8) + std::string(20, '\x05');
    auto entry = [](const std::string& payload) {
        std::string b = std::string(1, char(4)) + "Data" + char(0x0A);
        uint32_t n = uint32_t(payload.size());
        for (int i = 0; i < 4; ++i) b += char((n >> (8 * i)) & 0xFF);
        return b + payload;
    };
    std::string withLength = std::string(1, char(5)) + "TIcon";
    uint32_t n = uint32_t(ico.size());
    for (int i = 0; i < 4; ++i) withLength += char((n >> (8 * i)) & 0xFF);
    withLength += ico;
    const std::string bare = std::string(1, char(5)) + "TIcon" + ico;
    for (const std::string& payload : {withLength, bare}) {
        TfrxPicture p;
        frxFiler::ReadBinaryProps(&p, entry(payload), nullptr);
        EXPECT_EQ(p.Kind(), gkIcon);
        EXPECT_EQ(p.Data(), ico);
    }
    // The binary value itself running past the data is a cut-off file.
    TfrxPicture p;
    EXPECT_THROW(frxFiler::ReadBinaryProps(&p, entry(withLength).substr(0, 20), nullptr),
                 EfrxInvalidFileFormat);
}

TEST(Picture, AutoSizeFollowsThePicture)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfrxReport report(nullptr);
    auto* page = new TfrxReportPage(&report);
    auto* pic = new TfrxPictureView(page);
    pic->SetAutoSize(true);
    pic->Picture()->SetData(std::string("\x00\x00\x01\x00\x01\x00\x30\x18", 8));
    EXPECT_EQ(pic->Width(), 48);
    EXPECT_EQ(pic->Height(), 24);
    EXPECT_TRUE(pic->PictureChanged);
}

// ---- registries -------------------------------------------------------------------------------

class TTestFilter : public TfrxCustomExportFilter {
    QZ_CLASS(TTestFilter, TfrxCustomExportFilter)
public:
    using TfrxCustomExportFilter::TfrxCustomExportFilter;
    void ExportObject(TfrxComponent*) override {}
};
QZ_CLASS_IMPL(TTestFilter, TfrxCustomExportFilter)

TEST(Registries, ExportFiltersComeAndGo)
{
    auto& reg = frxDsgnIntf::ExportFilterRegistry();
    int before = reg.Count();
    auto* f = new TTestFilter(nullptr);
    EXPECT_EQ(reg.Count(), before + 1);
    reg.AddFilter(f);
    EXPECT_EQ(reg.Count(), before + 1);
    EXPECT_EQ(reg.GetItems(before), f);
    delete f;
    EXPECT_EQ(reg.Count(), before);
}

TEST(Registries, ObjectsOncePerFlags)
{
    TfrxObjectCollection reg;
    reg.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, -1, 0);
    reg.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, -1, 1);
    reg.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, -1, 1);
    reg.RegisterCategory("Other", nullptr, -1);
    reg.RegisterCategory("Other", nullptr, -1);
    EXPECT_EQ(reg.Count(), 4);
    EXPECT_EQ(GetClass("TfrxShapeView"), TfrxShapeView::StaticClass());
}

struct TViewEditor : TfrxComponentEditor {
    using TfrxComponentEditor::TfrxComponentEditor;
    bool HasEditor() override { return false; }
};
struct TMemoEditor : TfrxComponentEditor {
    using TfrxComponentEditor::TfrxComponentEditor;
    bool HasEditor() override { return true; }
};
template <class E> TfrxComponentEditor* Make(TfrxComponent* c, TComponent* d, TComponent* m)
{
    return new E(c, d, m);
}

TEST(Registries, ComponentEditorChoice)
{
    TfrxMemoView memo(nullptr);
    {
        TfrxComponentEditorCollection reg;
        reg.AddEditor(TfrxView::StaticClass(), &Make<TViewEditor>);
        reg.AddEditor(TfrxCustomMemoView::StaticClass(), &Make<TMemoEditor>);
        std::unique_ptr<TfrxComponentEditor> e(reg.GetComponentEditor(&memo, nullptr, nullptr));
        ASSERT_TRUE(e);
        EXPECT_TRUE(e->HasEditor());
    }
    {
        TfrxComponentEditorCollection reg;
        reg.AddEditor(TfrxCustomMemoView::StaticClass(), &Make<TMemoEditor>);
        reg.AddEditor(TfrxView::StaticClass(), &Make<TViewEditor>);
        std::unique_ptr<TfrxComponentEditor> e(reg.GetComponentEditor(&memo, nullptr, nullptr));
        ASSERT_TRUE(e);
        EXPECT_FALSE(e->HasEditor());   // the later ancestor entry wins
        reg.AddEditor(TfrxMemoView::StaticClass(), &Make<TMemoEditor>);
        std::unique_ptr<TfrxComponentEditor> exact(reg.GetComponentEditor(&memo, nullptr, nullptr));
        EXPECT_TRUE(exact->HasEditor());
        TfrxLineView line(nullptr);
        std::unique_ptr<TfrxComponentEditor> viewEd(reg.GetComponentEditor(&line, nullptr, nullptr));
        ASSERT_TRUE(viewEd);
        EXPECT_FALSE(viewEd->HasEditor());
        TfrxReport* nothing = nullptr;
        EXPECT_EQ(reg.GetComponentEditor(nothing, nullptr, nullptr), nullptr);
    }
}

TEST(Registries, PropertyEditorChoice)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TfrxPropertyEditorCollection reg;
    TClass colorEd = TfrxFrame::StaticClass();       // any class records serve as editor ids here
    TClass otherColorEd = TfrxFormat::StaticClass();
    TClass nameEd = TfrxHighlight::StaticClass();
    TClass eventEd = TfrxStyleItem::StaticClass();
    reg.Register("TColor", nullptr, "", colorEd);
    reg.Register("TColor", nullptr, "", otherColorEd);
    reg.Register("String", TfrxView::StaticClass(), "TagStr", nameEd);
    reg.RegisterEventEditor(eventEd);
    TfrxMemoView memo(nullptr);
    EXPECT_EQ(reg.GetItem(reg.FindEditor("TColor", &memo, "Color")).EditorClass, colorEd);   // oldest type match
    EXPECT_EQ(reg.GetItem(reg.FindEditor("String", &memo, "tagstr")).EditorClass, nameEd);
    EXPECT_EQ(reg.FindEditor("String", &memo, "URL"), -1);
    EXPECT_EQ(reg.FindEditor("TfrxNotifyEvent", &memo, "OnBeforePrint"), reg.EventEditorIndex);
    reg.Register("TColor", nullptr, "Color", nameEd);
    EXPECT_EQ(reg.GetItem(reg.FindEditor("TColor", &memo, "Color")).EditorClass, nameEd);
    frxDsgnIntf::HideProperties(TfrxView::StaticClass(), "Cursor;URL");
    int hidden = frxDsgnIntf::PropertyEditorRegistry().FindEditor("String", &memo, "URL");
    ASSERT_GE(hidden, 0);
    EXPECT_EQ(frxDsgnIntf::PropertyEditorRegistry().GetItem(hidden).EditorClass, nullptr);
}

TEST(Registries, Wizards)
{
    TfrxWizardCollection reg;
    reg.Register(TfrxReport::StaticClass(), nullptr, true);
    reg.Register(TfrxReport::StaticClass(), nullptr, false);
    EXPECT_EQ(reg.Count(), 1);
    EXPECT_EQ(reg.GetItem(0).ButtonImageIndex, -1);
    reg.Unregister(TfrxReport::StaticClass());
    EXPECT_EQ(reg.Count(), 0);
}

}  // namespace
