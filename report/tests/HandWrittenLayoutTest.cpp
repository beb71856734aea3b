// Layouts written by hand, as other writers of the format write them: bad
// values are refused one by one with the rest of the layout kept, numeric
// character references give the 8-bit text they encode, the password is
// asked however the attributes are separated, collection items keep the
// blank before their first attribute, and a picture that cannot be read is
// named in the report's errors.
#include "frxClass.h"
#include "frxUtils.h"
#include "frxVariables.h"
#include "frxXML.h"

#include "RecordingHost.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

std::string Layout(const std::string& reportAttributes, const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TfrxReport Name=\"\"" + reportAttributes + ">" +
           body + "</TfrxReport>";
}

std::string Page(const std::string& objects, const std::string& pageAttributes = std::string())
{
    return "<TfrxReportPage Name=\"Page1\"" + pageAttributes + "><TfrxReportTitle Name=\"ReportTitle1\">" +
           objects + "</TfrxReportTitle></TfrxReportPage>";
}

struct Env {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TfrxReport Report{nullptr};
    Env() { Report.EngineOptions()->SilentMode = true; }

    void Load(const std::string& text)
    {
        TStringStream s(text);
        Report.LoadFromStream(&s);
    }
    std::string Save()
    {
        TStringStream s(std::string{});
        Report.SaveToStream(&s);
        return s.DataString();
    }
    std::string Errors() const { return Report.Errors()->Text(); }
};

// A binary property entry: name as a length byte and characters, then value.
std::string Entry(const std::string& name, const std::string& value)
{
    return std::string(1, char(name.size())) + name + value;
}

std::string LString(const std::string& bytes)
{
    std::string r(1, '\x0C');
    uint32_t n = uint32_t(bytes.size());
    for (int i = 0; i < 4; ++i) r += char((n >> (8 * i)) & 0xFF);
    return r + bytes;
}

// A picture's "Data" entry: class name, the graphic's length and bytes.
std::string PictureData(const std::string& cls, const std::string& graphic)
{
    std::string payload = std::string(1, char(cls.size())) + cls;
    uint32_t n = uint32_t(graphic.size());
    for (int i = 0; i < 4; ++i) payload += char((n >> (8 * i)) & 0xFF);
    payload += graphic;
    std::string value(1, '\x0A');
    n = uint32_t(payload.size());
    for (int i = 0; i < 4; ++i) value += char((n >> (8 * i)) & 0xFF);
    return frxUtils::BytesToHexText(Entry("Data", value + payload));
}

// ---- numbers out of range ------------------------------------------------------------------------

TEST(HandWrittenLayout, IntegersOutOfRangeAreRefusedNotWrapped)
{
    struct Case {
        const char* What;
        std::string Text;
        const char* Object;
        std::function<int(TfrxComponent*)> Get;
        int Expected;
        std::string Error;
    } cases[] = {
        // 116 bytes that made the loader allocate some 1.2 billion column positions.
        {"page columns beyond 32 bits",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?><TfrxReport><TfrxReportPage Name=\"Page1\" "
         "Columns=\"99999999999\"/></TfrxReport>",
         "Page1", [](TfrxComponent* c) { return static_cast<TfrxReportPage*>(c)->Columns(); }, 0,
         "'99999999999' is not a valid integer value"},
        {"page columns past the bound", Layout("", Page("", " Columns=\"2000000000\" LeftMargin=\"5\"")), "Page1",
         [](TfrxComponent* c) {
             auto* p = static_cast<TfrxReportPage*>(c);
             return p->Columns() + p->ColumnPositions()->Count() + int(p->LeftMargin);
         },
         5, "非法属性值"},
        {"negative page columns", Layout("", Page("", " Columns=\"-3\"")), "Page1",
         [](TfrxComponent* c) { return static_cast<TfrxReportPage*>(c)->Columns(); }, 0, "非法属性值"},
        {"data band columns past the bound",
         Layout("", "<TfrxReportPage Name=\"Page1\"><TfrxMasterData Name=\"MasterData1\" Columns=\"1001\" "
                    "RowCount=\"4\"/></TfrxReportPage>"),
         "MasterData1",
         [](TfrxComponent* c) {
             auto* b = static_cast<TfrxDataBand*>(c);
             return b->Columns * 100 + b->RowCount();
         },
         4, "非法属性值"},
        {"rotation below 32 bits",
         Layout("", Page("<TfrxMemoView Name=\"Memo1\" Rotation=\"-2147483649\" Left=\"7\"/>")), "Memo1",
         [](TfrxComponent* c) { return static_cast<TfrxMemoView*>(c)->Rotation() + int(c->Left()); }, 7,
         "'-2147483649' is not a valid integer value"},
        {"font height above 32 bits",
         Layout("", Page("<TfrxMemoView Name=\"Memo1\" ParentFont=\"False\" Font.Height=\"2147483648\"/>")),
         "Memo1", [](TfrxComponent* c) { return c->Font()->Height(); }, -13,
         "'2147483648' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        Env e;
        e.Load(c.Text);
        TfrxComponent* obj = e.Report.FindObject(c.Object);
        ASSERT_TRUE(obj) << c.What;
        EXPECT_EQ(c.Get(obj), c.Expected) << c.What;
        EXPECT_EQ(e.Errors(), c.Error + "\r\n") << c.What;
        // What is kept saves and loads again without complaint.
        const std::string saved = e.Save();
        Env g;
        g.Load(saved);
        EXPECT_EQ(g.Report.Errors()->Count(), 0) << c.What << ": " << g.Errors();
        EXPECT_EQ(g.Save(), saved) << c.What;
    }
}

TEST(HandWrittenLayout, EnumerationNumbersPastTheirNamesAreRefused)
{
    struct Case {
        const char* Element;
        const char* Attribute;
        const char* Value;
    } cases[] = {
        {"TfrxMemoView", "HAlign", "99"},
        {"TfrxMemoView", "HAlign", "-1"},
        {"TfrxMemoView", "VAlign", "3"},
        {"TfrxMemoView", "Frame.Style", "6"},
        {"TfrxMemoView", "DisplayFormat.Kind", "4"},
        {"TfrxMemoView", "StretchMode", "3"},
        {"TfrxShapeView", "Shape", "7"},
        {"TfrxReportPage", "Duplex", "3"},
        {"TfrxReportPage", "Orientation", "5"},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.Element) + " " + c.Attribute + "=" + c.Value;
        const std::string attribute = std::string(" ") + c.Attribute + "=\"" + c.Value + "\"";
        std::string text = std::string(c.Element) == "TfrxReportPage"
                               ? Layout("", Page("", attribute))
                               : Layout("", Page("<" + std::string(c.Element) + " Name=\"X1\"" + attribute + "/>"));
        Env e;
        e.Load(text);
        EXPECT_EQ(e.Errors(), std::string("Invalid property value: ") + c.Value + "\r\n") << what;
        const std::string saved = e.Save();
        EXPECT_EQ(saved.find(std::string(" ") + c.Attribute + "=\""), std::string::npos) << what;
        Env g;
        g.Load(saved);
        EXPECT_EQ(g.Save(), saved) << what;
    }
    // A landscape page stays landscape; numbers that name values still count.
    Env e;
    e.Load(Layout("", Page("<TfrxMemoView Name=\"Memo1\" HAlign=\"2\" WordWrap=\"0\"/>",
                           " Orientation=\"1\" PaperWidth=\"297\" PaperHeight=\"210\"")));
    EXPECT_EQ(e.Report.Pages(0)->Orientation(), frxEnums::poLandscape);
    auto* memo = DynamicCast<TfrxMemoView>(e.Report.FindObject("Memo1"));
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->HAlign, frxClass::haCenter);
    EXPECT_FALSE(memo->WordWrap);
    EXPECT_NE(e.Save().find(" Orientation=\"poLandscape\""), std::string::npos);
    EXPECT_EQ(e.Report.Errors()->Count(), 0) << e.Errors();
}

// ---- empty texts -----------------------------------------------------------------------------------

TEST(HandWrittenLayout, EmptyTextsReadAsAbsentOnes)
{
    // The writer leaves an empty text out, so the first load must already
    // give what a save and a second load give.
    Env e;
    e.Load(Layout(" PrintOptions.Printer=\"\" ScriptLanguage=\"\" ReportOptions.Name=\"\"", Page("")));
    EXPECT_EQ(e.Report.PrintOptions()->Printer, "缺省");
    EXPECT_EQ(e.Report.ScriptLanguage, "PascalScript");
    EXPECT_EQ(e.Errors(), "");
    const std::string saved = e.Save();
    Env g;
    g.Load(saved);
    EXPECT_EQ(g.Save(), saved);
}

// ---- password ------------------------------------------------------------------------------------

TEST(HandWrittenLayout, PasswordIsAskedWhateverSeparatesTheAttribute)
{
    // "secret" with each byte 10 lower.
    for (const char* separator : {" ", "\t", "\n", "\r\n", " \t "}) {
        const std::string text =
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TfrxReport Name=\"\"" + std::string(separator) +
            "ReportOptions.Password=\"i[Yh[j\">" + Page("") + "</TfrxReport>";
        Env e;
        e.Host->QueueInput(true, "wrong");
        TStringStream s(text);
        EXPECT_THROW(e.Report.LoadFromStream(&s), EfrxWrongPassword);
        EXPECT_EQ(e.Report.PagesCount(), 0);
        e.Host->QueueInput(true, "secret");
        e.Load(text);
        EXPECT_EQ(e.Report.PagesCount(), 1);
        EXPECT_EQ(e.Report.ReportOptions()->Password, "secret");
        EXPECT_EQ(e.Host->CallsOf(THostCallKind::InputQuery).size(), 2u);
    }
}

// ---- numeric references --------------------------------------------------------------------------

TEST(HandWrittenLayout, ReferencesAboveAsciiGiveTheTextTheyEncodeAtOnce)
{
    // 收费 and 中文 in the 8-bit text, every byte written as a reference.
    Env e;
    e.Load(Layout(" ReportOptions.Name=\"&#202;&#213;&#183;&#209;\"",
                  Page("<TfrxMemoView Name=\"Memo1\" Memo.Text=\"&#214;&#208;&#206;&#196;: [x]&#13;&#10;A&#65;\"/>")));
    EXPECT_EQ(e.Report.ReportOptions()->Name, "收费");
    auto* memo = DynamicCast<TfrxMemoView>(e.Report.FindObject("Memo1"));
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->Text(), "中文: [x]\r\nAA\r\n");
    // Saved as the 8-bit text itself, which reads back the same.
    const std::string saved = e.Save();
    EXPECT_NE(saved.find("ReportOptions.Name=\"\xCA\xD5\xB7\xD1\""), std::string::npos);
    Env g;
    g.Load(saved);
    EXPECT_EQ(g.Report.ReportOptions()->Name, "收费");
    EXPECT_EQ(g.Save(), saved);
}

// ---- collection items in binary properties ---------------------------------------------------------

TEST(HandWrittenLayout, CollectionItemsKeepTheBlankBeforeTheirFirstAttribute)
{
    auto propData = [](const std::string& itemText) {
        return frxUtils::BytesToHexText(Entry("Datasets", std::string("\x01\x00", 2)) +
                                        Entry("Variables", "\x01\x01" + LString(itemText) + std::string(1, '\0') +
                                                               std::string(1, '\0')) +
                                        Entry("Style", std::string("\x01\x00", 2)));
    };
    const std::string withBlank = propData(" Name=\"Fee\" Value=\"1+2\"");
    const std::string withoutBlank = propData("Name=\"Fee\" Value=\"1+2\"");
    for (const std::string& stored : {withBlank, withoutBlank}) {
        Env e;
        e.Load(Layout(" PropData=\"" + stored + "\"", ""));
        ASSERT_EQ(e.Report.Variables()->Count(), 1);
        EXPECT_EQ(e.Report.Variables()->Items(0)->Name, "Fee");
        EXPECT_NE(e.Save().find(" PropData=\"" + withBlank + "\""), std::string::npos);
    }
}

// ---- pictures --------------------------------------------------------------------------------------

TEST(HandWrittenLayout, PictureThatCannotBeReadIsNamedInTheErrors)
{
    const std::string jpeg("\xFF\xD8\xFF\xC0\x00\x0B\x08\x00\x05\x00\x03\x01\x01\x11\x00\xFF\xD9", 17);
    struct Case {
        const char* What;
        std::string Data;
        std::string Error;
    } cases[] = {
        {"JPEG bytes stored as a bitmap", PictureData("TBitmap", jpeg), "Picture1: 图片数据无效 TBitmap"},
        {"a bitmap cut inside its header", PictureData("TBitmap", std::string("BM\x3E\0\0\0\0\0\0\0\x36\0", 12)),
         "Picture1: 图片数据无效 TBitmap"},
        {"an icon with no image", PictureData("TIcon", std::string("\0\0\1\0\0\0", 6)), "Picture1: 图片数据无效 TIcon"},
        {"a class no picture has", PictureData("TGIFImage", "GIF89a"), "Picture1: 未找到类 TGIFImage"},
    };
    for (const auto& c : cases) {
        Env e;
        e.Load(Layout("", Page("<TfrxPictureView Name=\"Picture1\" Picture.PropData=\"" + c.Data +
                               "\" Left=\"3\"/><TfrxMemoView Name=\"Memo1\"/>")));
        EXPECT_EQ(e.Errors(), c.Error + "\r\n") << c.What;
        auto* pic = DynamicCast<TfrxPictureView>(e.Report.FindObject("Picture1"));
        ASSERT_TRUE(pic) << c.What;
        EXPECT_TRUE(pic->Picture()->Empty()) << c.What;
        EXPECT_EQ(pic->Left(), 3) << c.What;
        EXPECT_TRUE(e.Report.FindObject("Memo1")) << c.What;
    }
    // The error box names it too, unless the report is silent.
    Env e;
    e.Report.EngineOptions()->SilentMode = false;
    e.Load(Layout("", Page("<TfrxPictureView Name=\"Picture1\" Picture.PropData=\"" + PictureData("TBitmap", jpeg) +
                           "\"/>")));
    ASSERT_EQ(e.Host->CallsOf(THostCallKind::MessageBox).size(), 1u);
    EXPECT_NE(e.Host->CallsOf(THostCallKind::MessageBox)[0].Text.find("Picture1: 图片数据无效 TBitmap"),
              std::string::npos);
}

}  // namespace
