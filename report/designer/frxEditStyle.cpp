#include "frxEditStyle.h"

#include "ComCtrls.h"
#include "Dialogs.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "TextUtils.h"
#include "frxClass.h"
#include "frxCtrls.h"
#include "frxDesgn.h"
#include "frxDesgnCtrls.h"
#include "frxEditFrame.h"
#include "frxEditUtils.h"
#include "frxGraphicData.h"
#include "frxRes.h"
#include "frxUtils.h"

QZ_CLASS_IMPL(TfrxStyleEditorForm, TForm)

using frxCtrls::MakeControl;

namespace frxEditStyle {

std::string StyleFileName(const std::string& chosen) { return ChangeFileExt(chosen, ".fs3"); }

bool EditStyles(TComponent* owner, TfrxReport* report)
{
    TfrxStyleEditorForm f(owner, report);
    return f.ShowModal() == mrOk;
}

}  // namespace frxEditStyle

TfrxStyleEditorForm::TfrxStyleEditorForm(TComponent* owner, TfrxReport* report)
    : TForm(owner), FReport(report), FStyles(std::make_unique<TfrxStyles>(nullptr))
{
    TForm::SetPosition(poScreenCenter);
    SetClientSize(460, 300);
    ToolBar = MakeControl<TToolBar>(this, this, "ToolBar", 0, 0, 460, 26);
    ToolBar->SetAlign(alTop);
    ToolBar->SetShowCaptions(true);
    ToolBar->SetList(true);
    ToolBar->SetButtonWidth(60);
    using frxEditUtils::AddToolButton;
    AddB = AddToolButton(this, ToolBar, "AddB");
    DeleteB = AddToolButton(this, ToolBar, "DeleteB");
    EditB = AddToolButton(this, ToolBar, "EditB");
    LoadB = AddToolButton(this, ToolBar, "LoadB");
    SaveB = AddToolButton(this, ToolBar, "SaveB");
    CancelB = AddToolButton(this, ToolBar, "CancelB");
    OkB = AddToolButton(this, ToolBar, "OkB");
    StylesTV = MakeControl<TTreeView>(this, this, "StylesTV", 4, 30, 180, 266);
    StylesTV->SetShowRoot(false);
    StylesTV->SetShowLines(false);
    StylesTV->SetHideSelection(false);
    PaintBox = MakeControl<TPaintBox>(this, this, "PaintBox", 190, 30, 266, 200);
    ColorB = MakeControl<TButton>(this, this, "ColorB", 190, 240, 84, 25);
    ColorB->SetTag(2);
    FontB = MakeControl<TButton>(this, this, "FontB", 281, 240, 84, 25);
    FontB->SetTag(3);
    FrameB = MakeControl<TButton>(this, this, "FrameB", 372, 240, 84, 25);
    FrameB->SetTag(4);
    frxRes::Resources().LocalizeForm(this);
    frxEditUtils::CaptionButtonsFromHints(ToolBar);

    PaintBox->OnPaint = [this](TObject*) { PaintSample(); };
    StylesTV->OnChange = [this](TObject*, TTreeNode*) {
        UpdateButtons();
        PaintBox->Invalidate();
    };
    StylesTV->OnEdited = [this](TObject*, TTreeNode* n, std::string& s) {
        auto* style = static_cast<TfrxStyleItem*>(n->Data());
        try {
            if (style) style->SetName(s);
        } catch (const Exception& e) {
            // A taken name: the style keeps its own.
            frxUtils::ShowErrorBox(e.Message());
            s = n->Text();
        }
    };
    AddB->OnClick = [this](TObject*) { AddStyle(); };
    DeleteB->OnClick = [this](TObject*) { DeleteStyle(); };
    EditB->OnClick = [this](TObject*) {
        if (TTreeNode* n = StylesTV->Selected()) n->EditText();
    };
    LoadB->OnClick = [this](TObject*) { LoadFile(); };
    SaveB->OnClick = [this](TObject*) { SaveFile(); };
    OkB->OnClick = [this](TObject*) {
        if (FReport) FReport->Styles()->Assign(FStyles.get());
        SetModalResult(mrOk);
    };
    CancelB->OnClick = [this](TObject*) { SetModalResult(mrCancel); };
    ColorB->OnClick = [this](TObject*) { EditColor(); };
    FontB->OnClick = [this](TObject*) { EditFont(); };
    FrameB->OnClick = [this](TObject*) { EditFrame(); };
}

TfrxStyleEditorForm::~TfrxStyleEditorForm() = default;

void TfrxStyleEditorForm::DoShow()
{
    TForm::DoShow();
    if (FReport) FStyles->Assign(FReport->Styles());
    Fill(0);
}

TfrxStyleItem* TfrxStyleEditorForm::Selected() const
{
    TTreeNode* n = StylesTV->Selected();
    return n ? static_cast<TfrxStyleItem*>(n->Data()) : nullptr;
}

void TfrxStyleEditorForm::Fill(int index)
{
    StylesTV->Items()->Clear();
    for (int i = 0; i < FStyles->Count(); ++i)
        StylesTV->Items()->AddObject(nullptr, FStyles->Items(i)->Name(), FStyles->Items(i));
    const int n = StylesTV->Items()->Count();
    if (n > 0) StylesTV->SetSelected(StylesTV->Items()->Item(index < n ? std::max(index, 0) : n - 1));
    UpdateButtons();
    PaintBox->Invalidate();
}

void TfrxStyleEditorForm::UpdateButtons()
{
    const bool any = Selected() != nullptr;
    ColorB->SetEnabled(any);
    FontB->SetEnabled(any);
    FrameB->SetEnabled(any);
}

void TfrxStyleEditorForm::PaintSample()
{
    TCanvas* c = PaintBox->Canvas();
    const int w = PaintBox->Width(), h = PaintBox->Height();
    c->Pen()->SetColor(clGray);
    c->Brush()->SetColor(clWindow);
    c->Rectangle(0, 0, w, h);
    TfrxStyleItem* style = Selected();
    if (!style) return;
    TfrxMemoView memo;
    memo.CopyStyle(style);
    memo.SetText(frxRes::Resources().Get("dsStyleSample"));
    memo.GapX = 20;
    memo.GapY = 10;
    memo.SetWidth(memo.CalcWidth());
    memo.SetHeight(memo.CalcHeight());
    memo.SetLeft(std::max(0.0, (w - memo.Width()) / 2));
    memo.SetTop(std::max(0.0, (h - memo.Height()) / 2));
    memo.Draw(c, 1, 1, 0, 0);
}

void TfrxStyleEditorForm::AddStyle()
{
    TfrxStyleItem* s = FStyles->Add();
    s->MakeUniqueName();
    Fill(FStyles->Count() - 1);
    if (TTreeNode* n = StylesTV->Selected()) n->EditText();
}

void TfrxStyleEditorForm::DeleteStyle()
{
    TTreeNode* n = StylesTV->Selected();
    if (!n) return;
    const int at = n->Index();
    FStyles->Delete(Selected()->Index());
    Fill(at);
}

void TfrxStyleEditorForm::EditColor()
{
    TfrxStyleItem* style = Selected();
    if (!style) return;
    auto* sel = new TfrxColorSelector(ColorB);
    sel->SetTag(20);
    sel->OnColorChanged = [this, sel](TObject*) {
        if (TfrxStyleItem* s = Selected()) s->Color = sel->Color();
        PaintBox->Invalidate();
    };
}

void TfrxStyleEditorForm::EditFont()
{
    TfrxStyleItem* style = Selected();
    if (!style) return;
    TFontDialog dlg(this);
    dlg.Options.Include(fdForceFontExist);
    TFont* f = dlg.Font();
    f->SetName(style->Font()->Name());
    f->SetHeight(style->Font()->Height());
    f->SetColor(style->Font()->Color());
    f->SetStyle(TFontStyles::FromInt(uint64_t(style->Font()->Style())));
    if (!dlg.Execute()) return;
    style->Font()->SetName(f->Name());
    style->Font()->SetHeight(f->Height());
    style->Font()->SetColor(f->Color());
    style->Font()->SetStyle(int(f->Style().ToInt()));
    PaintBox->Invalidate();
}

void TfrxStyleEditorForm::EditFrame()
{
    TfrxStyleItem* style = Selected();
    if (style && frxEditFrame::EditFrame(this, style->Frame())) PaintBox->Invalidate();
}

void TfrxStyleEditorForm::LoadFile()
{
    TOpenDialog dlg(this);
    dlg.Filter = frxRes::Resources().Get("dsStyleFile") + " (*.fs3)|*.fs3";
    if (TfrxDesigner* d = frxDesgn::CurrentDesigner()) dlg.InitialDir = d->OpenDir;
    if (!dlg.Execute()) return;
    TfrxStyles loaded(nullptr);
    try {
        loaded.LoadFromFile(dlg.FileName);
    } catch (const std::exception& e) {
        // A file that is no style file leaves the styles as they were.
        frxUtils::ShowErrorBox(e.what());
        return;
    }
    FStyles->Assign(&loaded);
    Fill(0);
}

void TfrxStyleEditorForm::SaveFile()
{
    TSaveDialog dlg(this);
    dlg.Filter = frxRes::Resources().Get("dsStyleFile") + " (*.fs3)|*.fs3";
    dlg.DefaultExt = "fs3";
    dlg.Options.Include(ofOverwritePrompt);
    if (TfrxDesigner* d = frxDesgn::CurrentDesigner()) dlg.InitialDir = d->SaveDir;
    if (!dlg.Execute()) return;
    FStyles->SaveToFile(frxEditStyle::StyleFileName(dlg.FileName));
}
