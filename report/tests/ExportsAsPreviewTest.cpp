// Every export shows a memo's text as the preview draws it: the page count
// put in, the lines broken where the preview breaks them, what the preview
// clips away left out, each alignment in its place. What the preview draws
// is recorded from its own drawing, and each export is read back against it
// with the real readers of its format.
#include "ExportTestSupport.h"
#include "Graphics.h"
#include "RecordingCanvas.h"
#include "frxExportImage.h"
#include "frxExportPDF.h"
#include "frxExportRTF.h"
#include "frxExportXLS.h"
#include "frxPreviewPages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

using namespace exporttest;

namespace {

const int kPages = 3;

struct TMemoSpec {
    const char* Name;
    double Left, Top, Width, Height;
    const char* Text;
    TfrxHAlign Align;
    bool WordWrap;
};

// One page of the layout: a footer with the page count, a date and time
// wider than its memo (its time wraps below the memo), a date that fits
// its narrow memo, wrapped Chinese, each alignment, and a line too long for
// its memo that does not wrap.
const TMemoSpec kMemos[] = {
    {"Footer", 0, 600, 300, 20, "第 [Page#] 页 共 [TotalPages#] 页", frxClass::haCenter, true},
    {"DateTime", 0, 0, 105, 18.9, "2024-01-08 10:00:00", frxClass::haLeft, true},
    {"Date", 0, 30, 85, 18.9, "2024-01-08", frxClass::haLeft, true},
    {"Chinese", 0, 60, 150, 80, "学员张三于二〇二四年一月八日通过科目二考试，由教练李四陪练。", frxClass::haLeft, true},
    {"Left", 250, 0, 200, 20, "Left 左对齐", frxClass::haLeft, true},
    {"Center", 250, 25, 200, 20, "Center 居中", frxClass::haCenter, true},
    {"Right", 250, 50, 200, 20, "Right 右对齐", frxClass::haRight, true},
    {"Block", 250, 75, 200, 50, "one two three four five six seven eight nine ten eleven", frxClass::haBlock, true},
    {"Wide", 250, 150, 100, 20, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", frxClass::haLeft, false},
};

struct TBox {
    double L = 0, T = 0, R = 0, B = 0;
    bool Holds(double x, double y) const { return x >= L && x <= R && y >= T && y <= B; }
};

// A line the preview draws: its text, where it starts and the box it is clipped to (pixels).
struct TDrawnLine {
    std::string Text;
    double X = 0, Y = 0;
    TBox Clip;
};

// A word a reader found: its text and box (points from the page's top left).
struct TWord {
    std::string Text;
    TBox Box;
};

std::string NoSpaces(std::string s)
{
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    return s;
}

// Whether the lines follow each other in the list, in order, from some
// place on; a cut line is found as its start (the part left of the cut).
bool Consecutive(const std::vector<std::string>& all, const std::vector<std::string>& run, bool cut)
{
    auto same = [cut](const std::string& shown, const std::string& found) {
        return cut ? !found.empty() && found.size() < shown.size() && shown.rfind(found, 0) == 0 : found == shown;
    };
    for (size_t i = 0; i + run.size() <= all.size(); ++i)
        if (std::equal(run.begin(), run.end(), all.begin() + long(i), same)) return true;
    return run.empty();
}

struct TExportsAsPreview : ::testing::Test {
    void SetUp() override
    {
        for (int i = 0; i < kPages; ++i) {
            TfrxReportPage* p = R.AddPage();
            for (const TMemoSpec& m : kMemos) {
                TfrxMemoView* v = R.AddMemo(p, m.Left, m.Top, m.Width, m.Height, m.Text);
                v->SetName(std::string(m.Name) + std::to_string(i + 1));
                v->HAlign = m.Align;
                v->WordWrap = m.WordWrap;
            }
        }
        R.Prepare();
        Pages = dynamic_cast<TfrxPreviewPages*>(R.Report->PreviewPages());
        ASSERT_NE(Pages, nullptr);
        ASSERT_EQ(Pages->Count(), kPages);
        for (int i = 0; i < kPages; ++i) {
            TRecordingCanvas canvas(794, 1123);
            Pages->DrawPage(i, &canvas, 1, 1, 0, 0);
            for (const TCanvasOp& op : canvas.Ops())
                if (op.Op == "TextOut" && !op.Points.empty())
                    Drawn[i].push_back({op.Text, double(op.Points[0].X), double(op.Points[0].Y),
                                        {double(op.Rect.Left), double(op.Rect.Top), double(op.Rect.Right),
                                         double(op.Rect.Bottom)}});
            // Where each memo lies on the paper, in pixels.
            TfrxReportPage* page = Pages->GetPage(i);
            for (TfrxComponent* c : page->AllObjects())
                if (auto* m = DynamicCast<TfrxCustomMemoView>(c)) {
                    const double x = page->LeftMargin * fr01cm + m->AbsLeft(),
                                 y = page->TopMargin * fr01cm + m->AbsTop();
                    Boxes[i][m->Name().substr(0, m->Name().size() - 1)] = {x, y, x + m->Width(), y + m->Height()};
                }
        }
    }

    // The lines the preview draws inside a memo, top down.
    std::vector<TDrawnLine> DrawnIn(int page, const std::string& memo) const
    {
        std::vector<TDrawnLine> r;
        const TBox& b = Boxes.at(page).at(memo);
        for (const TDrawnLine& l : Drawn.at(page))
            if (b.Holds(l.Clip.L, l.Clip.T) && b.Holds(l.Clip.R - 1, l.Clip.B - 1)) r.push_back(l);
        std::sort(r.begin(), r.end(), [](const TDrawnLine& a, const TDrawnLine& b) { return a.Y < b.Y; });
        return r;
    }

    // The lines of a memo the preview shows: those that lie at least half
    // inside the memo's box.
    std::vector<TDrawnLine> ShownIn(int page, const std::string& memo) const
    {
        std::vector<TDrawnLine> all = DrawnIn(page, memo), r;
        const double step = all.size() > 1 ? all[1].Y - all[0].Y : 15;
        for (const TDrawnLine& l : all)
            if (l.Y + step / 2 <= l.Clip.B) r.push_back(l);
        return r;
    }

    // The lines every memo shows on every page, in page order; a line that
    // does not wrap shows as far as the memo's right side.
    struct TShownLines {
        std::vector<std::string> Texts;
        bool Cut = false;
    };
    std::vector<TShownLines> ShownTexts() const
    {
        std::vector<TShownLines> r;
        for (int i = 0; i < kPages; ++i)
            for (const TMemoSpec& m : kMemos) {
                TShownLines lines;
                lines.Cut = !m.WordWrap;
                for (const TDrawnLine& l : ShownIn(i, m.Name)) lines.Texts.push_back(l.Text);
                r.push_back(lines);
            }
        return r;
    }

    // Exports the report without asking, has LibreOffice convert the file
    // and answers what it wrote.
    std::string ExportAndRead(const TScratch& dir, TfrxCustomExportFilter& filter, std::string& fileName,
                              const std::string& name, const std::string& to, const std::string& converted)
    {
        filter.ShowDialog = false;
        fileName = dir.Dir + name;
        EXPECT_TRUE(R.Report->Export(&filter));
        RunTool("cd '" + dir.Dir + "' && HOME='" + dir.Dir + "' timeout 120 soffice --headless --convert-to '" + to +
                "' --outdir '" + dir.Dir + "' '" + name + "' >/dev/null 2>&1");
        return ReadFile(dir.Dir + converted);
    }

    // The texts a reader found hold every memo's shown lines one after the
    // other, the page count put in and the clipped time nowhere.
    void ExpectTheShownLines(const std::string& all, const std::vector<std::string>& found) const
    {
        EXPECT_EQ(all.find("TotalPages"), std::string::npos);
        EXPECT_EQ(all.find("10:00:00"), std::string::npos) << "the clipped time is in no cell";
        for (const auto& shown : ShownTexts())
            EXPECT_TRUE(Consecutive(found, shown.Texts, shown.Cut)) << shown.Texts.front() << "\n" << all;
    }

    TExportReport R;
    TfrxPreviewPages* Pages = nullptr;
    std::map<int, std::vector<TDrawnLine>> Drawn;
    std::map<int, std::map<std::string, TBox>> Boxes;
};

// The words of every page of a PDF file, as pdftotext finds them.
std::vector<std::vector<TWord>> PdfWords(const std::string& file)
{
    const std::string xml = RunTool("pdftotext -bbox '" + file + "' - 2>&1");
    std::vector<std::vector<TWord>> pages;
    static const std::regex item("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                                 "yMax=\"([0-9.]+)\">([^<]*)</word>");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), item); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (m.str(0) == "<page ") {
            pages.emplace_back();
            continue;
        }
        if (pages.empty()) continue;
        pages.back().push_back({m.str(5), {std::stod(m.str(1)), std::stod(m.str(2)), std::stod(m.str(3)),
                                           std::stod(m.str(4))}});
    }
    return pages;
}

// The words in a box (pixels), gathered into lines top down, left to right.
std::vector<std::vector<TWord>> LinesIn(const std::vector<TWord>& words, const TBox& px)
{
    std::vector<TWord> in;
    for (const TWord& w : words)
        if (TBox{px.L * 0.75, px.T * 0.75, px.R * 0.75, px.B * 0.75}.Holds((w.Box.L + w.Box.R) / 2,
                                                                            (w.Box.T + w.Box.B) / 2))
            in.push_back(w);
    std::sort(in.begin(), in.end(), [](const TWord& a, const TWord& b) {
        return std::abs(a.Box.T - b.Box.T) > 1 ? a.Box.T < b.Box.T : a.Box.L < b.Box.L;
    });
    std::vector<std::vector<TWord>> lines;
    for (const TWord& w : in) {
        if (lines.empty() || std::abs(lines.back().front().Box.T - w.Box.T) > 1) lines.emplace_back();
        lines.back().push_back(w);
    }
    return lines;
}

std::string Joined(const std::vector<TWord>& line)
{
    std::string s;
    for (const TWord& w : line) s += (s.empty() ? "" : " ") + w.Text;
    return s;
}

}  // namespace

// What the layout itself shows in the preview: the checks below compare
// every export with this.
TEST_F(TExportsAsPreview, ThePreviewShowsTheCasesTheExportsAreReadAgainst)
{
    for (int i = 0; i < kPages; ++i) {
        const std::string n = std::to_string(i + 1);
        ASSERT_EQ(ShownIn(i, "Footer").size(), 1u);
        EXPECT_EQ(ShownIn(i, "Footer")[0].Text, "第 " + n + " 页 共 3 页");
        // The time wraps below the memo and is clipped away.
        const auto dateTime = DrawnIn(i, "DateTime");
        ASSERT_EQ(dateTime.size(), 2u);
        EXPECT_EQ(dateTime[1].Text, "10:00:00");
        ASSERT_EQ(ShownIn(i, "DateTime").size(), 1u);
        EXPECT_EQ(ShownIn(i, "DateTime")[0].Text, "2024-01-08");
        EXPECT_EQ(DrawnIn(i, "Date").size(), 1u) << "the date fits its memo";
        EXPECT_GE(ShownIn(i, "Chinese").size(), 3u);
        EXPECT_GE(ShownIn(i, "Block").size(), 2u);
    }
}

TEST_F(TExportsAsPreview, PdfWordsStandWhereThePreviewDrawsThem)
{
    TScratch dir("shownpdf");
    TfrxPDFExport pdf;
    pdf.ShowDialog = false;
    pdf.FileName = dir.Dir + "shown.pdf";
    ASSERT_TRUE(R.Report->Export(&pdf));
    const auto pages = PdfWords(pdf.FileName);
    ASSERT_EQ(int(pages.size()), kPages);
    const std::string all = RunTool("pdftotext '" + pdf.FileName + "' - 2>&1");
    EXPECT_EQ(all.find("TotalPages"), std::string::npos) << all;
    EXPECT_EQ(all.find("10:00:00"), std::string::npos) << "the clipped time is not in the document";
    for (int i = 0; i < kPages; ++i)
        for (const TMemoSpec& m : kMemos) {
            SCOPED_TRACE(std::string(m.Name) + " on page " + std::to_string(i + 1));
            const TBox box = Boxes[i][m.Name];
            const auto lines = LinesIn(pages[size_t(i)], box);
            const auto shown = ShownIn(i, m.Name);
            ASSERT_EQ(lines.size(), shown.size());
            for (size_t k = 0; k < lines.size(); ++k) {
                const std::string text = NoSpaces(Joined(lines[k]));
                if (m.WordWrap)
                    EXPECT_EQ(text, NoSpaces(shown[k].Text));
                else
                    EXPECT_EQ(NoSpaces(shown[k].Text).rfind(text, 0), 0u) << text << ": the start of the line";
                // Each line starts and stands where the preview draws it.
                EXPECT_NEAR(lines[k].front().Box.L, shown[k].X * 0.75, 0.8) << text;
                EXPECT_NEAR(lines[k].front().Box.T, shown[k].Y * 0.75, 1.5) << text;
                for (const TWord& w : lines[k]) {
                    EXPECT_GE(w.Box.L, box.L * 0.75 - 0.5) << w.Text;
                    EXPECT_GE(w.Box.T, box.T * 0.75 - 0.5) << w.Text;
                    EXPECT_LE(w.Box.B, box.B * 0.75 + 0.5) << w.Text;
                    // A character cut by the memo's edge shows as far as the edge.
                    EXPECT_LE(w.Box.R, box.R * 0.75 + (m.WordWrap ? 0.5 : 6)) << w.Text;
                }
                // A justified line but the last reaches the memo's right side.
                if (m.Align == frxClass::haBlock && k + 1 < lines.size())
                    EXPECT_NEAR(lines[k].back().Box.R, (box.R - 2) * 0.75, 1) << text;
            }
        }
}

TEST_F(TExportsAsPreview, WorkbookCellsHoldTheLinesThePreviewShows)
{
    TScratch dir("shownxls");
    TfrxXLSExport xls;
    const std::string xml = ExportAndRead(dir, xls, xls.FileName, "shown.xls", "fods", "shown.fods");
    ASSERT_FALSE(xml.empty());
    std::vector<std::string> paragraphs;
    static const std::regex p("<text:p>([^<]*)</text:p>");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), p); it != std::sregex_iterator(); ++it)
        paragraphs.push_back(it->str(1));
    ExpectTheShownLines(xml, paragraphs);
}

TEST_F(TExportsAsPreview, RtfCellsHoldTheLinesThePreviewShows)
{
    TScratch dir("shownrtf");
    TfrxRTFExport rtf;
    const std::string text = ExportAndRead(dir, rtf, rtf.FileName, "shown.rtf", "txt:Text (encoded):UTF8", "shown.txt");
    ASSERT_FALSE(text.empty());
    std::vector<std::string> lines;
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string l = text.substr(at, end - at);
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (!l.empty() && l.rfind("\xEF\xBB\xBF", 0) == 0) l.erase(0, 3);
        lines.push_back(l);
        at = end + 1;
    }
    ExpectTheShownLines(text, lines);
}

TEST_F(TExportsAsPreview, ImagePagesAreThePreviewsPages)
{
    TScratch dir("shownbmp");
    TfrxBMPExport bmp;
    bmp.ShowDialog = false;
    bmp.CropImages = false;
    bmp.FileName = dir.Dir + "shown.bmp";
    ASSERT_TRUE(R.Report->Export(&bmp));
    for (int i = 0; i < kPages; ++i) {
        TBitmap exported;
        exported.LoadFromFile(dir.Dir + "shown." + std::to_string(i + 1) + ".bmp");
        TBitmap preview(exported.Width(), exported.Height());
        preview.SetPixelFormat(pf24bit);
        preview.Canvas()->Brush()->SetColor(clWhite);
        preview.Canvas()->FillRect(Rect(0, 0, preview.Width(), preview.Height()));
        Pages->DrawPage(i, preview.Canvas(), 1, 1, 0, 0);
        preview.FinishDrawing();
        exported.SetPixelFormat(pf24bit);
        int differ = 0;
        for (int y = 0; y < exported.Height(); ++y) {
            const uint8_t *a = exported.ScanLine(y), *b = preview.ScanLine(y);
            for (int x = 0; x < 3 * exported.Width(); x += 3) differ += a[x] != b[x] || a[x + 1] != b[x + 1] || a[x + 2] != b[x + 2];
        }
        EXPECT_EQ(differ, 0) << "page " << i + 1;
        if (const char* keep = getenv("QZ_KEEP_PICTURES"))
            exported.SaveToFile(std::string(keep) + "/shown-export-" + std::to_string(i + 1) + ".bmp");
    }
}
