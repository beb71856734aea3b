#include "cxTextEdit.h"

#include "ComponentStreams.h"
#include "Graphics.h"
#include "SysUtils.h"
#include "cxGraphics.h"

#include <gtest/gtest.h>

namespace {

// A numeric editor's properties, as the spin and currency edits make them.
class TNumericProperties : public TcxCustomTextEditProperties {
public:
    bool IsEditValueNumeric() override { return true; }
};

class TFieldProvider : public TcxCustomEditDefaultValuesProvider {
public:
    int MaxLength = 10;
    std::string Format = "0.00";
    int DefaultMaxLength() override { return MaxLength; }
    std::string DefaultDisplayFormat() override { return Format; }
    double DefaultMaxValue() override { return 100; }
};

}  // namespace

TEST(TextEditProperties, SettersAndEffectiveValues)
{
    TcxTextEditProperties p;
    int changes = 0;
    p.OnPropertiesChanged = [&](TObject*) { ++changes; };
    p.SetMaxLength(-3);
    EXPECT_EQ(p.MaxLength(), 0);
    EXPECT_TRUE(p.IsMaxLengthStored());
    int before = changes;
    p.SetMaxLength(0);
    EXPECT_EQ(changes, before);   // assigned and equal
    p.SetMinValue(10);
    p.SetMaxValue(5);
    EXPECT_EQ(p.MaxValue(), 10);
    p.SetMinValue(20);
    EXPECT_EQ(p.MinValue(), 10);

    TFieldProvider field;
    TcxTextEditProperties q;
    q.SetDefaultValuesProvider(&field);
    EXPECT_EQ(q.MaxLength(), 10);
    EXPECT_EQ(q.DisplayFormat(), "0.00");
    EXPECT_EQ(q.MaxValue(), 100);
    q.SetDisplayFormat("");
    EXPECT_EQ(q.DisplayFormat(), "");
    q.RestoreDefaults();
    EXPECT_EQ(q.DisplayFormat(), "0.00");
    q.SetIncrementalSelection(false);
    EXPECT_FALSE(q.IncrementalSelection());
}

TEST(TextEditProperties, DisplayText)
{
    TcxTextEditProperties p;
    p.SetEchoMode(eemPassword);
    EXPECT_EQ(p.GetDisplayText(Variant("abc")), "***");
    EXPECT_EQ(p.GetDisplayText(Variant("驾校")), "**");
    p.SetEchoMode(eemNormal);
    p.SetCharCase(ecUpperCase);
    EXPECT_EQ(p.GetDisplayText(Variant("abc 驾校 äz")), "ABC 驾校 äZ");
    p.SetCharCase(ecLowerCase);
    EXPECT_EQ(p.GetDisplayText(Variant("ABC")), "abc");
    EXPECT_EQ(p.GetDisplayText(Variant()), "");

    TcxTextEditProperties a, b;
    EXPECT_FALSE(a.IsDisplayTextEqual(Variant("Abc"), &b, Variant("abc")));
    EXPECT_TRUE(a.IsDisplayTextEqual(Variant("abc"), &b, Variant("abc")));
    TcxCustomEditProperties plain;
    EXPECT_FALSE(a.IsDisplayTextEqual(Variant("abc"), &plain, Variant("abc")));
    EXPECT_EQ(a.GetSupportedOperations(), 0xAE);
    a.Buttons()->Add();
    EXPECT_EQ(a.GetSupportedOperations(), 0xBE);
    EXPECT_EQ(a.UsesDisplayFormatting(false), 1u);
}

TEST(TextEditProperties, FormatsNumbers)
{
    struct Case {
        bool Focused;
        bool Provider;
        const char* DisplayFormat;   // nullptr: not assigned
        double Value;
        const char* Text;
    };
    const Case cases[] = {
        {false, false, nullptr, 1234.5, "1234.5"},
        {false, false, ",0.00", 1234.5, "1,234.50"},
        {true, false, ",0.00", 1234.5, "1,234.50"},
        {true, false, nullptr, 1234.5, "1234.5"},
        {false, true, nullptr, 2.5, "2.50"},   // the field's display format
        {true, true, nullptr, 2.5, "2.50"},
    };
    for (const Case& c : cases) {
        TFieldProvider field;
        TNumericProperties p;
        if (c.Provider) p.SetDefaultValuesProvider(&field);
        if (c.DisplayFormat) p.SetDisplayFormat(c.DisplayFormat);
        Variant d;
        p.PrepareDisplayValue(Variant(c.Value), d, c.Focused);
        EXPECT_EQ(VarToStr(d), c.Text) << c.Value << " " << (c.DisplayFormat ? c.DisplayFormat : "-");
    }
    TNumericProperties p;
    Variant d;
    p.PrepareDisplayValue(Variant(), d, false);
    EXPECT_EQ(VarToStr(d), "");
    p.PrepareDisplayValue(Variant("12.5"), d, false);
    EXPECT_EQ(VarToStr(d), "12.5");
    EXPECT_THROW(p.PrepareDisplayValue(Variant("abc"), d, false), EConvertError);
    EXPECT_EQ(p.GetDisplayText(Variant("abc")), "");   // a value that is no number shows nothing
}

TEST(TextEditProperties, RangeAndLookupChecks)
{
    TNumericProperties p;
    std::string text;
    bool error = false;
    Variant v(50.0);
    p.ValidateDisplayValue(v, text, error, nullptr);
    EXPECT_FALSE(error);   // Min = Max = 0: no range
    p.SetMinValue(1);
    p.SetMaxValue(10);
    text.clear();
    p.ValidateDisplayValue(v, text, error, nullptr);
    EXPECT_TRUE(error);
    EXPECT_EQ(text, "Value out of bounds");
    Variant clamped;
    p.ClampToRange(Variant(50.0), clamped);
    EXPECT_EQ(clamped.AsDouble(), 10);

    // Lookup items refuse other texts only in the list styles.
    class TListProperties : public TcxTextEditProperties {
    public:
        TcxTextEditingStyle Style = tesList;
        TcxTextEditingStyle GetEditingStyle() override { return Style; }
    } l;
    l.LookupItems()->Add("Apple");
    l.LookupItems()->Add("apricot");
    Variant a("APPLE");
    EXPECT_TRUE(l.CheckDisplayValue(a, false));
    Variant b("Banana");
    EXPECT_FALSE(l.CheckDisplayValue(b, false));
    EXPECT_FALSE(l.IsEditValueValid(Variant("Banana")));
    EXPECT_TRUE(l.IsEditValueValid(Variant(5)));
    l.Style = tesFree;
    EXPECT_TRUE(l.CheckDisplayValue(b, false));
}

TEST(TextEditProperties, AssignAndStreamingOfAnEmptyFormat)
{
    TcxTextEditProperties a;
    a.SetCharCase(ecUpperCase);
    a.SetDisplayFormat("");
    a.SetMinValue(2);
    a.LookupItems()->Add("b");
    a.LookupItems()->Add("a");
    TcxTextEditProperties b;
    b.Assign(&a);
    EXPECT_EQ(b.CharCase(), ecUpperCase);
    EXPECT_TRUE(b.IsDisplayFormatStored());
    EXPECT_EQ(b.MinValue(), 2);
    EXPECT_EQ(b.LookupItems()->Strings(0), "b");
    EXPECT_TRUE(b.IsMaxLengthStored());

    // The hidden "IsDisplayFormatAssigned" is written only for an empty assigned format.
    struct TRecordingFiler : TFiler {
        std::vector<std::pair<std::string, bool>> Seen;
        TRecordingFiler() : TFiler(nullptr) {}
        void DefineProperty(const std::string& n, const TReaderProc&, const TWriterProc&, bool has) override
        {
            Seen.emplace_back(n, has);
        }
        void DefineBinaryProperty(const std::string&, const TStreamProc&, const TStreamProc&, bool) override {}
    } f;
    b.DefineProperties(&f);
    ASSERT_EQ(f.Seen.size(), 1u);
    EXPECT_EQ(f.Seen[0], (std::pair<std::string, bool>{"IsDisplayFormatAssigned", true}));
    TcxTextEditProperties c;
    TRecordingFiler g;
    c.DefineProperties(&g);
    EXPECT_FALSE(g.Seen[0].second);

    cxTextEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    int i = r->IndexOfClass(TcxTextEditProperties::StaticClass());
    ASSERT_GE(i, 0);
    EXPECT_EQ(r->GetDescription(i), "TextEdit|Represents a single line text editor");
}

TEST(TextEditViewData, DrawValueFlagsAndSize)
{
    TcxTextEditProperties p;
    p.SetEchoMode(eemPassword);
    p.Alignment()->SetHorz(taRightJustify);
    TcxEditStyle style(nullptr, false);
    auto data = p.CreateViewData(&style, true);
    TcxCustomTextEditViewInfo vi;
    data->Calculate(nullptr, TRect{0, 0, 100, 20}, TPoint{-1, -1}, 0, {}, &vi, false);
    data->PrepareDrawValue(nullptr, Variant("abc"), &vi);
    EXPECT_EQ(vi.Text, "***");
    EXPECT_EQ(vi.TextFlags, 0x2 | 0x40 | 0x80 | 0x200);
    EXPECT_EQ(vi.TextRect, (TRect{1, 1, 98, 19}));   // in place: right 2 for right alignment

    // Measured with a real font: one "Zg" line plus the vertical offset.
    TBitmap bmp;
    bmp.SetSize(10, 10);
    TcxCanvas canvas(bmp.Canvas());
    auto sd = p.CreateViewData(&style, false);
    TSize s = sd->GetEditSize(&canvas, Variant("abc"), TcxEditSizeProperties{});
    canvas.SetFont(style.Font());
    int line = canvas.TextHeight("Zg");
    EXPECT_EQ(s.cy, 4 + line + 4);   // borders 2 + 2, text line, offset 4
    EXPECT_GT(s.cx, 4);
    sd->EditorOptions = evoEmptyTextNoHeight;
    TSize e = sd->GetEditSize(&canvas, Variant(""), TcxEditSizeProperties{0, 50});
    EXPECT_EQ(e.cy, 4);
}

TEST(TextEditRules, PasteIntoALengthLimitedEdit)
{
    struct Case {
        const char* Text;
        int SelStart, SelLength;
        const char* Inserted;
        int MaxLength;
        bool Done;
        const char* Result;
        int Caret;
    };
    const Case cases[] = {
        // Only what fits goes in; the text after the selection stays.
        {"abcde", 1, 2, "XYZ", 5, true, "aXYde", 3},
        {"abcde", 5, 0, "f", 5, false, "", 0},          // full: typing changes nothing
        {"abc", 3, 0, "defg", 5, true, "abcde", 5},
        {"abc", 0, 3, "驾校管理系统", 5, true, "驾校管理系", 5},
        {"abcde", 0, 5, "", 5, true, "", 0},            // deleting always fits
        {"abc", 1, 1, "XYZ", 0, true, "aXYZc", 4},      // no limit
        {"abcdefg", 2, 0, "x", 5, false, "", 0},        // longer than the limit already
    };
    for (const Case& c : cases) {
        std::string r;
        int caret = -1;
        bool done = cxTextEdit::ReplaceSelectionLimited(c.Text, c.SelStart, c.SelLength, c.Inserted,
                                                        c.MaxLength, r, caret);
        EXPECT_EQ(done, c.Done) << c.Text << " + " << c.Inserted;
        if (done) {
            EXPECT_EQ(r, c.Result) << c.Text << " + " << c.Inserted;
            EXPECT_EQ(caret, c.Caret) << c.Text << " + " << c.Inserted;
        }
    }
}

TEST(TextEditRules, TextFetchReturnsTheCountCopied)
{
    char16_t buf[8] = {u'x', u'x', u'x', u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(cxTextEdit::CopyTextToBuffer("abc", buf, 0), 0);
    EXPECT_EQ(buf[0], u'x');
    EXPECT_EQ(cxTextEdit::CopyTextToBuffer("abc", buf, 1), 0);
    EXPECT_EQ(buf[0], u'\0');
    EXPECT_EQ(cxTextEdit::CopyTextToBuffer("abc", buf, 8), 3);   // not counting the terminator
    EXPECT_EQ(std::u16string(buf), u"abc");
    EXPECT_EQ(cxTextEdit::CopyTextToBuffer("驾校管理", buf, 3), 2);
    EXPECT_EQ(std::u16string(buf), u"驾校");
    EXPECT_EQ(cxTextEdit::CopyTextToBuffer("a😀", buf, 3), 1);   // no half of a pair
    EXPECT_EQ(cxTextEdit::CopyTextToBuffer("abc", nullptr, 8), 0);
}
