#include "Reporter.h"

#include "HostServices.h"
#include "qzRep.h"

#include <memory>

QZ_CLASS_IMPL(TReporterFrm, TaFrm)

namespace {

TToolButton* MakeToolButton(TReporterFrm* form, TToolBar* bar, const std::string& name, const std::string& caption,
                            TNotifyEvent onClick)
{
    auto* b = new TToolButton(form);
    b->SetName(name);
    b->SetParent(bar);
    b->SetCaption(caption);
    b->OnClick = std::move(onClick);
    return b;
}

}  // namespace

TReporterFrm::TReporterFrm(TComponent* owner) : TaFrm(owner)
{
    SetName("ReporterFrm");
    SetCaption("打印");
    SetBorderStyle(fbsDialog);
    SetClientSize(330, 260);
    ToolBar1 = UiKit::Make<TToolBar>(this, this, 0, 0, 330, 24);
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetShowCaptions(true);
    ToolBar1->SetList(true);
    ToolBar1->SetFlat(true);
    tbNew1 = MakeToolButton(this, ToolBar1, "tbNew1", "新建", [this](TObject* s) { tbNew1Click(s); });
    tbDelete1 = MakeToolButton(this, ToolBar1, "tbDelete1", "删除", [this](TObject* s) { tbDelete1Click(s); });
    tbRename1 = MakeToolButton(this, ToolBar1, "tbRename1", "重命名", [this](TObject* s) { tbRename1Click(s); });
    tbDesign1 = MakeToolButton(this, ToolBar1, "tbDesign1", "设计", [this](TObject* s) { tbDesign1Click(s); });
    ToolBar1->ArrangeButtons();
    Label1 = UiKit::MakeLabel(this, this, "请选择一种打印样式", 10, 34);
    ListBox1 = UiKit::Make<TListBox>(this, this, 10, 52, 220, 196);
    ListBox1->OnDblClick = [this](TObject* s) { Button4Click(s); };
    Button4 = UiKit::MakeButton(this, this, "预览", 244, 52);
    Button4->SetDefault(true);
    Button4->OnClick = [this](TObject* s) { Button4Click(s); };
}

void TReporterFrm::SetGroupId(int v)
{
    FGroupId = v;
    LoadTitles();
}

void TReporterFrm::SetCanDesign(bool v)
{
    for (TToolButton* b : {tbNew1, tbDelete1, tbRename1, tbDesign1}) b->SetEnabled(v);
}

TPoint TReporterFrm::PlaceNearMouse(TPoint mouse, int screenWidth, int screenHeight, int width, int height)
{
    int top, left;
    if (mouse.Y + height > screenHeight || mouse.X + width > screenWidth) {
        top = screenHeight / 2 - height / 2;
        left = screenWidth / 2 - width / 2;
    } else {
        top = mouse.Y - height / 4;
        left = mouse.X - width / 2;
    }
    if (top < 0) top = 10;
    else if (top > screenHeight - height) top = screenHeight - height;
    if (left < 0) left = 10;
    else if (left > screenWidth - width) left = screenWidth - width;
    return Point(left, top);
}

void TReporterFrm::DoShow()
{
    TaFrm::DoShow();
    if (!Screen) return;
    TPoint mouse;
    GetCursorPos(&mouse);
    const TPoint p = PlaceNearMouse(mouse, Screen->Width(), Screen->Height(), Width(), Height());
    SetTop(p.Y);
    SetLeft(p.X);
}

void TReporterFrm::LoadTitles()
{
    ListBox1->Items()->Clear();
    FIds.clear();
    auto set = std::make_unique<TRepSet>();
    set->OpenGroup(FGroupId);
    TDataSet* ds = set->DataSet();
    for (ds->First(); !ds->Eof(); ds->Next()) {
        ListBox1->Items()->Add(set->TitleField->AsString());
        FIds.push_back(set->IdField->AsInteger());
    }
    set.reset();
    if (!FIds.empty()) ListBox1->SetItemIndex(0);
}

bool TReporterFrm::GetSelected(std::string& title, int& id)
{
    const int i = ListBox1->ItemIndex();
    if (i < 0 || size_t(i) >= FIds.size()) {
        MessageBox("请先从左框列表中选中您要操作的项目.", "", MB_OK);
        return false;
    }
    title = ListBox1->Items()->Strings(i);
    id = FIds[size_t(i)];
    return true;
}

void TReporterFrm::Button4Click(TObject*)
{
    std::string title;
    int id;
    if (!GetSelected(title, id)) return;
    FReper->Preview(id);
    SetModalResult(mrOk);
}

void TReporterFrm::tbDesign1Click(TObject*)
{
    std::string title;
    int id;
    if (!GetSelected(title, id)) return;
    FReper->Design(id);
}

void TReporterFrm::tbNew1Click(TObject*)
{
    std::string title;
    if (!InputQuery("添加报表", "请输入报表名称:\t\t", title)) return;
    TRep::AddReport(title, FGroupId);
    LoadTitles();
}

void TReporterFrm::tbRename1Click(TObject*)
{
    std::string title;
    int id;
    if (!GetSelected(title, id)) return;
    if (!InputQuery("修改报表标题", "请输入新的报表名称:\t\t", title)) return;
    TRep::RenameReport(id, title);
    LoadTitles();
}

void TReporterFrm::tbDelete1Click(TObject*)
{
    std::string title;
    int id;
    if (!GetSelected(title, id)) return;
    if (MessageBox("确定要删除" + title + "吗?", "", MB_OKCANCEL | MB_ICONWARNING) != IDOK) return;
    TRep::DeleteReport(id);
    LoadTitles();
}
