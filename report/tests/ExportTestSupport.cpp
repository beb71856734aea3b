#include "ExportTestSupport.h"

#include "SysUtils.h"
#include "TextUtils.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace exporttest {

std::string RunTool(const std::string& cmd)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p.get())) > 0) out.append(buf, n);
    return out;
}

TScratch::TScratch(const std::string& name)
{
    Dir = GetTempDir() + "qz_export_" + name + "_" + std::to_string(getpid()) + "/";
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
}

TScratch::~TScratch()
{
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
}

std::string ReadFile(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

TExportReport::TExportReport() : Report(std::make_unique<TfrxReport>())
{
    Report->EngineOptions()->SilentMode = true;
}

TExportReport::~TExportReport() = default;

TfrxReportPage* TExportReport::AddPage()
{
    auto* p = new TfrxReportPage(Report.get());
    p->SetName("Page" + IntToStr(Report->PagesCount()));
    p->SetDefaults();
    auto* band = new TfrxReportTitle(p);
    band->SetName("Title" + IntToStr(Report->PagesCount()));
    band->SetTop(0);
    band->SetHeight(1000);
    return p;
}

TfrxMemoView* TExportReport::AddMemo(TfrxReportPage* page, double left, double top, double width, double height,
                                     const std::string& text)
{
    TfrxComponent* band = page->Objects().front();
    auto* m = new TfrxMemoView(band);
    m->MakeUniqueName();
    m->SetBounds(left, top, width, height);
    m->SetText(text);
    return m;
}

void TExportReport::Prepare() { Report->PrepareReport(); }

}  // namespace exporttest
