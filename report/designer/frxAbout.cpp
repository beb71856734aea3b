#include "frxAbout.h"

#include "Graphics.h"
#include "HostServices.h"
#include "StdCtrls.h"
#include "frxCtrls.h"
#include "frxRes.h"

QZ_CLASS_IMPL(TfrxAboutForm, TForm)

using frxCtrls::MakeControl;

namespace frxAbout {
void ShowAbout(TComponent* owner)
{
    TfrxAboutForm f(owner);
    f.ShowModal();
}
}  // namespace frxAbout

TfrxAboutForm::TfrxAboutForm(TComponent* owner) : TForm(owner)
{
    SetBorderStyle(fbsNone);
    TForm::SetPosition(poScreenCenter);
    SetClientSize(360, 230);
    SetColor(clWindow);
    Label1 = MakeControl<TLabel>(this, this, "Label1", 20, 16, 320, 30);
    Label1->Font()->SetSize(18);
    Label1->Font()->SetStyle({fsBold});
    Label2 = MakeControl<TLabel>(this, this, "Label2", 20, 52, 320, 16);
    Label5 = MakeControl<TLabel>(this, this, "Label5", 20, 74, 320, 32);
    Label3 = MakeControl<TLabel>(this, this, "Label3", 20, 112, 320, 16);
    Label4 = MakeControl<TLabel>(this, this, "Label4", 20, 130, 320, 16);
    Label4->SetTag(1);
    Label6 = MakeControl<TLabel>(this, this, "Label6", 20, 154, 80, 16);
    Label7 = MakeControl<TLabel>(this, this, "Label7", 104, 154, 236, 16);
    Label7->SetTag(2);
    Label8 = MakeControl<TLabel>(this, this, "Label8", 20, 174, 80, 16);
    Label9 = MakeControl<TLabel>(this, this, "Label9", 104, 174, 236, 16);
    Label9->SetTag(2);
    OKB = MakeControl<TButton>(this, this, "OKB", 265, 198, 75, 25);
    OKB->SetDefault(true);
    OKB->SetCancel(true);
    OKB->SetModalResult(mrOk);
    // The program's own texts; the block names the title and the link's heading.
    Label2->SetCaption("版本 1.0");
    Label5->SetCaption("设计、预览和打印驾校管理系统的报表。");
    Label4->SetCaption("https://www.example.com/");
    Label6->SetCaption("产品销售:");
    Label7->SetCaption("sales@example.com");
    Label8->SetCaption("技术支持:");
    Label9->SetCaption("support@example.com");
    OKB->SetCaption("确定");
    frxRes::Resources().LocalizeForm(this);
    for (TLabel* l : {Label4, Label7, Label9}) {
        l->Font()->SetColor(clBlue);
        l->Font()->SetStyle({fsUnderline});
        l->SetCursor(crHandPoint);
        l->OnClick = [this, l](TObject*) { LabelClick(l); };
    }
}

void TfrxAboutForm::LabelClick(TLabel* label)
{
    if (label->Tag() == 1) ShellExecute("open", label->Caption(), "", "", 1);
    else if (label->Tag() == 2) ShellExecute("open", "mailto:" + label->Caption(), "", "", 1);
}
