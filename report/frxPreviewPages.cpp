#include "frxPreviewPages.h"

#include "Classes.h"
#include "Graphics.h"
#include "Metafile.h"
#include "HostServices.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "frxPrinter.h"
#include "frxUtils.h"
#include "frxXML.h"
#include "frxXMLSerializer.h"

#include <cmath>
#include <fstream>

QZ_CLASS_IMPL(TfrxOutline, TfrxCustomOutline)
QZ_CLASS_IMPL(TfrxPreviewPages, TfrxCustomPreviewPages)

std::function<bool(TfrxReport*, TfrxPrintChoice&)> TfrxPreviewPages::PrintDialogHook;
std::function<void()> TfrxPreviewPages::ProcessMessages;

namespace {

constexpr int kCacheSize = 50;

// Positions are mostly whole pixels: those skip the general float formatting.
std::string F(double v)
{
    if (v == double(int64_t(v)) && v > -1e15 && v < 1e15) return IntToStr(int64_t(v));
    return FloatToStr(v);
}

double AttrFloat(const TfrxXMLItem* item, const char* name, double def)
{
    std::string v = item->GetAttribute(name);
    if (v.empty()) return def;
    try {
        return frxUtils::StrToFloatAnySeparator(v);
    } catch (const std::exception&) {
        return def;
    }
}

// Replaces or adds one attribute of an element's attribute text.
void SetAttr(TfrxXMLItem* item, const std::string& name, const std::string& value)
{
    item->SetAttribute(name, value);
}

void ProcessPending()
{
    if (TfrxPreviewPages::ProcessMessages) TfrxPreviewPages::ProcessMessages();
}

}  // namespace

// ---- dictionary ---------------------------------------------------------------------------------

void TfrxDictionary::Clear()
{
    FItems.clear();
    FNextNumber.clear();
}

void TfrxDictionary::Add(const std::string& shortName, const std::string& sourceName, TfrxComponent* obj)
{
    FItems[shortName] = TEntry{sourceName, obj};
}

std::string TfrxDictionary::CreateUniqueName(const std::string& prefix) const
{
    int n = 10000;
    while (n > 1 && !FItems.count(prefix + IntToStr(n))) n /= 2;
    // Counting up from there would revisit every number taken so far; the
    // next number per prefix is remembered instead (the same names result).
    auto it = FNextNumber.find(prefix);
    if (it != FNextNumber.end() && it->second > n) n = it->second;
    while (FItems.count(prefix + IntToStr(n))) ++n;
    FNextNumber[prefix] = n;
    return prefix + IntToStr(n);
}

std::string TfrxDictionary::AddUnique(const std::string& prefix, const std::string& sourceName, TfrxComponent* obj)
{
    std::string name = CreateUniqueName(prefix);
    Add(name, sourceName, obj);
    return name;
}

TfrxComponent* TfrxDictionary::GetObject(const std::string& shortName) const
{
    auto it = FItems.find(shortName);
    return it == FItems.end() ? nullptr : it->second.Object;
}

std::string TfrxDictionary::GetSourceName(const std::string& shortName) const
{
    auto it = FItems.find(shortName);
    return it == FItems.end() ? std::string() : it->second.SourceName;
}

std::vector<std::pair<std::string, std::string>> TfrxDictionary::Entries() const
{
    std::vector<std::pair<std::string, std::string>> r;
    r.reserve(FItems.size());
    for (const auto& [k, v] : FItems) r.emplace_back(k, v.SourceName);
    return r;
}

// ---- outline ------------------------------------------------------------------------------------

TfrxOutline::TfrxOutline(TfrxCustomPreviewPages* pages) : TfrxCustomOutline(pages) {}

TfrxXMLItem* TfrxOutline::Root() const
{
    auto* pp = static_cast<TfrxPreviewPages*>(PreviewPages());
    return pp->Document()->Root()->FindItem("outline");
}

int TfrxOutline::Count()
{
    if (!FCurItem) FCurItem = Root();
    return FCurItem->Count();
}

void TfrxOutline::AddItem(const std::string& text, int top)
{
    if (!FCurItem) FCurItem = Root();
    TfrxXMLItem* item = FCurItem->Add();
    item->Name = "item";
    item->SetAttribute("text", text);
    item->SetAttribute("page", IntToStr(PreviewPages()->PageIndex));
    item->SetAttribute("top", IntToStr(top));
    FCurItem = item;
}

void TfrxOutline::LevelDown(int index)
{
    if (!FCurItem) FCurItem = Root();
    if (index >= 0 && index < FCurItem->Count()) FCurItem = FCurItem->Items(index);
}

void TfrxOutline::LevelRoot() { FCurItem = Root(); }

void TfrxOutline::LevelUp()
{
    if (!FCurItem) FCurItem = Root();
    if (FCurItem != Root() && FCurItem->Parent) FCurItem = FCurItem->Parent;
}

void TfrxOutline::GetItem(int index, std::string& text, int& page, int& top)
{
    if (!FCurItem) FCurItem = Root();
    if (index < 0 || index >= FCurItem->Count()) return;
    TfrxXMLItem* item = FCurItem->Items(index);
    text = item->GetAttribute("text");
    std::string p = item->GetAttribute("page");
    if (!p.empty()) page = StrToIntDef(p, page);
    std::string t = item->GetAttribute("top");
    if (!t.empty()) top = StrToIntDef(t, top);
}

namespace {
void ShiftTree(TfrxXMLItem* item, int delta)
{
    item->SetAttribute("page", IntToStr(StrToIntDef(item->GetAttribute("page"), 0) + 1));
    item->SetAttribute("top", IntToStr(StrToIntDef(item->GetAttribute("top"), 0) + delta));
    for (int i = 0; i < item->Count(); ++i) ShiftTree(item->Items(i), delta);
}
}

void TfrxOutline::ShiftItems(TfrxXMLItem* from, int newTop)
{
    if (!from || !from->Parent) return;
    TfrxXMLItem* parent = from->Parent;
    int i = parent->IndexOf(from);
    if (i < 0 || i + 1 >= parent->Count()) return;
    TfrxXMLItem* next = parent->Items(i + 1);
    int delta = newTop - StrToIntDef(next->GetAttribute("top"), 0);
    for (int k = i + 1; k < parent->Count(); ++k) ShiftTree(parent->Items(k), delta);
}

TfrxXMLItem* TfrxOutline::GetCurPosition()
{
    if (!FCurItem) FCurItem = Root();
    return FCurItem->Count() ? FCurItem->Items(FCurItem->Count() - 1) : FCurItem;
}

// ---- prepared pages -----------------------------------------------------------------------------

TfrxPreviewPages::TfrxPreviewPages(TfrxReport* report)
    : TfrxCustomPreviewPages(report), FDocument(std::make_unique<TfrxXMLDocument>())
{
    FOutline = std::make_unique<TfrxOutline>(this);
    Clear();
}

TfrxPreviewPages::~TfrxPreviewPages()
{
    FPageCache.clear();
    FSourcePages.clear();
}

TfrxXMLItem* TfrxPreviewPages::RootChild(const std::string& name) const
{
    return FDocument->Root()->FindItem(name);
}

TfrxXMLItem* TfrxPreviewPages::PagesItem() const { return RootChild("previewpages"); }

int TfrxPreviewPages::Count() { return PagesItem()->Count(); }

void TfrxPreviewPages::ClearCache() { FPageCache.clear(); }

void TfrxPreviewPages::Clear()
{
    ClearCache();
    FDocument->Clear();
    FDocument->Root()->Name = "preparedreport";
    RootChild("previewpages");
    RootChild("outline");
    FDictionary.Clear();
    FSourcePages.clear();
    FLinks.clear();
    FTemplates.clear();
    FShortNames.clear();
    FCopyOrigin.clear();
    OutlineObj()->SetCurItem(nullptr);
    PageIndex = -1;
    FPassPage = -1;
    FPassItemCount = 0;
    FMemoryEstimate = 0;
    AppendPages = false;
}

void TfrxPreviewPages::Initialize()
{
    FDocument->TempDir = Report()->EngineOptions()->TempDir;
    Report()->DoProgressStart(ptRunning);
}

TfrxXMLItem* TfrxPreviewPages::CurPageItem() const
{
    TfrxXMLItem* pages = PagesItem();
    if (PageIndex < 0 || PageIndex >= pages->Count()) return nullptr;
    TfrxXMLItem* p = pages->Items(PageIndex);
    if (p->Deferred && !p->ChildrenLoaded) FDocument->LoadItem(p);
    return p;
}

std::string TfrxPreviewPages::TemplateOf(TfrxComponent* copy) const
{
    if (copy->SerializeWhole()) return copy->ClassName();
    TfrxXMLSerializer ser(nullptr);
    return ser.WriteComponentText(copy);
}

void TfrxPreviewPages::LinkSourceObjects(TfrxReportPage* copy, TfrxReportPage* page, int pageIndex)
{
    // Cross views are never stored: their copies leave the source page.
    for (TfrxComponent* c : copy->AllObjects())
        if (c->ClassName() == "TfrxCrossView" || c->ClassName() == "TfrxDBCrossView") FreeObject(c);
    std::vector<TfrxComponent*> copies = copy->AllObjects();
    std::vector<TfrxComponent*> originals;
    if (page)
        for (TfrxComponent* c : page->AllObjects())
            if (c->ClassName() != "TfrxCrossView" && c->ClassName() != "TfrxDBCrossView") originals.push_back(c);
    for (size_t i = 0; i < copies.size(); ++i) {
        TfrxComponent* c = copies[i];
        std::string prefix = c->Is<TfrxBand>() ? "b" : LowerCase(c->BaseName().substr(0, 1));
        if (prefix.empty()) prefix = "o";
        std::string shortName =
            FDictionary.AddUnique(prefix, "Page" + IntToStr(pageIndex) + "." + c->Name(), c);
        FTemplates[c] = TemplateOf(c);
        FShortNames[c] = shortName;
        if (i < originals.size()) {
            TfrxComponent* o = originals[i];
            FLinks[o] = TLink{c, shortName, TWeakRef<TfrxComponent>(o)};
            FCopyOrigin[c] = o;
        }
    }
}

void TfrxPreviewPages::AddSourcePage(TfrxReportPage* page)
{
    TClass cls = page->ClassType();
    auto* copy = DynamicCast<TfrxReportPage>(cls->Create(nullptr));
    if (!copy) copy = new TfrxReportPage(nullptr);
    copy->AssignAll(page);
    FSourcePages.emplace_back(copy);
    LinkSourceObjects(copy, page, int(FSourcePages.size()) - 1);
}

void TfrxPreviewPages::AddToSourcePage(TfrxComponent* obj)
{
    if (FSourcePages.empty()) return;
    TfrxReportPage* page = FSourcePages.back().get();
    auto* copy = DynamicCast<TfrxComponent>(obj->ClassType()->Create(page));
    if (!copy) return;
    copy->Assign(obj);
    copy->MakeUniqueName();
    std::string prefix = LowerCase(copy->BaseName().substr(0, 1));
    if (prefix.empty()) prefix = "o";
    std::string shortName = FDictionary.AddUnique(
        prefix, "Page" + IntToStr(int(FSourcePages.size()) - 1) + "." + copy->Name(), copy);
    FTemplates[copy] = TemplateOf(copy);
    FShortNames[copy] = shortName;
    FLinks[obj] = TLink{copy, shortName, TWeakRef<TfrxComponent>(obj)};
}

const TfrxPreviewPages::TLink* TfrxPreviewPages::LinkOf(TfrxComponent* obj) const
{
    auto it = FLinks.find(obj);
    if (it == FLinks.end()) return nullptr;
    // An entry of an object freed meanwhile must not name its successor at the same address.
    if (it->second.Alive.Get() != obj) return nullptr;
    return &it->second;
}

TfrxComponent* TfrxPreviewPages::SourceOf(TfrxComponent* obj) const
{
    const TLink* l = LinkOf(obj);
    return l ? l->Source : nullptr;
}

void TfrxPreviewPages::ShareSource(TfrxComponent* copy, TfrxComponent* original)
{
    if (const TLink* l = LinkOf(original)) FLinks[copy] = TLink{l->Source, l->ShortName, TWeakRef<TfrxComponent>(copy)};
}

void TfrxPreviewPages::AddPage(TfrxReportPage* page)
{
    TfrxXMLItem* pages = PagesItem();
    if (Report()->EngineOptions()->UseFileCache &&
        FMemoryEstimate > int64_t(Report()->EngineOptions()->MaxMemSize) * 1048576) {
        for (int i = pages->Count() - 2; i >= 0; --i) {
            TfrxXMLItem* p = pages->Items(i);
            if (!p->Deferred || !p->ChildrenLoaded) break;
            FDocument->UnloadItem(p);
        }
        FMemoryEstimate = 0;
    }
    ++PageIndex;
    if (PageIndex < pages->Count() && !AppendPages) return;   // an existing page is written over
    int src = 0;
    for (size_t i = 0; i < FSourcePages.size(); ++i) {
        auto it = FCopyOrigin.find(FSourcePages[i].get());
        if (it != FCopyOrigin.end() && it->second == page) src = int(i);
    }
    TfrxXMLItem* item = pages->Add();
    item->Name = "page" + IntToStr(src);
    if (pages->Count() > 2) item->Deferred = true;
    Report()->DoProgress(ptRunning, PageIndex + 1);
    AppendPages = false;
    PageIndex = pages->Count() - 1;
}

void TfrxPreviewPages::WriteObject(TfrxComponent* obj, TfrxXMLItem* parent)
{
    if (!obj->Visible() || obj->Is<TfrxSubreport>()) return;
    const std::string cls = obj->ClassName();
    if (cls == "TfrxCrossView" || cls == "TfrxDBCrossView") {
        for (TfrxComponent* c : obj->Objects()) WriteObject(c, parent);
        return;
    }
    TfrxXMLItem* item = parent->Add();
    if (const TLink* l = LinkOf(obj)) {
        item->Name = l->ShortName;
        bool finalPass = Engine ? Engine->FinalPass : true;
        if (!finalPass) item->Text = obj->TfrxComponent::Diff(l->Source);
        else if (obj->SerializeWhole()) item->Text = obj->DiffText(l->Source);
        else item->Text = obj->Diff(l->Source);
    } else {
        TfrxXMLSerializer ser(nullptr);
        item->Name = cls;
        item->Text = ser.WriteProperties(obj);
    }
    FMemoryEstimate += int64_t(item->Name.size() + item->Text.size()) + 36 + 16;
    for (TfrxComponent* c : obj->Objects()) WriteObject(c, item);
}

void TfrxPreviewPages::AddObject(TfrxComponent* band)
{
    TfrxXMLItem* page = CurPageItem();
    if (!page) return;
    WriteObject(band, page);
}

void TfrxPreviewPages::BeginPass()
{
    FPassPage = Count() - 1;
    TfrxXMLItem* pages = PagesItem();
    FPassItemCount = FPassPage >= 0 ? pages->Items(FPassPage)->Count() : 0;
}

void TfrxPreviewPages::ClearFirstPassPages()
{
    ClearCache();
    TfrxXMLItem* root = FDocument->Root();
    if (FPassPage == -1) {
        for (int i = 0; i < root->Count(); ++i)
            if (!SameText(root->Items(i)->Name, "anchors")) root->Items(i)->Clear();
        OutlineObj()->SetCurItem(nullptr);
    } else {
        TfrxXMLItem* pages = PagesItem();
        TfrxXMLItem* p = pages->Items(FPassPage);
        while (p->Count() > FPassItemCount) delete p->Items(p->Count() - 1);
        while (pages->Count() > FPassPage + 1) delete pages->Items(pages->Count() - 1);
    }
    PageIndex = FPassPage;
    FMemoryEstimate = 0;
}

int TfrxPreviewPages::GetCurPosition()
{
    TfrxXMLItem* p = CurPageItem();
    return p ? p->Count() : 0;
}

void TfrxPreviewPages::CutObjects(int position)
{
    TfrxXMLItem* page = CurPageItem();
    if (!page) return;
    TfrxXMLItem* cut = RootChild("cutted");
    while (position >= 0 && position < page->Count()) cut->AddItem(page->Items(position));
}

void TfrxPreviewPages::PasteObjects(double x, double y)
{
    TfrxXMLItem* root = FDocument->Root();
    int ci = root->Find("cutted");
    if (ci < 0) return;
    TfrxXMLItem* cut = root->Items(ci);
    TfrxXMLItem* page = CurPageItem();
    if (cut->Count() > 0 && page) {
        TfrxXMLItem* first = cut->Items(0);
        double dx = x - AttrFloat(first, "l", 0), dy = y - AttrFloat(first, "t", 0);
        while (cut->Count() > 0) {
            TfrxXMLItem* item = cut->Items(0);
            SetAttr(item, "l", F(AttrFloat(item, "l", 0) + dx));
            SetAttr(item, "t", F(AttrFloat(item, "t", 0) + dy));
            page->AddItem(item);
        }
    }
    delete root->Items(ci);
}

bool TfrxPreviewPages::BandExists(TfrxBand* band)
{
    TfrxXMLItem* page = CurPageItem();
    if (!page) return false;
    for (int i = 0; i < page->Count(); ++i) {
        TfrxComponent* src = FDictionary.GetObject(page->Items(i)->Name);
        if (!src) continue;
        auto it = FCopyOrigin.find(src);
        TfrxComponent* origin = it == FCopyOrigin.end() ? nullptr : it->second;
        if (origin == band) return true;
        if (band->Is<TfrxPageFooter>() && src->Is<TfrxPageFooter>()) return true;
        if (band->Is<TfrxColumnFooter>() && src->Is<TfrxColumnFooter>()) return true;
    }
    return false;
}

double TfrxPreviewPages::GetLastY()
{
    TfrxXMLItem* page = CurPageItem();
    if (!page) return 0;
    double r = 0;
    for (int i = 0; i < page->Count(); ++i) {
        TfrxXMLItem* item = page->Items(i);
        TfrxComponent* src = FDictionary.GetObject(item->Name);
        if (!src || !src->Is<TfrxBand>() || src->Is<TfrxPageFooter>()) continue;
        double t = AttrFloat(item, "t", src->Top()), h = AttrFloat(item, "h", src->Height());
        r = std::max(r, t + h);
    }
    return r;
}

void TfrxPreviewPages::Finish()
{
    ClearCache();
    Report()->DoProgressStop(ptRunning);
}

// ---- anchors --------------------------------------------------------------------------------------

void TfrxPreviewPages::AddAnchor(const std::string& text)
{
    TfrxXMLItem* anchors = RootChild("anchors");
    TfrxXMLItem* item = anchors->Add();
    item->Name = "item";
    item->SetAttribute("text", text);
    item->SetAttribute("page", IntToStr(PageIndex));
    int top = Engine ? int(std::nearbyint(Engine->CurY)) : 0;
    item->SetAttribute("top", IntToStr(top));
}

TfrxXMLItem* TfrxPreviewPages::FindAnchor(const std::string& text)
{
    TfrxXMLItem* root = FDocument->Root();
    int i = root->Find("anchors");
    if (i < 0) return nullptr;
    TfrxXMLItem* anchors = root->Items(i);
    for (int k = anchors->Count() - 1; k >= 0; --k)
        if (SameText(anchors->Items(k)->GetAttribute("text"), text)) return anchors->Items(k);
    return nullptr;
}

int TfrxPreviewPages::GetAnchorPage(const std::string& text)
{
    TfrxXMLItem* a = FindAnchor(text);
    return a ? StrToIntDef(a->GetAttribute("page"), 0) + 1 : 1;
}

// ---- rebuilding pages -------------------------------------------------------------------------------

void TfrxPreviewPages::ReadObjects(TfrxXMLItem* item, TfrxComponent* parent)
{
    TfrxXMLSerializer ser(nullptr);
    for (int i = 0; i < item->Count(); ++i) {
        TfrxXMLItem* e = item->Items(i);
        TfrxComponent* obj = nullptr;
        try {
            if (TfrxComponent* src = FDictionary.GetObject(e->Name)) {
                auto t = FTemplates.find(src);
                obj = ser.ReadComponentText(parent, t != FTemplates.end() ? t->second : src->ClassName());
                if (!obj) continue;
                // The differences are read after the template, so they win.
                ser.ReadProperties(e->Text, obj);
                // Every row repeats the names of its source objects; a page
                // of built objects is no layout whose names must be unique.
                if (!src->Name().empty()) obj->TComponent::SetName(src->Name());
            } else {
                obj = ser.ReadComponentText(parent, e->Name + " " + e->Text);
            }
        } catch (const EClassNotFound&) {
            continue;   // an element naming no known class is left out
        }
        if (obj) ReadObjects(e, obj);
    }
}

TfrxReportPage* TfrxPreviewPages::BuildPage(int index)
{
    TfrxXMLItem* item = PagesItem()->Items(index);
    bool unload = false;
    if (item->Deferred && !item->ChildrenLoaded) {
        FDocument->LoadItem(item);
        unload = true;
    }
    std::unique_ptr<TfrxReportPage> page;
    if (SameText(item->Name, "TfrxReportPage") || SameText(item->Name, "TfrxDMPPage")) {
        TClass c = FindClass(item->Name);
        page.reset(DynamicCast<TfrxReportPage>(c->Create(nullptr)));
        if (!page) page = std::make_unique<TfrxReportPage>(nullptr);
        TfrxXMLSerializer ser(nullptr);
        ser.ReadRootComponent(page.get(), item);
    } else {
        int n = item->Name.size() > 4 ? StrToIntDef(item->Name.substr(4), 0) : 0;
        if (n < 0 || n >= int(FSourcePages.size())) n = 0;
        if (FSourcePages.empty()) {
            page = std::make_unique<TfrxReportPage>(nullptr);
        } else {
            TfrxReportPage* src = FSourcePages[size_t(n)].get();
            page.reset(DynamicCast<TfrxReportPage>(src->ClassType()->Create(nullptr)));
            if (!page) page = std::make_unique<TfrxReportPage>(nullptr);
            page->Assign(src);
        }
        ReadObjects(item, page.get());
    }
    if (unload && Report()->EngineOptions()->UseFileCache) FDocument->UnloadItem(item);
    page->AlignChildren();
    return page.release();
}

TfrxReportPage* TfrxPreviewPages::GetPage(int index)
{
    if (index < 0 || index >= Count()) return nullptr;
    for (size_t i = 0; i < FPageCache.size(); ++i)
        if (FPageCache[i].first == index) {
            if (i != 0) std::swap(FPageCache[0], FPageCache[i]);
            return FPageCache[0].second.get();
        }
    std::unique_ptr<TfrxReportPage> page(BuildPage(index));
    TfrxReportPage* r = page.get();
    FPageCache.emplace_front(index, std::move(page));
    while (FPageCache.size() > size_t(kCacheSize)) FPageCache.pop_back();
    return r;
}

TSize TfrxPreviewPages::GetPageSize(int index)
{
    TSize s{0, 0};
    if (index < 0 || index >= Count()) return s;
    TfrxXMLItem* item = PagesItem()->Items(index);
    TfrxReportPage* p = nullptr;
    if (item->Name.size() > 4 && StartsText("page", item->Name)) {
        int n = StrToIntDef(item->Name.substr(4), -1);
        if (n >= 0 && n < int(FSourcePages.size())) p = FSourcePages[size_t(n)].get();
    }
    if (!p) p = GetPage(index);
    if (!p) return s;
    s.cx = int(std::nearbyint(p->Width()));
    s.cy = int(std::nearbyint(p->Height()));
    return s;
}

void TfrxPreviewPages::AddEmptyPage(int index)
{
    TfrxXMLItem* pages = PagesItem();
    if (pages->Count() == 0 || index < 0 || index >= pages->Count()) return;
    const std::string name = pages->Items(index)->Name;
    TfrxXMLItem* item = pages->Add();
    item->Name = name;
    pages->InsertItem(index, item);
    ClearCache();
}

void TfrxPreviewPages::DeletePage(int index)
{
    TfrxXMLItem* pages = PagesItem();
    if (pages->Count() < 2 || index < 0 || index >= pages->Count()) return;
    delete pages->Items(index);
    ClearCache();
}

void TfrxPreviewPages::ModifyPage(int index, TfrxReportPage* page)
{
    TfrxXMLItem* pages = PagesItem();
    if (index < 0 || index >= pages->Count()) return;
    TfrxXMLItem* item = pages->Items(index);
    if (item->Deferred && !item->ChildrenLoaded) FDocument->LoadItem(item);
    item->Clear();
    item->Text.clear();
    item->Deferred = false;
    TfrxXMLSerializer ser(nullptr);
    ser.WriteRootComponent(page, true, item);
    ClearCache();
}

// ---- drawing ------------------------------------------------------------------------------------------

void TfrxPreviewPages::DrawPage(int index, TCanvas* canvas, double scaleX, double scaleY, double offsetX,
                                double offsetY)
{
    TfrxReportPage* page = GetPage(index);
    if (!page || !canvas) return;
    const double savedLeft = page->LeftMargin, savedRight = page->RightMargin;
    if (page->MirrorMargins && index % 2 == 1) std::swap(page->LeftMargin, page->RightMargin);
    // The page: its colour over the whole paper, its frame around the printable area.
    const int pw = int(std::nearbyint(page->PaperWidth() * fr01cm * scaleX));
    const int ph = int(std::nearbyint(page->PaperHeight() * fr01cm * scaleY));
    if (page->Color() != clNone) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(page->Color());
        canvas->FillRect(Rect(int(offsetX), int(offsetY), int(offsetX) + pw, int(offsetY) + ph));
    }
    const double ox = offsetX + page->LeftMargin * fr01cm * scaleX;
    const double oy = offsetY + page->TopMargin * fr01cm * scaleY;
    const bool printer = canvas->InheritsFrom(TfrxPrinterCanvas::StaticClass());
    const bool metafile = canvas->InheritsFrom(TMetafileCanvas::StaticClass());
    TRect clip = canvas->ClipRect();
    const int total = Count();
    for (TfrxComponent* c : page->AllObjects()) {
        auto* v = DynamicCast<TfrxView>(c);
        if (!v || !v->Visible()) continue;
        if (printer && !v->Printable) continue;
        if (auto* m = DynamicCast<TfrxCustomMemoView>(v)) m->TotalPagesValue = total;
        if (!metafile && !printer) {
            // In doubles: a stored size may lie far outside any integer.
            const double left = ox + v->AbsLeft() * scaleX, top = oy + v->AbsTop() * scaleY;
            const double right = ox + (v->AbsLeft() + v->Width()) * scaleX;
            const double bottom = oy + (v->AbsTop() + v->Height()) * scaleY;
            if (right + 20 < clip.Left || left - 20 > clip.Right || bottom + 20 < clip.Top || top - 20 > clip.Bottom)
                continue;
        }
        v->Draw(canvas, scaleX, scaleY, ox, oy);
    }
    // The page's frame around the printable area.
    TfrxFrame* f = page->Frame();
    if (f && !f->Typ.Empty() && f->Color != clNone) {
        TfrxPictureView frameView;
        frameView.SetFrame(f);
        frameView.Color = clNone;
        frameView.SetBounds(0, 0, (page->PaperWidth() - page->LeftMargin - page->RightMargin) * fr01cm,
                            (page->PaperHeight() - page->TopMargin - page->BottomMargin) * fr01cm);
        frameView.TfrxView::Draw(canvas, scaleX, scaleY, ox, oy);
    }
    page->LeftMargin = savedLeft;
    page->RightMargin = savedRight;
}

void TfrxPreviewPages::ObjectOver(int index, int x, int y, int button, TShiftState shift, double scale,
                                  double offsetX, double offsetY, bool click, int& cursor)
{
    if (index < 0 || index >= Count() || (Engine && Engine->Running)) return;
    TfrxReportPage* page = GetPage(index);
    if (!page) return;
    const bool mirror = page->MirrorMargins && index % 2 == 1;
    offsetX += (mirror ? page->RightMargin : page->LeftMargin) * fr01cm * scale;
    offsetY += page->TopMargin * fr01cm * scale;
    if (Preview.ShowMessage) Preview.ShowMessage(std::string());
    std::vector<TfrxComponent*> all = page->AllObjects();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        auto* v = DynamicCast<TfrxView>(*it);
        if (!v || !v->Visible()) continue;
        const double l = offsetX + v->AbsLeft() * scale, t = offsetY + v->AbsTop() * scale;
        if (x < l || x > l + v->Width() * scale || y < t || y > t + v->Height() * scale) continue;
        if (v->Cursor != 0) cursor = v->Cursor;
        if (!v->URL.empty()) {
            if (Preview.ShowMessage) Preview.ShowMessage(v->URL);
            if (v->Cursor == 0) cursor = -21;   // the hand
        }
        if (!click) {
            if (Report()->OnMouseOverObject) Report()->OnMouseOverObject(v);
            return;
        }
        const std::string url = v->URL;
        if (!url.empty()) {
            if (url[0] == '@') {
                if (Preview.GoTo) Preview.GoTo(StrToIntDef(url.substr(1), 1), 0);
            } else if (url[0] == '#') {
                if (TfrxXMLItem* a = FindAnchor(url.substr(1)))
                    if (Preview.GoTo)
                        Preview.GoTo(StrToIntDef(a->GetAttribute("page"), 0) + 1,
                                     StrToIntDef(a->GetAttribute("top"), 0));
            } else if (frxUtils::OpensInBrowser(url)) {
                // A link may be computed from data: only web and mail
                // addresses go to the desktop, never a program or a file.
                ::ShellExecute("open", url, "", "");
            }
        }
        bool modified = false;
        Report()->DoPreviewClick(v, button, shift, modified);
        if (modified) {
            ModifyPage(index, page);
            if (Preview.Repaint) Preview.Repaint();
        }
        return;
    }
}

// ---- files ---------------------------------------------------------------------------------------------

void TfrxPreviewPages::LoadFromStream(TStream* stream, bool allowPartialLoading)
{
    Clear();
    // A damaged file leaves the pages empty rather than half read.
    try {
        FDocument->LoadFromStream(stream, false);
        if (!SameText(FDocument->Root()->Name, "preparedreport")) RaiseInvalidFileFormat();
        TfrxXMLItem* root = FDocument->Root();
        int ri = root->Find("report");
        if (ri >= 0 && root->Items(ri)->Count() > 0) {
            TfrxXMLItem* r = root->Items(ri)->Items(0);
            Report()->DotMatrixReport = r->GetAttribute("DotMatrixReport") == "1";
            std::string ov = r->GetAttribute("PreviewOptions.OutlineVisible");
            if (!ov.empty()) Report()->PreviewOptions()->OutlineVisible = ov == "1";
            std::string ow = r->GetAttribute("PreviewOptions.OutlineWidth");
            if (!ow.empty()) Report()->PreviewOptions()->OutlineWidth = StrToIntDef(ow, 120);
        }
        TfrxXMLItem* sp = RootChild("sourcepages");
        TfrxXMLSerializer ser(nullptr);
        for (int i = 0; i < sp->Count(); ++i) {
            TfrxXMLItem* e = sp->Items(i);
            std::unique_ptr<TfrxReportPage> page;
            if (SameText(e->Name, "TfrxDMPPage"))
                if (TClass c = GetClass("TfrxDMPPage")) page.reset(DynamicCast<TfrxReportPage>(c->Create(nullptr)));
            if (!page) page = std::make_unique<TfrxReportPage>(nullptr);
            ser.ReadRootComponent(page.get(), e);
            for (TfrxComponent* c : page->AllObjects()) FTemplates[c] = TemplateOf(c);
            FSourcePages.push_back(std::move(page));
        }
        sp->Clear();
        TfrxXMLItem* dict = RootChild("dictionary");
        for (int i = 0; i < dict->Count(); ++i) {
            TfrxXMLItem* e = dict->Items(i);
            std::string source = e->GetAttribute("name");
            // "Page" + source page index + "." + object name
            size_t dot = source.find('.');
            if (dot == std::string::npos || !StartsText("Page", source)) continue;
            int n = StrToIntDef(source.substr(4, dot - 4), -1);
            std::string objName = source.substr(dot + 1);
            TfrxComponent* obj = nullptr;
            if (n >= 0 && n < int(FSourcePages.size()))
                for (TfrxComponent* c : FSourcePages[size_t(n)]->AllObjects())
                    if (SameText(c->Name(), objName)) {
                        obj = c;
                        break;
                    }
            FDictionary.Add(e->Name, source, obj);
            if (obj) FShortNames[obj] = e->Name;
        }
        PageIndex = Count() - 1;
    } catch (...) {
        Clear();
        throw;
    }
}

void TfrxPreviewPages::SaveToStream(TStream* stream)
{
    TfrxXMLItem* root = FDocument->Root();
    TfrxXMLItem* report = RootChild("report");
    report->Clear();
    TfrxXMLItem* r = report->Add();
    r->Name = Report()->ClassName();
    r->SetAttribute("DotMatrixReport", Report()->DotMatrixReport ? "1" : "0");
    r->SetAttribute("PreviewOptions.OutlineVisible", Report()->PreviewOptions()->OutlineVisible ? "1" : "0");
    r->SetAttribute("PreviewOptions.OutlineWidth", IntToStr(Report()->PreviewOptions()->OutlineWidth));
    TfrxXMLItem* sp = RootChild("sourcepages");
    sp->Clear();
    for (auto& page : FSourcePages) {
        TfrxXMLSerializer ser(nullptr);
        TfrxXMLItem* e = sp->Add();
        ser.WriteRootComponent(page.get(), true, e);
    }
    TfrxXMLItem* dict = RootChild("dictionary");
    dict->Clear();
    for (const auto& [shortName, source] : FDictionary.Entries()) {
        TfrxXMLItem* e = dict->Add();
        e->Name = shortName;
        e->SetAttribute("name", source);
    }
    // Readers find the parts by name; the order is kept for other tools.
    const char* order[] = {"previewpages", "outline", "anchors", "report", "sourcepages", "dictionary"};
    int at = 0;
    for (const char* name : order) {
        int i = root->Find(name);
        if (i < 0) continue;
        TfrxXMLItem* item = root->Items(i);
        root->InsertItem(at++, item);
    }
    FDocument->SaveToStream(stream);
    sp->Clear();
}

bool TfrxPreviewPages::LoadFromFile(const std::string& fileName, bool raiseIfMissing)
{
    if (!FileExists(fileName) && !raiseIfMissing) return false;
    TFileStream fs(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&fs, false);
    return true;
}

void TfrxPreviewPages::SaveToFile(const std::string& fileName)
{
    TMemoryStream ms;
    SaveToStream(&ms);
    frxUtils::SaveToFileWhole(&ms, fileName);
}

// ---- printing and export -------------------------------------------------------------------------------

void TfrxPreviewPages::PrintPage(int index, int copies, bool& started)
{
    TfrxCustomPrinter* printer = Printers().Printer();
    TfrxReportPage* page = GetPage(index);
    if (!page || !printer) return;
    // The sheet's settings come first: a job starts on the first page's paper.
    printer->ApplyPrintSettings(page->PaperSize(), page->Orientation(), page->PaperWidth(), page->PaperHeight(),
                                index == 0 ? page->Bin : page->BinOtherPages, copies, int(page->Duplex) + 1);
    if (!started) {
        printer->StartJob();
        started = true;
    }
    printer->StartSheet();
    const double sx = printer->DPIX / 96.0, sy = printer->DPIY / 96.0;
    DrawPage(index, printer->Canvas(), sx, sy, -printer->LeftMargin * printer->DPIX / 25.4,
             -printer->TopMargin * printer->DPIY / 25.4);
    Report()->DoProgress(ptPrinting, index + 1);
    printer->EndSheet();
    ProcessPending();
    ClearCache();
}

bool TfrxPreviewPages::Print()
{
    TfrxReport* report = Report();
    TfrxPrintOptions* po = report->PrintOptions();
    if (!po->Printer.empty()) {
        int i = Printers().IndexOf(po->Printer);
        if (i >= 0) Printers().SetPrinterIndex(i);
    }
    TfrxPrintChoice choice;
    choice.Copies = po->Copies;
    choice.Collate = po->Collate;
    choice.PageNumbers = po->PageNumbers;
    choice.PrintPages = po->PrintPages;
    if (po->ShowDialog && PrintDialogHook && !PrintDialogHook(report, choice)) return false;
    if (report->OnPrintReport) report->OnPrintReport(report);
    const int total = Count();
    // A range beyond the last page is cut to the pages there are; a page
    // list that is none, or names no page, is refused before the job starts
    // (it printed every page, or nothing while reporting success).
    const std::vector<int> list = frxUtils::SelectedPages(choice.PageNumbers, total);
    auto listed = [&](int n) {
        if (list.empty()) return true;
        return std::find(list.begin(), list.end(), n) != list.end();
    };
    report->SetTerminated(false);
    report->DoProgressStart(ptPrinting);
    TfrxCustomPrinter* printer = Printers().Printer();
    if (!printer) return false;
    printer->Title = !report->ReportOptions()->Name.empty() ? report->ReportOptions()->Name : report->FileName;
    const int copies = std::max(1, choice.Copies);
    bool started = false;
    bool stopped = false;
    try {
        auto onePass = [&](int copiesPerPage) {
            for (int k = 0; k < total && !stopped; ++k) {
                int i = choice.Reverse ? total - 1 - k : k;
                int n = i + 1;
                if (!listed(n)) continue;
                if (choice.PrintPages == ppOdd && n % 2 == 0) continue;
                if (choice.PrintPages == ppEven && n % 2 == 1) continue;
                if (report->Terminated()) {
                    if (started) printer->AbortJob();
                    started = false;
                    stopped = true;
                    break;
                }
                PrintPage(i, copiesPerPage, started);
            }
        };
        if (choice.Collate) {
            for (int c = 0; c < copies && !stopped && !report->Terminated(); ++c) onePass(1);
        } else {
            onePass(copies);
        }
        if (started) printer->EndJob();
    } catch (...) {
        // A refused page or job ends the job and is reported, never taken as printed.
        if (started) {
            try {
                printer->AbortJob();
            } catch (const std::exception&) {
            }
        }
        report->DoProgressStop(ptPrinting);
        throw;
    }
    report->DoProgressStop(ptPrinting);
    return true;
}

void TfrxPreviewPages::ExportPage(TfrxCustomExportFilter* filter, int index)
{
    TfrxReportPage* page = GetPage(index);
    if (!page) return;
    Report()->DoProgress(ptExporting, index + 1);
    filter->StartPage(page, index);
    const bool mirror = page->MirrorMargins && index % 2 == 1;
    page->SetLeft((mirror ? page->RightMargin : page->LeftMargin) * fr01cm);
    page->SetTop(page->TopMargin * fr01cm);
    {
        TfrxPictureView back(nullptr);
        back.SetName("_pagebackground");
        back.Color = page->Color();
        back.SetFrame(page->Frame());
        back.SetPicture(page->BackPicture());
        back.Stretched = true;
        back.KeepAspectRatio = false;
        back.SetBounds(page->Left(), page->Top(),
                       (page->PaperWidth() - page->LeftMargin - page->RightMargin) * fr01cm,
                       (page->PaperHeight() - page->TopMargin - page->BottomMargin) * fr01cm);
        filter->ExportObject(&back);
    }
    const int total = Count();
    for (TfrxComponent* c : page->AllObjects()) {
        if (auto* m = DynamicCast<TfrxCustomMemoView>(c)) m->TotalPagesValue = total;
        filter->ExportObject(c);
    }
    filter->FinishPage(page, index);
    page->SetLeft(0);
    page->SetTop(0);
    ClearCache();
}

bool TfrxPreviewPages::Export(TfrxCustomExportFilter* filter)
{
    TfrxReport* report = Report();
    filter->Report = report;
    if (filter->ShowDialog && filter->ShowModal() != 1) return false;
    if (filter->CurPage) filter->PageNumbers = IntToStr(ShownPage > 0 ? ShownPage : 1);
    report->SetTerminated(false);
    const int total = Count();
    // A bad range stops before the filter starts, so no file is touched.
    const std::vector<int> list = frxUtils::SelectedPages(filter->PageNumbers, total);
    if (!filter->Start()) return true;
    report->DoProgressStart(ptExporting);
    try {
        for (int i : list) {
            if (report->Terminated()) break;
            ExportPage(filter, i - 1);
            ProcessPending();
        }
    } catch (...) {
        // The filter is not finished: what it would write is incomplete and
        // must not replace an existing file.
        report->DoProgressStop(ptExporting);
        throw;
    }
    // A cancelled export writes nothing either.
    const bool cancelled = report->Terminated();
    try {
        if (!cancelled) filter->Finish();
    } catch (...) {
        report->DoProgressStop(ptExporting);
        throw;
    }
    // A filter cancelled while it wrote (its own progress window) says so
    // through Terminated too.
    const bool done = !cancelled && !report->Terminated();
    report->DoProgressStop(ptExporting);
    return done;
}
