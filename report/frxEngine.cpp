#include "frxEngine.h"

#include "DateUtils.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "frxAggregate.h"
#include "frxDBSet.h"
#include "frxDMPClass.h"
#include "frxPreview.h"
#include "frxPreviewPages.h"
#include "frxRes.h"
#include "frxUtils.h"
#include "frxXML.h"

#include <algorithm>
#include <cmath>
#include <map>

QZ_CLASS_IMPL(TfrxEngine, TfrxCustomEngine)

namespace {

bool IsStretching(TfrxComponent* c)
{
    auto* s = DynamicCast<TfrxStretcheable>(c);
    return s && s->StretchMode != smDontStretch;
}

bool Overlaps(TfrxComponent* a, TfrxComponent* b)
{
    return b->Left() < a->Left() + a->Width() - 1e-4 && b->Left() + b->Width() - 1e-4 > a->Left();
}

std::string Res(const char* key) { return frxRes::Resources().Get(key); }

}  // namespace

void TfrxHeaderList::Remove(TfrxBand* band)
{
    for (auto it = FItems.begin(); it != FItems.end(); ++it)
        if (it->Band == band) {
            FItems.erase(it);
            return;
        }
}

TfrxEngine::TfrxEngine(TfrxReport* report)
    : TfrxCustomEngine(report), FAggregates(std::make_unique<TfrxAggregateList>(report))
{
}

TfrxEngine::~TfrxEngine() = default;

TfrxPreviewPages* TfrxEngine::Pages() const { return static_cast<TfrxPreviewPages*>(PreviewPages); }

TfrxEngine::TBandInfo& TfrxEngine::Info(TfrxBand* band)
{
    auto it = FInfo.find(band);
    if (it != FInfo.end()) return it->second;
    TBandInfo& i = FInfo[band];
    i.ClassIndex = band->BandClassIndex();
    i.LastValue = Null();
    return i;
}

std::vector<TfrxBand*>& TfrxEngine::TopBands(TfrxReportPage* page, bool vertical)
{
    return vertical ? FTopV[page] : FTopH[page];
}

void TfrxEngine::ProcessMessages()
{
    if (TfrxPreviewPages::ProcessMessages) TfrxPreviewPages::ProcessMessages();
}

double TfrxEngine::FooterHeight()
{
    double h = 0;
    if (FColumnFooter) h += FColumnFooter->Height();
    if (FPageFooter) h += FPageFooter->Height();
    return h;
}

double TfrxEngine::FreeSpace() { return PageHeight - FooterHeight() - CurY; }

Variant TfrxEngine::GetAggregateValue(const std::string& name, const std::string& expression, TfrxBand* band,
                                      int flags)
{
    return FAggregates->GetValue(FAggregateBand, CurVColumn, name, expression, band, flags);
}

// ---- run ------------------------------------------------------------------------------------------

bool TfrxEngine::Run()
{
    TfrxReport* report = Report();
    if (!InitializeRun()) {
        FinalizeRun();
        return false;
    }
    bool started = false;
    bool result = false;
    try {
        report->DataSets()->Initialize();
        started = true;
        report->DoNotifyEvent(report, report->OnStartReport);
        if (RunDialogs()) {
            result = true;
            FinalPass = !DoublePass();
            TotalPages = 0;
            Pages()->BeginPass();
            RunReportPages();
            if (DoublePass()) {
                TotalPages = Pages()->Count();
                Pages()->ClearFirstPassPages();
                FAggregates->ClearValues();
                FinalPass = true;
                RunReportPages();
            }
        }
    } catch (...) {
        if (started) {
            try {
                report->DoNotifyEvent(report, report->OnStopReport);
            } catch (const std::exception&) {
            }
        }
        FinalizeRun();
        throw;
    }
    if (started) report->DoNotifyEvent(report, report->OnStopReport);
    FinalizeRun();
    return result;
}

void TfrxEngine::FinalizeRun()
{
    try {
        Report()->DataSets()->Finalize();
    } catch (const std::exception&) {
    }
    Pages()->Finish();
    Running = false;
    FContainer.reset();
}

bool TfrxEngine::InitializeRun()
{
    TfrxReport* report = Report();
    Pages()->Initialize();
    StartDate = Date();
    StartTime = Time();
    Running = true;
    FKeeping = false;
    CurVColumn = 0;
    FContainer.reset();
    FAggregates->Clear();
    FInfo.clear();
    FTopH.clear();
    FTopV.clear();
    FHomeBand.clear();
    TfrxAggregateList::TBandTree tree;
    tree.Footer = [this](TfrxBand* b) { return Info(b).Footer; };
    tree.GroupChain = [this](TfrxBand* b) {
        TBandInfo& i = Info(b);
        return i.Group ? Info(i.Group).Sub : std::vector<TfrxBand*>();
    };
    tree.GroupFooter = [this](TfrxBand* b) { return Info(b).Footer; };
    tree.Details = [this](TfrxBand* b) { return Info(b).Sub; };
    tree.HomeBand = [this](TfrxComponent* c) {
        auto it = FHomeBand.find(c);
        return it == FHomeBand.end() ? nullptr : it->second;
    };
    for (int i = 0; i < report->PagesCount(); ++i) {
        auto* page = DynamicCast<TfrxReportPage>(report->PageAt(i));
        if (!page) continue;
        FPage = page;
        Pages()->AddSourcePage(page);
        PrepareBands(false);
        PrepareBands(true);
        FAggregates->AddItems(page, TopBands(page, false), TopBands(page, true), tree);
    }
    for (int i = 0; i < report->PagesCount(); ++i) {
        auto* page = DynamicCast<TfrxReportPage>(report->PageAt(i));
        if (!page) continue;
        if (report->DataSet() && report->DataSet() == page->DataSet()) {
            report->Errors()->Add("Cannot use the same dataset for Report.DataSet and Page.DataSet");
            break;
        }
        for (TfrxBand* b : TopBands(page, false)) {
            TfrxDataSet* ds = Info(b).DataSet;
            if (report->DataSet() && ds == report->DataSet()) {
                report->Errors()->Add("Cannot use the same dataset for Report.DataSet and Band.DataSet");
                break;
            }
            if (page->DataSet() && ds == page->DataSet()) {
                report->Errors()->Add("Cannot use the same dataset for Page.DataSet and Band.DataSet");
                break;
            }
        }
    }
    return report->Errors()->Count() == 0;
}

void TfrxEngine::PrepareBands(bool vertical)
{
    TfrxReport* report = Report();
    FPage->AlignChildren();
    std::vector<TfrxBand*>& top = TopBands(FPage, vertical);
    top.clear();
    std::vector<TfrxBand*> bands, verticalBands;
    for (TfrxComponent* c : FPage->Objects())
        if (auto* b = DynamicCast<TfrxBand>(c)) {
            if (b->Vertical == vertical) bands.push_back(b);
            if (b->Vertical) verticalBands.push_back(b);
        }
    for (TfrxBand* b : bands) {
        PrepareShiftTree(b);
        TBandInfo& i = Info(b);
        i.Sub.clear();
        i.Header = i.Footer = i.Group = nullptr;
        i.HasVBands = false;
        i.DataSet = nullptr;
        if (auto* d = DynamicCast<TfrxDataBand>(b)) {
            i.DataSet = d->DataSet();
            if (!i.DataSet && d->RowCount() > 0) {
                d->VirtualDataSet()->SetRangeEndCount(d->RowCount());
                d->VirtualDataSet()->Initialize();
                i.DataSet = d->VirtualDataSet();
            }
        }
        if (!vertical) {
            std::vector<TfrxComponent*> objs = b->Objects();
            for (TfrxComponent* o : objs)
                for (TfrxBand* vb : verticalBands)
                    if (o->Left() >= vb->Left() - 1e-4 && o->Left() + o->Width() <= vb->Left() + vb->Width() + 1e-4) {
                        FHomeBand[o] = b;
                        o->SetLeft(o->Left() - vb->Left());
                        o->SetParent(vb);
                        i.HasVBands = true;
                        break;
                    }
        }
    }
    // The bands that take part in the tree, in the order of their position.
    std::map<std::string, TfrxBand*> sorted;
    for (TfrxBand* b : bands) {
        int k = Info(b).ClassIndex;
        if (k < 4 || k > 13) continue;
        std::string key = Format("%9.2f", {vertical ? b->Left() : b->Top()});
        sorted.emplace(key, b);   // of two bands at one position, the first takes part
    }
    std::vector<TfrxBand*> list;
    for (auto& [k, b] : sorted) list.push_back(b);
    auto idx = [&](TfrxBand* b) { return Info(b).ClassIndex; };
    auto isData = [&](TfrxBand* b) { int k = idx(b); return k >= 6 && k <= 11; };
    // Groups.
    for (size_t i = 0; i < list.size(); ++i) {
        if (idx(list[i]) != 12) continue;
        size_t j = i;
        std::vector<TfrxBand*> chain;
        while (j < list.size() && idx(list[j]) == 12) chain.push_back(list[j++]);
        for (TfrxBand* g : chain) Info(g).Sub.clear();
        Info(chain.front()).Sub = chain;
        if (j < list.size() && isData(list[j])) Info(list[j]).Group = chain.front();
        else report->Errors()->Add(Res("enUnconnGroup") + " " + chain.front()->Name());
        i = j - 1;
    }
    for (size_t i = 0; i < list.size();) {
        if (idx(list[i]) != 13) {
            ++i;
            continue;
        }
        int h = -1;
        for (int k = int(i) - 1; k >= 0; --k)
            if (idx(list[size_t(k)]) == 12) {
                h = k;
                break;
            }
        if (h < 0) {
            ++i;
            continue;
        }
        Info(list[size_t(h)]).Footer = list[i];
        list.erase(list.begin() + long(i));
        list.erase(list.begin() + h);
        i = size_t(h);
    }
    list.erase(std::remove_if(list.begin(), list.end(), [&](TfrxBand* b) { return idx(b) == 12; }), list.end());
    for (size_t i = 0; i < list.size();) {
        if (idx(list[i]) == 13) {
            report->Errors()->Add(Res("enUnconnGFooter") + " " + list[i]->Name());
            list.erase(list.begin() + long(i));
        } else {
            ++i;
        }
    }
    // Headers and footers.
    for (size_t i = 0; i < list.size(); ++i) {
        if (!isData(list[i])) continue;
        if (i > 0 && idx(list[i - 1]) == 4) Info(list[i]).Header = list[i - 1];
        if (i + 1 < list.size() && idx(list[i + 1]) == 5) Info(list[i]).Footer = list[i + 1];
    }
    std::vector<TfrxBand*> rest;
    for (size_t i = 0; i < list.size(); ++i) {
        int k = idx(list[i]);
        bool used = (k == 4 && i + 1 < list.size() && isData(list[i + 1]) && Info(list[i + 1]).Header == list[i]) ||
                    (k == 5 && i > 0 && isData(list[i - 1]) && Info(list[i - 1]).Footer == list[i]);
        if (k == 4 || k == 5) {
            if (!used) report->Errors()->Add(Res("enUnconnHeader") + " " + list[i]->Name());
            continue;
        }
        rest.push_back(list[i]);
    }
    // The tree of data bands.
    std::vector<bool> reached(rest.size(), false);
    std::function<void(size_t, TfrxBand*)> take = [&](size_t from, TfrxBand* parent) {
        int pk = idx(parent);
        for (size_t j = from; j < rest.size(); ++j) {
            int k = idx(rest[j]);
            if (k <= pk) break;
            if (k == pk + 1) {
                reached[j] = true;
                if (Info(rest[j]).DataSet) Info(parent).Sub.push_back(rest[j]);
                take(j + 1, rest[j]);
            }
        }
    };
    for (size_t i = 0; i < rest.size(); ++i) {
        if (idx(rest[i]) != 6) continue;
        reached[i] = true;
        if (Info(rest[i]).DataSet) top.push_back(rest[i]);
        take(i + 1, rest[i]);
    }
    for (size_t i = 0; i < rest.size(); ++i)
        if (!reached[i]) report->Errors()->Add(Res("enBandPos") + " " + rest[i]->Name());
}

void TfrxEngine::PrepareShiftTree(TfrxBand* band)
{
    TBandInfo& info = Info(band);
    if (info.ShiftPrepared) return;
    info.ShiftPrepared = true;
    info.ShiftRoots.clear();
    std::vector<TfrxReportComponent*> objs;
    for (TfrxComponent* c : band->Objects())
        if (auto* r = DynamicCast<TfrxReportComponent>(c)) {
            r->ShiftChildren.clear();
            objs.push_back(r);
        }
    for (TfrxReportComponent* o : objs) {
        TfrxReportComponent* best = nullptr;
        double bestGap = 0;
        for (TfrxReportComponent* other : objs) {
            if (other == o) continue;
            double gap = o->Top() - (other->Top() + other->Height());
            if (gap <= -1e-4) continue;
            if (!(other->Left() < o->Left() + o->Width() - 1e-4 && other->Left() + other->Width() - 1e-4 > o->Left()))
                continue;
            if (!best || gap < bestGap) {
                best = other;
                bestGap = gap;
            }
        }
        if (best) best->ShiftChildren.push_back(o);
        else info.ShiftRoots.push_back(o);
    }
}

bool TfrxEngine::RunDialogs()
{
    // Dialog pages show only with controls, and no control class exists in
    // this system; a layout's dialog pages therefore never stop a run.
    return true;
}

void TfrxEngine::RunReportPages()
{
    TfrxReport* report = Report();
    FFirstReportPage = true;
    auto runPages = [&]() {
        for (int i = 0; i < report->PagesCount(); ++i) {
            auto* page = DynamicCast<TfrxReportPage>(report->PageAt(i));
            if (!page || !page->Visible() || page->IsSubReport()) continue;
            if (report->Terminated()) break;
            RunPage(page);
            FFirstReportPage = false;
        }
    };
    if (TfrxDataSet* ds = report->DataSet()) {
        ds->First();
        while (!ds->Eof() && !report->Terminated()) {
            runPages();
            ds->Next();
        }
    } else {
        runPages();
    }
}

void TfrxEngine::RunPage(TfrxReportPage* page)
{
    TfrxReport* report = Report();
    FPage = page;
    if (page->IsSubReport()) {
        ShowDataBands(TopBands(page, false));
        return;
    }
    FPageStart = true;
    report->DoNotifyEvent(page, page->OnBeforePrint);
    if (TfrxDataSet* ds = page->DataSet()) {
        ds->First();
        while (!ds->Eof() && !report->Terminated()) {
            RunPageBody(page);
            ds->Next();
        }
    } else {
        RunPageBody(page);
    }
    report->DoNotifyEvent(page, page->OnAfterPrint);
}

void TfrxEngine::RunPageBody(TfrxReportPage* page)
{
    TfrxReport* report = Report();
    if (!HasDetailData(TopBands(page, false), true, report->EngineOptions()->PrintIfEmpty)) return;
    StartPage();
    ShowPageObjects(page);
    if (report->OnManualBuild) report->OnManualBuild(page);
    else if (!page->OnManualBuild.empty()) report->DoNotifyEvent(page, page->OnManualBuild);
    else ShowDataBands(TopBands(page, false));
    ShowBandByClass(TfrxReportSummary::StaticClass());
    FLastPage = true;
    EndPage();
    FLastPage = false;
}

void TfrxEngine::ShowPageObjects(TfrxReportPage* page)
{
    std::vector<TfrxComponent*> objs;
    for (TfrxComponent* c : page->Objects())
        if (!c->Is<TfrxBand>()) objs.push_back(c);
    if (objs.empty()) return;
    TfrxNullBand band(nullptr);
    for (TfrxComponent* c : objs) c->SetParent(&band);
    try {
        ShowBand(&band);
    } catch (...) {
        for (TfrxComponent* c : objs) c->SetParent(page);
        FInfo.erase(&band);
        throw;
    }
    for (TfrxComponent* c : objs) c->SetParent(page);
    FInfo.erase(&band);
}

void TfrxEngine::StartPage()
{
    FHeaderList.Clear();
    TfrxBand* title = FPage->FindBand(TfrxReportTitle::StaticClass());
    TfrxBand* header = FPage->FindBand(TfrxPageHeader::StaticClass());
    if (FPage->TitleBeforeHeader) {
        if (title) FHeaderList.Add(title, false, 0);
        if (header) FHeaderList.Add(header, false, 0);
    } else {
        if (header) FHeaderList.Add(header, false, 0);
        if (title) FHeaderList.Add(title, false, 0);
    }
    FColumnFooter = FPage->FindBand(TfrxColumnFooter::StaticClass());
    FPageFooter = FPage->FindBand(TfrxPageFooter::StaticClass());
    PageHeight = (FPage->PaperHeight() - FPage->TopMargin - FPage->BottomMargin) * fr01cm;
    PageWidth = (FPage->PaperWidth() - FPage->LeftMargin - FPage->RightMargin) * fr01cm;
    CurX = 0;
    CurY = 0;
    CurColumn = 1;
    FSubreportLeft = 0;
    FFirstPage = true;
    FLastPage = false;
    if (Pages()->Count() > 0 && FPage->PrintOnPreviousPage) {
        Pages()->PageIndex = Pages()->Count() - 1;
        CurY = Pages()->GetLastY();
        if (title) {
            FHeaderList.Remove(title);
            ShowBand(title);
        }
    } else {
        AddPageWithHeaders();
    }
    if (FFirstReportPage) Pages()->BasePage = Pages()->PageIndex;
    FColumnTop = CurY;
    if (TfrxBand* ch = FPage->FindBand(TfrxColumnHeader::StaticClass())) {
        ShowBand(ch);
        FHeaderList.Add(ch, false, 0);
    }
    if (title) FHeaderList.Remove(title);
    Pages()->Outline()->LevelRoot();
    if (!FPage->OutlineText.empty())
        Pages()->Outline()->AddItem(VarToStr(Report()->Calc(FPage->OutlineText)), 0);
}

void TfrxEngine::AddPageWithHeaders()
{
    Pages()->AddPage(FPage);
    CurY = 0;
    ShowBandByClass(TfrxOverlay::StaticClass());
    CurY = 0;
    const double savedX = CurX;
    for (int i = 0; i < FHeaderList.Count(); ++i) {
        TfrxHeaderListItem item = FHeaderList.Items(i);
        CurX = item.Left;
        TfrxBand* b = item.Band;
        if (!b) continue;
        if (b->Is<TfrxPageHeader>() && FFirstPage && !b->PrintOnFirstPage) continue;
        if (FKeeping && item.IsInKeepList) continue;
        TBandInfo& info = Info(b);
        info.Overflow = true;
        CurLine = info.LineN;
        CurLineThrough = info.LineThrough;
        FReprinting = true;
        if (b->Is<TfrxReportTitle>()) FHeaderList.Items(i).Band = nullptr;
        ShowBand(b);
        FReprinting = false;
        info.Overflow = false;
    }
    CurX = savedX;
}

bool TfrxEngine::HasDetailData(const std::vector<TfrxBand*>& subBands, bool isPage, bool force)
{
    if (force) return true;
    bool result = subBands.empty() ? !isPage : false;
    for (TfrxBand* sub : subBands) {
        TBandInfo& info = Info(sub);
        if (!info.DataSet) continue;
        Report()->DoNotifyEvent(sub, static_cast<TfrxDataBand*>(sub)->OnMasterDetail);
        info.DataSet->First();
        if (!info.DataSet->Eof() && !result)
            result = HasDetailData(info.Sub, false, static_cast<TfrxDataBand*>(sub)->PrintIfDetailEmpty);
    }
    return result;
}

void TfrxEngine::ResetMemoLastValues(TfrxBand* band)
{
    for (TfrxComponent* c : band->Objects())
        if (auto* m = DynamicCast<TfrxCustomMemoView>(c)) m->LastValue = Null();
}

TfrxDataSet* TfrxEngine::StartRows(TfrxBand* band)
{
    TBandInfo& info = Info(band);
    TfrxDataSet* ds = info.DataSet;
    if (!ds) return nullptr;
    ds->First();
    info.LineN = 1;
    info.LineThrough = 1;
    ResetMemoLastValues(band);
    return ds;
}

void TfrxEngine::ShowDataBands(const std::vector<TfrxBand*>& bands)
{
    TfrxReport* report = Report();
    ProcessMessages();
    if (report->Terminated()) return;
    double x = CurY;
    for (TfrxBand* b : bands) {
        auto* band = static_cast<TfrxDataBand*>(b);
        TBandInfo& info = Info(band);
        TfrxDataSet* ds = StartRows(band);
        if (!ds) continue;
        band->SetCurColumn(1);
        bool first = true;
        int rowKeepPos = 0, footerKeepPos = 0;
        bool shown = false;
        while (!ds->Eof()) {
            if (HasDetailData(info.Sub, false, band->PrintIfDetailEmpty)) {
                if (first) {
                    if (band->KeepTogether) StartKeep(band);
                    if (band->KeepHeader && info.Header) StartKeep(band);
                    if (info.Header) {
                        ShowBand(info.Header);
                        if (info.Header->ReprintOnNewPage) FHeaderList.Add(info.Header, FKeeping, CurX);
                    }
                } else if (!info.Group && band->KeepTogether) {
                    StartKeep(band);
                }
                if (info.Group) {
                    if (first) InitGroups(band, info.Group, 0, true);
                    else CheckGroups(band, info.Group, x, rowKeepPos);
                }
                if (band->KeepFooter) footerKeepPos = Pages()->GetCurPosition();
                if (band->Columns > 1 && band->CurColumn() == 1) rowKeepPos = Pages()->GetCurPosition();
                x = CurY;
                CurLine = info.LineN;
                CurLineThrough = info.LineThrough;
                ShowBand(band);
                shown = true;
                if (first && band->KeepHeader && info.Header) EndKeep(band);
                ++info.LineN;
                ++info.LineThrough;
                CheckBandColumns(band, rowKeepPos, x);
                AddBandOutline(band);
                ShowDataBands(info.Sub);
                if (!band->OutlineText.empty()) Pages()->Outline()->LevelUp();
                first = false;
            }
            FPageStart = false;
            if (band->FooterAfterEach) ShowBand(info.Footer);
            if (!info.Group && band->KeepTogether) EndKeep(band);
            ds->Next();
            if (!((band->RowCount() == 0 || band->RowCount() >= info.LineN) && !report->Terminated())) break;
        }
        band->SetCurColumn(band->Columns);
        CheckBandColumns(band, rowKeepPos, x);
        if (info.Group) ShowGroupFooters(info.Group, 0);
        if (shown) {
            if (!band->FooterAfterEach) {
                if (band->KeepFooter && info.Footer) StartKeep(band, footerKeepPos);
                ShowBand(info.Footer);
                if (band->KeepFooter && info.Footer) EndKeep(band);
            }
            if (info.Header) FHeaderList.Remove(info.Header);
            if (info.Group && band->KeepTogether) EndKeep(band);
        }
        if (report->Terminated()) break;
        FPageStart = false;
    }
}

void TfrxEngine::InitGroups(TfrxBand* dataBand, TfrxBand* group, int from, bool reset)
{
    TfrxReport* report = Report();
    std::vector<TfrxBand*>& chain = Info(group).Sub;
    for (int i = from; i < int(chain.size()); ++i) {
        TfrxBand* h = chain[size_t(i)];
        TBandInfo& hi = Info(h);
        if (reset) {
            hi.LineN = 1;
            hi.LineThrough = 1;
            ResetMemoLastValues(h);
        } else {
            ++hi.LineN;
            if (i + 1 < int(chain.size())) Info(chain[size_t(i + 1)]).LineN = 0;
            ++hi.LineThrough;
        }
        CurLine = hi.LineN;
        CurLineThrough = hi.LineThrough;
        report->CurObject = h->Name();
        hi.LastValue = report->Calc(h->Condition);
        if (h->KeepTogether) StartKeep(h);
        ShowBand(h);
        AddBandOutline(h);
        if (h->ReprintOnNewPage) {
            if (h->Vertical) FVHeaders.push_back(h);
            else FHeaderList.Add(h, FKeeping, CurX);
        }
        reset = true;   // levels below a changed one start afresh
        (void)dataBand;
    }
}

void TfrxEngine::CheckGroups(TfrxBand* dataBand, TfrxBand* group, double x, int keepPos)
{
    TfrxReport* report = Report();
    std::vector<TfrxBand*>& chain = Info(group).Sub;
    TBandInfo& di = Info(dataBand);
    for (int i = 0; i < int(chain.size()); ++i) {
        TfrxBand* h = chain[size_t(i)];
        report->CurObject = h->Name();
        Variant v = report->Calc(h->Condition);
        if (VarSameValue(v, Info(h).LastValue)) continue;
        auto* db = static_cast<TfrxDataBand*>(dataBand);
        db->SetCurColumn(db->Columns);
        CheckBandColumns(db, keepPos, x);
        bool stepped = false;
        try {
            di.DataSet->Prior();
            stepped = true;
        } catch (const std::exception&) {
        }
        ShowGroupFooters(group, i);
        if (stepped) di.DataSet->Next();
        InitGroups(dataBand, group, i, false);
        di.LineN = 1;
        ResetMemoLastValues(dataBand);
        break;
    }
}

void TfrxEngine::ShowGroupFooters(TfrxBand* group, int from)
{
    std::vector<TfrxBand*>& chain = Info(group).Sub;
    for (int i = int(chain.size()) - 1; i >= from; --i) {
        TfrxBand* h = chain[size_t(i)];
        ShowBand(Info(h).Footer);
        if (!h->OutlineText.empty()) Pages()->Outline()->LevelUp();
        if (h->Vertical) FVHeaders.erase(std::remove(FVHeaders.begin(), FVHeaders.end(), h), FVHeaders.end());
        else FHeaderList.Remove(h);
        if (h->KeepTogether) EndKeep(h);
    }
}

void TfrxEngine::ShowBand(TfrxBand* band)
{
    if (!band) return;
    if (band->KeepChild) StartKeep(band);
    PlaceBand(band);
    if (TfrxChild* child = band->Child())
        if (band->Visible() || band->PrintChildIfInvisible) ShowBand(child);
    if (band->KeepChild) EndKeep(band);
    if (band->Is<TfrxDataBand>()) FAggregates->AddValue(band, 0);
}

void TfrxEngine::ShowBandByClass(TClass bandClass)
{
    if (FPage)
        if (TfrxBand* b = FPage->FindBand(bandClass)) ShowBand(b);
}

bool TfrxEngine::IsFooterLike(TfrxBand* band)
{
    int k = Info(band).ClassIndex;
    return k == 1 || k == 3 || k == 5 || k == 13 || k == 16;
}

void TfrxEngine::ResetBandAggregates(TfrxBand* band) { FAggregates->Reset(band); }

void TfrxEngine::PlaceBand(TfrxBand* band)
{
    TfrxReport* report = Report();
    TBandInfo& info = Info(band);
    double savedX = CurX;
    if (info.HasVBands) {
        report->CurObject = band->Name();
        band->BeforePrint();
        report->DoBeforePrint(band);
        FillCrossBand(band);
        CurX = 0;
        Pages()->AppendPages = true;
    }
    if (band->Vertical) {
        ShowVerticalBand(band);
        return;
    }
    auto* dataBand = DynamicCast<TfrxDataBand>(band);
    const bool multiColumn = dataBand && dataBand->Columns > 1;
    if (!FReprinting && band->Visible() && band->StartNewPage && !FContainer &&
        (!(dataBand || band->Is<TfrxGroupHeader>()) || info.LineThrough != 1))
        NewPage();
    PrepareBand(band);
    bool split = false;
    if (band->Visible()) {
        if (!multiColumn && !band->Is<TfrxOverlay>() && FreeSpace() < band->Height() - 1e-4 && !FContainer) {
            if (band->AllowSplit) {
                SplitBand(band);
                split = true;
            } else {
                NewColumn();
            }
        }
        if (!split) {
            if (!band->Is<TfrxNullBand>()) {
                band->SetLeft(multiColumn ? band->Left() + CurX : CurX);
                band->SetTop(CurY);
            }
            if (FContainer) OutputToContainer(band);
            else if (info.HasVBands) ShowCrossBand(band);
            else if (FReprinting) {
                if (!Pages()->BandExists(band)) Pages()->AddObject(band);
            } else {
                Pages()->AddObject(band);
            }
            CurY += band->Height();
        }
    }
    FinishBand(band);
    if (IsFooterLike(band)) ResetBandAggregates(band);
    if (band->Visible()) ShowSubreports(band);
    if (info.HasVBands) CurX = savedX;
}

void TfrxEngine::PrepareBand(TfrxBand* band)
{
    TfrxReport* report = Report();
    FAggregateBand = band;
    PrepareShiftTree(band);
    const bool filling = band == FCrossBand;
    if (!filling) {
        report->CurObject = band->Name();
        band->BeforePrint();
        report->DoBeforePrint(band);
    }
    bool hasInline = false;
    std::vector<std::pair<TfrxStretcheable*, double>> grown;
    std::vector<TfrxComponent*> objs = band->Objects();
    for (TfrxComponent* c : objs) {
        auto* o = DynamicCast<TfrxReportComponent>(c);
        if (!o) continue;
        if (auto* sr = DynamicCast<TfrxSubreport>(o)) hasInline |= sr->PrintOnParent;
        if (!filling) {
            report->CurObject = o->Name();
            o->BeforePrint();
            if (band->Visible()) {
                report->DoBeforePrint(o);
                if (o->Visible()) {
                    o->GetData();
                    report->DoNotifyEvent(o, o->OnAfterData);
                }
            }
        }
        if (band->Visible() && o->Visible() && IsStretching(o)) {
            auto* s = static_cast<TfrxStretcheable*>(o);
            double h = s->CalcHeight();
            if (h > s->Height()) {
                double g = h - s->Height();
                s->SetHeight(h);
                grown.emplace_back(s, g);
            }
        }
    }
    if (!band->Visible()) return;
    if (!grown.empty()) {
        // Shift the objects below each grown one, down the shift tree.
        std::unordered_map<TfrxReportComponent*, double> growth;
        for (auto& [s, g] : grown) growth[s] = g;
        std::function<void(std::vector<TfrxReportComponent*>&, double, TfrxReportComponent*)> walk =
            [&](std::vector<TfrxReportComponent*>& list, double shift, TfrxReportComponent* parent) {
                for (TfrxReportComponent* o : list) {
                    auto* v = DynamicCast<TfrxView>(o);
                    TfrxShiftMode mode = v ? v->ShiftMode : smAlways;
                    auto git = growth.find(o);
                    double own = git == growth.end() ? 0 : git->second;
                    if (mode == smAlways) {
                        o->SetTop(o->Top() + shift);
                        walk(o->ShiftChildren, shift + own, o);
                    } else if (mode == smWhenOverlapped) {
                        double pb = parent ? parent->Top() + parent->Height() : 0;
                        double d = 0;
                        if (parent && o->Top() < pb) {
                            d = pb - o->Top();
                            o->SetTop(pb);
                        }
                        walk(o->ShiftChildren, d + own, o);
                    }
                }
            };
        walk(Info(band).ShiftRoots, 0, nullptr);
    }
    if (hasInline) ShowInlineSubreports(band);
    double maxBottom = 0;
    for (TfrxComponent* c : band->Objects()) {
        double b = c->Top() + c->Height();
        if (c->ClassName() == "TfrxDMPMemoView")
            if (auto* v = DynamicCast<TfrxView>(c); v && v->Frame()->Typ.Contains(ftBottom)) b += fr1CharY;
        maxBottom = std::max(maxBottom, b);
    }
    if (band->Stretched) band->SetHeight(maxBottom);
    report->DoNotifyEvent(band, band->OnAfterCalcHeight);
    for (TfrxComponent* c : band->Objects())
        if (auto* s = DynamicCast<TfrxStretcheable>(c); s && s->StretchMode == smMaxHeight) {
            double h = maxBottom - s->Top();
            if (c->ClassName() == "TfrxDMPMemoView" && s->Frame()->Typ.Contains(ftBottom)) h -= fr1CharY;
            s->SetHeight(h);
        }
}

void TfrxEngine::FinishBand(TfrxBand* band)
{
    TfrxReport* report = Report();
    std::vector<TfrxComponent*> objs = band->Objects();
    if (band->Visible())
        for (TfrxComponent* c : objs)
            if (auto* o = DynamicCast<TfrxReportComponent>(c)) {
                report->CurObject = o->Name();
                report->DoAfterPrint(o);
            }
    for (TfrxComponent* c : objs)
        if (auto* o = DynamicCast<TfrxReportComponent>(c)) o->AfterPrint();
    report->CurObject = band->Name();
    report->DoAfterPrint(band);
    band->AfterPrint();
    TBandInfo& info = Info(band);
    if (info.InitialObjects >= 0) {
        while (int(band->Objects().size()) > info.InitialObjects) FreeObject(band->Objects().back());
        info.InitialObjects = -1;
    }
}

// ---- pages and columns ------------------------------------------------------------------------------

void TfrxEngine::EndPage()
{
    if (FPage->Columns() > 1) {
        ShowColumnFooter();
        CurX = FSubreportLeft;
        CurColumn = 1;
        FColumnTop = 0;
    }
    for (TfrxBand* b : {FColumnFooter, FPageFooter}) {
        if (!b) continue;
        if (b->Is<TfrxPageFooter>()) CurY = PageHeight - b->Height();
        PrepareBand(b);
        bool leftOut = (FFirstPage && !b->PrintOnFirstPage) || (FLastPage && !b->PrintOnLastPage);
        if (b->Visible() && !leftOut) {
            b->SetLeft(0);
            b->SetTop(CurY);
            if (!Pages()->BandExists(b)) Pages()->AddObject(b);
            CurY += b->Height();
        }
        FinishBand(b);
        if (!leftOut || !b->Visible()) ResetBandAggregates(b);
    }
    FFirstPage = false;
}

void TfrxEngine::NewPage()
{
    const int keepPos = FKeepPosition;
    if (FKeeping) Pages()->CutObjects(keepPos);
    EndPage();
    AddPageWithHeaders();
    if (FKeeping) {
        FAggregates->EndKeep();
        Pages()->PasteObjects(0, CurY);
        Pages()->Outline()->ShiftItems(FKeepOutline, int(std::nearbyint(CurY)));
        CurY = Pages()->GetLastY();
    }
    FKeeping = false;
    FKeepBand = nullptr;
    AddPageOutline();
}

void TfrxEngine::NewColumn()
{
    if (CurColumn >= FPage->Columns()) {
        NewPage();
        return;
    }
    ShowColumnFooter();
    AdvanceColumn();
}

double TfrxEngine::ColumnX(int column) const
{
    // Column positions are millimetres, with either decimal separator.
    TStringList* pos = FPage->ColumnPositions();
    if (column < 1 || column - 1 >= pos->Count()) return 0;
    try {
        return frxUtils::StrToFloatAnySeparator((*pos)[column - 1]) * fr01cm;
    } catch (const std::exception&) {
        return 0;
    }
}

void TfrxEngine::AdvanceColumn()
{
    ++CurColumn;
    const double x = ColumnX(CurColumn);
    CurY = FColumnTop;
    for (int i = 0; i < FHeaderList.Count(); ++i) {
        TfrxHeaderListItem item = FHeaderList.Items(i);
        TfrxBand* b = item.Band;
        if (!b) continue;
        if (b->Is<TfrxPageHeader>() && CurY != 0) continue;
        for (TfrxBand* c = b; c; c = c->Child()) {
            Info(c).Overflow = true;
            PrepareBand(c);
            if (c->Visible()) {
                c->SetLeft(item.Left + x);
                c->SetTop(CurY);
                if (!c->Is<TfrxPageHeader>()) Pages()->AddObject(c);
                CurY += c->Height();
            }
            FinishBand(c);
            Info(c).Overflow = false;
        }
    }
    CurX = FSubreportLeft + x;
}

void TfrxEngine::ShowColumnFooter()
{
    TfrxBand* b = FColumnFooter;
    if (!b) return;
    PrepareBand(b);
    if (b->Visible()) {
        b->SetLeft(CurX - FSubreportLeft);
        b->SetTop(CurY);
        Pages()->AddObject(b);
    }
    FinishBand(b);
    ResetBandAggregates(b);
}

void TfrxEngine::StartKeep(TfrxBand* band, int position)
{
    if (FKeeping || FPageStart) return;
    FKeeping = true;
    FKeepBand = band;
    FKeepPosition = position != 0 ? position : Pages()->GetCurPosition();
    FKeepOutline = Pages()->Outline()->GetCurPosition();
    FAggregates->StartKeep();
}

void TfrxEngine::EndKeep(TfrxBand* band)
{
    if (FKeepBand != band) return;
    FKeeping = false;
    FKeepBand = nullptr;
    FAggregates->EndKeep();
}

void TfrxEngine::CheckBandColumns(TfrxDataBand* band, int rowKeepPos, double x)
{
    if (band->Columns < 2) return;
    band->MaxY = std::max(band->MaxY, CurY);
    if (band->CurColumn() < band->Columns) {
        CurY = x;
    } else if (band->MaxY <= PageHeight - FooterHeight()) {
        CurY = band->MaxY;
    } else if (FKeeping) {
        NewColumn();
    } else {
        const double maxY = band->MaxY;
        Pages()->CutObjects(rowKeepPos);
        NewColumn();
        Pages()->PasteObjects(CurX, CurY);
        CurY += maxY - x;
    }
    band->SetCurColumn(band->CurColumn() + 1);
}

void TfrxEngine::AddBandOutline(TfrxBand* band)
{
    if (band->OutlineText.empty()) return;
    std::string text = VarToStr(Report()->Calc(band->OutlineText));
    Pages()->Outline()->AddItem(text, int(std::nearbyint(CurY - band->Height())));
}

void TfrxEngine::AddPageOutline()
{
    Pages()->Outline()->LevelRoot();
    if (!FPage->OutlineText.empty())
        Pages()->Outline()->AddItem(VarToStr(Report()->Calc(FPage->OutlineText)), 0);
}

// ---- split bands ------------------------------------------------------------------------------------

void TfrxEngine::SplitBand(TfrxBand* band)
{
    std::vector<TfrxComponent*> all = band->Objects();
    std::vector<TfrxComponent*> remaining;
    std::unordered_map<TfrxComponent*, double> saved;
    for (TfrxComponent* c : all) {
        if (c->Is<TfrxSubreport>()) continue;
        remaining.push_back(c);
        if (IsStretching(c)) {
            static_cast<TfrxStretcheable*>(c)->StartPart();
            saved[c] = c->Height();
        }
    }
    for (TfrxComponent* c : all) c->SetParent(nullptr);
    double free = FreeSpace();
    int emptyParts = 0;
    while (!remaining.empty()) {
        std::vector<TfrxComponent*> moved;
        auto wasMoved = [&](TfrxComponent* c) { return std::find(moved.begin(), moved.end(), c) != moved.end(); };
        auto pushBelow = [&](TfrxComponent* above, double by) {
            for (TfrxComponent* o : remaining)
                if (o != above && !wasMoved(o) && o->Top() >= above->Top() + 1e-4 && Overlaps(above, o)) {
                    o->SetTop(o->Top() + by);
                    moved.push_back(o);
                }
        };
        bool placed = false;
        std::vector<TfrxComponent*> next;
        for (TfrxComponent* o : std::vector<TfrxComponent*>(remaining)) {
            const bool stretching = saved.count(o) != 0;
            if (o->Top() + o->Height() <= free + 1e-4) {
                if (stretching) static_cast<TfrxStretcheable*>(o)->FitPart();
                o->SetParent(band);
                placed = true;
                continue;
            }
            if (stretching && o->Top() < free) {
                double savedH = saved[o];
                o->SetHeight(free - o->Top());
                double u = static_cast<TfrxStretcheable*>(o)->FitPart();
                pushBelow(o, u);
                if (std::fabs(u - o->Height()) < 1e-4) {
                    o->SetTop(free);
                    o->SetHeight(savedH);
                } else {
                    o->SetParent(band);
                    placed = true;
                    saved[o] = savedH - o->Height() + u;
                }
                next.push_back(o);
                continue;
            }
            if (o->Top() < free) {
                double d = free - o->Top();
                o->SetTop(free);
                pushBelow(o, d);
            }
            next.push_back(o);
        }
        remaining = next;
        // An object that fits no part, even on an empty page, is placed whole on
        // a part of its own, so splitting always ends.
        if (!placed && ++emptyParts >= 2 && !remaining.empty()) {
            TfrxComponent* o = remaining.front();
            o->SetTop(0);
            if (saved.count(o)) {
                auto* s = static_cast<TfrxStretcheable*>(o);
                o->SetHeight(saved[o]);
                if (auto* m = DynamicCast<TfrxCustomMemoView>(s)) m->SetText(m->PartText);
            }
            o->SetParent(band);
            remaining.erase(remaining.begin());
            placed = true;
        }
        if (placed) emptyParts = 0;
        double h = 0;
        for (TfrxComponent* c : band->Objects()) h = std::max(h, c->Top() + c->Height());
        band->SetHeight(h);
        if (remaining.empty()) {
            for (TfrxComponent* c : band->Objects()) {
                if (auto* v = DynamicCast<TfrxView>(c); v && v->Align == baBottom) c->SetTop(h - c->Height());
                if (auto* s = DynamicCast<TfrxStretcheable>(c); s && s->StretchMode == smMaxHeight)
                    c->SetHeight(h - c->Top());
            }
        }
        band->SetLeft(CurX);
        band->SetTop(CurY);
        if (band->Objects().size() || remaining.empty()) Pages()->AddObject(band);
        if (remaining.empty()) CurY += band->Height();
        else NewColumn();
        for (TfrxComponent* c : std::vector<TfrxComponent*>(band->Objects())) c->SetParent(nullptr);
        for (TfrxComponent* o : remaining) {
            if (saved.count(o)) {
                o->SetTop(std::max(0.0, o->Top() - free));
                o->SetHeight(saved[o]);
            } else {
                o->SetTop(o->Top() - free);
            }
        }
        free = FreeSpace();
    }
    for (TfrxComponent* c : all) c->SetParent(band);
}

// ---- sub-reports ----------------------------------------------------------------------------------

void TfrxEngine::ShowSubreports(TfrxBand* band)
{
    std::vector<TfrxSubreport*> subs;
    for (TfrxComponent* c : band->Objects())
        if (auto* s = DynamicCast<TfrxSubreport>(c); s && s->Visible() && !s->PrintOnParent && s->SubPage())
            subs.push_back(s);
    if (subs.empty()) return;
    TfrxReportPage* savedPage = FPage;
    // A title or header shown by the page start holds sub-reports whose rows
    // are new output, not a reprint.
    const bool savedReprinting = FReprinting;
    FReprinting = false;
    const int page = Pages()->PageIndex;
    const int column = CurColumn;
    const double savedX = CurX, savedLeft = FSubreportLeft;
    int endPage = page, endColumn = column;
    double endY = CurY;
    const double bandTop = band->Top();
    for (TfrxSubreport* s : subs) {
        Pages()->PageIndex = page;
        CurColumn = column;
        FSubreportLeft = savedLeft + s->Left();
        CurX = savedX + s->Left();
        CurY = bandTop + s->Top();
        RunPage(s->SubPage());
        FPage = savedPage;
        const int p = Pages()->PageIndex;
        if (p > endPage || (p == endPage && (CurColumn > endColumn || (CurColumn == endColumn && CurY > endY)))) {
            endPage = p;
            endColumn = CurColumn;
            endY = CurY;
        }
    }
    FReprinting = savedReprinting;
    Pages()->PageIndex = endPage;
    CurColumn = endColumn;
    CurY = endY;
    CurX = savedLeft + (CurColumn > 1 ? ColumnX(CurColumn) : 0);
    FSubreportLeft = savedLeft;
}

void TfrxEngine::OutputToContainer(TfrxBand* band)
{
    // Copies of the objects the band shows, at their place in the container.
    for (TfrxComponent* c : band->Objects()) {
        auto* v = DynamicCast<TfrxView>(c);
        if (!v || !v->Visible() || v->Is<TfrxSubreport>()) continue;
        auto* copy = DynamicCast<TfrxView>(v->ClassType()->Create(nullptr));
        if (!copy) continue;
        copy->Assign(v);
        copy->SetLeft(band->Left() + v->Left());
        copy->SetTop(band->Top() + v->Top());
        if (auto* s = DynamicCast<TfrxStretcheable>(copy)) s->StretchMode = smDontStretch;
        FContainerObjects.push_back(copy);
    }
}

void TfrxEngine::ShowInlineSubreports(TfrxBand* band)
{
    if (FContainer) return;   // nested inline sub-reports do not run
    TBandInfo& info = Info(band);
    info.InitialObjects = int(band->Objects().size());
    FContainer = std::make_unique<TfrxNullBand>(nullptr);
    FContainerObjects.clear();
    TfrxReportPage* savedPage = FPage;
    const double savedX = CurX, savedY = CurY, savedLeft = FSubreportLeft;
    std::vector<TfrxSubreport*> subs;
    for (TfrxComponent* c : band->Objects())
        if (auto* s = DynamicCast<TfrxSubreport>(c); s && s->Visible() && s->PrintOnParent && s->SubPage())
            subs.push_back(s);
    const bool savedReprinting = FReprinting;
    FReprinting = false;
    try {
        for (TfrxSubreport* s : subs) {
            FSubreportLeft = savedLeft + s->Left();
            CurX = savedX + s->Left();
            CurY = s->Top();
            RunPage(s->SubPage());
            FPage = savedPage;
        }
    } catch (...) {
        for (TfrxComponent* c : FContainerObjects) FreeObject(c);
        FContainerObjects.clear();
        FContainer.reset();
        FPage = savedPage;
        FReprinting = savedReprinting;
        throw;
    }
    FReprinting = savedReprinting;
    CurX = savedX;
    CurY = savedY;
    FSubreportLeft = savedLeft;
    for (TfrxComponent* c : FContainerObjects) {
        c->SetLeft(c->Left() - savedX);
        c->SetParent(band);
    }
    FContainerObjects.clear();
    FContainer.reset();
}

// ---- cross bands ----------------------------------------------------------------------------------

void TfrxEngine::FillCrossBand(TfrxBand* band)
{
    FCrossBand = band;
    Info(band).InitialObjects = int(band->Objects().size());
    band->AllowSplit = false;
    FVHeaders.clear();
    FCrossBreaks.assign(1, 0);
    CurVColumn = 0;
    ShowVerticalBands(TopBands(FPage, true));
    FCrossBreaks.push_back(int(band->Objects().size()));
}

void TfrxEngine::ShowVerticalBands(const std::vector<TfrxBand*>& bands)
{
    TfrxReport* report = Report();
    for (TfrxBand* b : bands) {
        auto* band = static_cast<TfrxDataBand*>(b);
        TBandInfo& info = Info(band);
        TfrxDataSet* ds = StartRows(band);
        if (!ds) continue;
        bool first = true;
        bool shown = false;
        while (!ds->Eof()) {
            if (first && info.Header) {
                ShowBand(info.Header);
                if (info.Header->ReprintOnNewPage) FVHeaders.push_back(info.Header);
            }
            if (info.Group) {
                if (first) InitGroups(band, info.Group, 0, true);
                else CheckGroups(band, info.Group, 0, 0);
            }
            CurLine = info.LineN;
            CurLineThrough = info.LineThrough;
            ShowBand(band);
            shown = true;
            ++info.LineN;
            ++info.LineThrough;
            ShowVerticalBands(info.Sub);
            if (band->FooterAfterEach) ShowBand(info.Footer);
            first = false;
            ds->Next();
            if (band->RowCount() != 0 && info.LineN > band->RowCount()) break;
            if (report->Terminated()) break;
        }
        if (info.Group) ShowGroupFooters(info.Group, 0);
        if (shown) {
            if (info.Header) FVHeaders.erase(std::remove(FVHeaders.begin(), FVHeaders.end(), info.Header), FVHeaders.end());
            if (!band->FooterAfterEach) ShowBand(info.Footer);
        }
    }
}

void TfrxEngine::ShowVerticalBand(TfrxBand* band)
{
    TfrxReport* report = Report();
    ++CurVColumn;
    FAggregateBand = IsFooterLike(band) ? band : FCrossBand;
    report->CurObject = band->Name();
    band->BeforePrint();
    report->DoBeforePrint(band);
    if (band->Visible() && FCrossBand) {
        if (CurX + band->Width() > PageWidth + 1e-4 && CurX > 0) {
            CurX = 0;
            FCrossBreaks.push_back(int(FCrossBand->Objects().size()));
            std::vector<TfrxBand*> headers = FVHeaders;
            for (TfrxBand* h : headers) ShowBand(h);
        }
        std::vector<TfrxComponent*> objs = band->Objects();
        for (TfrxComponent* c : objs) {
            auto it = FHomeBand.find(c);
            if (it == FHomeBand.end() || it->second != FCrossBand) continue;
            auto* o = DynamicCast<TfrxReportComponent>(c);
            if (!o) continue;
            report->CurObject = o->Name();
            o->BeforePrint();
            report->DoBeforePrint(o);
            o->GetData();
            report->DoNotifyEvent(o, o->OnAfterData);
            auto* copy = DynamicCast<TfrxReportComponent>(o->ClassType()->Create(FCrossBand));
            if (copy) {
                copy->Assign(o);
                copy->SetLeft(o->Left() + CurX);
                Pages()->ShareSource(copy, o);
            }
            o->AfterPrint();
        }
        CurX += band->Width();
    }
    report->CurObject = band->Name();
    report->DoAfterPrint(band);
    band->AfterPrint();
    FAggregates->AddValue(FCrossBand, CurVColumn);
    if (IsFooterLike(band)) ResetBandAggregates(band);
}

void TfrxEngine::ShowCrossBand(TfrxBand* band)
{
    std::vector<TfrxComponent*> objs = band->Objects();
    for (TfrxComponent* c : objs) c->SetParent(nullptr);
    const int page = Pages()->PageIndex;
    const double savedY = CurY, savedX = CurX;
    Pages()->AppendPages = false;
    std::vector<int> breaks = FCrossBreaks;
    for (size_t k = 0; k + 1 < breaks.size(); ++k) {
        int a = breaks[k], b = std::min(breaks[k + 1], int(objs.size()));
        for (int i = std::max(0, a); i < b; ++i) objs[size_t(i)]->SetParent(band);
        Pages()->AddObject(band);
        for (TfrxComponent* c : std::vector<TfrxComponent*>(band->Objects())) c->SetParent(nullptr);
        if (k + 2 < breaks.size()) {
            // The next horizontal page: the existing one when there is one.
            if (Pages()->PageIndex + 1 < Pages()->Count()) ++Pages()->PageIndex;
            else {
                Pages()->AppendPages = true;
                Pages()->AddPage(FPage);
                Pages()->AppendPages = false;
            }
        }
    }
    for (TfrxComponent* c : objs) c->SetParent(band);
    Pages()->PageIndex = page;
    CurY = savedY;
    CurX = savedX;
    Pages()->AppendPages = true;
}

// ---- start-up -----------------------------------------------------------------------------------

namespace frxEngine {
void Initialize()
{
    static bool done = false;
    if (!done) {
        done = true;
        frxClass::Initialize();
        frxDMPClass::Initialize();
        RegisterClasses({TfrxDBDataset::StaticClass()});
        frxPreview::Initialize();
    }
    if (frxClass::EngineFactory && frxClass::PreviewPagesFactory) return;
    frxClass::EngineFactory = [](TfrxReport* r) -> TfrxCustomEngine* { return new TfrxEngine(r); };
    frxClass::PreviewPagesFactory = [](TfrxReport* r) -> TfrxCustomPreviewPages* { return new TfrxPreviewPages(r); };
}
}
