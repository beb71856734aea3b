#include "frxInsp.h"

#include "Buttons.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "Lists.h"
#include "ScrollBox.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "Windows.h"
#include "frxClass.h"
#include "frxCustomDesigner.h"
#include "frxDesgnEditors.h"
#include "frxDsgnIntf.h"
#include "frxPopupForm.h"
#include "frxRes.h"
#include "frxUtils.h"

#include <algorithm>

QZ_CLASS_IMPL(TfrxObjectInspector, TForm)

namespace {

constexpr int ButtonWidth = 15;
constexpr int IndentStep = 12;
// The value column's text colour.
constexpr TColor ValueColor = clNavy;

// A panel that neither erases nor paints its background: the grid covers it.
class TInspPanel : public TPanel {
    QZ_CLASS(TInspPanel, TPanel)
public:
    explicit TInspPanel(TComponent* owner = nullptr) : TPanel(owner)
    {
        SetBevelOuter(bvNone);
        SetCaption("");
    }
protected:
    void Paint() override {}
};

bool IsEventType(PPropInfo p)
{
    if (!p) return false;
    const std::string& t = p->TypeName;
    return t.size() >= 9 && t.compare(0, 4, "Tfrx") == 0 && t.compare(t.size() - 5, 5, "Event") == 0;
}

std::string ComboText(TObject* o)
{
    if (auto* c = DynamicCast<TComponent>(o)) return c->Name() + ": " + c->ClassName();
    return std::string();
}

}  // namespace

QZ_CLASS_IMPL(TInspPanel, TPanel)

TfrxObjectInspector::TfrxObjectInspector(TComponent* owner)
    : TForm(owner), FDesigner(DynamicCast<TfrxCustomDesigner>(owner))
{
    if (!FDesigner) throw Exception("The Owner of the object inspector should be TfrxCustomDesigner");
    FInspectedObjects = FDesigner->SelectedObjects();
    SetName("ObjectInspector");
    SetCaption("Object Inspector");
    SetFormStyle(fsStayOnTop);
    SetBorderStyle(bsSizeToolWin);
    SetKeyPreview(true);
    Font()->SetName("Tahoma");
    Font()->SetSize(8);
    SetBounds(0, 0, 210, 452);

    ObjectsCB = new TComboBox(this);
    ObjectsCB->SetName("ObjectsCB");
    ObjectsCB->SetParent(this);
    ObjectsCB->SetStyle(csOwnerDrawFixed);
    ObjectsCB->SetItemHeight(15);
    ObjectsCB->SetSorted(true);
    ObjectsCB->SetBounds(0, 0, ClientWidth(), 21);
    ObjectsCB->OnClick = [this](TObject* s) { ObjectsCBClick(s); };
    ObjectsCB->OnDrawItem = [this](TWinControl*, int index, TRect r, TOwnerDrawState) {
        if (FLocked) return;
        TCanvas* c = ObjectsCB->Canvas();
        c->FillRect(r);
        if (index >= 0 && index < ObjectsCB->Items()->Count())
            c->TextOut(r.Left + 2, r.Top + 1, ObjectsCB->Items()->Strings(index));
    };

    Tab = new TTabControl(this);
    Tab->SetName("Tab");
    Tab->SetParent(this);
    Tab->Tabs()->Add("Properties");
    Tab->Tabs()->Add("Events");
    Tab->SetTop(ObjectsCB->Height() + 2);
    Tab->OnChange = [this](TObject* s) { TabChange(s); };

    BackPanel = new TPanel(this);
    BackPanel->SetName("BackPanel");
    BackPanel->SetParent(Tab);
    BackPanel->SetBevelOuter(bvNone);
    BackPanel->SetCaption("");

    HintPanel = new TPanel(this);
    HintPanel->SetName("HintPanel");
    HintPanel->SetParent(BackPanel);
    HintPanel->SetAlign(alBottom);
    HintPanel->SetBevelOuter(bvLowered);
    HintPanel->SetCaption("");
    HintPanel->SetHeight(65);
    PropL = new TLabel(this);
    PropL->SetName("PropL");
    PropL->SetParent(HintPanel);
    PropL->SetAlign(alTop);
    PropL->SetTransparent(false);
    PropL->SetColor(clInfoBk);
    PropL->Font()->SetStyle({fsBold});
    PropL->SetCaption("");
    DescrL = new TLabel(this);
    DescrL->SetName("DescrL");
    DescrL->SetParent(HintPanel);
    DescrL->SetAlign(alClient);
    DescrL->SetWordWrap(true);
    DescrL->SetCaption("");

    Splitter1 = new TSplitter(this);
    Splitter1->SetName("Splitter1");
    Splitter1->SetParent(BackPanel);
    Splitter1->SetAlign(alBottom);

    Box = new TScrollBox(this);
    Box->SetName("Box");
    Box->SetParent(BackPanel);
    Box->SetAlign(alClient);
    Box->SetColor(clWindow);
    Box->HorzScrollBar()->SetVisible(false);

    InnerPanel = new TInspPanel(this);
    InnerPanel->SetParent(Box);
    InnerPanel->SetBounds(0, 0, Box->ClientWidth(), 0);

    PB = new TPaintBox(this);
    PB->SetName("PB");
    PB->SetParent(InnerPanel);
    PB->SetAlign(alClient);
    PB->OnPaint = [this](TObject*) { PaintGrid(); };
    PB->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { PBMouseDown(s, b, sh, x, y); };
    PB->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { PBMouseMove(s, sh, x, y); };
    PB->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { PBMouseUp(s, b, sh, x, y); };
    PB->OnDblClick = [this](TObject* s) { PBDblClick(s); };

    Edit1 = new TEdit(this);
    Edit1->SetName("Edit1");
    Edit1->SetParent(InnerPanel);
    Edit1->SetBorderStyle(bsNone);
    Edit1->SetVisible(false);
    Edit1->OnKeyDown = [this](TObject* s, uint16_t& key, TShiftState sh) { Edit1KeyDown(s, key, sh); };
    Edit1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        Edit1MouseDown(s, b, sh, x, y);
    };
    Edit1->OnDblClick = [this](TObject*) { EditSelected(); };

    auto buttonPanel = [this](const char* panelName, const char* buttonName, const char* caption,
                              TSpeedButton*& button, std::function<void()> click) {
        auto* p = new TPanel(this);
        p->SetName(panelName);
        p->SetParent(InnerPanel);
        p->SetBevelOuter(bvNone);
        p->SetCaption("");
        p->SetVisible(false);
        button = new TSpeedButton(this);
        button->SetName(buttonName);
        button->SetParent(p);
        button->SetAlign(alClient);
        button->SetCaption(caption);
        button->OnClick = [click](TObject*) { click(); };
        return p;
    };
    EditPanel = buttonPanel("EditPanel", "EditBtn", "...", EditBtn, [this] { EditSelected(); });
    ComboPanel = buttonPanel("ComboPanel", "ComboBtn", "\xe2\x96\xbc", ComboBtn, [this] { DropDown(); });

    // The menu carries the clipboard shortcuts of the inline editor only.
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    auto item = [this](const char* name, const char* caption, const char* shortcut, int tag) {
        auto* m = new TMenuItem(this);
        m->SetName(name);
        m->SetCaption(caption);
        m->SetShortCut(TextToShortCut(shortcut));
        m->SetTag(tag);
        m->OnClick = [this](TObject* s) { ClipboardItem(s); };
        PopupMenu1->Items()->Add(m);
        return m;
    };
    N11 = item("N11", "Cut", "Ctrl+X", 1);
    N21 = item("N21", "Paste", "Ctrl+V", 2);
    N31 = item("N31", "Copy", "Ctrl+C", 3);
    N41 = item("N41", "Cut", "Shift+Del", 1);
    N51 = item("N51", "Paste", "Shift+Ins", 2);
    N61 = item("N61", "Copy", "Ctrl+Ins", 3);
    SetPopupMenu(PopupMenu1);

    FBitmap = std::make_unique<TBitmap>();
    FHintWindow = new THintWindow(this);
    FHintWindow->SetColor(clInfoBk);

    FRowHeight = FBitmap->Canvas()->TextHeight("Wg") + 3;
    {
        TBitmap probe;
        probe.Canvas()->Font()->Assign(Font());
        FRowHeight = probe.Canvas()->TextHeight("Wg") + 3;
    }
    Box->VertScrollBar()->SetIncrement(FRowHeight);
    Box->VertScrollBar()->SetTracking(true);
    Box->OnMouseWheel = [this](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        TControlScrollBar* bar = Box->VertScrollBar();
        bar->SetPosition(bar->Position() - (delta / 120) * FRowHeight);
        handled = true;
    };
    FSelectedRow = -1;

    TfrxResources& res = frxRes::Resources();
    res.LocalizeForm(this);
    Tab->Tabs()->SetStrings(0, res.Get("oiProp"));
    Tab->Tabs()->SetStrings(1, res.Get("oiEvent"));

    OnResize = [this](TObject*) { LayoutControls(); };
    OnDeactivate = [this](TObject*) { SelectRow(FSelectedRow); };
    LayoutControls();
    FSplitPos = PB->Width() / 2;
}

TfrxObjectInspector::~TfrxObjectInspector()
{
    // An open drop-down goes first: it reports its end to this window.
    if (FPopup) {
        FPopup->OnDestroy = nullptr;
        delete FPopup;
    }
    // The rows' editors refer to the objects; let them go before the controls.
    FRows.clear();
    FPropertyList.reset();
    FEventList.reset();
}

TfrxPropertyList* TfrxObjectInspector::CurrentList() const
{
    return Tab->TabIndex() == 1 ? FEventList.get() : FPropertyList.get();
}

TfrxPropertyItem* TfrxObjectInspector::Row(int index) const
{
    if (index < 0 || index >= RowCount()) return nullptr;
    return FRows[size_t(index)].Item;
}

int TfrxObjectInspector::RowDepth(int index) const
{
    if (index < 0 || index >= RowCount()) return 0;
    return FRows[size_t(index)].Depth;
}

std::string TfrxObjectInspector::RowName(int index) const
{
    TfrxPropertyItem* item = Row(index);
    return item && item->Editor ? item->Editor->GetName() : std::string();
}

// ---- the object list and the inspected objects ----------------------------------------------

void TfrxObjectInspector::SetObjectList(TList* list)
{
    FUpdatingObjectsCB = true;
    ObjectsCB->Items()->Clear();
    if (list)
        for (int i = 0; i < list->Count(); ++i) {
            auto* o = static_cast<TObject*>(list->Items(i));
            if (DynamicCast<TComponent>(o))
                ObjectsCB->Items()->AddObject(ComboText(o), o);
            else
                ObjectsCB->Items()->AddObject("", nullptr);
        }
    FUpdatingObjectsCB = false;
}

void TfrxObjectInspector::Inspect(const std::vector<TObject*>& objects)
{
    FRows.clear();
    FEventList.reset();
    FPropertyList = frxDsgnIntf::BuildCommonPropertyList(objects, FDesigner);
    FEventList = std::make_unique<TfrxPropertyList>(FDesigner);
    if (FPropertyList) {
        for (int i = 0; i < FPropertyList->Count();) {
            TfrxPropertyItem* item = FPropertyList->Items(i);
            if (item->Editor && IsEventType(item->Editor->GetPropInfo())) {
                FEventList->Adopt(FPropertyList->Take(i));
                continue;
            }
            ++i;
        }
    }

    FUpdatingObjectsCB = true;
    if (objects.size() == 1) {
        int index = ObjectsCB->Items()->IndexOfObject(objects.front());
        if (index < 0) index = ObjectsCB->Items()->AddObject(ComboText(objects.front()), objects.front());
        ObjectsCB->SetItemIndex(index);
    } else {
        ObjectsCB->SetItemIndex(-1);
    }
    FUpdatingObjectsCB = false;

    FSelectedRow = -1;
    Edit1->SetModified(false);
    BuildRows();
    LayoutControls();
    if (RowCount() > 0) {
        int found = 0;
        for (int i = 0; i < RowCount(); ++i)
            if (RowName(i) == FLastPropertyName) {
                found = i;
                break;
            }
        SelectRow(found);
    } else {
        SelectRow(-1);
    }
}

void TfrxObjectInspector::UpdateProperties()
{
    std::vector<TObject*> objects;
    if (FInspectedObjects)
        for (int i = 0; i < FInspectedObjects->Count(); ++i)
            objects.push_back(static_cast<TObject*>(FInspectedObjects->Items(i)));
    Inspect(objects);
}

void TfrxObjectInspector::Unlock()
{
    FLocked = false;
    PlaceEditor();
    ObjectsCB->Invalidate();
}

void TfrxObjectInspector::SetColor(TColor c)
{
    ObjectsCB->SetColor(c);
    Box->SetColor(c);
    PB->Invalidate();
}

void TfrxObjectInspector::SetSplitPos(int v)
{
    FSplitPos = v;
    PlaceEditor();
}

int TfrxObjectInspector::Split1Pos() const { return HintPanel->Height(); }

void TfrxObjectInspector::SetSplit1Pos(int v) { HintPanel->SetHeight(v); }

// ---- rows and layout ------------------------------------------------------------------------

void TfrxObjectInspector::AddRows(TfrxPropertyList* list, int depth)
{
    if (!list) return;
    for (int i = 0; i < list->Count(); ++i) {
        TfrxPropertyItem* item = list->Items(i);
        FRows.push_back({item, list, depth});
        if (item->SubProperty && item->Expanded) AddRows(item->SubProperty.get(), depth + 1);
    }
}

void TfrxObjectInspector::BuildRows()
{
    FRows.clear();
    AddRows(CurrentList(), 0);
}

void TfrxObjectInspector::LayoutControls()
{
    Tab->SetBounds(Tab->Left(), Tab->Top(), ClientWidth() + 10, ClientHeight() - Tab->Top() + 2);
    const TRect display = Tab->DisplayRect();
    BackPanel->SetBounds(display.Left, display.Top, ClientWidth(), std::max(0, Tab->ClientHeight() - 26));
    ObjectsCB->SetWidth(ClientWidth());
    InnerPanel->SetBounds(0, 0, Box->ClientWidth(), RowCount() * FRowHeight);
    PlaceEditor();
}

void TfrxObjectInspector::PlaceEditor()
{
    if (FLocked) return;
    TfrxPropertyItem* item = Row(FSelectedRow);
    if (!item || !item->Editor) {
        EditPanel->SetVisible(false);
        ComboPanel->SetVisible(false);
        Edit1->SetVisible(false);
        PB->Invalidate();
        return;
    }
    const TfrxPropertyAttributes a = item->Editor->GetAttributes();
    const int top = FSelectedRow * FRowHeight;
    int width = PB->Width() - FSplitPos - 2;
    EditPanel->SetVisible(a.Contains(eaDialog));
    ComboPanel->SetVisible(a.Contains(eaValueList));
    Edit1->SetReadOnly(a.Contains(eaReadOnly));
    for (TPanel* p : {EditPanel, ComboPanel})
        if (p->Visible()) {
            p->SetBounds(PB->Width() - ButtonWidth, top, ButtonWidth, FRowHeight - 1);
            width -= ButtonWidth;
        }
    Edit1->SetText(item->Editor->GetValue());
    Edit1->SetModified(false);
    Edit1->SetBounds(FSplitPos + 2, top + 1, std::max(0, width), FRowHeight - 2);
    Edit1->SetVisible(true);
    Edit1->SelectAll();
    // Keep the row in sight.
    TControlScrollBar* bar = Box->VertScrollBar();
    if (top < bar->Position())
        bar->SetPosition(top);
    else if (top + FRowHeight > bar->Position() + Box->ClientHeight())
        bar->SetPosition(top + FRowHeight - Box->ClientHeight());
    PB->Invalidate();
}

// ---- selecting, committing ------------------------------------------------------------------

std::string TfrxObjectInspector::Description(int row) const
{
    if (row < 0 || row >= RowCount()) return std::string();
    const TRowRef& r = FRows[size_t(row)];
    TObject* owner = r.List ? r.List->Component() : nullptr;
    if (!owner) return std::string();
    const TfrxResources& res = frxRes::Resources();
    const std::string name = RowName(row);
    // The layout's font class stands for the platform's font, which the texts name.
    const std::string owningClass = owner->InheritsFrom(TfrxFont::StaticClass()) ? "TFont" : owner->ClassName();
    const std::string specific = "prop" + name + "." + owningClass;
    const std::string text = res.Get(specific);
    if (text != specific) return text;
    return res.Get("prop" + name);
}

void TfrxObjectInspector::SelectRow(int index)
{
    PropL->SetCaption("");
    DescrL->SetCaption("");
    index = std::min(index, RowCount() - 1);
    index = std::max(index, -1);
    Edit1->SetVisible(RowCount() > 0);
    if (FSelectedRow >= 0 && FSelectedRow < RowCount() && Edit1->Modified()) CommitEdit();
    FSelectedRow = std::min(index, RowCount() - 1);
    if (FSelectedRow >= 0) {
        FLastPropertyName = RowName(FSelectedRow);
        PropL->SetCaption(FLastPropertyName);
        DescrL->SetCaption(Description(FSelectedRow));
    }
    PlaceEditor();
}

bool TfrxObjectInspector::SelectProperty(const std::string& name)
{
    for (int i = 0; i < RowCount(); ++i)
        if (RowDepth(i) == 0 && SameText(RowName(i), name)) {
            SelectRow(i);
            return true;
        }
    return false;
}

void TfrxObjectInspector::ToggleExpanded(int index)
{
    TfrxPropertyItem* item = Row(index);
    if (!item || !item->SubProperty) return;
    item->Expanded = !item->Expanded;
    BuildRows();
    LayoutControls();
}

void TfrxObjectInspector::CommitEdit()
{
    const std::string text = Edit1->Text();
    Commit(text);
}

bool TfrxObjectInspector::Commit(const std::string& text)
{
    TfrxPropertyItem* item = Row(FSelectedRow);
    if (!item || !item->Editor) return false;
    try {
        item->Editor->SetValue(text);
    } catch (const Exception& e) {
        frxUtils::ShowErrorBox(e.Message());
        Edit1->SetText(item->Editor->GetValue());
        Edit1->SetModified(false);
        return false;
    }
    Edit1->SetModified(false);
    Modified();
    return true;
}

void TfrxObjectInspector::UpdateComboItem()
{
    if (!FInspectedObjects || FInspectedObjects->Count() != 1) return;
    auto* o = static_cast<TObject*>(FInspectedObjects->Items(0));
    const int index = ObjectsCB->Items()->IndexOfObject(o);
    if (index < 0) return;
    FUpdatingObjectsCB = true;
    ObjectsCB->Items()->SetStrings(index, ComboText(o));
    ObjectsCB->SetItemIndex(ObjectsCB->Items()->IndexOfObject(o));
    FUpdatingObjectsCB = false;
}

void TfrxObjectInspector::Modified()
{
    UpdateComboItem();
    if (OnModify) OnModify(this);
    PB->Invalidate();
}

bool TfrxObjectInspector::SetSelectedValue(const std::string& text)
{
    if (!Row(FSelectedRow)) return false;
    Edit1->SetText(text);
    const bool ok = Commit(text);
    if (ok) PlaceEditor();
    return ok;
}

void TfrxObjectInspector::EditSelected()
{
    TfrxPropertyItem* item = Row(FSelectedRow);
    if (!item || !item->Editor) return;
    bool changed = false;
    try {
        changed = item->Editor->Edit();
    } catch (const Exception& e) {
        frxUtils::ShowErrorBox(e.Message());
    }
    if (changed) {
        SelectRow(FSelectedRow);
        Modified();
    }
}

// ---- the drop-down list ---------------------------------------------------------------------

void TfrxObjectInspector::DropDown()
{
    TfrxPropertyItem* item = Row(FSelectedRow);
    if (!item || !item->Editor) return;
    if (frxPopupForm::LastCloseTick() != 0 && GetTickCount() - frxPopupForm::LastCloseTick() < 100) {
        // The press that closed the list does not open it again.
        Edit1->SetFocus();
        return;
    }
    TfrxPropertyEditor* editor = item->Editor.get();
    const bool ownerDrawn = editor->GetAttributes().Contains(eaOwnerDrawn);
    FPopup = new TfrxPopupForm(this);
    FDropList = new TListBox(FPopup);
    FDropList->SetParent(FPopup);
    FDropList->SetAlign(alClient);
    FDropList->SetBorderStyle(bsNone);
    FDropList->SetStyle(lbOwnerDrawFixed);
    FDropList->SetItemHeight(FRowHeight);
    editor->ItemHeight = FRowHeight;
    FDropList->OnDrawItem = [this, editor, ownerDrawn](TWinControl*, int index, TRect r, TOwnerDrawState state) {
        TCanvas* c = FDropList->Canvas();
        if (ownerDrawn) {
            editor->DrawListItem(c, index, r, state.Contains(odSelected));
        } else {
            c->FillRect(r);
            c->TextOut(r.Left + 2, r.Top + 1, FDropList->Items()->Strings(index));
        }
    };
    FDropList->OnClick = [this](TObject* s) { ListClick(s); };
    editor->GetValues();
    FDropList->Items()->Assign(editor->Values());
    TListBox* list = FDropList;
    TfrxPopupForm* popup = FPopup;
    popup->OnDestroy = [this, popup](TObject*) {
        if (FPopup == popup) {
            FPopup = nullptr;
            FDropList = nullptr;
        }
    };
    const int count = list->Items()->Count();
    if (count == 0) {
        popup->Release();
        FPopup = nullptr;
        FDropList = nullptr;
        return;
    }
    list->SetItemIndex(list->Items()->IndexOf(editor->GetValue()));
    int width = 0;
    for (int i = 0; i < count; ++i) width = std::max(width, list->Canvas()->TextWidth(list->Items()->Strings(i)));
    width += 8;
    if (ownerDrawn) width += editor->GetExtraListWidth();
    int rows = count;
    if (count >= 9) {
        width += GetSystemMetrics(SM_CXVSCROLL);
        rows = 8;
    }
    const int valueWidth = PB->Width() - FSplitPos;
    const TPoint editOrigin = Edit1->ClientToScreen(::Point(0, 0));
    const TPoint gridRight = PB->ClientToScreen(::Point(PB->Width(), 0));
    const int top = editOrigin.Y + Edit1->Height();
    const int height = rows * FRowHeight + 2;
    if (width < valueWidth)
        popup->SetBounds(editOrigin.X - 3, top, valueWidth + 1, height);
    else
        popup->SetBounds(gridRight.X - width, top, width, height);
    popup->Show();
}

void TfrxObjectInspector::ListClick(TObject*)
{
    if (!FDropList) return;
    const int index = FDropList->ItemIndex();
    if (index < 0) return;
    const std::string text = FDropList->Items()->Strings(index);
    Edit1->SetText(text);
    TfrxPopupForm* popup = FPopup;
    FPopup = nullptr;
    FDropList = nullptr;
    if (popup) popup->Hide(), popup->Release();
    if (Edit1->CanFocus()) Edit1->SetFocus();
    Edit1->SelectAll();
    Commit(text);
    PlaceEditor();
}

// ---- painting -------------------------------------------------------------------------------

void TfrxObjectInspector::DrawRow(TCanvas* c, int row, bool selected)
{
    TfrxPropertyItem* item = Row(row);
    if (!item || !item->Editor) return;
    const int depth = RowDepth(row);
    const int y = row * FRowHeight;
    const int width = PB->Width();
    c->Pen()->SetColor(clBtnFace);
    c->MoveTo(0, y + FRowHeight - 1);
    c->LineTo(width, y + FRowHeight - 1);
    if (selected) {
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(::Rect(0, y, FSplitPos, y + FRowHeight - 1));
    } else {
        c->MoveTo(FSplitPos - 1, y);
        c->LineTo(FSplitPos - 1, y + FRowHeight);
    }
    // The marker of a row with sub-rows.
    const int x0 = IndentStep * depth;
    if (item->SubProperty) {
        c->Pen()->SetColor(clGray);
        c->Brush()->SetColor(clWhite);
        c->Rectangle(x0 + 1, y + 3, x0 + 10, y + 12);
        c->MoveTo(x0 + 3, y + 7);
        c->LineTo(x0 + 8, y + 7);
        if (!item->Expanded) {
            c->MoveTo(x0 + 5, y + 5);
            c->LineTo(x0 + 5, y + 10);
        }
    }
    // The name, bold for the object's own Name, clipped to its column.
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    const std::string name = item->Editor->GetName();
    if (depth == 0 && name == "Name") c->Font()->SetStyle({fsBold});
    c->TextRect(::Rect(x0 + 13, y, FSplitPos - 1, y + FRowHeight - 1), x0 + 13, y + 1, name);
    c->Font()->SetStyle({});
    if (!selected) {
        c->Font()->SetColor(ValueColor);
        item->Editor->ItemHeight = FRowHeight;
        if (item->Editor->GetAttributes().Contains(eaOwnerDrawn))
            item->Editor->DrawValue(c, ::Rect(FSplitPos + 2, y + 1, width, y + FRowHeight + 1));
        else
            c->TextRect(::Rect(FSplitPos + 2, y, width, y + FRowHeight - 1), FSplitPos + 2, y + 1,
                        item->Editor->GetValue());
        c->Font()->SetColor(clWindowText);
    }
    c->Brush()->SetStyle(bsSolid);
}

void TfrxObjectInspector::PaintGrid()
{
    const int w = std::max(1, PB->Width());
    const int h = std::max(1, PB->Height());
    if (FBitmap->Width() != w || FBitmap->Height() != h) FBitmap->SetSize(w, h);
    TCanvas* c = FBitmap->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Box->Color());
    c->FillRect(::Rect(0, 0, w, h));
    if (!FLocked) {
        for (int i = 0; i < RowCount(); ++i)
            if (i != FSelectedRow) {
                c->Brush()->SetColor(Box->Color());
                DrawRow(c, i, false);
            }
        if (FSelectedRow >= 0) DrawRow(c, FSelectedRow, true);
    }
    PB->Canvas()->Draw(0, 0, FBitmap.get());
}

// ---- mouse and keys -------------------------------------------------------------------------

void TfrxObjectInspector::PBMouseDown(TObject*, TMouseButton, TShiftState, int x, int y)
{
    if (RowCount() == 0) return;
    FPressToggled = false;
    if (PB->Cursor() == crHSplit) {
        FDraggingSplit = true;
        return;
    }
    const int row = y / FRowHeight;
    TfrxPropertyItem* item = Row(row);
    if (!item || !item->Editor) return;
    if (x > FSplitPos && x <= FSplitPos + ButtonWidth && DynamicCast<TfrxBooleanProperty>(item->Editor.get())) {
        if (item->Editor->Edit()) {
            Modified();
            if (row == FSelectedRow) PlaceEditor();
        }
        PB->Invalidate();
        return;
    }
    SelectRow(row);
    if (Edit1->CanFocus()) Edit1->SetFocus();
    FPressTick = GetTickCount();
    FTickSet = true;
    const int depth = RowDepth(row);
    if (item->SubProperty && x >= IndentStep * depth && x < IndentStep * depth + 13) {
        FPressToggled = true;
        ToggleExpanded(row);
    }
}

void TfrxObjectInspector::PBMouseMove(TObject*, TShiftState, int x, int y)
{
    if (FDraggingSplit) {
        if (x > 30 && x < PB->ClientWidth() - 30) {
            FSplitPos = x;
            PlaceEditor();
        }
        return;
    }
    PB->SetCursor(x > FSplitPos - 4 && x < FSplitPos + 2 ? crHSplit : crDefault);
    const int row = y / FRowHeight;
    TfrxPropertyItem* item = Row(row);
    if (x <= 12 || !item || !item->Editor) {
        HideHint();
        return;
    }
    const int depth = RowDepth(row);
    TCanvas* c = FBitmap->Canvas();
    c->Font()->Assign(Font());
    if (x < FSplitPos - 4) {
        const std::string name = item->Editor->GetName();
        const int left = IndentStep * depth + 13;
        if (c->TextWidth(name) > FSplitPos - (IndentStep * depth + 12)) {
            ShowHintAt(name, left - 2, row * FRowHeight - 2);
            return;
        }
    } else if (row != FSelectedRow) {
        const std::string value = item->Editor->GetValue();
        if (c->TextWidth(value) > PB->Width() - FSplitPos - 1) {
            ShowHintAt(value, FSplitPos + 2 - 2, row * FRowHeight - 2);
            return;
        }
    }
    HideHint();
}

void TfrxObjectInspector::ShowHintAt(const std::string& text, int x, int y)
{
    const TPoint p = PB->ClientToScreen(::Point(x, y));
    TRect r = FHintWindow->CalcHintRect(1000, text);
    r = ::Rect(p.X, p.Y, p.X + r.Width(), p.Y + r.Height());
    FHintWindow->ActivateHint(r, text);
}

void TfrxObjectInspector::HideHint()
{
    if (FHintWindow->Active()) FHintWindow->ReleaseHandle();
}

void TfrxObjectInspector::PBMouseUp(TObject*, TMouseButton, TShiftState, int, int) { FDraggingSplit = false; }

void TfrxObjectInspector::PBDblClick(TObject*)
{
    if (!FPressToggled) ToggleExpanded(FSelectedRow);
    FPressToggled = false;
}

void TfrxObjectInspector::Edit1MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    if (FTickSet && GetTickCount() - FPressTick < GetDoubleClickTime()) EditSelected();
    FTickSet = false;
}

void TfrxObjectInspector::Edit1KeyDown(TObject*, uint16_t& key, TShiftState)
{
    TfrxPropertyItem* item = Row(FSelectedRow);
    const int page = std::max(1, Box->ClientHeight() / FRowHeight);
    switch (key) {
    case VK_ESCAPE:
        if (item && item->Editor) Edit1->SetText(item->Editor->GetValue());
        Edit1->SetModified(false);
        Edit1->SelectAll();
        key = 0;
        break;
    case VK_UP:
        if (FSelectedRow > 0) SelectRow(FSelectedRow - 1);
        key = 0;
        break;
    case VK_DOWN:
        if (FSelectedRow < RowCount() - 1) SelectRow(FSelectedRow + 1);
        key = 0;
        break;
    case VK_PRIOR:
        SelectRow(std::max(0, FSelectedRow - page));
        key = 0;
        break;
    case VK_NEXT:
        SelectRow(std::min(RowCount() - 1, FSelectedRow + page));
        key = 0;
        break;
    case VK_RETURN:
        if (item && item->Editor && item->Editor->GetAttributes().Contains(eaDialog))
            EditSelected();
        else if (Edit1->Modified())
            CommitEdit();
        Edit1->SelectAll();
        key = 0;
        break;
    default:
        break;
    }
}

void TfrxObjectInspector::ClipboardItem(TObject* sender)
{
    if (!Edit1->Visible()) return;
    auto* m = DynamicCast<TMenuItem>(sender);
    if (!m) return;
    switch (m->Tag()) {
    case 1: Edit1->CutToClipboard(); break;
    case 2: Edit1->PasteFromClipboard(); break;
    case 3: Edit1->CopyToClipboard(); break;
    default: break;
    }
}

void TfrxObjectInspector::TabChange(TObject*)
{
    FSelectedRow = -1;
    BuildRows();
    LayoutControls();
}

void TfrxObjectInspector::ObjectsCBClick(TObject*)
{
    if (FUpdatingObjectsCB || !FInspectedObjects) return;
    const int index = ObjectsCB->ItemIndex();
    FInspectedObjects->Clear();
    if (index >= 0)
        if (TObject* o = ObjectsCB->Items()->Objects(index)) FInspectedObjects->Add(o);
    UpdateProperties();
    if (Edit1->CanFocus()) Edit1->SetFocus();
    if (OnSelectionChanged) OnSelectionChanged(this);
}
