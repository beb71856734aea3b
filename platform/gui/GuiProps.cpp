#include "QzPropsPrivate.h"

#include "Dialogs.h"
#include "Forms.h"
#include "Printers.h"
#include "StdCtrls.h"

namespace qzgui {

namespace {
// Enumerations and sets travel as their ordinals and bit masks.
template <class C, class E, class G, class S>
TPropInfo PublishOrdinal(const char* name, const char* typeName, G get, S set)
{
    TPropInfo p = PublishInt<C>(
        name, [get](C* c) { return int(get(c)); }, [set](C* c, int v) { set(c, v); });
    p.TypeName = typeName;
    return p;
}
template <class C, class T, class G, class S>
TPropInfo PublishMask(const char* name, const char* typeName, G get, S set)
{
    TPropInfo p = PublishInt<C>(
        name, [get](C* c) { return int(get(c).ToInt()); },
        [set](C* c, int v) { set(c, T::FromInt(uint64_t(uint32_t(v)))); });
    p.TypeName = typeName;
    return p;
}
}  // namespace

void DefineControlProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishInt<TControl>("Left", &TControl::Left, &TControl::SetLeft));
    p.push_back(PublishInt<TControl>("Top", &TControl::Top, &TControl::SetTop));
    p.push_back(PublishInt<TControl>("Width", &TControl::Width, &TControl::SetWidth));
    p.push_back(PublishInt<TControl>("Height", &TControl::Height, &TControl::SetHeight));
    p.push_back(PublishInt<TControl>("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth));
    p.push_back(PublishInt<TControl>("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight));
    p.push_back(PublishOrdinal<TControl, TAlign>(
        "Align", "TAlign", [](TControl* c) { return c->Align(); },
        [](TControl* c, int v) { c->SetAlign(TAlign(std::clamp(v, 0, int(alCustom)))); }));
    p.push_back(PublishMask<TControl, TAnchors>(
        "Anchors", "TAnchors", [](TControl* c) { return c->Anchors(); },
        [](TControl* c, TAnchors v) { c->SetAnchors(v); }));
    p.push_back(PublishInt<TControl>("Color", &TControl::Color, &TControl::SetColor));
    p.back().TypeName = "TColor";
    p.push_back(PublishInt<TControl>("Cursor", &TControl::Cursor, &TControl::SetCursor));
    p.back().TypeName = "TCursor";
    p.push_back(PublishBool<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled));
    p.push_back(PublishObject<TControl>("Font", &TControl::Font, &TControl::SetFont));
    p.push_back(PublishString<TControl>("Hint", &TControl::Hint, &TControl::SetHint));
    p.push_back(PublishBool<TControl>("ParentColor", &TControl::ParentColor, &TControl::SetParentColor));
    p.push_back(PublishBool<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont));
    p.push_back(PublishBool<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint));
    p.push_back(PublishBool<TControl>("Visible", &TControl::Visible, &TControl::SetVisible));
    p.push_back(PublishEvent<TControl>("OnCanResize", &TControl::OnCanResize, "TCanResizeEvent"));
    p.push_back(PublishEvent<TControl>("OnClick", &TControl::OnClick));
    p.push_back(PublishEvent<TControl>("OnDblClick", &TControl::OnDblClick));
    p.push_back(PublishEvent<TControl>("OnMouseDown", &TControl::OnMouseDown, "TMouseEvent"));
    p.push_back(PublishEvent<TControl>("OnMouseMove", &TControl::OnMouseMove, "TMouseMoveEvent"));
    p.push_back(PublishEvent<TControl>("OnMouseUp", &TControl::OnMouseUp, "TMouseEvent"));
    p.push_back(PublishEvent<TControl>("OnResize", &TControl::OnResize));
}

void DefineWinControlProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishInt<TWinControl>("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder));
    p.push_back(PublishBool<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop));
    p.push_back(PublishEvent<TWinControl>("OnEnter", &TWinControl::OnEnter));
    p.push_back(PublishEvent<TWinControl>("OnExit", &TWinControl::OnExit));
    p.push_back(PublishEvent<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown, "TKeyEvent"));
    p.push_back(PublishEvent<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress, "TKeyPressEvent"));
    p.push_back(PublishEvent<TWinControl>("OnKeyUp", &TWinControl::OnKeyUp, "TKeyEvent"));
}

void DefineCustomEditProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishString<TCustomEdit>(
        "Text", [](TCustomEdit* e) { return e->Text(); }, [](TCustomEdit* e, const std::string& v) { e->SetText(v); },
        "TCaption"));
    p.push_back(PublishOrdinal<TCustomEdit, TEditCharCase>(
        "CharCase", "TEditCharCase", [](TCustomEdit* e) { return e->CharCase(); },
        [](TCustomEdit* e, int v) { e->SetCharCase(TEditCharCase(std::clamp(v, 0, int(ecLowerCase)))); }));
    p.push_back(PublishInt<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength));
    p.push_back(PublishChar<TCustomEdit>("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar));
    p.push_back(PublishBool<TCustomEdit>("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly));
    p.push_back(PublishEvent<TCustomEdit>("OnChange", &TCustomEdit::OnChange));
}

void DefineCustomMemoProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishObject<TCustomMemo>("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines));
    p.push_back(PublishOrdinal<TCustomMemo, TScrollStyle>(
        "ScrollBars", "TScrollStyle", [](TCustomMemo* m) { return m->ScrollBars(); },
        [](TCustomMemo* m, int v) { m->SetScrollBars(TScrollStyle(std::clamp(v, 0, int(ssBoth)))); }));
    p.push_back(PublishBool<TCustomMemo>("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap));
}

void DefineCustomListBoxProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishObject<TCustomListBox>("Items", &TCustomListBox::Items, &TCustomListBox::SetItems));
    p.push_back(PublishBool<TCustomListBox>("MultiSelect", &TCustomListBox::MultiSelect,
                                            &TCustomListBox::SetMultiSelect));
    p.push_back(PublishBool<TCustomListBox>("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted));
    p.push_back(PublishInt<TCustomListBox>("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns));
    p.push_back(PublishInt<TCustomListBox>("TabWidth", &TCustomListBox::TabWidth, &TCustomListBox::SetTabWidth));
    p.push_back(PublishBool<TCustomListBox>("AutoComplete", &TCustomListBox::AutoComplete,
                                            &TCustomListBox::SetAutoComplete));
    p.push_back(PublishOrdinal<TCustomListBox, TListBoxStyle>(
        "Style", "TListBoxStyle", [](TCustomListBox* l) { return l->Style(); },
        [](TCustomListBox* l, int v) { l->SetStyle(TListBoxStyle(std::clamp(v, 0, int(lbOwnerDrawVariable)))); }));
}

namespace {
template <class C> TPropInfo PublishCaption()
{
    return PublishString<C>(
        "Caption", [](C* c) { return c->Caption(); }, [](C* c, const std::string& v) { c->SetCaption(v); },
        "TCaption");
}
}  // namespace

void DefineCustomLabelProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishCaption<TCustomLabel>());
    p.push_back(PublishOrdinal<TCustomLabel, TAlignment>(
        "Alignment", "TAlignment", [](TCustomLabel* l) { return l->Alignment(); },
        [](TCustomLabel* l, int v) { l->SetAlignment(TAlignment(std::clamp(v, 0, int(taCenter)))); }));
    p.push_back(PublishOrdinal<TCustomLabel, TTextLayout>(
        "Layout", "TTextLayout", [](TCustomLabel* l) { return l->Layout(); },
        [](TCustomLabel* l, int v) { l->SetLayout(TTextLayout(std::clamp(v, 0, int(tlBottom)))); }));
    p.push_back(PublishBool<TCustomLabel>("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent));
    p.push_back(PublishBool<TCustomLabel>("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap));
}

void DefineButtonControlProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishCaption<TButtonControl>());
}

void DefineCustomButtonProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishBool<TCustomButton>("Cancel", &TCustomButton::Cancel, &TCustomButton::SetCancel));
    p.push_back(PublishBool<TCustomButton>("Default", &TCustomButton::Default, &TCustomButton::SetDefault));
    p.push_back(PublishInt<TCustomButton>("ModalResult", &TCustomButton::ModalResult, &TCustomButton::SetModalResult));
    p.back().TypeName = "TModalResult";
}

void DefineCustomCheckBoxProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishBool<TCustomCheckBox>("AllowGrayed", &TCustomCheckBox::AllowGrayed,
                                             &TCustomCheckBox::SetAllowGrayed));
    p.push_back(PublishBool<TCustomCheckBox>(
        "Checked", [](TCustomCheckBox* c) { return c->Checked(); }, [](TCustomCheckBox* c, bool v) { c->SetChecked(v); }));
    p.push_back(PublishOrdinal<TCustomCheckBox, TCheckBoxState>(
        "State", "TCheckBoxState", [](TCustomCheckBox* c) { return c->State(); },
        [](TCustomCheckBox* c, int v) { c->SetState(TCheckBoxState(std::clamp(v, 0, int(cbGrayed)))); }));
}

void DefineRadioButtonProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishBool<TRadioButton>(
        "Checked", [](TRadioButton* c) { return c->Checked(); }, [](TRadioButton* c, bool v) { c->SetChecked(v); }));
}

void DefineCustomGroupBoxProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishCaption<TCustomGroupBox>());
}

void DefineCustomComboBoxProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishString<TCustomComboBox>(
        "Text", [](TCustomComboBox* c) { return c->Text(); },
        [](TCustomComboBox* c, const std::string& v) { c->SetText(v); }, "TCaption"));
    p.push_back(PublishInt<TCustomComboBox>("DropDownCount", &TCustomComboBox::DropDownCount,
                                            &TCustomComboBox::SetDropDownCount));
    p.push_back(PublishObject<TCustomComboBox>("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems));
    p.push_back(PublishInt<TCustomComboBox>("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength));
    p.push_back(PublishBool<TCustomComboBox>("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted));
    p.push_back(PublishOrdinal<TCustomComboBox, TComboBoxStyle>(
        "Style", "TComboBoxStyle", [](TCustomComboBox* c) { return c->Style(); },
        [](TCustomComboBox* c, int v) { c->SetStyle(TComboBoxStyle(std::clamp(v, 0, int(csOwnerDrawVariable)))); }));
    p.push_back(PublishEvent<TCustomComboBox>("OnChange", &TCustomComboBox::OnChange));
    p.push_back(PublishEvent<TCustomComboBox>("OnCloseUp", &TCustomComboBox::OnCloseUp));
    p.push_back(PublishEvent<TCustomComboBox>("OnDropDown", &TCustomComboBox::OnDropDown));
    p.push_back(PublishEvent<TCustomComboBox>("OnSelect", &TCustomComboBox::OnSelect));
}

void DefineCustomFormProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishCaption<TCustomForm>());
    p.push_back(PublishOrdinal<TCustomForm, TFormBorderStyle>(
        "BorderStyle", "TFormBorderStyle", [](TCustomForm* f) { return f->BorderStyle(); },
        [](TCustomForm* f, int v) { f->SetBorderStyle(TFormBorderStyle(std::clamp(v, 0, int(bsSizeToolWin)))); }));
    p.push_back(PublishOrdinal<TCustomForm, TFormStyle>(
        "FormStyle", "TFormStyle", [](TCustomForm* f) { return f->FormStyle(); },
        [](TCustomForm* f, int v) { f->SetFormStyle(TFormStyle(std::clamp(v, 0, int(fsStayOnTop)))); }));
    p.push_back(PublishBool<TCustomForm>("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview));
    p.push_back(PublishOrdinal<TCustomForm, TPosition>(
        "Position", "TPosition", [](TCustomForm* f) { return f->Position(); },
        [](TCustomForm* f, int v) { f->SetPosition(TPosition(std::clamp(v, 0, int(poDesktopCenter)))); }));
    p.push_back(PublishOrdinal<TCustomForm, TWindowState>(
        "WindowState", "TWindowState", [](TCustomForm* f) { return f->WindowState(); },
        [](TCustomForm* f, int v) { f->SetWindowState(TWindowState(std::clamp(v, 0, int(wsMaximized)))); }));
    p.push_back(PublishEvent<TCustomForm>("OnActivate", &TCustomForm::OnActivate));
    p.push_back(PublishEvent<TCustomForm>("OnClose", &TCustomForm::OnClose, "TCloseEvent"));
    p.push_back(PublishEvent<TCustomForm>("OnCloseQuery", &TCustomForm::OnCloseQuery, "TCloseQueryEvent"));
    p.push_back(PublishEvent<TCustomForm>("OnCreate", &TCustomForm::OnCreate));
    p.push_back(PublishEvent<TCustomForm>("OnDeactivate", &TCustomForm::OnDeactivate));
    p.push_back(PublishEvent<TCustomForm>("OnDestroy", &TCustomForm::OnDestroy));
    p.push_back(PublishEvent<TCustomForm>("OnHide", &TCustomForm::OnHide));
    p.push_back(PublishEvent<TCustomForm>("OnPaint", &TCustomForm::OnPaint));
    p.push_back(PublishEvent<TCustomForm>("OnShow", &TCustomForm::OnShow));
}

void DefineFontProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishInt<TFont>(
        "Charset", [](TFont* f) { return int(f->Charset()); },
        [](TFont* f, int v) { f->SetCharset(TFontCharset(std::clamp(v, 0, 255))); }));
    p.back().TypeName = "TFontCharset";
    p.push_back(PublishInt<TFont>("Color", &TFont::Color, &TFont::SetColor));
    p.back().TypeName = "TColor";
    p.push_back(PublishInt<TFont>("Height", &TFont::Height, &TFont::SetHeight));
    p.push_back(PublishString<TFont>(
        "Name", [](TFont* f) { return f->Name(); }, [](TFont* f, const std::string& v) { f->SetName(v); },
        "TFontName"));
    p.push_back(PublishOrdinal<TFont, TFontPitch>(
        "Pitch", "TFontPitch", [](TFont* f) { return f->Pitch(); },
        [](TFont* f, int v) { f->SetPitch(TFontPitch(std::clamp(v, 0, int(fpFixed)))); }));
    p.push_back(PublishInt<TFont>("Size", &TFont::Size, &TFont::SetSize));
    p.push_back(PublishMask<TFont, TFontStyles>(
        "Style", "TFontStyles", [](TFont* f) { return f->Style(); }, [](TFont* f, TFontStyles v) { f->SetStyle(v); }));
}

void DefinePenProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishInt<TPen>("Color", &TPen::Color, &TPen::SetColor));
    p.back().TypeName = "TColor";
    p.push_back(PublishOrdinal<TPen, TPenMode>(
        "Mode", "TPenMode", [](TPen* x) { return x->Mode(); },
        [](TPen* x, int v) { x->SetMode(TPenMode(std::clamp(v, 0, int(pmNotXor)))); }));
    p.push_back(PublishOrdinal<TPen, TPenStyle>(
        "Style", "TPenStyle", [](TPen* x) { return x->Style(); },
        [](TPen* x, int v) { x->SetStyle(TPenStyle(std::clamp(v, 0, int(psInsideFrame)))); }));
    p.push_back(PublishInt<TPen>("Width", &TPen::Width, &TPen::SetWidth));
}

void DefineBrushProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishInt<TBrush>("Color", &TBrush::Color, &TBrush::SetColor));
    p.back().TypeName = "TColor";
    p.push_back(PublishOrdinal<TBrush, TBrushStyle>(
        "Style", "TBrushStyle", [](TBrush* x) { return x->Style(); },
        [](TBrush* x, int v) { x->SetStyle(TBrushStyle(std::clamp(v, 0, int(bsDiagCross)))); }));
}

void DefineCanvasProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishObject<TCanvas>("Brush", &TCanvas::Brush, &TCanvas::SetBrush));
    p.push_back(PublishObject<TCanvas>("Font", &TCanvas::Font, &TCanvas::SetFont));
    p.push_back(PublishObject<TCanvas>("Pen", &TCanvas::Pen, &TCanvas::SetPen));
}

void DefineOpenDialogProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishString<TOpenDialog>("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::DefaultExt));
    p.push_back(PublishString<TOpenDialog>("FileName", &TOpenDialog::FileName, &TOpenDialog::FileName));
    p.push_back(PublishObject<TOpenDialog>("Files", &TOpenDialog::Files));
    p.push_back(PublishString<TOpenDialog>("Filter", &TOpenDialog::Filter, &TOpenDialog::Filter));
    p.push_back(PublishInt<TOpenDialog>("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::FilterIndex));
    p.push_back(PublishString<TOpenDialog>("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::InitialDir));
    p.push_back(PublishMask<TOpenDialog, TOpenOptions>(
        "Options", "TOpenOptions", [](TOpenDialog* d) { return d->Options; },
        [](TOpenDialog* d, TOpenOptions v) { d->Options = v; }));
    p.push_back(PublishString<TOpenDialog>("Title", &TOpenDialog::Title, &TOpenDialog::Title));
}

void DefineFontDialogProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishObject<TFontDialog>("Font", &TFontDialog::Font, &TFontDialog::SetFont));
    p.push_back(PublishInt<TFontDialog>("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::MaxFontSize));
    p.push_back(PublishInt<TFontDialog>("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::MinFontSize));
    p.push_back(PublishMask<TFontDialog, TFontDialogOptions>(
        "Options", "TFontDialogOptions", [](TFontDialog* d) { return d->Options; },
        [](TFontDialog* d, TFontDialogOptions v) { d->Options = v; }));
}

void DefineColorDialogProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishInt<TColorDialog>("Color", &TColorDialog::Color, &TColorDialog::Color));
    p.back().TypeName = "TColor";
    p.push_back(PublishObject<TColorDialog>("CustomColors", &TColorDialog::CustomColors));
}

void DefinePrintDialogProps(std::vector<TPropInfo>& p)
{
    p.push_back(PublishBool<TPrintDialog>("Collate", &TPrintDialog::Collate, &TPrintDialog::Collate));
    p.push_back(PublishInt<TPrintDialog>("Copies", &TPrintDialog::Copies, &TPrintDialog::Copies));
    p.push_back(PublishInt<TPrintDialog>("FromPage", &TPrintDialog::FromPage, &TPrintDialog::FromPage));
    p.push_back(PublishInt<TPrintDialog>("MaxPage", &TPrintDialog::MaxPage, &TPrintDialog::MaxPage));
    p.push_back(PublishInt<TPrintDialog>("MinPage", &TPrintDialog::MinPage, &TPrintDialog::MinPage));
    p.push_back(PublishMask<TPrintDialog, TPrintDialogOptions>(
        "Options", "TPrintDialogOptions", [](TPrintDialog* d) { return d->Options; },
        [](TPrintDialog* d, TPrintDialogOptions v) { d->Options = v; }));
    p.push_back(PublishOrdinal<TPrintDialog, TPrintRange>(
        "PrintRange", "TPrintRange", [](TPrintDialog* d) { return d->PrintRange; },
        [](TPrintDialog* d, int v) { d->PrintRange = TPrintRange(std::clamp(v, 0, int(prPageNums))); }));
    p.push_back(PublishBool<TPrintDialog>("PrintToFile", &TPrintDialog::PrintToFile, &TPrintDialog::PrintToFile));
    p.push_back(PublishInt<TPrintDialog>("ToPage", &TPrintDialog::ToPage, &TPrintDialog::ToPage));
}

}  // namespace qzgui
