// The column model of the data-aware grid: columns with assigned-or-default
// properties, their titles and footers, the column collection, the grid's
// column defaults and the multi-level title tree.
#include "DBGridEh.h"
#include "DBGridEhFilter.h"
#include "DBLookupGridsEh.h"
#include "ToolCtrlsEhSpecRow.h"

#include "TypInfo.h"
#include "DBSumLst.h"

#include "SysUtils.h"
#include "TextUtils.h"

#include <algorithm>

QZ_CLASS_IMPL(THeadTreeNode, TObject)
namespace DBGridEhProps {
void DefineColumnProps(std::vector<TPropInfo>& p);
void DefineTitleProps(std::vector<TPropInfo>& p);
void DefineFooterProps(std::vector<TPropInfo>& p);
void DefineDropDownBoxProps(std::vector<TPropInfo>& p);
void DefineTitleDefValuesProps(std::vector<TPropInfo>& p);
void DefineFooterDefValuesProps(std::vector<TPropInfo>& p);
void DefineColumnDefValuesProps(std::vector<TPropInfo>& p);
}

QZ_CLASS_IMPL_PROPS(TColumnTitleEh, TPersistent, DBGridEhProps::DefineTitleProps)
QZ_CLASS_IMPL_PROPS(TColumnTitleDefValuesEh, TPersistent, DBGridEhProps::DefineTitleDefValuesProps)
QZ_CLASS_IMPL_PROPS(TColumnFooterEh, TCollectionItem, DBGridEhProps::DefineFooterProps)
QZ_CLASS_IMPL(TColumnFootersEh, TCollection)
QZ_CLASS_IMPL_PROPS(TColumnFooterDefValuesEh, TPersistent, DBGridEhProps::DefineFooterDefValuesProps)
QZ_CLASS_IMPL_PROPS(TColumnEh, TCollectionItem, DBGridEhProps::DefineColumnProps)
QZ_CLASS_IMPL(TDBGridColumnEh, TColumnEh)
QZ_CLASS_IMPL(TDBGridColumnsEh, TCollection)
QZ_CLASS_IMPL(TColumnDefValuesEh, TPersistent)
QZ_CLASS_IMPL_PROPS(TDBGridEhColumnDefValuesEh, TColumnDefValuesEh, DBGridEhProps::DefineColumnDefValuesProps)
QZ_CLASS_IMPL_PROPS(TColumnDropDownBoxEh, TPersistent, DBGridEhProps::DefineDropDownBoxProps)

// ---- THeadTreeNode ---------------------------------------------------------------------------

THeadTreeNode::THeadTreeNode() { NextSibling = this; }

THeadTreeNode::THeadTreeNode(const std::string& text, int width, int height)
    : NodeText(text), NodeWidth(width), NodeHeight(height)
{
    NextSibling = this;
}

THeadTreeNode::~THeadTreeNode()
{
    // The root frees the whole tree; other nodes free only themselves.
    if (!ParentNode) ClearChildren();
}

std::vector<THeadTreeNode*> THeadTreeNode::Children() const
{
    std::vector<THeadTreeNode*> r;
    if (!FirstChild) return r;
    THeadTreeNode* n = FirstChild;
    do {
        r.push_back(n);
        n = n->NextSibling;
    } while (n != FirstChild);
    return r;
}

THeadTreeNode* THeadTreeNode::LastChild() const
{
    if (!FirstChild) return nullptr;
    THeadTreeNode* n = FirstChild;
    while (n->NextSibling != FirstChild) n = n->NextSibling;
    return n;
}

THeadTreeNode* THeadTreeNode::PrevSibling() const
{
    const THeadTreeNode* n = this;
    while (n->NextSibling != this) n = n->NextSibling;
    return const_cast<THeadTreeNode*>(n);
}

bool THeadTreeNode::ContainsNode(const THeadTreeNode* node) const
{
    if (node == this) return true;
    for (THeadTreeNode* c : Children())
        if (c->ContainsNode(node)) return true;
    return false;
}

int THeadTreeNode::NodeDepth() const
{
    int d = 0;
    for (const THeadTreeNode* p = ParentNode; p; p = p->ParentNode) ++d;
    return d;
}

THeadTreeNode* THeadTreeNode::InsertAfter(THeadTreeNode* after, const std::string& text, int width, int height)
{
    if (!after || !ContainsNode(after)) throw Exception(DBGridEh::SNodeNotInTree);
    auto* n = new THeadTreeNode(text, width, height);
    n->ParentNode = after->ParentNode;
    n->NextSibling = after->NextSibling;
    after->NextSibling = n;
    return n;
}

THeadTreeNode* THeadTreeNode::AppendChild(THeadTreeNode* parent, const std::string& text, int width, int height)
{
    if (!parent || !ContainsNode(parent)) throw Exception(DBGridEh::SNodeNotInTree);
    auto* n = new THeadTreeNode(text, width, height);
    n->ParentNode = parent;
    if (THeadTreeNode* last = parent->LastChild()) {
        n->NextSibling = parent->FirstChild;
        last->NextSibling = n;
    } else {
        parent->FirstChild = n;
    }
    return n;
}

void THeadTreeNode::ClearChildren()
{
    for (THeadTreeNode* c : Children()) {
        c->ClearChildren();
        delete c;
    }
    FirstChild = nullptr;
}

void THeadTreeNode::GroupSiblings(THeadTreeNode* aFrom, THeadTreeNode* aTo, int height, const std::string& text)
{
    if (!aFrom || !ContainsNode(aFrom)) throw Exception(DBGridEh::SNodeNotInTree);
    THeadTreeNode* parent = aFrom->ParentNode;
    THeadTreeNode* first = parent ? parent->FirstChild : aFrom;
    if (aFrom != aTo) {
        THeadTreeNode* n = aFrom;
        while (n != aTo) {
            n = n->NextSibling;
            if (n == first && n != aTo) throw Exception(DBGridEh::SAToNotInLevel);
        }
    }
    THeadTreeNode* prev = aFrom->PrevSibling();
    THeadTreeNode* after = aTo->NextSibling;
    auto* g = new THeadTreeNode(text, 0, height);
    g->ParentNode = parent;
    g->SeparatorWidth = aTo->SeparatorWidth;
    // The group takes the run's place in the ring.
    bool wholeRing = after == aFrom;
    if (wholeRing) g->NextSibling = g;
    else {
        prev->NextSibling = g;
        g->NextSibling = after;
    }
    if (parent && (parent->FirstChild == aFrom || wholeRing)) parent->FirstChild = g;
    g->FirstChild = aFrom;
    int sum = 0;
    for (THeadTreeNode* n = aFrom;; n = n->NextSibling) {
        n->NodeHeight -= height;
        n->ParentNode = g;
        sum += n->NodeWidth + g->SeparatorWidth;
        if (n == aTo) break;
    }
    aTo->NextSibling = aFrom;
    g->NodeWidth = g->SeparatorWidth >= 1 ? sum - g->SeparatorWidth : sum;
}

void THeadTreeNode::ForEachNode(const std::function<void(TCustomDBGridEh*, THeadTreeNode*)>& proc,
                                TCustomDBGridEh* grid)
{
    for (THeadTreeNode* c : Children()) {
        proc(grid, c);
        c->ForEachNode(proc, grid);
    }
}

namespace {

// The words of a caption: parts between runs of "|".
bool SecondWord(const std::string& text, std::string& first, size_t& secondPos)
{
    size_t bar = text.find('|');
    if (bar == std::string::npos) return false;
    first = text.substr(0, bar);
    size_t p = bar;
    while (p < text.size() && text[p] == '|') ++p;
    if (p >= text.size()) return false;
    secondPos = p;
    return true;
}

std::string FirstWord(const std::string& text)
{
    size_t bar = text.find('|');
    return bar == std::string::npos ? text : text.substr(0, bar);
}

} // namespace

void THeadTreeNode::BuildFromColumns(TCustomDBGridEh* grid)
{
    ClearChildren();
    TDBGridColumnsEh* cols = grid->Columns();
    bool colLines = grid->Options().Contains(dgColLines);
    std::vector<THeadTreeNode*> leaves;
    for (int i = 0; i < cols->Count(); ++i) {
        TColumnEh* c = cols->Items(i);
        int w = c->Visible() ? c->Width() : (colLines ? -1 : 0);
        THeadTreeNode* leaf = AppendChild(this, c->Title()->Caption(), w, grid->RowHeights(0));
        leaf->LeafColumn = c;
        leaf->MarkerIndent = c->Title()->SortMarker() != smNoneEh ? 16 : 0;
        leaf->SeparatorWidth = colLines ? 1 : 0;
        leaves.push_back(leaf);
    }
    bool changed = true;
    while (changed) {
        changed = false;
        for (size_t i = 0; i < leaves.size(); ++i) {
            std::string g;
            size_t p = 0;
            if (!SecondWord(leaves[i]->NodeText, g, p)) continue;
            size_t j = i + 1;
            while (j < leaves.size() && FirstWord(leaves[j]->NodeText) == g) ++j;
            // The group word leaves every caption of the run.
            for (size_t k = i; k < j; ++k) {
                std::string& t = leaves[k]->NodeText;
                t.erase(0, std::min(p, t.size()));
            }
            changed = true;
            // A run grouped under its first leaf's parent: the run's top nodes.
            THeadTreeNode* a = leaves[i];
            THeadTreeNode* b = leaves[j - 1];
            if (a->NodeDepth() == b->NodeDepth()) {
                // Siblings: both at the same depth under the same parent.
                if (a->ParentNode == b->ParentNode) {
                    GroupSiblings(a, b, 20, g);
                    break;
                }
            }
        }
    }
}

// ---- TColumnTitleEh ---------------------------------------------------------------------------

TColumnTitleEh::TColumnTitleEh(TColumnEh* column) : FColumn(column) {}
TColumnTitleEh::~TColumnTitleEh() = default;

bool TColumnTitleEh::Assigned(TColumnEhValue v) const
{
    return FColumn && FColumn->FAssignedValues.Contains(v);
}

void TColumnTitleEh::Mark(TColumnEhValue v)
{
    if (FColumn) FColumn->Mark(v);
}

void TColumnTitleEh::Notify()
{
    if (FColumn) FColumn->Notify(false);
}

TAlignment TColumnTitleEh::Alignment() const
{
    if (Assigned(cvTitleAlignment)) return FAlignment;
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    return g ? g->ColumnDefValues()->Title()->Alignment() : taLeftJustify;
}

void TColumnTitleEh::SetAlignment(TAlignment v)
{
    if (Assigned(cvTitleAlignment) && v == FAlignment) return;
    FAlignment = v;
    Mark(cvTitleAlignment);
    Notify();
}

std::string TColumnTitleEh::Caption() const
{
    if (Assigned(cvTitleCaption)) return FCaption;
    if (!FColumn) return FCaption;
    if (TField* f = FColumn->Field()) return f->DisplayLabel();
    return FColumn->FieldName();
}

void TColumnTitleEh::SetCaption(const std::string& v)
{
    if (FColumn && FColumn->IsDefaultColumn()) {
        if (FColumn->LinkActive() && FColumn->Field()) FColumn->Field()->SetDisplayLabel(v);
        return;
    }
    if (Assigned(cvTitleCaption) && v == FCaption) return;
    FCaption = v;
    Mark(cvTitleCaption);
    Notify();
}

TColor TColumnTitleEh::Color() const
{
    if (Assigned(cvTitleColor)) return FColor;
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    return g ? g->ColumnDefValues()->Title()->Color() : clBtnFace;
}

void TColumnTitleEh::SetColor(TColor v)
{
    if (Assigned(cvTitleColor) && v == FColor) return;
    FColor = v;
    Mark(cvTitleColor);
    Notify();
}

bool TColumnTitleEh::EndEllipsis() const
{
    if (Assigned(cvTitleEndEllipsis)) return FEndEllipsis;
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    return g && g->ColumnDefValues()->Title()->EndEllipsis();
}

void TColumnTitleEh::SetEndEllipsis(bool v)
{
    if (Assigned(cvTitleEndEllipsis) && v == FEndEllipsis) return;
    FEndEllipsis = v;
    Mark(cvTitleEndEllipsis);
    Notify();
}

TFont* TColumnTitleEh::Font() const
{
    if (!FFont) FFont = std::make_unique<TFont>();
    if (!Assigned(cvTitleFont)) {
        // An unassigned font follows the grid's title font.
        TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
        TFont* def = g ? g->TitleFont() : (FColumn ? FColumn->Font() : nullptr);
        if (def && !FFont->IsEqual(def)) {
            auto* self = const_cast<TColumnTitleEh*>(this);
            self->FFontAssigning = true;
            FFont->Assign(def);
            self->FFontAssigning = false;
        }
    }
    return FFont.get();
}

void TColumnTitleEh::SetFont(TFont* v)
{
    Font();
    FFont->Assign(v);
    Mark(cvTitleFont);
    if (FColumn) FColumn->Notify(true);
}

void TColumnTitleEh::SetImageIndex(int v)
{
    FImageIndex = v;
    if (FColumn && FColumn->Grid()) FColumn->Grid()->RequestLayout();
}

TTextOrientationEh TColumnTitleEh::Orientation() const
{
    if (Assigned(cvTitleOrientation)) return FOrientation;
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    return g ? g->ColumnDefValues()->Title()->Orientation() : tohHorizontal;
}

void TColumnTitleEh::SetOrientation(TTextOrientationEh v)
{
    if (Assigned(cvTitleOrientation) && v == FOrientation) return;
    FOrientation = v;
    Mark(cvTitleOrientation);
    Notify();
}

bool TColumnTitleEh::TitleButton() const
{
    if (Assigned(cvTitleButton)) return FTitleButton;
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    return g && g->ColumnDefValues()->Title()->TitleButton();
}

void TColumnTitleEh::SetTitleButton(bool v)
{
    if (Assigned(cvTitleButton) && v == FTitleButton) return;
    FTitleButton = v;
    Mark(cvTitleButton);
    Notify();
}

bool TColumnTitleEh::ToolTips() const
{
    if (Assigned(cvTitleToolTips)) return FToolTips;
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    return g && g->ColumnDefValues()->Title()->ToolTips();
}

void TColumnTitleEh::SetToolTips(bool v)
{
    if (Assigned(cvTitleToolTips) && v == FToolTips) return;
    FToolTips = v;
    Mark(cvTitleToolTips);
}

void TColumnTitleEh::SetSortMarker(TSortMarkerEh v)
{
    if (v == FSortMarker) return;
    FSortMarker = v;
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    if (!g) return;
    TDBGridColumnsEh* cols = g->Columns();
    if (cols->UpdateCount() > 0) return;
    TColumnsEhList& list = g->FSortColumnList;
    if (g->OptionsEh().Contains(dghMultiSortMarking)) {
        if (v != smNoneEh && FSortIndex == 0) {
            int n = 0;
            for (int i = 0; i < cols->Count(); ++i)
                if (cols->Items(i)->Title()->FSortIndex != 0) ++n;
            FSortIndex = n + 1;
            list.push_back(FColumn);
        } else if (v == smNoneEh && FSortIndex != 0) {
            for (int i = 0; i < cols->Count(); ++i) {
                TColumnTitleEh* t = cols->Items(i)->Title();
                if (t->FSortIndex > FSortIndex) --t->FSortIndex;
            }
            list.erase(std::remove(list.begin(), list.end(), FColumn), list.end());
            FSortIndex = 0;
        }
    } else {
        if (v != smNoneEh) {
            for (int i = 0; i < cols->Count(); ++i) {
                TColumnTitleEh* t = cols->Items(i)->Title();
                if (t != this && t->FSortMarker != smNoneEh) t->SetSortMarker(smNoneEh);
            }
            FSortIndex = 1;
            list.assign(1, FColumn);
        } else {
            FSortIndex = 0;
            list.clear();
        }
    }
    Notify();
}

void TColumnTitleEh::SetSortIndex(int v)
{
    if (v < 0) v = 0;
    if (v == FSortIndex) return;
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    if (!g || g->Columns()->UpdateCount() > 0) {
        FSortIndex = v;
        return;
    }
    if (FSortMarker == smNoneEh) return;
    TDBGridColumnsEh* cols = g->Columns();
    for (int i = 0; i < cols->Count(); ++i) {
        TColumnTitleEh* t = cols->Items(i)->Title();
        if (t == this || t->FSortIndex == 0 || t->FSortIndex != v) continue;
        t->FSortIndex = FSortIndex;
        FSortIndex = v;
        TColumnsEhList& list = g->FSortColumnList;
        auto a = std::find(list.begin(), list.end(), FColumn);
        auto b = std::find(list.begin(), list.end(), t->FColumn);
        if (a != list.end() && b != list.end()) std::iter_swap(a, b);
        Notify();
        return;
    }
}

void TColumnTitleEh::CycleSortMarker(bool keepOthers)
{
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    if (!keepOthers && g) {
        TDBGridColumnsEh* cols = g->Columns();
        for (int i = 0; i < cols->Count(); ++i) {
            TColumnTitleEh* t = cols->Items(i)->Title();
            if (t != this && t->SortMarker() != smNoneEh) t->SetSortMarker(smNoneEh);
        }
    }
    switch (FSortMarker) {
    case smNoneEh: SetSortMarker(smDownEh); break;
    case smDownEh: SetSortMarker(smUpEh); break;
    case smUpEh: SetSortMarker(keepOthers ? smNoneEh : smDownEh); break;
    }
}

int TColumnTitleEh::SortMarkerWidth() const
{
    if (FSortIndex == 0) return 0;
    TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
    int t = 0;
    if (g && g->SortColumnList().size() >= 2) t = g->SortIndexTextWidth(FSortIndex);
    int w = 16 + t;
    int room = (FColumn ? FColumn->Width() : 0) - 4;
    if (w > room) w -= 14;
    if (w > room) w -= t + 2;
    return w;
}

void TColumnTitleEh::ResetToDefaults()
{
    bool fontWasAssigned = Assigned(cvTitleFont);
    if (FColumn)
        FColumn->FAssignedValues -= TColumnEhValues{cvTitleColor, cvTitleCaption, cvTitleAlignment, cvTitleFont,
                                                    cvTitleButton, cvTitleEndEllipsis, cvTitleToolTips,
                                                    cvTitleOrientation};
    FCaption.clear();
    Font();
    if (FColumn) FColumn->Notify(fontWasAssigned);
}

void TColumnTitleEh::Assign(TPersistent* source)
{
    if (auto* s = dynamic_cast<TColumnTitleEh*>(source)) {
        if (s->Assigned(cvTitleAlignment)) SetAlignment(s->Alignment());
        if (s->Assigned(cvTitleColor)) SetColor(s->Color());
        if (s->Assigned(cvTitleCaption)) SetCaption(s->Caption());
        if (s->Assigned(cvTitleFont)) SetFont(s->Font());
        FHint = s->FHint;
        SetImageIndex(s->ImageIndex());
        SetOrientation(s->Orientation());
        SetSortIndex(s->SortIndex());
        SetSortMarker(s->SortMarker());
        SetTitleButton(s->TitleButton());
        SetEndEllipsis(s->EndEllipsis());
        SetToolTips(s->ToolTips());
        return;
    }
    TPersistent::Assign(source);
}

// ---- TColumnTitleDefValuesEh ---------------------------------------------------------------------

TAlignment TColumnTitleDefValuesEh::DefaultAlignment() const
{
    return FGrid && FGrid->UseMultiTitle() ? taCenter : taLeftJustify;
}

TAlignment TColumnTitleDefValuesEh::Alignment() const
{
    return FAlignmentAssigned ? FAlignment : DefaultAlignment();
}

void TColumnTitleDefValuesEh::SetAlignment(TAlignment v)
{
    if (FAlignmentAssigned && v == FAlignment) return;
    FAlignment = v;
    FAlignmentAssigned = true;
    if (FGrid) FGrid->RequestLayout();
}

TColor TColumnTitleDefValuesEh::DefaultColor() const { return FGrid ? FGrid->FixedColor() : clBtnFace; }

TColor TColumnTitleDefValuesEh::Color() const { return FColorAssigned ? FColor : DefaultColor(); }

void TColumnTitleDefValuesEh::SetColor(TColor v)
{
    if (FColorAssigned && v == FColor) return;
    FColor = v;
    FColorAssigned = true;
    if (FGrid) FGrid->Invalidate();
}

void TColumnTitleDefValuesEh::SetEndEllipsis(bool v)
{
    if (v == FEndEllipsis) return;
    FEndEllipsis = v;
    if (FGrid) FGrid->Invalidate();
}

void TColumnTitleDefValuesEh::SetOrientation(TTextOrientationEh v)
{
    if (v == FOrientation) return;
    FOrientation = v;
    if (FGrid) FGrid->RequestLayout();
}

void TColumnTitleDefValuesEh::Assign(TPersistent* source)
{
    if (auto* s = dynamic_cast<TColumnTitleDefValuesEh*>(source)) {
        if (s->FAlignmentAssigned) SetAlignment(s->Alignment());
        if (s->FColorAssigned) SetColor(s->Color());
        SetEndEllipsis(s->EndEllipsis());
        SetTitleButton(s->TitleButton());
        SetToolTips(s->ToolTips());
        SetOrientation(s->Orientation());
        return;
    }
    TPersistent::Assign(source);
}

// ---- footers ---------------------------------------------------------------------------------

TColumnFooterEh::TColumnFooterEh(TCollection* collection) : TCollectionItem(collection) {}

TColumnFooterEh::TColumnFooterEh(TColumnEh* column) : FColumn(column) {}

TColumnFooterEh::~TColumnFooterEh()
{
    if (TDBSum* s = FDBSum.Get()) {
        FDBSum = nullptr;
        delete s;
    }
}

TColumnEh* TColumnFooterEh::Column() const
{
    if (FColumn) return FColumn;
    if (auto* fs = dynamic_cast<TColumnFootersEh*>(Collection())) return fs->Column();
    return nullptr;
}

void TColumnFooterEh::Changed()
{
    if (TColumnEh* c = Column()) c->Notify(false);
}

TAlignment TColumnFooterEh::Alignment() const
{
    if (FAssigned.Contains(cfvAlignment)) return FAlignment;
    TColumnEh* c = Column();
    TField* f = c ? c->Field() : nullptr;
    return f ? f->Alignment() : taLeftJustify;
}

void TColumnFooterEh::SetAlignment(TAlignment v)
{
    if (FAssigned.Contains(cfvAlignment) && v == FAlignment) return;
    FAlignment = v;
    FAssigned.Include(cfvAlignment);
    Changed();
}

TColor TColumnFooterEh::Color() const
{
    if (FAssigned.Contains(cfvColor)) return FColor;
    TColumnEh* c = Column();
    TCustomDBGridEh* g = c ? c->Grid() : nullptr;
    return g ? g->FooterColor() : clWindow;
}

void TColumnFooterEh::SetColor(TColor v)
{
    if (FAssigned.Contains(cfvColor) && v == FColor) return;
    FColor = v;
    FAssigned.Include(cfvColor);
    Changed();
}

TFont* TColumnFooterEh::Font() const
{
    if (!FFont) FFont = std::make_unique<TFont>();
    if (!FAssigned.Contains(cfvFont)) {
        TColumnEh* c = Column();
        TCustomDBGridEh* g = c ? c->Grid() : nullptr;
        TFont* def = g ? g->FooterFont() : (c ? c->Font() : nullptr);
        if (def && !FFont->IsEqual(def)) FFont->Assign(def);
    }
    return FFont.get();
}

void TColumnFooterEh::SetFont(TFont* v)
{
    Font();
    FFont->Assign(v);
    FAssigned.Include(cfvFont);
    if (TColumnEh* c = Column()) c->Notify(true);
}

void TColumnFooterEh::SetDisplayFormat(const std::string& v)
{
    if (v == FDisplayFormat) return;
    FDisplayFormat = v;
    Changed();
}

void TColumnFooterEh::SetFieldName(const std::string& v)
{
    FFieldName = v;
    if (TColumnEh* c = Column()) c->SyncFooterSums();
    Changed();
}

void TColumnFooterEh::SetValue(const std::string& v)
{
    FValue = v;
    Changed();
}

void TColumnFooterEh::SetValueType(TFooterValueType v)
{
    if (v == FValueType) return;
    FValueType = v;
    if (TColumnEh* c = Column()) c->SyncFooterSums();
    Changed();
}

void TColumnFooterEh::EnsureSumValue()
{
    TColumnEh* c = Column();
    TCustomDBGridEh* g = c ? c->Grid() : nullptr;
    if (!g) return;
    std::string name = FFieldName.empty() ? c->FieldName() : FFieldName;
    auto configure = [&](TDBSum* s) {
        switch (FValueType) {
        case fvtSum: s->SetGroupOperation(goSum); s->SetFieldName(name); break;
        case fvtAvg: s->SetGroupOperation(goAvg); s->SetFieldName(name); break;
        default: s->SetGroupOperation(goCount); s->SetFieldName(""); break;
        }
    };
    bool wanted = FValueType == fvtSum || FValueType == fvtAvg || FValueType == fvtCount;
    if (TDBSum* s = FDBSum.Get()) {
        if (wanted) configure(s);
        else {
            FDBSum = nullptr;
            delete s;
        }
    } else if (wanted) {
        TDBSumCollection* sums = g->SumList()->SumCollection();
        sums->BeginUpdate();
        try {
            TDBSum* s = sums->Add();
            FDBSum = s;
            configure(s);
        } catch (...) {
            sums->EndUpdate();
            throw;
        }
        sums->EndUpdate();
    }
}

bool TColumnFooterEh::ToolTips() const
{
    if (FAssigned.Contains(cfvToolTips)) return FToolTips;
    TColumnEh* c = Column();
    TCustomDBGridEh* g = c ? c->Grid() : nullptr;
    return g && g->ColumnDefValues()->Footer()->ToolTips();
}

void TColumnFooterEh::SetToolTips(bool v)
{
    if (FAssigned.Contains(cfvToolTips) && v == FToolTips) return;
    FToolTips = v;
    FAssigned.Include(cfvToolTips);
}

void TColumnFooterEh::Assign(TPersistent* source)
{
    if (auto* s = dynamic_cast<TColumnFooterEh*>(source)) {
        if (s->FAssigned.Contains(cfvAlignment)) SetAlignment(s->Alignment());
        if (s->FAssigned.Contains(cfvColor)) SetColor(s->Color());
        if (s->FAssigned.Contains(cfvFont)) SetFont(s->Font());
        SetValueType(s->ValueType());
        SetFieldName(s->FieldName());
        SetValue(s->Value());
        SetWordWrap(s->WordWrap());
        SetDisplayFormat(s->DisplayFormat());
        if (s->FAssigned.Contains(cfvToolTips)) SetToolTips(s->ToolTips());
        return;
    }
    TCollectionItem::Assign(source);
}

TColumnFootersEh::TColumnFootersEh(TColumnEh* column)
    : TCollection(TColumnFooterEh::StaticClass()), FColumn(column)
{
}

TColumnFootersEh::~TColumnFootersEh() { Clear(); }

TPersistent* TColumnFootersEh::GetOwner() const { return FColumn; }

void TColumnFootersEh::Update(TCollectionItem*)
{
    if (FColumn && FColumn->Grid()) FColumn->Grid()->Invalidate();
}

void TColumnFooterDefValuesEh::Assign(TPersistent* source)
{
    if (auto* s = dynamic_cast<TColumnFooterDefValuesEh*>(source)) {
        FToolTips = s->FToolTips;
        return;
    }
    TPersistent::Assign(source);
}

// ---- TColumnEh ------------------------------------------------------------------------------------

TColumnEh::TColumnEh(TCollection* collection) : TCollectionItem(collection)
{
    FTitle.reset(NewTitle());
    FFooter.reset(NewFooter());
    FFooters.reset(NewFooters());
    FSTFilter = std::make_unique<TSTColumnFilterEh>(this);
    FBaseWidth = DefaultWidth();
    FEditButtons = std::make_unique<TEditButtonsEh>(this);
    FEditButtons->OnButtonsChanged = [this](TCollectionItem*) { Notify(); };
    FMRUList = std::make_unique<TMRUListEh>(this);
    FDropDownSpecRow = std::make_unique<TSpecRowEh>(this);
    FDropDownSpecRow->OnSpecRowChanged = [this](TSpecRowEh*) { SpecRowChanged(); };
    FDropDownBox = std::make_unique<TColumnDropDownBoxEh>(this);
}

TColumnEh::~TColumnEh()
{
    if (TCustomDBGridEh* g = Grid()) {
        TColumnsEhList& l = g->FSortColumnList;
        l.erase(std::remove(l.begin(), l.end(), this), l.end());
        TColumnsEhList& s = g->FShownColumns;
        s.erase(std::remove(s.begin(), s.end(), this), s.end());
        if (g->FSelection) g->FSelection->SelectedColumns()->Forget(this);
    }
    FEditButtons->OnButtonsChanged = nullptr;
    FDropDownSpecRow->OnSpecRowChanged = nullptr;
    FLookupPopupGrid.reset();
    FDropDownBox.reset();
    FFooters.reset();
    FFooter.reset();
    FTitle.reset();
}

TCustomDBGridEh* TColumnEh::Grid() const
{
    auto* cols = dynamic_cast<TDBGridColumnsEh*>(Collection());
    return cols ? cols->Grid() : nullptr;
}

bool TColumnEh::LinkActive() const
{
    TCustomDBGridEh* g = Grid();
    return g && g->DataLink()->Active();
}

std::string TColumnEh::GetDisplayName() const
{
    return FFieldName.empty() ? TCollectionItem::GetDisplayName() : FFieldName;
}

TField* TColumnEh::Field() const
{
    if (!FField && !FFieldName.empty()) {
        TCustomDBGridEh* g = Grid();
        TDataSet* ds = g ? g->DataLink()->DataSet() : nullptr;
        if (ds && (ds->Active() || !ds->DefaultFields())) {
            if (TField* f = ds->FindField(FFieldName)) {
                auto* self = const_cast<TColumnEh*>(this);
                self->FField = f;
                self->FFieldName = f->FieldName();
                self->SyncFooterSums();
            }
        }
    }
    return FField;
}

void TColumnEh::BindField(TField* f)
{
    if (f == FField) return;
    FField = f;
    if (f) FFieldName = f->FieldName();
    if (IsDefaultColumn()) {
        if (!f) FFieldName.clear();
        ResetToDefaults();
        FBaseWidth = Width();
    }
    SyncFooterSums();
    Notify();
}

void TColumnEh::SetFieldName(const std::string& v)
{
    TField* f = nullptr;
    TCustomDBGridEh* g = Grid();
    TDataSet* ds = g ? g->DataLink()->DataSet() : nullptr;
    if (ds && !v.empty() && !g->ComponentState().Contains(csLoading)) f = ds->FindField(v);
    FFieldName = v;
    FField = nullptr;
    BindField(f);
    FBaseWidth = Width();
    Notify();
}

TAlignment TColumnEh::Alignment() const
{
    if (FAssignedValues.Contains(cvAlignment)) return FAlignment;
    TField* f = Field();
    return f ? f->Alignment() : taLeftJustify;
}

void TColumnEh::SetAlignment(TAlignment v)
{
    if (IsDefaultColumn()) {
        if (LinkActive() && Field()) Field()->SetAlignment(v);
        return;
    }
    if (FAssignedValues.Contains(cvAlignment) && v == FAlignment) return;
    FAlignment = v;
    Mark(cvAlignment);
    Notify();
}

void TColumnEh::SetAutoFitColWidth(bool v)
{
    FAutoFitColWidth = v;
    TCustomDBGridEh* g = Grid();
    if (g && g->AutoFitColWidths() && !g->ComponentState().Contains(csLoading) &&
        !g->ComponentState().Contains(csDesigning))
        SetWidth(FBaseWidth);
    Notify();
}

bool TColumnEh::Checkboxes() const
{
    if (FAssignedValues.Contains(cvCheckboxes)) return FCheckboxes;
    TField* f = Field();
    return f && f->DataType() == ftBoolean;
}

void TColumnEh::SetCheckboxes(bool v)
{
    if (FAssignedValues.Contains(cvCheckboxes) && v == FCheckboxes) return;
    FCheckboxes = v;
    Mark(cvCheckboxes);
    Notify();
}

TColor TColumnEh::Color() const
{
    if (FAssignedValues.Contains(cvColor)) return FColor;
    TCustomDBGridEh* g = Grid();
    return g ? g->Color() : clWindow;
}

void TColumnEh::SetColor(TColor v)
{
    if (FAssignedValues.Contains(cvColor) && v == FColor) return;
    FColor = v;
    Mark(cvColor);
    Notify();
}

void TColumnEh::SetDisplayFormat(const std::string& v)
{
    if (v == FDisplayFormat) return;
    FDisplayFormat = v;
    Notify();
}

bool TColumnEh::EndEllipsis() const
{
    if (FAssignedValues.Contains(cvEndEllipsis)) return FEndEllipsis;
    TCustomDBGridEh* g = Grid();
    return g && g->ColumnDefValues()->EndEllipsis();
}

void TColumnEh::SetEndEllipsis(bool v)
{
    if (FAssignedValues.Contains(cvEndEllipsis) && v == FEndEllipsis) return;
    FEndEllipsis = v;
    Mark(cvEndEllipsis);
    Notify();
}

TFont* TColumnEh::Font() const
{
    if (!FFont) FFont = std::make_unique<TFont>();
    if (!FAssignedValues.Contains(cvFont)) {
        TCustomDBGridEh* g = Grid();
        if (g && !FFont->IsEqual(g->Font())) FFont->Assign(g->Font());
    }
    return FFont.get();
}

void TColumnEh::SetFont(TFont* v)
{
    Font();
    FFont->Assign(v);
    Mark(cvFont);
    Notify();
}

TStrings* TColumnEh::KeyList() const
{
    if (!FKeyList) FKeyList = std::make_unique<TStringList>();
    return FKeyList.get();
}

void TColumnEh::SetKeyList(TStrings* v)
{
    if (!v) FKeyList.reset();
    else KeyList()->Assign(v);
    if (TCustomDBGridEh* g = Grid()) g->Invalidate();
}

TStrings* TColumnEh::PickList() const
{
    if (!FPickList) FPickList = std::make_unique<TStringList>();
    return FPickList.get();
}

void TColumnEh::SetPickList(TStrings* v)
{
    if (!v) FPickList.reset();
    else PickList()->Assign(v);
}

void TColumnEh::SetNotInKeyListIndex(int v)
{
    if (v == FNotInKeyListIndex) return;
    FNotInKeyListIndex = v;
    if (TCustomDBGridEh* g = Grid()) g->Invalidate();
}

void TColumnEh::SetMaxWidth(int v)
{
    FMaxWidth = v;
    if (v > 0 && Width() > v) SetWidth(v);
}

void TColumnEh::SetMinWidth(int v)
{
    FMinWidth = v;
    if (v > 0 && Width() < v) SetWidth(v);
}

bool TColumnEh::ReadOnly() const
{
    if (FAssignedValues.Contains(cvReadOnly)) return FReadOnly;
    TCustomDBGridEh* g = Grid();
    TField* f = Field();
    return (g && g->ReadOnly()) || (f && f->ReadOnly());
}

void TColumnEh::SetReadOnly(bool v)
{
    if (IsDefaultColumn() && LinkActive() && Field()) {
        Field()->SetReadOnly(v);
        return;
    }
    if (FAssignedValues.Contains(cvReadOnly) && v == FReadOnly) return;
    FReadOnly = v;
    Mark(cvReadOnly);
    Notify();
}

void TColumnEh::SetVisible(bool v)
{
    if (v == FVisible) return;
    FVisible = v;
    Notify(true);
}

int TColumnEh::DefaultWidth() const
{
    TCustomDBGridEh* g = Grid();
    if (!g) return 64;
    TField* f = Field();
    if (!f) return g->DefaultColWidth();
    int w0 = g->TextWidthOf(Font(), "0");
    return w0 * f->DisplayWidth() + 4;
}

bool TColumnEh::ToolTips() const
{
    if (FAssignedValues.Contains(cvToolTips)) return FToolTips;
    TCustomDBGridEh* g = Grid();
    return g && g->ColumnDefValues()->ToolTips();
}

void TColumnEh::SetToolTips(bool v)
{
    Mark(cvToolTips);
    FToolTips = v;
}

int TColumnEh::Width() const
{
    if (FAssignedValues.Contains(cvWidth)) return FWidth;
    return DefaultWidth();
}

void TColumnEh::SetWidth(int v)
{
    TCustomDBGridEh* g = Grid();
    if (IsDefaultColumn() && g) {
        if (TField* f = Field()) {
            // A default column keeps its width in the field, in characters.
            TFont* font = Font();
            int w0 = std::max(1, g->TextWidthOf(font, "0"));
            f->SetDisplayWidth(std::max(0, (v + w0 / 2 - 3) / w0));
        }
        if (g->FInLinkLayoutChange && !FAssignedValues.Contains(cvWidth)) return;
    }
    if ((FAssignedValues.Contains(cvWidth) || v != DefaultWidth()) && v != -1) {
        FWidth = v;
        Mark(cvWidth);
        if (FMaxWidth > 0 && FWidth > FMaxWidth) FWidth = FMaxWidth;
        if (FMinWidth > 0 && FWidth < FMinWidth) FWidth = FMinWidth;
    }
    Notify();
}

bool TColumnEh::WordWrap() const
{
    if (FAssignedValues.Contains(cvWordWrap)) return FWordWrap;
    TField* f = Field();
    if (!Grid() || !f) return false;
    TFieldType t = f->DataType();
    return t == ftString || t == ftMemo || t == ftFmtMemo || t == ftWideString;
}

void TColumnEh::SetWordWrap(bool v)
{
    TCustomDBGridEh* g = Grid();
    if (FAssignedValues.Contains(cvWordWrap) || v != WordWrap() ||
        (g && g->ComponentState().Contains(csLoading))) {
        FWordWrap = v;
        Mark(cvWordWrap);
    }
    Notify();
}

// ---- editing in place

void TColumnEh::SetButtonStyle(TColumnButtonStyleEh v)
{
    if (v == FButtonStyle) return;
    FButtonStyle = v;
    Notify();
}

// A flag that falls back to the grid's column defaults while unassigned.
#define QZ_DEFAULTED_FLAG(Name, Flag, Member, Notifies)                                \
    bool TColumnEh::Name() const                                                      \
    {                                                                                 \
        if (FAssignedValues.Contains(Flag)) return Member;                            \
        TCustomDBGridEh* g = Grid();                                                  \
        return g && g->ColumnDefValues()->Name();                                     \
    }                                                                                 \
    void TColumnEh::Set##Name(bool v)                                                 \
    {                                                                                 \
        if (FAssignedValues.Contains(Flag) && v == Member) return;                    \
        Member = v;                                                                   \
        Mark(Flag);                                                                   \
        if (Notifies) Notify();                                                       \
    }
QZ_DEFAULTED_FLAG(AlwaysShowEditButton, cvAlwaysShowEditButton, FAlwaysShowEditButton, true)
QZ_DEFAULTED_FLAG(AutoDropDown, cvAutoDropDown, FAutoDropDown, false)
QZ_DEFAULTED_FLAG(DblClickNextVal, cvDblClickNextVal, FDblClickNextVal, false)
QZ_DEFAULTED_FLAG(DropDownShowTitles, cvDropDownShowTitles, FDropDownShowTitles, false)
QZ_DEFAULTED_FLAG(DropDownSizing, cvDropDownSizing, FDropDownSizing, false)
QZ_DEFAULTED_FLAG(HighlightRequired, cvHighlightRequired, FHighlightRequired, true)
#undef QZ_DEFAULTED_FLAG

TTextLayout TColumnEh::Layout() const
{
    if (FAssignedValues.Contains(cvLayout)) return FLayout;
    TCustomDBGridEh* g = Grid();
    return g ? g->ColumnDefValues()->Layout() : tlTop;
}

bool TColumnEh::LayoutStored() const
{
    if (!FAssignedValues.Contains(cvLayout)) return false;
    TCustomDBGridEh* g = Grid();
    return FLayout != (g ? g->ColumnDefValues()->Layout() : tlTop);
}

void TColumnEh::SetLayout(TTextLayout v)
{
    if (FAssignedValues.Contains(cvLayout) && v == FLayout) return;
    FLayout = v;
    Mark(cvLayout);
    Notify();
}

void TColumnEh::SetDropDownWidth(int v)
{
    if (v == FDropDownWidth) return;
    FDropDownWidth = v;
    Notify();
}

TCustomImageList* TColumnEh::ImageList() const { return FImageList.Get(); }

void TColumnEh::SetImageList(TCustomImageList* v)
{
    if (v == FImageList.Get()) return;
    FImageList = v;
    if (TCustomDBGridEh* g = Grid()) g->Invalidate();
}

void TColumnEh::SetShowImageAndText(bool v)
{
    if (v == FShowImageAndText) return;
    FShowImageAndText = v;
    Notify();
}

TDataSet* TColumnEh::LookupListDataSet() const
{
    TField* f = Field();
    if (!f || f->FieldKind() != fkLookup) return nullptr;
    if (TDataSource* src = FDropDownBox->ListSource(); src && src->DataSet()) return src->DataSet();
    return f->LookupDataSet();
}

std::string TColumnEh::LookupDisplayFields() const
{
    if (FAssignedValues.Contains(cvLookupDisplayFields)) return FLookupDisplayFields;
    TField* f = Field();
    return f ? f->LookupResultField() : std::string();
}

void TColumnEh::SetLookupDisplayFields(const std::string& v)
{
    if (FAssignedValues.Contains(cvLookupDisplayFields) || v != LookupDisplayFields()) {
        FLookupDisplayFields = v;
        Mark(cvLookupDisplayFields);
        if (FLookupPopupGrid) FLookupPopupGrid->SetListField(v);
    }
    Notify();
}

void TColumnEh::SetDropDownSpecRow(TSpecRowEh* v) { FDropDownSpecRow->Assign(v); }

void TColumnEh::SpecRowChanged()
{
    Notify();
    if (FLookupPopupGrid) FLookupPopupGrid->SetSpecRow(FDropDownSpecRow.get());
}

TPopupDataGridEh* TColumnEh::LookupPopupGrid()
{
    if (!FLookupPopupGrid) {
        FLookupPopupGrid = std::make_unique<TPopupDataGridEh>();
        FLookupPopupGrid->SetVisible(false);
    }
    return FLookupPopupGrid.get();
}

const TCheckTitleEhBtnEvent& TColumnEh::OnDropDownBoxCheckButton() { return LookupPopupGrid()->OnCheckButton; }
void TColumnEh::SetOnDropDownBoxCheckButton(TCheckTitleEhBtnEvent v) { LookupPopupGrid()->OnCheckButton = std::move(v); }
const TDrawColumnEhCellEvent& TColumnEh::OnDropDownBoxDrawColumnCell() { return LookupPopupGrid()->OnDrawColumnCell; }
void TColumnEh::SetOnDropDownBoxDrawColumnCell(TDrawColumnEhCellEvent v)
{
    LookupPopupGrid()->OnDrawColumnCell = std::move(v);
}
const TGetCellEhParamsEvent& TColumnEh::OnDropDownBoxGetCellParams() { return LookupPopupGrid()->OnGetCellParams; }
void TColumnEh::SetOnDropDownBoxGetCellParams(TGetCellEhParamsEvent v)
{
    TPopupDataGridEh* list = LookupPopupGrid();
    bool changed = bool(list->OnGetCellParams) || bool(v);
    list->OnGetCellParams = std::move(v);
    if (changed) list->Invalidate();
}
const TNotifyEvent& TColumnEh::OnDropDownBoxSortMarkingChanged() { return LookupPopupGrid()->OnSortMarkingChanged; }
void TColumnEh::SetOnDropDownBoxSortMarkingChanged(TNotifyEvent v)
{
    LookupPopupGrid()->OnSortMarkingChanged = std::move(v);
}
const TTitleEhClickEvent& TColumnEh::OnDropDownBoxTitleBtnClick() { return LookupPopupGrid()->OnTitleBtnClick; }
void TColumnEh::SetOnDropDownBoxTitleBtnClick(TTitleEhClickEvent v) { LookupPopupGrid()->OnTitleBtnClick = std::move(v); }

void TColumnEh::LookupGridFreeNotify(TComponent* component)
{
    if (TCustomDBGridEh* g = Grid(); g && component) g->FreeNotification(component);
}

TDBLookupGridEhOptions TColumnEh::LookupGridOptions() { return LookupPopupGrid()->LookupOptions(); }

void TColumnEh::SetLookupGridOptions(TDBLookupGridEhOptions v) { LookupPopupGrid()->SetLookupOptions(v); }

TColumnFooterEh* TColumnEh::FooterForRow(int row) const
{
    if (row >= 0 && row < FFooters->Count()) return FFooters->Items(row);
    return FFooter.get();
}

void TColumnEh::SyncFooterSums()
{
    if (!FFooter) return;
    FFooter->EnsureSumValue();
    for (int i = 0; i < FFooters->Count(); ++i) FFooters->Items(i)->EnsureSumValue();
}

int TColumnEh::ClampedWidth(int tryWidth) const
{
    int w = FMaxWidth > 0 && FMaxWidth < tryWidth ? FMaxWidth : tryWidth;
    if (FMinWidth > 0 && tryWidth < FMinWidth) w = FMinWidth;
    return w;
}

void TColumnEh::ResetToDefaults()
{
    FTitle->ResetToDefaults();
    bool fontWasAssigned = FAssignedValues.Contains(cvFont);
    FAssignedValues = {};
    Font();
    FPickList.reset();
    FButtonStyle = TColumnButtonStyleEh::cbsAuto;
    Notify(fontWasAssigned);
    FKeyList.reset();
}

void TColumnEh::Assign(TPersistent* source)
{
    auto* s = dynamic_cast<TColumnEh*>(source);
    if (!s) {
        TCollectionItem::Assign(source);
        return;
    }
    TCollection* coll = Collection();
    if (coll) coll->BeginUpdate();
    try {
        ResetToDefaults();
        SetFieldName(s->FieldName());
        TColumnEhValues a = s->FAssignedValues;
        if (a.Contains(cvColor)) SetColor(s->Color());
        if (a.Contains(cvWidth)) SetWidth(s->Width());
        if (a.Contains(cvFont)) SetFont(s->Font());
        if (a.Contains(cvAlignment)) SetAlignment(s->Alignment());
        if (a.Contains(cvReadOnly)) SetReadOnly(s->ReadOnly());
        FTitle->Assign(s->Title());
        FDropDownRows = s->FDropDownRows;
        SetButtonStyle(s->ButtonStyle());
        if (s->FPickList) SetPickList(s->FPickList.get());
        FBaseWidth = s->FBaseWidth;
        FAutoFitColWidth = s->FAutoFitColWidth;
        if (a.Contains(cvWordWrap)) SetWordWrap(s->WordWrap());
        if (a.Contains(cvToolTips)) SetToolTips(s->ToolTips());
        SetEndEllipsis(s->EndEllipsis());
        SetDropDownWidth(s->DropDownWidth());
        SetAutoDropDown(s->AutoDropDown());
        SetAlwaysShowEditButton(s->AlwaysShowEditButton());
        FFooter->Assign(s->Footer());
        if (s->FKeyList) SetKeyList(s->FKeyList.get());
        if (a.Contains(cvCheckboxes)) SetCheckboxes(s->Checkboxes());
        FIncrement = s->FIncrement;
        FFooters->Assign(s->Footers());
        FSTFilter->Assign(s->STFilter());
        FTag = s->FTag;
        SetVisible(s->Visible());
        SetNotInKeyListIndex(s->NotInKeyListIndex());
        SetMinWidth(s->MinWidth());
        SetMaxWidth(s->MaxWidth());
        SetImageList(s->ImageList());
        SetDblClickNextVal(s->DblClickNextVal());
        SetDropDownSizing(s->DropDownSizing());
        SetDropDownShowTitles(s->DropDownShowTitles());
        OnNotInList = s->OnNotInList;
        OnUpdateData = s->OnUpdateData;
        OnEditButtonClick = s->OnEditButtonClick;
        OnEditButtonDown = s->OnEditButtonDown;
        FEditButtons->Assign(s->EditButtons());
        FMRUList->Assign(s->MRUList());
        SetDisplayFormat(s->DisplayFormat());
        SetShowImageAndText(s->ShowImageAndText());
        if (s->FAssignedValues.Contains(cvLookupDisplayFields)) SetLookupDisplayFields(s->LookupDisplayFields());
        FDropDownBox->Assign(s->DropDownBox());
    } catch (...) {
        if (coll) coll->EndUpdate();
        throw;
    }
    if (coll) coll->EndUpdate();
}

void TColumnEh::SetColumnIndex(int v)
{
    TCustomDBGridEh* g = Grid();
    if (IsDefaultColumn() && g && g->DataLink()->Active()) {
        if (TField* mapped = g->DataLink()->MappedField(v))
            if (TField* f = Field()) f->SetIndex(mapped->Index());
    }
    SetIndex(v);
}

// ---- TDBGridColumnsEh ----------------------------------------------------------------------------

TDBGridColumnsEh::TDBGridColumnsEh(TCustomDBGridEh* grid, TClass itemClass)
    : TCollection(itemClass ? itemClass : TDBGridColumnEh::StaticClass()), FGrid(grid)
{
}

TDBGridColumnsEh::~TDBGridColumnsEh()
{
    FGrid = nullptr;
    Clear();
}

TColumnEh* TDBGridColumnsEh::Add() { return static_cast<TColumnEh*>(TCollection::Add()); }

TColumnEh* TDBGridColumnsEh::AddDefaultColumn()
{
    BeginUpdate();
    TColumnEh* c = Add();
    c->SetStoredColumn(false);
    EndUpdate();
    return c;
}

TColumnsStateEh TDBGridColumnsEh::ColumnsState() const
{
    return Count() > 0 && Items(0)->StoredColumn() ? cssCustomized : cssDefault;
}

TPersistent* TDBGridColumnsEh::GetOwner() const { return FGrid; }

void TDBGridColumnsEh::Update(TCollectionItem* item)
{
    TCustomDBGridEh* g = FGrid;
    if (!g || g->ComponentState().Contains(csLoading) || g->ComponentState().Contains(csDestroying)) return;
    if (item) {
        auto* c = static_cast<TColumnEh*>(item);
        int raw = g->DataToRawColumn(c->Index());
        if (raw < g->ColCount()) g->InvalidateCol(raw);
        if (!g->AutoFitColWidths()) {
            int want = c->Visible() ? c->Width() : (g->Options().Contains(dgColLines) ? -1 : 0);
            if (raw < g->ColCount() && g->ColWidths(raw) == want) {
                if (g->UseMultiTitle()) g->RequestLayout();
            } else {
                g->RequestLayout();
            }
        } else if (raw < g->ColCount() && g->ColWidths(raw) > 0) {
            int old = c->FBaseWidth;
            c->FBaseWidth = MulDiv(c->FBaseWidth, c->Width(), g->ColWidths(raw));
            if (c->Index() < Count() - 1) {
                TColumnEh* n = Items(c->Index() + 1);
                n->FBaseWidth = std::max(0, n->FBaseWidth + old - c->FBaseWidth);
            }
            g->RequestLayout();
        } else {
            g->RequestLayout();
        }
    } else {
        g->RebuildSortColumnList();
        g->RequestLayout();
    }
}

// ---- TColumnDefValuesEh ------------------------------------------------------------------------------

TColumnDefValuesEh::TColumnDefValuesEh(TCustomDBGridEh* grid)
    : FGrid(grid), FTitle(std::make_unique<TColumnTitleDefValuesEh>(grid)),
      FFooter(std::make_unique<TColumnFooterDefValuesEh>())
{
}

TColumnDefValuesEh::~TColumnDefValuesEh() = default;

void TColumnDefValuesEh::Repaint()
{
    if (FGrid) FGrid->Invalidate();
}

void TColumnDefValuesEh::SetAlwaysShowEditButton(bool v)
{
    if (v == FAlwaysShowEditButton) return;
    FAlwaysShowEditButton = v;
    Repaint();
}

void TColumnDefValuesEh::SetHighlightRequired(bool v)
{
    if (v == FHighlightRequired) return;
    FHighlightRequired = v;
    Repaint();
}

void TColumnDefValuesEh::SetEndEllipsis(bool v)
{
    if (v == FEndEllipsis) return;
    FEndEllipsis = v;
    Repaint();
}

void TColumnDefValuesEh::SetLayout(TTextLayout v)
{
    if (v == FLayout) return;
    FLayout = v;
    Repaint();
}

void TColumnDefValuesEh::Assign(TPersistent* source)
{
    if (auto* s = dynamic_cast<TColumnDefValuesEh*>(source)) {
        FTitle->Assign(s->Title());
        SetAlwaysShowEditButton(s->AlwaysShowEditButton());
        SetEndEllipsis(s->EndEllipsis());
        FAutoDropDown = s->FAutoDropDown;
        FDblClickNextVal = s->FDblClickNextVal;
        FToolTips = s->FToolTips;
        FDropDownSizing = s->FDropDownSizing;
        FDropDownShowTitles = s->FDropDownShowTitles;
        return;
    }
    TPersistent::Assign(source);
}

// ---- TColumnDropDownBoxEh --------------------------------------------------------------------

TColumnDropDownBoxEh::TColumnDropDownBoxEh(TPersistent* owner)
    : FOwner(owner), FSpecRow(std::make_unique<TSpecRowEh>(this))
{
}

TColumnDropDownBoxEh::~TColumnDropDownBoxEh() = default;

IColumnLookupGridEh* TColumnDropDownBoxEh::LookupOwner() const { return dynamic_cast<IColumnLookupGridEh*>(FOwner); }

TDBGridColumnsEh* TColumnDropDownBoxEh::Columns() const
{
    IColumnLookupGridEh* o = LookupOwner();
    return o ? o->LookupGrid()->Columns() : nullptr;
}

void TColumnDropDownBoxEh::SetColumns(TDBGridColumnsEh* v)
{
    if (IColumnLookupGridEh* o = LookupOwner()) o->LookupGrid()->Columns()->Assign(v);
}

TColumnDefValuesEh* TColumnDropDownBoxEh::ColumnDefValues() const
{
    IColumnLookupGridEh* o = LookupOwner();
    return o ? o->LookupGrid()->ColumnDefValues() : nullptr;
}

void TColumnDropDownBoxEh::SetColumnDefValues(TColumnDefValuesEh* v)
{
    if (IColumnLookupGridEh* o = LookupOwner()) o->LookupGrid()->ColumnDefValues()->Assign(v);
}

TDBLookupGridEhOptions TColumnDropDownBoxEh::Options() const
{
    IColumnLookupGridEh* o = LookupOwner();
    return o ? o->LookupGridOptions() : TDBLookupGridEhOptions{};
}

void TColumnDropDownBoxEh::SetOptions(TDBLookupGridEhOptions v)
{
    if (IColumnLookupGridEh* o = LookupOwner()) o->SetLookupGridOptions(v);
}

void TColumnDropDownBoxEh::SetListSource(TDataSource* v)
{
    if (v == FListSource.Get()) return;
    FListSource = v;
    if (IColumnLookupGridEh* o = LookupOwner()) o->LookupGridFreeNotify(v);
}

void TColumnDropDownBoxEh::Assign(TPersistent* source)
{
    auto* s = DynamicCast<TColumnDropDownBoxEh>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SetAutoFitColWidths(s->AutoFitColWidths());
    if (TColumnDefValuesEh* d = s->ColumnDefValues()) SetColumnDefValues(d);
    TDBGridColumnsEh* from = s->Columns();
    if (from && from->ColumnsState() == cssCustomized) SetColumns(from);
    else if (TDBGridColumnsEh* own = Columns()) own->Clear();
    SetOptions(s->Options());
    SetUseMultiTitle(s->UseMultiTitle());
    SetListSource(s->ListSource());
}
