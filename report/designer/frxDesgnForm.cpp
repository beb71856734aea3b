#include "frxDesgnForm.h"

#include "ActnList.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "ImgList.h"
#include "IniFiles.h"
#include "Lists.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "fs_itools.h"
#include "frxClass.h"
#include "frxDMPClass.h"
#include "frxDataTree.h"
#include "frxDesgnDebug.h"
#include "frxDock.h"
#include "frxDsgnIntf.h"
#include "frxEditPage.h"
#include "frxInsp.h"
#include "frxRes.h"
#include "frxSyntaxMemo.h"

#include <algorithm>
#include <cmath>

QZ_CLASS_IMPL(TfrxDesignerForm, TfrxCustomDesigner)

namespace {

std::string Res(const char* key) { return frxRes::Resources().Get(key); }

// Pixels per unit, across and down.
constexpr double kCm = 37.7953, kInch = 96, kCharX = 9.6, kCharY = 17;

bool HasProp(TObject* o, const char* name) { return o && GetPropInfo(o, name) != nullptr; }

}  // namespace

// ---- TSampleFormat ----------------------------------------------------------------------------

TSampleFormat::TSampleFormat() : FMemo(std::make_unique<TfrxMemoView>(nullptr)) {}
TSampleFormat::~TSampleFormat() = default;

void TSampleFormat::SetSample(TfrxCustomMemoView* c)
{
    if (!c) return;
    FMemo->Assign(c);
    FMemo->SetFlowTo(nullptr);
}

void TSampleFormat::ApplyTo(TfrxCustomMemoView* c) const
{
    if (!c) return;
    c->Color = FMemo->Color;
    c->SetFont(FMemo->Font());
    c->SetFrame(FMemo->Frame());
    c->BrushStyle = FMemo->BrushStyle;
    c->HAlign = FMemo->HAlign;
    c->VAlign = FMemo->VAlign;
    c->LineSpacing = FMemo->LineSpacing;
    c->SetParentFont(FMemo->ParentFont());
}

// ---- creation -----------------------------------------------------------------------------------

TfrxDesignerForm::TfrxDesignerForm(TComponent* owner, TfrxReport* report, bool previewPageMode)
    : TfrxCustomDesigner(owner, report, previewPageMode)
{
    SetName("frxDesignerForm");
    SetKeyPreview(true);
    SetBounds(0, 0, 1000, 700);
    CreateControls();
    frxRes::Resources().LocalizeForm(this);
    BuildObjectPalette();
    CreateEditors();
    CreateToolWindows();
    InitState();
    RestoreSettings(false);
    ReloadPages(0);
    UpdateCaption();
    UpdateRecentFiles(std::string());
    if (TfrxDesigner* d = frxDesgn::CurrentDesigner(); d && d->OnShow) d->OnShow(this);
}

TfrxDesignerForm::~TfrxDesignerForm() { Teardown(); }

void TfrxDesignerForm::BeforeDestruction()
{
    Teardown();
    TfrxCustomDesigner::BeforeDestruction();
}

void TfrxDesignerForm::Teardown()
{
    // Freed with or without BeforeDestruction: the settings are written and
    // the state let go once, while every control still stands.
    if (!FSettingsSaved && StatusBar) {
        FSettingsSaved = true;
        try {
            SaveSettings();
        } catch (...) {
            // Settings that cannot be written never keep the window from closing.
        }
    }
    FreeState();
    // The controls go one by one after this, and each one removed realigns
    // what is left: the scroll box must no longer reach the surface or the
    // rulers, which may already be gone by then.
    if (ScrollBox) ScrollBox->OnResize = nullptr;
    if (Workspace) Workspace->OnMove = nullptr;
}

int TfrxDesignerForm::Glyph(TImageList* list, const std::string& text, int size)
{
    TBitmap bmp(size, size);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, size, size));
    c->Font()->SetName("Tahoma");
    c->Font()->SetSize(size > 16 ? 10 : 8);
    c->Font()->SetColor(clNavy);
    c->Brush()->SetStyle(bsClear);
    const int w = c->TextWidth(text), h = c->TextHeight(text);
    c->TextOut((size - w) / 2, (size - h) / 2, text);
    return list->AddMasked(&bmp, clFuchsia);
}

TAction* TfrxDesignerForm::MakeAction(const char* name, void (TfrxDesignerForm::*handler)(TObject*),
                                      TShortCut shortCut)
{
    auto* a = new TAction(this);
    a->SetName(name);
    a->SetActionList(ActionList);
    a->OnExecute = [this, handler](TObject* sender) { (this->*handler)(sender); };
    if (shortCut) a->SetShortCut(shortCut);
    return a;
}

TMenuItem* TfrxDesignerForm::AddItem(TMenuItem* parent, const char* name, const std::string& caption,
                                     void (TfrxDesignerForm::*handler)(TObject*))
{
    auto* mi = new TMenuItem(this);
    if (name && *name) mi->SetName(name);
    mi->SetCaption(caption);
    if (handler) mi->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
    parent->Add(mi);
    return mi;
}

TMenuItem* TfrxDesignerForm::AddActionItem(TMenuItem* parent, TAction* action)
{
    auto* mi = new TMenuItem(this);
    mi->SetAction(action);
    parent->Add(mi);
    return mi;
}

TToolButton* TfrxDesignerForm::AddButton(TToolBar* bar, const char* name, int tag, const std::string& glyph,
                                         void (TfrxDesignerForm::*handler)(TObject*), bool check)
{
    auto* b = new TToolButton(this);
    if (name && *name) b->SetName(name);
    b->SetTag(tag);
    if (check) b->SetStyle(tbsCheck);
    if (!glyph.empty()) b->SetImageIndex(Glyph(ButtonImages, glyph, 16));
    if (handler) b->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
    // After the buttons already there.
    b->SetBounds(30000, 30000, b->Width(), b->Height());
    b->SetParent(bar);
    return b;
}

TToolButton* TfrxDesignerForm::AddActionButton(TToolBar* bar, TAction* action, const std::string& glyph)
{
    auto* b = new TToolButton(this);
    b->SetName(action->Name() + "B");
    action->SetImageIndex(Glyph(ButtonImages, glyph, 16));
    b->SetAction(action);
    b->SetBounds(30000, 30000, b->Width(), b->Height());
    b->SetParent(bar);
    return b;
}

TfrxToolBar* TfrxDesignerForm::MakeToolBar(const char* name, TToolBar*& inner)
{
    auto* tb = new TfrxToolBar(this);
    tb->SetName(name);
    tb->SetBounds(0, 0, 200, 27);
    inner = new TToolBar(this);
    inner->SetName(std::string(name) + "1");
    inner->SetImages(ButtonImages);
    inner->SetFlat(true);
    inner->SetWrapable(false);
    inner->SetParent(tb);
    inner->SetBounds(8, 0, 100, 26);
    inner->SetAlign(alLeft);
    return tb;
}

void TfrxDesignerForm::CreateControls()
{
    ButtonImages = new TImageList(this);
    ButtonImages->SetName("ButtonImages");
    ObjectImages = new TImageList(this);
    ObjectImages->SetName("ObjectImages");
    ObjectImages->SetWidth(22);
    ObjectImages->SetHeight(22);
    ActionList = new TActionList(this);
    ActionList->SetName("ActionList");
    ActionList->SetImages(ButtonImages);

    NewItemCmd = MakeAction("NewItemCmd", &TfrxDesignerForm::NewItemCmdExecute);
    NewReportCmd = MakeAction("NewReportCmd", &TfrxDesignerForm::NewReportCmdExecute);
    NewPageCmd = MakeAction("NewPageCmd", &TfrxDesignerForm::NewPageCmdExecute);
    NewDialogCmd = MakeAction("NewDialogCmd", &TfrxDesignerForm::NewDialogCmdExecute);
    OpenCmd = MakeAction("OpenCmd", &TfrxDesignerForm::OpenCmdExecute, ShortCut('O', TShiftState{ssCtrl}));
    SaveCmd = MakeAction("SaveCmd", &TfrxDesignerForm::SaveCmdExecute, ShortCut('S', TShiftState{ssCtrl}));
    SaveAsCmd = MakeAction("SaveAsCmd", &TfrxDesignerForm::SaveAsCmdExecute);
    PreviewCmd = MakeAction("PreviewCmd", &TfrxDesignerForm::PreviewCmdExecute, ShortCut('P', TShiftState{ssCtrl}));
    PageSettingsCmd = MakeAction("PageSettingsCmd", &TfrxDesignerForm::PageSettingsCmdExecute);
    ExitCmd = MakeAction("ExitCmd", &TfrxDesignerForm::ExitCmdExecute, ShortCut('X', TShiftState{ssAlt}));
    UndoCmd = MakeAction("UndoCmd", &TfrxDesignerForm::UndoCmdExecute, ShortCut('Z', TShiftState{ssCtrl}));
    RedoCmd = MakeAction("RedoCmd", &TfrxDesignerForm::RedoCmdExecute);
    CutCmd = MakeAction("CutCmd", &TfrxDesignerForm::CutCmdExecute, ShortCut('X', TShiftState{ssCtrl}));
    CopyCmd = MakeAction("CopyCmd", &TfrxDesignerForm::CopyCmdExecute, ShortCut('C', TShiftState{ssCtrl}));
    PasteCmd = MakeAction("PasteCmd", &TfrxDesignerForm::PasteCmdExecute, ShortCut('V', TShiftState{ssCtrl}));
    DeleteCmd = MakeAction("DeleteCmd", &TfrxDesignerForm::DeleteCmdExecute);
    DeletePageCmd = MakeAction("DeletePageCmd", &TfrxDesignerForm::DeletePageCmdExecute);
    SelectAllCmd = MakeAction("SelectAllCmd", &TfrxDesignerForm::SelectAllCmdExecute, ShortCut('A', TShiftState{ssCtrl}));
    GroupCmd = MakeAction("GroupCmd", &TfrxDesignerForm::GroupCmdExecute);
    UngroupCmd = MakeAction("UngroupCmd", &TfrxDesignerForm::UngroupCmdExecute);
    EditCmd = MakeAction("EditCmd", &TfrxDesignerForm::EditCmdExecute);
    BringToFrontCmd = MakeAction("BringToFrontCmd", &TfrxDesignerForm::BringToFrontCmdExecute);
    SendToBackCmd = MakeAction("SendToBackCmd", &TfrxDesignerForm::SendToBackCmdExecute);
    VariablesCmd = MakeAction("VariablesCmd", &TfrxDesignerForm::VariablesCmdExecute);

    // ---- docks, tool bars, palette, tabs ----
    DockTop = new TfrxDock(this);
    DockTop->SetName("DockTop");
    DockTop->SetRowSize(27);
    DockTop->SetParent(this);
    DockTop->SetAlign(alTop);
    DockBottom = new TfrxDock(this);
    DockBottom->SetName("DockBottom");
    DockBottom->SetRowSize(27);
    DockBottom->SetParent(this);
    DockBottom->SetAlign(alBottom);
    DockRight = new TfrxDock(this);
    DockRight->SetName("DockRight");
    DockRight->SetRowSize(27);
    DockRight->SetParent(this);
    DockRight->SetAlign(alRight);

    StatusBar = new TStatusBar(this);
    StatusBar->SetName("StatusBar");
    StatusBar->SetParent(this);
    StatusBar->SetAlign(alBottom);
    for (int w : {75, 230, 50}) StatusBar->Panels()->Add()->SetWidth(w);
    StatusBar->Panels()->Items(1)->SetStyle(psOwnerDraw);
    StatusBar->OnDrawPanel = [this](TStatusBar* b, TStatusPanel* p, const TRect& r) { StatusBarDrawPanel(b, p, r); };
    StatusBar->OnDblClick = [this](TObject*) {
        TPoint p = StatusBar->ScreenToClient(Mouse->CursorPos());
        if (StatusBar->PanelAt(p) == 0) CycleUnits();
    };

    LeftDockSite1 = new TfrxDockSite(this);
    LeftDockSite1->SetName("LeftDockSite1");
    LeftDockSite1->SetParent(this);
    LeftDockSite1->SetAlign(alLeft);
    LeftDockSite1->SetWidth(1);

    ObjectsTB1 = new TToolBar(this);
    ObjectsTB1->SetName("ObjectsTB1");
    ObjectsTB1->SetParent(this);
    ObjectsTB1->SetAlign(alLeft);
    ObjectsTB1->SetWidth(31);
    ObjectsTB1->SetButtonWidth(29);
    ObjectsTB1->SetButtonHeight(29);
    ObjectsTB1->SetImages(ObjectImages);
    ObjectsTB1->SetFlat(true);
    ObjectsTB1->SetWrapable(true);

    Tab = new TTabControl(this);
    Tab->SetName("Tab");
    Tab->SetParent(this);
    Tab->SetAlign(alClient);
    Tab->SetMultiLine(true);
    Tab->OnChanging = [this](TObject*, bool& allow) { allow = TabChanging(); };
    Tab->OnChange = [this](TObject*) { TabChange(); };

    LeftDockSite2 = new TfrxDockSite(this);
    LeftDockSite2->SetName("LeftDockSite2");
    LeftDockSite2->SetParent(Tab);
    LeftDockSite2->SetAlign(alLeft);
    LeftDockSite2->SetWidth(1);
    RightDockSite = new TfrxDockSite(this);
    RightDockSite->SetName("RightDockSite");
    RightDockSite->SetParent(Tab);
    RightDockSite->SetAlign(alRight);
    RightDockSite->SetWidth(1);

    ScrollBoxPanel = new TPanel(this);
    ScrollBoxPanel->SetName("ScrollBoxPanel");
    ScrollBoxPanel->SetParent(Tab);
    ScrollBoxPanel->SetAlign(alClient);
    ScrollBoxPanel->SetBevelOuter(bvNone);
    ScrollBoxPanel->SetCaption("");
    TopRuler = new TfrxRuler(this);
    TopRuler->SetName("TopRuler");
    TopRuler->SetParent(ScrollBoxPanel);
    TopRuler->SetAlign(alTop);
    TopRuler->SetHeight(24);
    TopRuler->SetUnits(ruCM);
    LeftRuler = new TfrxRuler(this);
    LeftRuler->SetName("LeftRuler");
    LeftRuler->SetParent(ScrollBoxPanel);
    LeftRuler->SetAlign(alLeft);
    LeftRuler->SetWidth(24);
    LeftRuler->SetUnits(ruCM);
    ScrollBox = new TfrxScrollBox(this);
    ScrollBox->SetName("ScrollBox");
    ScrollBox->SetParent(ScrollBoxPanel);
    ScrollBox->SetAlign(alClient);
    ScrollBox->SetColor(clGray);
    ScrollBox->HorzScrollBar()->SetTracking(true);
    ScrollBox->VertScrollBar()->SetTracking(true);
    ScrollBox->VertScrollBar()->SetIncrement(16);
    ScrollBox->OnResize = [this](TObject* s) { ScrollBoxResize(s); };

    CodePanel = new TPanel(this);
    CodePanel->SetName("CodePanel");
    CodePanel->SetParent(Tab);
    CodePanel->SetAlign(alClient);
    CodePanel->SetBevelOuter(bvNone);
    CodePanel->SetCaption("");
    CodePanel->Hide();
    CodeTB = new TToolBar(this);
    CodeTB->SetName("CodeTB");
    CodeTB->SetParent(CodePanel);
    CodeTB->SetAlign(alTop);
    CodeTB->SetImages(ButtonImages);
    CodeTB->SetFlat(true);
    LangL = new TLabel(this);
    LangL->SetName("LangL");
    LangL->SetCaption("语言:");
    LangL->SetParent(CodeTB);
    LangCB = new TComboBox(this);
    LangCB->SetName("LangCB");
    LangCB->SetStyle(csDropDownList);
    LangCB->SetWidth(120);
    LangCB->SetParent(CodeTB);
    LangCB->OnSelect = [this](TObject*) { LanguageChosen(LangCB->Text()); };
    OpenScriptB = AddButton(CodeTB, "OpenScriptB", 0, "开", &TfrxDesignerForm::OpenScriptBClick);
    SaveScriptB = AddButton(CodeTB, "SaveScriptB", 0, "存", &TfrxDesignerForm::SaveScriptBClick);
    RunScriptB = AddButton(CodeTB, "RunScriptB", 0, "▶");
    StepScriptB = AddButton(CodeTB, "StepScriptB", 0, "↓");
    StopScriptB = AddButton(CodeTB, "StopScriptB", 0, "■");
    EvaluateB = AddButton(CodeTB, "EvaluateB", 0, "=");
    RunScriptB->OnClick = [this](TObject*) { Debug->RunScriptBClick(false); };
    StepScriptB->OnClick = [this](TObject*) { Debug->RunScriptBClick(true); };
    StopScriptB->OnClick = [this](TObject*) { Debug->StopScriptBClick(); };
    EvaluateB->OnClick = [this](TObject*) { Debug->EvaluateBClick(); };
    StopScriptB->SetEnabled(false);

    Timer = new TTimer(this);
    Timer->SetName("Timer");
    Timer->OnTimer = [this](TObject*) { PasteState(); };
    OpenDialog = new TOpenDialog(this);
    OpenDialog->SetName("OpenDialog");
    SaveDialog = new TSaveDialog(this);
    SaveDialog->SetName("SaveDialog");
    OpenScriptDialog = new TOpenDialog(this);
    OpenScriptDialog->SetName("OpenScriptDialog");
    SaveScriptDialog = new TSaveDialog(this);
    SaveScriptDialog->SetName("SaveScriptDialog");

    CreateMenus();
    CreateToolBars();
}

void TfrxDesignerForm::CreateMenus()
{
    MainMenu = new TMainMenu(this);
    MainMenu->SetName("MainMenu");
    MainMenu->SetImages(ButtonImages);
    TMenuItem* root = MainMenu->Items();
    FileMenu = AddItem(root, "FileMenu", "文件(&F)");
    EditMenu = AddItem(root, "EditMenu", "编辑(&E)");
    ReportMenu = AddItem(root, "ReportMenu", "报表(&R)");
    ViewMenu = AddItem(root, "ViewMenu", "查看(&V)");
    HelpMenu = AddItem(root, "HelpMenu", "帮助(&H)");

    AddActionItem(FileMenu, NewItemCmd)->SetName("NewMI");
    AddActionItem(FileMenu, NewReportCmd)->SetName("NewReportMI");
    AddActionItem(FileMenu, NewPageCmd);
    AddActionItem(FileMenu, NewDialogCmd);
    AddItem(FileMenu, "SepMI1", "-");
    AddActionItem(FileMenu, OpenCmd);
    AddActionItem(FileMenu, SaveCmd);
    AddActionItem(FileMenu, SaveAsCmd);
    AddItem(FileMenu, "SepMI2", "-");
    AddActionItem(FileMenu, PageSettingsCmd);
    AddActionItem(FileMenu, PreviewCmd);
    SepMI11 = AddItem(FileMenu, "SepMI11", "-");
    SepMI4 = AddItem(FileMenu, "SepMI4", "-");
    AddActionItem(FileMenu, ExitCmd);

    AddActionItem(EditMenu, UndoCmd);
    AddActionItem(EditMenu, RedoCmd);
    AddItem(EditMenu, "SepMI5", "-");
    AddActionItem(EditMenu, CutCmd);
    AddActionItem(EditMenu, CopyCmd);
    AddActionItem(EditMenu, PasteCmd);
    AddActionItem(EditMenu, DeleteCmd);
    AddActionItem(EditMenu, DeletePageCmd);
    AddActionItem(EditMenu, SelectAllCmd);
    AddItem(EditMenu, "SepMI6", "-");
    AddActionItem(EditMenu, GroupCmd);
    AddActionItem(EditMenu, UngroupCmd);
    AddActionItem(EditMenu, EditCmd);
    AddItem(EditMenu, "SepMI7", "-");
    FindMI = AddItem(EditMenu, "FindMI", "查找...", &TfrxDesignerForm::FindMIClick);
    FindMI->SetShortCut(ShortCut('F', TShiftState{ssCtrl}));
    ReplaceMI = AddItem(EditMenu, "ReplaceMI", "替换...", &TfrxDesignerForm::ReplaceMIClick);
    ReplaceMI->SetShortCut(ShortCut('R', TShiftState{ssCtrl}));
    FindNextMI = AddItem(EditMenu, "FindNextMI", "查找下一个", &TfrxDesignerForm::FindNextMIClick);
    FindNextMI->SetShortCut(ShortCut(VK_F3, TShiftState{}));
    FindNextMI->SetEnabled(false);
    AddItem(EditMenu, "SepMI9", "-");
    AddActionItem(EditMenu, BringToFrontCmd);
    AddActionItem(EditMenu, SendToBackCmd);

    ReportDataMI = AddItem(ReportMenu, "ReportDataMI", "数据...", &TfrxDesignerForm::ReportDataMIClick);
    AddActionItem(ReportMenu, VariablesCmd);
    ReportStylesMI = AddItem(ReportMenu, "ReportStylesMI", "样式...", &TfrxDesignerForm::ReportStylesMIClick);
    ReportSettingsMI = AddItem(ReportMenu, "ReportSettingsMI", "选项...", &TfrxDesignerForm::ReportSettingsMIClick);

    ToolbarsMI = AddItem(ViewMenu, "ToolbarsMI", "工具栏");
    static const char* const kWindows[] = {"StandardMI", "TextMI", "FrameMI", "AlignMI",
                                           "ToolsMI", "InspectorMI", "DataTreeMI", "ReportTreeMI"};
    for (int i = 0; i < 8; ++i) {
        TMenuItem* mi = AddItem(ToolbarsMI, kWindows[i], kWindows[i]);
        mi->SetTag(i);
        mi->OnClick = [this, mi](TObject*) {
            mi->SetChecked(!mi->Checked());
            ShowToolWindow(int(mi->Tag()), mi->Checked());
        };
        ToolWindowItems[size_t(i)] = mi;
    }
    ToolWindowItems[5]->SetShortCut(ShortCut(VK_F11, TShiftState{}));
    ToolbarsMI->OnClick = [this](TObject*) {
        for (int i = 0; i < 8; ++i) ToolWindowItems[size_t(i)]->SetChecked(ToolWindowShown(i));
    };
    ShowRulersMI = AddItem(ViewMenu, "ShowRulersMI", "标尺");
    ShowRulersMI->OnClick = [this](TObject*) { SetShowRulers(!ShowRulersMI->Checked()); };
    ShowGuidesMI = AddItem(ViewMenu, "ShowGuidesMI", "向导");
    ShowGuidesMI->OnClick = [this](TObject*) { SetShowGuides(!ShowGuidesMI->Checked()); };
    DeleteGuidesMI = AddItem(ViewMenu, "DeleteGuidesMI", "删除向导", &TfrxDesignerForm::DeleteGuidesMIClick);
    AddItem(ViewMenu, "SepMI10", "-");
    OptionsMI = AddItem(ViewMenu, "OptionsMI", "选项...", &TfrxDesignerForm::OptionsMIClick);

    HelpContentsMI = AddItem(HelpMenu, "HelpContentsMI", "帮助内容...");
    HelpContentsMI->SetShortCut(ShortCut(VK_F1, TShiftState{}));
    AboutMI = AddItem(HelpMenu, "AboutMI", "关于本设计器...", &TfrxDesignerForm::AboutMIClick);
    SetMenu(MainMenu);

    // ---- popups ----
    PagePopup = new TPopupMenu(this);
    PagePopup->SetName("PagePopup");
    PagePopup->SetImages(ButtonImages);
    PagePopup->OnPopup = [this](TObject*) { PagePopupOpen(); };
    AddActionItem(PagePopup->Items(), CutCmd);
    AddActionItem(PagePopup->Items(), CopyCmd);
    SepMI12 = AddItem(PagePopup->Items(), "SepMI12", "-");
    SepMI8 = AddItem(PagePopup->Items(), "SepMI8", "-");
    AddActionItem(PagePopup->Items(), PasteCmd);
    AddActionItem(PagePopup->Items(), DeleteCmd);
    AddActionItem(PagePopup->Items(), SelectAllCmd);
    EditMI1 = AddActionItem(PagePopup->Items(), EditCmd);
    EditMI1->SetName("EditMI1");
    AddActionItem(PagePopup->Items(), BringToFrontCmd);
    AddActionItem(PagePopup->Items(), SendToBackCmd);
    TabOrderMI = AddItem(PagePopup->Items(), "TabOrderMI", "Tab 顺序...", &TfrxDesignerForm::TabOrderMIClick);

    TabPopup = new TPopupMenu(this);
    TabPopup->SetName("TabPopup");
    AddActionItem(TabPopup->Items(), NewPageCmd);
    AddActionItem(TabPopup->Items(), NewDialogCmd);
    AddActionItem(TabPopup->Items(), DeletePageCmd);
    AddActionItem(TabPopup->Items(), PageSettingsCmd);

    BandsPopup = new TPopupMenu(this);
    BandsPopup->SetName("BandsPopup");
    BandsPopup->OnPopup = [this](TObject*) { BandsPopupOpen(); };
    static const char* const kBands[] = {"ReportTitleMI", "ReportSummaryMI", "PageHeaderMI", "PageFooterMI",
                                         "HeaderMI", "FooterMI", "MasterDataMI", "DetailDataMI",
                                         "SubdetailDataMI", "Data4levelMI", "Data5levelMI", "Data6levelMI",
                                         "GroupHeaderMI", "GroupFooterMI", "ChildMI", "ColumnHeaderMI",
                                         "ColumnFooterMI", "OverlayMI"};
    for (int i = 0; i < 18; ++i)
        AddItem(BandsPopup->Items(), kBands[i], kBands[i], &TfrxDesignerForm::InsertBandClick)->SetTag(i);
    TMenuItem* vertical = AddItem(BandsPopup->Items(), "VerticalbandsMI", "垂直表节(&V)");
    static const std::pair<const char*, int> kVertical[] = {
        {"HeaderMI1", 104}, {"FooterMI1", 105}, {"MasterDataMI1", 106}, {"DetailDataMI1", 107},
        {"SubdetailDataMI1", 108}, {"GroupHeaderMI1", 112}, {"GroupFooterMI1", 113}, {"ChildMI1", 114}};
    for (auto& v : kVertical) AddItem(vertical, v.first, v.first, &TfrxDesignerForm::InsertBandClick)->SetTag(v.second);

    RotationPopup = new TPopupMenu(this);
    RotationPopup->SetName("RotationPopup");
    for (int angle : {0, 45, 90, 180, 270}) {
        TMenuItem* mi = AddItem(RotationPopup->Items(), "", IntToStr(angle) + "度", &TfrxDesignerForm::ToolButtonClick);
        mi->SetTag(30);
        mi->SetHint(IntToStr(angle));   // the angle the item sets
    }

    ObjectsPopup = new TPopupMenu(this);
    ObjectsPopup->SetName("ObjectsPopup");
    ObjectsPopup->SetImages(ObjectImages);

    DMPPopup = new TPopupMenu(this);
    DMPPopup->SetName("DMPPopup");
    static const char* const kDmp[] = {"BoldMI", "ItalicMI", "UnderlineMI", "SuperScriptMI", "SubScriptMI",
                                       "CondensedMI", "WideMI", "N12cpiMI", "N15cpiMI"};
    static const char* const kDmpCaptions[] = {"粗体", "斜体", "下划线", "上标", "下标", "压缩", "加宽",
                                               "12 cpi", "15 cpi"};
    for (int i = 0; i < 9; ++i)
        AddItem(DMPPopup->Items(), kDmp[i], kDmpCaptions[i], &TfrxDesignerForm::ToolButtonClick)->SetTag(34 + i);
}

void TfrxDesignerForm::CreateToolBars()
{
    // Standard.
    StandardTB = MakeToolBar("StandardTB", StandardTB1);
    AddActionButton(StandardTB1, NewReportCmd, "新")->SetName("NewB");
    AddActionButton(StandardTB1, OpenCmd, "开");
    AddActionButton(StandardTB1, SaveCmd, "存");
    AddActionButton(StandardTB1, PreviewCmd, "览");
    AddActionButton(StandardTB1, NewPageCmd, "页");
    AddActionButton(StandardTB1, NewDialogCmd, "窗");
    AddActionButton(StandardTB1, DeletePageCmd, "删");
    AddActionButton(StandardTB1, PageSettingsCmd, "设");
    AddActionButton(StandardTB1, VariablesCmd, "变");
    AddActionButton(StandardTB1, CutCmd, "剪");
    AddActionButton(StandardTB1, CopyCmd, "复");
    AddActionButton(StandardTB1, PasteCmd, "粘");
    SampleFormatB = AddButton(StandardTB1, "SampleFormatB", 0, "刷");
    SampleFormatB->OnClick = [this](TObject*) {
        TfrxComponent* c = FirstSelected();
        SampleFormat->SetSample(c == FPage ? nullptr : DynamicCast<TfrxCustomMemoView>(c));
    };
    AddActionButton(StandardTB1, UndoCmd, "撤");
    AddActionButton(StandardTB1, RedoCmd, "重");
    AddActionButton(StandardTB1, GroupCmd, "组");
    AddActionButton(StandardTB1, UngroupCmd, "散");
    ShowGridB = AddButton(StandardTB1, "ShowGridB", 0, "#", nullptr, true);
    ShowGridB->OnClick = [this](TObject*) { SetShowGrid(ShowGridB->Down()); };
    AlignToGridB = AddButton(StandardTB1, "AlignToGridB", 0, "⌗", nullptr, true);
    AlignToGridB->OnClick = [this](TObject*) { SetGridAlign(AlignToGridB->Down()); };
    SetToGridB = AddButton(StandardTB1, "SetToGridB", 31, "⊞", &TfrxDesignerForm::ToolButtonClick);
    auto* scalePanel = new TfrxTBPanel(this);
    scalePanel->SetName("ScalePanel");
    scalePanel->SetParent(StandardTB);
    scalePanel->SetBounds(500, 0, 74, 26);
    ScaleCB = new TComboBox(this);
    ScaleCB->SetName("ScaleCB");
    ScaleCB->SetParent(scalePanel);
    ScaleCB->SetBounds(2, 2, 70, 22);
    for (const char* s : {"25%", "50%", "75%", "100%", "150%", "200%", "Page width", "Whole page"})
        ScaleCB->Items()->Add(s);
    ScaleCB->OnSelect = [this](TObject*) { ScaleChosen(ScaleCB->Text(), ScaleCB->ItemIndex()); };
    ScaleCB->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
        if (key == VK_RETURN) ScaleChosen(ScaleCB->Text(), -1);
    };

    // Text.
    TextTB = MakeToolBar("TextTB", TextTB1);
    TextTB1->SetLeft(300);
    auto* fontPanel = new TfrxTBPanel(this);
    fontPanel->SetName("FontPanel");
    fontPanel->SetParent(TextTB);
    fontPanel->SetBounds(8, 0, 276, 26);
    StyleCB = new TComboBox(this);
    StyleCB->SetName("StyleCB");
    StyleCB->SetStyle(csDropDownList);
    StyleCB->SetParent(fontPanel);
    StyleCB->SetBounds(2, 2, 90, 22);
    StyleCB->SetTag(33);
    StyleCB->OnSelect = [this](TObject* s) { ToolButtonClick(s); };
    StyleCB->OnDblClick = [this](TObject* s) { ReportStylesMIClick(s); };
    FontNameCB = new TComboBox(this);
    FontNameCB->SetName("FontNameCB");
    FontNameCB->SetParent(fontPanel);
    FontNameCB->SetBounds(94, 2, 130, 22);
    for (const char* f : {"Arial", "Courier New", "Tahoma", "Times New Roman", "宋体", "黑体", "楷体"})
        FontNameCB->Items()->Add(f);
    FontNameCB->OnSelect = [this](TObject* s) { ToolButtonClick(s); };
    FontNameCB->OnKeyDown = [this](TObject* s, WORD& key, TShiftState) {
        if (key == VK_RETURN) ToolButtonClick(s);
    };
    FontSizeCB = new TComboBox(this);
    FontSizeCB->SetName("FontSizeCB");
    FontSizeCB->SetTag(1);
    FontSizeCB->SetParent(fontPanel);
    FontSizeCB->SetBounds(226, 2, 48, 22);
    for (const char* s : {"5", "6", "7", "8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26",
                          "28", "36", "48", "72"})
        FontSizeCB->Items()->Add(s);
    FontSizeCB->OnSelect = [this](TObject* s) { ToolButtonClick(s); };
    FontSizeCB->OnKeyDown = [this](TObject* s, WORD& key, TShiftState) {
        if (key == VK_RETURN) ToolButtonClick(s);
    };
    BoldB = AddButton(TextTB1, "BoldB", 2, "B", &TfrxDesignerForm::ToolButtonClick, true);
    ItalicB = AddButton(TextTB1, "ItalicB", 3, "I", &TfrxDesignerForm::ToolButtonClick, true);
    UnderlineB = AddButton(TextTB1, "UnderlineB", 4, "U", &TfrxDesignerForm::ToolButtonClick, true);
    FontColorB = AddButton(TextTB1, "FontColorB", 5, "A");
    FontColorB->OnClick = [this](TObject*) {
        TfrxComponent* c = FirstSelected();
        ColorSelected(5, c && c != FPage ? c->Font()->Color() : clBlack);
    };
    FontB = AddButton(TextTB1, "FontB", 43, "F", &TfrxDesignerForm::ToolButtonClick);
    HighlightB = AddButton(TextTB1, "HighlightB", 0, "H", &TfrxDesignerForm::HighlightBClick);
    RotateB = AddButton(TextTB1, "RotateB", 0, "R");
    RotateB->SetStyle(tbsDropDown);
    RotateB->SetDropdownMenu(RotationPopup);
    RotateB->OnClick = [this](TObject*) { RotateB->CheckMenuDropdown(); };
    TextAlignLeftB = AddButton(TextTB1, "TextAlignLeftB", 7, "⇤", &TfrxDesignerForm::ToolButtonClick, true);
    TextAlignCenterB = AddButton(TextTB1, "TextAlignCenterB", 8, "↔", &TfrxDesignerForm::ToolButtonClick, true);
    TextAlignRightB = AddButton(TextTB1, "TextAlignRightB", 9, "⇥", &TfrxDesignerForm::ToolButtonClick, true);
    TextAlignBlockB = AddButton(TextTB1, "TextAlignBlockB", 10, "≡", &TfrxDesignerForm::ToolButtonClick, true);
    TextAlignTopB = AddButton(TextTB1, "TextAlignTopB", 11, "⤒", &TfrxDesignerForm::ToolButtonClick, true);
    TextAlignMiddleB = AddButton(TextTB1, "TextAlignMiddleB", 12, "↕", &TfrxDesignerForm::ToolButtonClick, true);
    TextAlignBottomB = AddButton(TextTB1, "TextAlignBottomB", 13, "⤓", &TfrxDesignerForm::ToolButtonClick, true);
    for (TToolButton* b : {TextAlignLeftB, TextAlignCenterB, TextAlignRightB, TextAlignBlockB}) b->SetGrouped(true);
    for (TToolButton* b : {TextAlignTopB, TextAlignMiddleB, TextAlignBottomB}) b->SetGrouped(true);

    // Frame.
    FrameTB = MakeToolBar("FrameTB", FrameTB1);
    FrameTopB = AddButton(FrameTB1, "FrameTopB", 20, "▔", &TfrxDesignerForm::ToolButtonClick, true);
    FrameBottomB = AddButton(FrameTB1, "FrameBottomB", 21, "▁", &TfrxDesignerForm::ToolButtonClick, true);
    FrameLeftB = AddButton(FrameTB1, "FrameLeftB", 22, "▏", &TfrxDesignerForm::ToolButtonClick, true);
    FrameRightB = AddButton(FrameTB1, "FrameRightB", 23, "▕", &TfrxDesignerForm::ToolButtonClick, true);
    FrameAllB = AddButton(FrameTB1, "FrameAllB", 24, "□", &TfrxDesignerForm::ToolButtonClick);
    FrameNoB = AddButton(FrameTB1, "FrameNoB", 25, "◌", &TfrxDesignerForm::ToolButtonClick);
    ShadowB = AddButton(FrameTB1, "ShadowB", 32, "◪", &TfrxDesignerForm::ToolButtonClick, true);
    FillColorB = AddButton(FrameTB1, "FillColorB", 26, "▆");
    FillColorB->OnClick = [this](TObject*) {
        auto* v = DynamicCast<TfrxView>(FirstSelected());
        ColorSelected(26, v ? v->Color : clBlack);
    };
    FrameColorB = AddButton(FrameTB1, "FrameColorB", 27, "▢");
    FrameColorB->OnClick = [this](TObject*) {
        auto* v = DynamicCast<TfrxView>(FirstSelected());
        ColorSelected(27, v ? v->Frame()->Color : clBlack);
    };
    FrameStyleB = AddButton(FrameTB1, "FrameStyleB", 28, "┅");
    FrameStyleB->OnClick = [this](TObject*) { FrameStyleSelected(LastFrameStyle); };
    auto* widthPanel = new TfrxTBPanel(this);
    widthPanel->SetName("FrameWidthPanel");
    widthPanel->SetParent(FrameTB);
    widthPanel->SetBounds(400, 0, 52, 26);
    FrameWidthCB = new TComboBox(this);
    FrameWidthCB->SetName("FrameWidthCB");
    FrameWidthCB->SetTag(29);
    FrameWidthCB->SetParent(widthPanel);
    FrameWidthCB->SetBounds(2, 2, 48, 22);
    for (const char* s : {"0,1", "0,5", "1", "1,5", "2", "3", "4", "5", "6", "7", "8", "9", "10"})
        FrameWidthCB->Items()->Add(s);
    FrameWidthCB->OnSelect = [this](TObject* s) { ToolButtonClick(s); };
    FrameWidthCB->OnKeyDown = [this](TObject* s, WORD& key, TShiftState) {
        if (key == VK_RETURN) ToolButtonClick(s);
    };

    // Alignment palette.
    AlignTB = MakeToolBar("AlignTB", AlignTB1);
    AlignLeftsB = AddButton(AlignTB1, "AlignLeftsB", 0, "⊢", &TfrxDesignerForm::AlignClick);
    AlignHorzCentersB = AddButton(AlignTB1, "AlignHorzCentersB", 1, "⊥", &TfrxDesignerForm::AlignClick);
    AlignRightsB = AddButton(AlignTB1, "AlignRightsB", 2, "⊣", &TfrxDesignerForm::AlignClick);
    AlignTopsB = AddButton(AlignTB1, "AlignTopsB", 3, "⊤", &TfrxDesignerForm::AlignClick);
    AlignVertCentersB = AddButton(AlignTB1, "AlignVertCentersB", 4, "⊦", &TfrxDesignerForm::AlignClick);
    AlignBottomsB = AddButton(AlignTB1, "AlignBottomsB", 5, "⊥", &TfrxDesignerForm::AlignClick);
    SpaceHorzB = AddButton(AlignTB1, "SpaceHorzB", 6, "⇹", &TfrxDesignerForm::AlignClick);
    SpaceVertB = AddButton(AlignTB1, "SpaceVertB", 7, "⇳", &TfrxDesignerForm::AlignClick);
    CenterHorzB = AddButton(AlignTB1, "CenterHorzB", 8, "⇿", &TfrxDesignerForm::AlignClick);
    CenterVertB = AddButton(AlignTB1, "CenterVertB", 9, "⇕", &TfrxDesignerForm::AlignClick);
    SameWidthB = AddButton(AlignTB1, "SameWidthB", 10, "W", &TfrxDesignerForm::AlignClick);
    SameHeightB = AddButton(AlignTB1, "SameHeightB", 11, "H", &TfrxDesignerForm::AlignClick);

    ExtraToolsTB = MakeToolBar("ExtraToolsTB", ExtraToolsTB1);

    for (TfrxToolBar* tb : {StandardTB, TextTB, FrameTB, AlignTB, ExtraToolsTB}) {
        for (int i = 0; i < tb->ControlCount(); ++i)
            if (auto* inner = DynamicCast<TToolBar>(tb->Controls(i))) {
                inner->ArrangeButtons();
                int w = 0;
                for (int b = 0; b < inner->ButtonCount(); ++b)
                    if (inner->Buttons(b)->Visible()) w = std::max(w, inner->Buttons(b)->Left() + inner->Buttons(b)->Width());
                inner->SetWidth(w + 2);
            }
        tb->AddToDock(DockTop);
        tb->AdjustSize();
    }
    DockTop->AdjustBounds();

    // Tools at the head of the palette.
    ObjectSelectB = AddButton(ObjectsTB1, "ObjectSelectB", 0, "", &TfrxDesignerForm::ToolSelected, true);
    ObjectSelectB->SetImageIndex(Glyph(ObjectImages, "↖", 22));
    HandToolB = AddButton(ObjectsTB1, "HandToolB", 1000, "", &TfrxDesignerForm::ToolSelected, true);
    HandToolB->SetImageIndex(Glyph(ObjectImages, "手", 22));
    ZoomToolB = AddButton(ObjectsTB1, "ZoomToolB", 1000, "", &TfrxDesignerForm::ToolSelected, true);
    ZoomToolB->SetImageIndex(Glyph(ObjectImages, "放", 22));
    TextToolB = AddButton(ObjectsTB1, "TextToolB", 1000, "", &TfrxDesignerForm::ToolSelected, true);
    TextToolB->SetImageIndex(Glyph(ObjectImages, "T", 22));
    FormatToolB = AddButton(ObjectsTB1, "FormatToolB", 1000, "", &TfrxDesignerForm::ToolSelected, true);
    FormatToolB->SetImageIndex(Glyph(ObjectImages, "刷", 22));
    for (TToolButton* b : {ObjectSelectB, HandToolB, ZoomToolB, TextToolB, FormatToolB}) b->SetGrouped(true);
    ObjectBandB = AddButton(ObjectsTB1, "ObjectBandB", 1000, "");
    ObjectBandB->SetImageIndex(Glyph(ObjectImages, "▤", 22));
    ObjectBandB->OnClick = [this](TObject*) {
        TPoint p = ObjectBandB->ClientToScreen(Point(ObjectBandB->Width(), 0));
        BandsPopup->Popup(p.X, p.Y);
    };
    ObjectSelectB->SetDown(true);
}

void TfrxDesignerForm::CreateEditors()
{
    Workspace = new TDesignerWorkspace(this);
    Workspace->SetName("Workspace");
    Workspace->SetParent(ScrollBox);
    Workspace->SetObjects(Objects());
    Workspace->SetSelectedObjects(SelectedObjects());
    Workspace->SetDesigner(this);
    Workspace->WorkspacePopup = PagePopup;
    Workspace->OnModify = [this](TObject* s) { ObjectModified(s); };
    Workspace->OnEdit = [this](TObject*) { EditSelected(); };
    Workspace->OnInsert = [this](TObject* s) { ObjectInserted(s); };
    Workspace->OnPositionChanged = [this](TObject*, const TfrxRect& r) { ShowPosition(r); };
    Workspace->OnSelectionChanged = [this](TObject* s) { SelectionChanged(s); };
    Workspace->OnMove = [this](TObject* s) { ScrollBoxResize(s); };

    FCodeWindow = new TfrxSyntaxMemo(this);
    FCodeWindow->SetName("CodeWindow");
    FCodeWindow->SetParent(CodePanel);
    FCodeWindow->SetAlign(alClient);
    FCodeWindow->SetColor(clWindow);
    FCodeWindow->SetLines(Report()->ScriptText());
    FCodeWindow->OnChange = [this](TObject* s) { CodeModified(s); };
    FCodeWindow->OnChangePos = [this](TObject*) {
        Debug->CodeCaretMoved();
        StatusBar->Invalidate();
    };
    Debug = std::make_unique<TfrxDesignerDebug>(this);
    Debug->SelectionChanged = [this] { SelectionChanged(nullptr); };
    Debug->BeforePreview = [this] { SaveScrollPosition(Tab->TabIndex()); };
    Debug->ShowCodePosition = [this](const std::string& text) {
        PositionText = text;
        SizeText.clear();
    };
    Debug->ReportData = [this] { ReportDataMIClick(nullptr); };
    Debug->FindNextEnabled = [this] { FindNextMI->SetEnabled(true); };
    Debug->DebugStateChanged = [this] {
        StopScriptB->SetEnabled(Debug->ScriptRunning);
    };
    FCodeWindow->OnDragOver = [this](TObject*, TObject* source, int, int, TDragState, bool& accept) {
        accept = DataTreeForm && DataTreeForm->ContainsControl(DynamicCast<TControl>(source)) &&
                 !DataTreeForm->GetInsertText().empty();
    };
    FCodeWindow->OnDragDrop = [this](TObject*, TObject*, int, int) {
        FCodeWindow->SetSelText(DataTreeForm->GetInsertText());
        if (FCodeWindow->CanFocus()) FCodeWindow->SetFocus();
    };
}

void TfrxDesignerForm::CreateToolWindows()
{
    Inspector = new TfrxObjectInspector(this);
    Inspector->SetName("frxObjectInspector");
    Inspector->OnModify = [this](TObject*) { ObjectModified(Inspector); };
    Inspector->OnSelectionChanged = [this](TObject*) { SelectionChanged(Inspector); };
    DataTreeForm = new TfrxDataTreeForm(this);
    DataTreeForm->SetName("frxDataTreeForm");
    DataTreeForm->SetReport(Report());
    DataTreeForm->CBPanel->Show();
    DataTreeForm->OnTreeDblClick = [this](TObject*) { Debug->DataTreeDblClick(DataTreeForm); };
    ReportTreeForm = new TfrxReportTreeForm(this);
    ReportTreeForm->SetName("frxReportTreeForm");
    ReportTreeForm->SetDesigner(this);
    ReportTreeForm->OnSelectionChanged = [this](TObject* s) { SelectionChanged(s); };
    UpdateDataTree();
}

void TfrxDesignerForm::InitState()
{
    Scale = 1;
    ScrollBoxPanel->SetAlign(alClient);
    CodePanel->SetAlign(alClient);
    TStringList names;
    fs_itools::GetLanguageNames(&names);
    LangCB->Items()->Assign(&names);
    LangCB->SetItemIndex(LangCB->Items()->IndexOf(Report()->ScriptLanguage));
    UpdateScriptDialogs();
    UndoBuffer = std::make_unique<TfrxUndoBuffer>();
    UndoBuffer->AddUndo(Report());
    Clipboard = std::make_unique<TfrxClipboard>(this);
    Timer->SetEnabled(true);
    RecentFiles = std::make_unique<TStringList>();
    SampleFormat = std::make_unique<TSampleFormat>();
    TabScrollPositions.assign(256, std::string());
    if (PreviewPageMode()) {
        FSavedDesigner = frxDesgn::CurrentDesigner();
        FTemporaryDesigner = std::make_unique<TfrxDesigner>();
        FTemporaryDesigner->Restrictions = {drDontDeletePage, drDontCreatePage, drDontCreateReport,
                                            drDontLoadReport, drDontPreviewReport, drDontEditVariables,
                                            drDontChangeReportOptions};
        ObjectBandB->SetEnabled(false);
    }
    NewReportCmd->SetEnabled(IsAllowed(drDontCreateReport));
    NewItemCmd->SetEnabled(IsAllowed(drDontCreateReport));
    NewPageCmd->SetEnabled(IsAllowed(drDontCreatePage));
    NewDialogCmd->SetEnabled(NewDialogCmd->Enabled() && IsAllowed(drDontCreatePage));
    SaveAsCmd->SetEnabled(IsAllowed(drDontSaveReport));
    OpenCmd->SetEnabled(IsAllowed(drDontLoadReport));
    ReportSettingsMI->SetEnabled(IsAllowed(drDontChangeReportOptions));
    ReportStylesMI->SetEnabled(IsAllowed(drDontChangeReportOptions));
    ReportDataMI->SetEnabled(IsAllowed(drDontEditReportData));
    VariablesCmd->SetEnabled(IsAllowed(drDontEditVariables));
    PreviewCmd->SetEnabled(IsAllowed(drDontPreviewReport));
    RunScriptB->SetEnabled(IsAllowed(drDontPreviewReport));
}

void TfrxDesignerForm::FreeState()
{
    if (FDestroyingState) return;
    FDestroyingState = true;
    AttachDialogForm(false);
    if (Timer) Timer->SetEnabled(false);
    if (PreviewPageMode() && FTemporaryDesigner) {
        FTemporaryDesigner.reset();
        frxDesgn::SetCurrentDesigner(FSavedDesigner);
    }
    // The surface and the trees let go of the report's objects before they go.
    if (Workspace) {
        Workspace->Lock();
        Workspace->SetPage(nullptr);
    }
    Objects()->Clear();
    SelectedObjects()->Clear();
    Clipboard.reset();
    UndoBuffer.reset();
}

// ---- restrictions, units, scale -----------------------------------------------------------------

bool TfrxDesignerForm::IsAllowed(TfrxDesignerRestriction r) const
{
    TfrxDesigner* d = FTemporaryDesigner ? FTemporaryDesigner.get() : frxDesgn::CurrentDesigner();
    return !d || !d->Restrictions.Contains(r);
}

double TfrxDesignerForm::ToUnits(double mm, bool horizontal) const
{
    switch (Units) {
    case 0: return mm / 10;
    case 1: return mm / 25.4;
    case 2: return mm * 96 / 25.4;
    case 3: return std::nearbyint(mm * 3.77953 / (horizontal ? kCharX : kCharY));
    default: return 0;
    }
}

double TfrxDesignerForm::FromUnits(double value, bool horizontal) const
{
    switch (Units) {
    case 0: return value * 10;
    case 1: return value * 25.4;
    case 2: return value / 96 * 25.4;
    case 3: return std::nearbyint(value) * (horizontal ? kCharX : kCharY) / 3.77953;
    default: return 0;
    }
}

TfrxPoint TfrxDesignerForm::DefaultInsertSize() const
{
    switch (Units) {
    case 1: return frxUtils::MakePoint(96, 19.2);
    case 2: return frxUtils::MakePoint(80, 16);
    case 3: return frxUtils::MakePoint(96, 17);
    default: return frxUtils::MakePoint(94.48825, 18.89765);
    }
}

double TfrxDesignerForm::BandSize() const
{
    switch (Units) {
    case 1: return 28.8;
    case 2: return 20;
    case 3: return 17;
    default: return 22.67718;
    }
}

void TfrxDesignerForm::SetUnits(int units)
{
    Units = TfrxDesignerUnits(units);
    static const char* const kNames[] = {"dsCm", "dsInch", "dsPix", "dsChars"};
    const bool dialog = FPage && FPage->InheritsFrom(TfrxDialogPage::StaticClass());
    if (units >= 0 && units <= 3) StatusBar->Panels()->Items(0)->SetText(Res(kNames[units]));
    static const TfrxRulerUnits kRuler[] = {ruCM, ruInches, ruPixels, ruChars};
    if (units >= 0 && units <= 3) {
        TopRuler->SetUnits(kRuler[units]);
        LeftRuler->SetUnits(kRuler[units]);
    }
    if (dialog) {
        Workspace->SetGridType(gtDialog);
        Workspace->GridX = Workspace->GridY = Grid4;
    } else {
        switch (units) {
        case 0:
            Workspace->SetGridType(gtCm);
            Workspace->GridX = Workspace->GridY = Grid1 * kCm;
            break;
        case 1:
            Workspace->SetGridType(gtInch);
            Workspace->GridX = Workspace->GridY = Grid2 * kInch;
            break;
        case 2:
            Workspace->SetGridType(gtPixels);
            Workspace->GridX = Workspace->GridY = Grid3;
            break;
        case 3:
            Workspace->SetGridType(gtChar);
            Workspace->GridX = kCharX;
            Workspace->GridY = kCharY;
            break;
        }
    }
    Workspace->Invalidate();
    if (SelectedObjects()->Count() > 0) SelectionChanged(nullptr);
}

void TfrxDesignerForm::CycleUnits()
{
    if (Workspace->GridType() == gtDialog || Workspace->GridType() == gtChar) return;
    SetUnits(Units == 0 ? 1 : Units == 1 ? 2 : 0);
    SavedUnits = Units;
}

void TfrxDesignerForm::SetScale(double scale)
{
    // A zoom of nothing or less has no page to show: it is refused (0 keeps
    // its old meaning of 100 %), and the largest zoom is 2000 %.
    if (scale == 0) scale = 1;
    if (!(scale > 0)) return;
    if (scale > 20) scale = 20;
    Scale = scale;
    TopRuler->SetScale(scale);
    LeftRuler->SetScale(scale);
    if (!DialogForm) Workspace->SetScale(scale);
    ScaleCB->SetText(IntToStr(int(std::nearbyint(scale * 100))) + "%");
    UpdatePageDimensions();
}

void TfrxDesignerForm::SetShowGrid(bool v)
{
    ShowGrid = v;
    ShowGridB->SetDown(v);
    Workspace->SetShowGrid(v);
}

void TfrxDesignerForm::SetGridAlign(bool v)
{
    GridAlign = v;
    AlignToGridB->SetDown(v);
    Workspace->GridAlign = v;
}

void TfrxDesignerForm::SetShowRulers(bool v)
{
    ShowRulers = v;
    TopRuler->SetVisible(v);
    LeftRuler->SetVisible(v);
    ShowRulersMI->SetChecked(v);
}

void TfrxDesignerForm::SetShowGuides(bool v)
{
    ShowGuides = v;
    Workspace->SetShowGuides(v);
    ShowGuidesMI->SetChecked(v);
}

void TfrxDesignerForm::SetWorkspaceColor(TColor c)
{
    WorkspaceColor = c;
    if (!DialogForm) Workspace->SetColor(c);
}

void TfrxDesignerForm::SetToolsColor(TColor c)
{
    ToolsColor = c;
    Inspector->SetColor(c);
    DataTreeForm->SetTreeColor(c);
    ReportTreeForm->SetTreeColor(c);
}

void TfrxDesignerForm::UpdatePageDimensions()
{
    auto* page = DynamicCast<TfrxReportPage>(FPage);
    if (!page) return;
    ScrollBox->HorzScrollBar()->SetPosition(0);
    ScrollBox->VertScrollBar()->SetPosition(0);
    Workspace->SetOrigin(Point(10, 10));
    auto px = [](double mm) { return int(std::nearbyint(mm * 96 / 25.4)); };
    double h = page->PaperHeight() * (page->LargeDesignHeight ? 5 : 1);
    Workspace->SetPageDimensions(px(page->PaperWidth()), px(h),
                                 Rect(px(page->LeftMargin), px(page->TopMargin), px(page->RightMargin),
                                      px(page->BottomMargin)));
    ScrollBoxResize(nullptr);
}

void TfrxDesignerForm::ScrollBoxResize(TObject*)
{
    if (!Workspace || !TopRuler) return;
    const int l = Workspace->Left(), t = Workspace->Top();
    if (l < 0) {
        TopRuler->SetOffset(ScrollBox->Left() + 2);
        TopRuler->SetStart(-l);
    } else {
        TopRuler->SetOffset(ScrollBox->Left() + l + 2);
        TopRuler->SetStart(0);
    }
    if (t < 0) {
        LeftRuler->SetOffset(2);
        LeftRuler->SetStart(-t);
    } else {
        LeftRuler->SetOffset(t + 2);
        LeftRuler->SetStart(0);
    }
}

// ---- pages ------------------------------------------------------------------------------------------

void TfrxDesignerForm::SetPage(TfrxPage* value)
{
    TfrxCustomDesigner::SetPage(value);
    int index = -1;
    for (int i = 0; value && i < Report()->PagesCount(); ++i)
        if (Report()->PageAt(i) == value) index = i;
    Tab->SetTabIndex(index + 1);
    AttachDialogForm(false);
    ScrollBoxPanel->SetVisible(value != nullptr);
    CodePanel->SetVisible(value == nullptr);
    UpdatePalette();
    UpdateControls();
    if (!value) {
        if (FCodeWindow->CanFocus()) FCodeWindow->SetFocus();
        return;
    }
    if (auto* rp = DynamicCast<TfrxReportPage>(value)) {
        if (Workspace->Parent() != ScrollBox) Workspace->SetParent(ScrollBox);
        Workspace->SetAlign(alNone);
        Workspace->SetColor(WorkspaceColor);
        Workspace->SetScale(Scale);
        SetUnits(rp->InheritsFrom(TfrxDMPPage::StaticClass()) ? 3 : SavedUnits);
        UpdatePageDimensions();
        if (Visible() && ScrollBox->CanFocus()) ScrollBox->SetFocus();
    } else if (auto* dp = DynamicCast<TfrxDialogPage>(value)) {
        SetUnits(2);
        DialogForm = new TForm(this);
        DialogForm->SetCaption(dp->Caption);
        DialogForm->SetBounds(int(dp->Left()), int(dp->Top()), int(dp->Width()), int(dp->Height()));
        Workspace->SetParent(DialogForm);
        Workspace->SetAlign(alClient);
        Workspace->SetGridType(gtDialog);
        Workspace->GridX = Workspace->GridY = Grid4;
        Workspace->SetColor(dp->Color);
        Workspace->SetScale(1);
        Workspace->SetPageDimensions(0, 0, Rect(0, 0, 0, 0));
        AttachDialogForm(true);
        DialogForm->Show();
    }
    ReloadObjects();
    RestoreScrollPosition(Tab->TabIndex());
}

void TfrxDesignerForm::AttachDialogForm(bool attach)
{
    if (attach) {
        if (!DialogForm) return;
        DialogForm->SetParent(ScrollBox);
        DialogForm->OnResize = [this](TObject*) {
            auto* dp = DynamicCast<TfrxDialogPage>(FPage);
            if (!dp || !DialogForm) return;
            dp->SetBounds(DialogForm->Left(), DialogForm->Top(), DialogForm->Width(), DialogForm->Height());
            SetModified(true);
        };
        return;
    }
    if (!DialogForm) return;
    TForm* f = DialogForm;
    DialogForm = nullptr;
    if (Workspace && Workspace->Parent() == f) {
        Workspace->SetAlign(alNone);
        Workspace->SetParent(ScrollBox);
    }
    f->OnResize = nullptr;
    f->Hide();
    f->Release();
}

void TfrxDesignerForm::ReloadPages()
{
    int index = -1;
    for (int i = 0; FPage && i < Report()->PagesCount(); ++i)
        if (Report()->PageAt(i) == FPage) index = i;
    ReloadPages(index);
}

void TfrxDesignerForm::ReloadPages(int index)
{
    AttachDialogForm(false);
    Tab->Tabs()->BeginUpdate();
    Tab->Tabs()->Clear();
    Tab->Tabs()->Add(Res("dsCode"));
    for (int i = 0; i < Report()->PagesCount(); ++i) {
        TfrxPage* p = Report()->PageAt(i);
        if (!p) continue;
        p->SetIsDesigning(true);
        std::string text;
        if (auto* rp = DynamicCast<TfrxReportPage>(p); rp && rp->SubReport()) text = rp->SubReport()->Name();
        else if (!p->Name().empty()) text = p->Name();
        else text = Res("dsPage") + IntToStr(i + 1);
        Tab->Tabs()->Add(text);
    }
    Tab->Tabs()->EndUpdate();
    if (index == -1) SetPage(nullptr);
    else if (index < Report()->PagesCount()) SetPage(Report()->PageAt(index));
    else SetPage(Report()->PageAt(0));
}

void TfrxDesignerForm::Lock()
{
    Objects()->Clear();
    SelectedObjects()->Clear();
    AttachDialogForm(false);
    Workspace->Lock();
    FPage = nullptr;
    Workspace->SetPage(nullptr);
    Inspector->Lock();
    Inspector->SetObjectList(Objects());
    Inspector->Inspect({});
    ReportTreeForm->UpdateItems();
}

void TfrxDesignerForm::ReloadReport()
{
    if (Report()->PagesCount() == 0) {
        Report()->Clear();
        auto* p = new TfrxReportPage(Report());
        p->SetName("Page1");
    }
    LangCB->SetItemIndex(LangCB->Items()->IndexOf(Report()->ScriptLanguage));
    FCodeWindow->SetLines(Report()->ScriptText());
    UpdateScriptDialogs();
    ReloadPages(0);
    UpdateRecentFiles(Report()->FileName);
    UpdateCaption();
    UpdateDataTree();
    UndoBuffer->ClearUndo();
    UndoBuffer->ClearRedo();
    SetModified(false);
}

TStrings* TfrxDesignerForm::GetCode() { return FCodeWindow->GetLines(); }

void TfrxDesignerForm::CopyFromCode() { Report()->ScriptText()->Assign(FCodeWindow->GetLines()); }

std::string TfrxDesignerForm::InsertExpression(const std::string& text)
{
    auto& dlg = frxDesgnForm::Dialogs();
    if (!dlg.Expression) {
        ::MessageBox(frxDesgnForm::DialogMissingText, Res("mbConfirm"), MB_OK | MB_ICONINFORMATION);
        return std::string();
    }
    std::string t = text;
    return dlg.Expression(this, t) ? t : std::string();
}

void TfrxDesignerForm::UpdateDataTree()
{
    if (!DataTreeForm) return;
    DataTreeForm->SetReport(Report());
    DataTreeForm->UpdateItems();
}

void TfrxDesignerForm::UpdatePage()
{
    Workspace->UpdateView();
    Workspace->Invalidate();
}

void TfrxDesignerForm::ReloadObjects()
{
    Objects()->Clear();
    if (FPage)
        for (TfrxComponent* c : FPage->AllObjects()) Objects()->Add(c);
    Objects()->Add(Report());
    if (FPage) Objects()->Add(FPage);
    SelectedObjects()->Clear();
    if (FPage) SelectedObjects()->Add(FPage);
    Workspace->SetPage(FPage);
    Workspace->Unlock();
    Inspector->Unlock();
    Workspace->UpdateView();
    Workspace->Invalidate();
    UpdateDataTree();
    ReportTreeForm->UpdateItems();
    SelectionChanged(this);
}

TfrxComponent* TfrxDesignerForm::FirstSelected() const
{
    return SelectedObjects()->Count() > 0 ? static_cast<TfrxComponent*>(SelectedObjects()->Items(0)) : nullptr;
}

std::vector<TfrxComponent*> TfrxDesignerForm::Selection() const
{
    std::vector<TfrxComponent*> out;
    for (void* p : *SelectedObjects()) out.push_back(static_cast<TfrxComponent*>(p));
    return out;
}

void TfrxDesignerForm::SelectionChanged(TObject* source)
{
    if (source == ReportTreeForm) {
        TfrxComponent* first = FirstSelected();
        if (first && first != Report() && FPage && first->Page() && first->Page() != FPage) {
            SetPage(first->Page());
            SelectedObjects()->Clear();
            SelectedObjects()->Add(first);
            ReportTreeForm->UpdateItems();
        }
    } else {
        ReportTreeForm->UpdateItems();
    }
    if (source != Workspace) {
        Workspace->UpdateView();
        Workspace->Invalidate();
    }
    if (source != Inspector) {
        Inspector->SetObjectList(Objects());
        Inspector->UpdateProperties();
    }
    UpdateControls();
}

void TfrxDesignerForm::ObjectModified(TObject* source)
{
    ChangeOrigin = source;
    SetModified(true);
}

void TfrxDesignerForm::SetModified(bool value)
{
    TfrxCustomDesigner::SetModified(value);
    CopyFromCode();
    if (UndoBuffer) {
        UndoBuffer->AddUndo(Report());
        UndoBuffer->ClearRedo();
    }
    SaveCmd->SetEnabled(value && IsAllowed(drDontSaveReport));
    // Undo and redo follow every change, also those the window made itself.
    UpdateUndoState();
    if (ChangeOrigin != this) UpdateControls();
    if (ChangeOrigin == Inspector) {
        // Renaming a page or a subreport renames its tab.
        TfrxComponent* first = FirstSelected();
        if (first && (first == FPage || first->InheritsFrom(TfrxSubreport::StaticClass()))) ReloadPages();
    }
    if (ChangeOrigin != Workspace) {
        Workspace->UpdateView();
        Workspace->Invalidate();
    }
    if (ChangeOrigin != Inspector) Inspector->UpdateProperties();
    ReportTreeForm->UpdateItems();
    ChangeOrigin = nullptr;
}

// ---- the tool bars from the selection -----------------------------------------------------------

void TfrxDesignerForm::UpdateControls()
{
    if (!SaveCmd || !UndoBuffer) return;
    UpdatingControls = true;
    const int count = SelectedObjects()->Count();
    TfrxComponent* p = FirstSelected();
    const bool onPage = FPage != nullptr;
    const bool dmpReport = Report()->DotMatrixReport;
    const bool pIsDmpPage = p && p->InheritsFrom(TfrxDMPPage::StaticClass());
    const bool dmpPage = FPage && FPage->InheritsFrom(TfrxDMPPage::StaticClass());
    const bool notDmp = !dmpPage;
    const bool several = count > 1;
    const bool hasFont = HasProp(p, "Font"), hasFrame = HasProp(p, "Frame"), hasColor = HasProp(p, "Color");
    auto* memo = DynamicCast<TfrxCustomMemoView>(p);
    const bool isMemo = memo != nullptr;
    const bool dmpText = p && (p->InheritsFrom(TfrxDMPMemoView::StaticClass()) || pIsDmpPage ||
                               (GetClass("TfrxDMPLineView") && p->InheritsFrom(GetClass("TfrxDMPLineView"))));

    std::vector<TToolButton*> released{BoldB, ItalicB, UnderlineB, TextAlignLeftB, TextAlignCenterB,
                                       TextAlignRightB, TextAlignBlockB, TextAlignTopB, TextAlignMiddleB,
                                       TextAlignBottomB, FrameTopB, FrameBottomB, FrameLeftB, FrameRightB, ShadowB};
    if (count == 1 && p) {
        FontNameCB->SetText(p->Font()->Name());
        FontSizeCB->SetText(IntToStr(p->Font()->Size()));
        BoldB->SetDown(p->Font()->Style() & TfrxFont::Bold);
        ItalicB->SetDown(p->Font()->Style() & TfrxFont::Italic);
        UnderlineB->SetDown(p->Font()->Style() & TfrxFont::Underline);
        if (memo) {
            TextAlignLeftB->SetDown(memo->HAlign == frxClass::haLeft);
            TextAlignCenterB->SetDown(memo->HAlign == frxClass::haCenter);
            TextAlignRightB->SetDown(memo->HAlign == frxClass::haRight);
            TextAlignBlockB->SetDown(memo->HAlign == frxClass::haBlock);
            TextAlignTopB->SetDown(memo->VAlign == frxClass::vaTop);
            TextAlignMiddleB->SetDown(memo->VAlign == frxClass::vaCenter);
            TextAlignBottomB->SetDown(memo->VAlign == frxClass::vaBottom);
            if (!p->InheritsFrom(TfrxDMPMemoView::StaticClass())) {
                int i = StyleCB->Items()->IndexOf(memo->Style());
                StyleCB->SetItemIndex(memo->Style().empty() || i < 0 ? 0 : i);
            }
        } else {
            for (TToolButton* b : {TextAlignLeftB, TextAlignCenterB, TextAlignRightB, TextAlignBlockB, TextAlignTopB,
                                   TextAlignMiddleB, TextAlignBottomB})
                b->SetDown(false);
        }
        TfrxFrame* frame = nullptr;
        if (auto* v = DynamicCast<TfrxView>(p)) frame = v->Frame();
        else if (auto* rp = DynamicCast<TfrxReportPage>(p)) frame = rp->Frame();
        if (frame) {
            FrameTopB->SetDown(frame->Typ.Contains(ftTop));
            FrameBottomB->SetDown(frame->Typ.Contains(ftBottom));
            FrameLeftB->SetDown(frame->Typ.Contains(ftLeft));
            FrameRightB->SetDown(frame->Typ.Contains(ftRight));
            ShadowB->SetDown(frame->DropShadow);
            FrameWidthCB->SetText(FloatToStr(frame->Width));
        } else {
            for (TToolButton* b : {FrameTopB, FrameBottomB, FrameLeftB, FrameRightB, ShadowB}) b->SetDown(false);
            FrameWidthCB->SetText("");
        }
    } else {
        FontNameCB->SetText("");
        FontSizeCB->SetText("");
        FrameWidthCB->SetText("");
        for (TToolButton* b : released) b->SetDown(false);
    }

    auto enable = [](TControl* c, bool on) {
        c->SetEnabled(on);
        if (auto* b = DynamicCast<TToolButton>(c); b && !on && b->Style() == tbsCheck) b->SetDown(false);
    };
    const bool fontOn = ((hasFont && !pIsDmpPage && onPage) || several) && notDmp;
    for (TControl* c : std::initializer_list<TControl*>{FontNameCB, FontSizeCB, BoldB, ItalicB, UnderlineB, FontColorB})
        enable(c, fontOn);
    enable(FontB, (hasFont && !pIsDmpPage && onPage) || dmpText || several);
    const bool textOn = (isMemo && onPage) || several;
    for (TToolButton* b : {TextAlignLeftB, TextAlignCenterB, TextAlignRightB, TextAlignBlockB, TextAlignTopB,
                           TextAlignMiddleB, TextAlignBottomB})
        enable(b, textOn);
    for (TControl* c : std::initializer_list<TControl*>{StyleCB, HighlightB, RotateB}) enable(c, textOn && notDmp);
    const bool lineOrShape = p && (p->InheritsFrom(TfrxCustomLineView::StaticClass()) ||
                                   p->InheritsFrom(TfrxShapeView::StaticClass()));
    const bool frameOn = (hasFrame && !lineOrShape && !pIsDmpPage && onPage) || several;
    for (TToolButton* b : {FrameTopB, FrameBottomB, FrameLeftB, FrameRightB, FrameAllB, FrameNoB, ShadowB})
        enable(b, frameOn);
    const bool frameStyleOn = ((hasFrame && !pIsDmpPage && onPage) || several) && notDmp;
    for (TControl* c : std::initializer_list<TControl*>{FrameColorB, FrameStyleB, FrameWidthCB}) enable(c, frameStyleOn);
    enable(FillColorB, hasColor && !pIsDmpPage && onPage && notDmp);
    const bool reportPage = FPage && FPage->InheritsFrom(TfrxReportPage::StaticClass());
    enable(SampleFormatB, (count == 1 && isMemo && onPage) || (reportPage && count == 1 && p == FPage));
    UpdateUndoState();
    const bool objectsSelected = onPage && count > 0 && p != FPage;
    CutCmd->SetEnabled(!onPage || objectsSelected);
    CopyCmd->SetEnabled(!onPage || objectsSelected);
    PageSettingsCmd->SetEnabled(reportPage && IsAllowed(drDontChangePageOptions));
    DeletePageCmd->SetEnabled(Report()->PagesCount() > 1 && onPage && IsAllowed(drDontDeletePage));
    SaveCmd->SetEnabled(Modified() && IsAllowed(drDontSaveReport));
    DeleteCmd->SetEnabled(objectsSelected);
    SetToGridB->SetEnabled(objectsSelected);
    BringToFrontCmd->SetEnabled(objectsSelected);
    SendToBackCmd->SetEnabled(objectsSelected);
    GroupCmd->SetEnabled(objectsSelected && p != Report());
    UngroupCmd->SetEnabled(objectsSelected && p != Report());
    SelectAllCmd->SetEnabled(Objects()->Count() > 2 && onPage);
    EditCmd->SetEnabled(count == 1 && onPage);
    for (TToolButton* b : {HandToolB, ZoomToolB, TextToolB}) enable(b, reportPage);
    ScaleCB->SetEnabled(reportPage);
    enable(FormatToolB, count == 1 && isMemo && onPage);
    TabOrderMI->SetVisible(!reportPage);

    if (dmpReport) {
        FontB->SetStyle(tbsDropDown);
        FontB->SetDropdownMenu(DMPPopup);
    } else {
        FontB->SetStyle(tbsButton);
        FontB->SetDropdownMenu(nullptr);
    }
    TfrxDMPFontStyles dmpStyle;
    if (auto* dm = DynamicCast<TfrxDMPMemoView>(p)) dmpStyle = dm->FontStyle();
    else if (auto* dpg = DynamicCast<TfrxDMPPage>(p)) dmpStyle = dpg->FontStyle();
    for (int i = 0; i < 9; ++i)
        DMPPopup->Items()->Items(i)->SetChecked(dmpStyle.Contains(TfrxDMPFontStyle(i)));

    PasteState();
    StatusBar->Panels()->Items(2)->SetText(SelectionDescription());
    UpdatingControls = false;
}

void TfrxDesignerForm::UpdateUndoState()
{
    if (!UndoBuffer || !UndoCmd) return;
    UndoCmd->SetEnabled(!PreviewPageMode() && (UndoBuffer->UndoCount() > 1 || !FPage));
    RedoCmd->SetEnabled(!PreviewPageMode() && UndoBuffer->RedoCount() > 0 && FPage);
}

std::string TfrxDesignerForm::SelectionDescription() const
{
    if (SelectedObjects()->Count() != 1) return std::string();
    TfrxComponent* p = FirstSelected();
    std::string s = p->Name();
    auto* view = DynamicCast<TfrxView>(p);
    if (view && view->HasDataField())
        s += ": " + Report()->DataSetDisplayName(view->DataSet()) + ".\"" + view->DataField + "\"";
    else if (auto* memo = DynamicCast<TfrxCustomMemoView>(p))
        s += ": " + Copy(memo->Text(), 1, 128);
    if (auto* band = DynamicCast<TfrxDataBand>(p); band && band->DataSet())
        s += ": " + Report()->DataSetDisplayName(band->DataSet());
    else if (auto* gh = DynamicCast<TfrxGroupHeader>(p))
        s += ": " + gh->Condition;
    return s;
}

void TfrxDesignerForm::PasteState()
{
    if (!PasteCmd || !Clipboard) return;
    PasteCmd->SetEnabled(!FPage || Clipboard->PasteAvailable());
}

void TfrxDesignerForm::ShowPosition(const TfrxRect& r)
{
    double fx = 1, fy = 1;
    switch (Units) {
    case 0: fx = fy = 1 / kCm; break;
    case 1: fx = fy = 1 / kInch; break;
    case 3: fx = 1 / kCharX; fy = 1 / kCharY; break;
    default: break;
    }
    const TfrxWorkspaceMode mode = Workspace->Mode();
    double l = r.Left * fx, t = r.Top * fy, w = r.Right, h = r.Bottom;
    if (mode != wmResizeGroup) {
        w *= fx;
        h *= fy;
    }
    if (Units == 3) {
        l = std::nearbyint(l);
        t = std::nearbyint(t);
        if (mode != wmResizeGroup) {
            w = std::nearbyint(w);
            h = std::nearbyint(h);
        }
    }
    PositionText.clear();
    SizeText.clear();
    const std::string pos = Format("%f; %f", {l, t}), size = Format("%f; %f", {w, h});
    if (Workspace->IsMouseDown() || mode == wmPlaceObject) {
        switch (mode) {
        case wmMove:
        case wmResize:
        case wmResizeBand:
        case wmPlaceObject:
        case wmPlaceLine:
            PositionText = pos;
            SizeText = size;
            break;
        case wmResizeGroup:
            PositionText = pos;
            SizeText = Format("%s%f; %s%f", {std::string("%"), w * 100, std::string("%"), h * 100});
            break;
        default: break;
        }
    } else {
        PositionText = pos;
        if (FirstSelected() != FPage) SizeText = size;
    }
    TopRuler->SetPosition(l);
    LeftRuler->SetPosition(t);
    StatusBar->Invalidate();
}

void TfrxDesignerForm::StatusBarDrawPanel(TStatusBar* bar, TStatusPanel*, const TRect& r)
{
    TCanvas* c = bar->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    if (!PositionText.empty()) c->TextOut(r.Left + 20, r.Top + 1, PositionText);
    if (!SizeText.empty()) c->TextOut(r.Left + 130, r.Top + 1, SizeText);
}

// ---- palette ------------------------------------------------------------------------------------

namespace {

bool DescendsFromName(TClass c, const char* name)
{
    TClass base = GetClass(name);
    return c && base && c->InheritsFrom(base);
}

bool CategoryHasClass(const std::string& category)
{
    auto& reg = frxDsgnIntf::ObjectRegistry();
    for (int i = 0; i < reg.Count(); ++i)
        if (reg.GetItem(i).ClassRef && reg.GetItem(i).CategoryName == category) return true;
    return false;
}

bool CategoryIsDialog(const std::string& category)
{
    auto& reg = frxDsgnIntf::ObjectRegistry();
    for (int i = 0; i < reg.Count(); ++i) {
        const TfrxObjectItem& it = reg.GetItem(i);
        if (it.ClassRef && it.CategoryName == category)
            return DescendsFromName(it.ClassRef, "TfrxDialogControl") ||
                   it.ClassRef->InheritsFrom(TfrxDialogComponent::StaticClass());
    }
    return false;
}

std::string EntryHint(const TfrxObjectItem& it)
{
    if (!it.ButtonHint.empty()) return frxRes::Resources().Get(it.ButtonHint);
    if (it.ClassRef) {
        std::unique_ptr<TObject> o(it.ClassRef->Create(nullptr));
        if (auto* c = DynamicCast<TfrxComponent>(o.get())) return c->GetDescription();
    }
    return it.CategoryName;
}

}  // namespace

void TfrxDesignerForm::BuildObjectPalette()
{
    auto& reg = frxDsgnIntf::ObjectRegistry();
    PaletteButtons.clear();
    auto add = [this](int index, TfrxObjectItem& it) {
        if (!it.ClassRef && !CategoryHasClass(it.CategoryName)) return;
        std::string hint = EntryHint(it);
        auto* b = new TToolButton(this);
        b->SetTag(index);
        b->SetStyle(tbsCheck);
        b->SetGrouped(true);
        b->SetHint(hint);
        b->SetShowHint(true);
        b->SetImageIndex(Glyph(ObjectImages, Copy(hint.empty() ? std::string("?") : hint, 1, 1), 22));
        b->OnClick = [this](TObject* s) { ObjectsButtonClick(s); };
        b->SetBounds(30000, 30000, b->Width(), b->Height());
        b->SetParent(ObjectsTB1);
        PaletteButtons.push_back(b);
    };
    for (int i = 0; i < reg.Count(); ++i) {
        TfrxObjectItem& it = reg.GetItem(i);
        if (it.ClassRef && it.CategoryName.empty()) add(i, it);
    }
    for (int i = 0; i < reg.Count(); ++i) {
        TfrxObjectItem& it = reg.GetItem(i);
        if (!it.ClassRef) add(i, it);
    }
    ObjectsTB1->ArrangeButtons();
}

void TfrxDesignerForm::UpdatePalette()
{
    ObjectSelectB->SetDown(true);
    SelectTool();
    const bool dialog = FPage && FPage->InheritsFrom(TfrxDialogPage::StaticClass());
    const bool dmp = FPage && FPage->InheritsFrom(TfrxDMPPage::StaticClass());
    for (TToolButton* b : {HandToolB, ZoomToolB, TextToolB, FormatToolB, ObjectBandB}) b->SetVisible(!dialog);
    auto& reg = frxDsgnIntf::ObjectRegistry();
    for (TToolButton* b : PaletteButtons) {
        const TfrxObjectItem& it = reg.GetItem(int(b->Tag()));
        bool isDialog = it.ClassRef ? DescendsFromName(it.ClassRef, "TfrxDialogControl")
                                    : CategoryIsDialog(it.CategoryName);
        bool visible = dialog ? isDialog : !isDialog;
        if (dmp && it.ClassRef) {
            for (const char* n : {"TfrxMemoView", "TfrxSysMemoView", "TfrxLineView", "TfrxPictureView"})
                if (std::string(it.ClassRef->Name) == n) visible = false;
        }
        if (dmp && !it.ClassRef && it.CategoryName == "Draw") visible = false;
        if (!dmp && it.ClassRef) {
            for (const char* n : {"TfrxDMPMemoView", "TfrxDMPLineView"})
                if (std::string(it.ClassRef->Name) == n) visible = false;
        }
        b->SetVisible(visible);
    }
    ObjectsTB1->ArrangeButtons();
}

// ---- tabs ---------------------------------------------------------------------------------------

bool TfrxDesignerForm::TabChanging()
{
    // The code page stays while a run waits at one of its lines.
    if (PreviewPageMode() || (Debug && Debug->ScriptRunning)) return false;
    if (Tab->TabIndex() == 0 && FCodeWindow->Model()->Modified) {
        SetModified(true);
        FCodeWindow->Model()->Modified = false;
    }
    SaveScrollPosition(Tab->TabIndex());
    return true;
}

void TfrxDesignerForm::TabChange()
{
    const int i = Tab->TabIndex();
    if (i <= 0) SetPage(nullptr);
    else SetPage(Report()->PageAt(i - 1));
}

void TfrxDesignerForm::MoveTab(int from, int to)
{
    if (from < 1 || to < 1 || from == to || from > Report()->PagesCount() || to > Report()->PagesCount()) return;
    TfrxPage* page = Report()->PageAt(from - 1);
    frxDesgnForm::MoveChild(Report(), page, to - 1);
    ReloadPages(to - 1);
    SetModified(true);
}

void TfrxDesignerForm::SaveScrollPosition(int tab)
{
    if (tab < 1 || tab > 254) return;
    TabScrollPositions[size_t(tab)] = IntToStr(ScrollBox->HorzScrollBar()->Position()) + ":" +
                                      IntToStr(ScrollBox->VertScrollBar()->Position());
}

void TfrxDesignerForm::RestoreScrollPosition(int tab)
{
    if (tab < 1 || tab > 254) return;
    const std::string& s = TabScrollPositions[size_t(tab)];
    int h = 0, v = 0;
    if (auto colon = s.find(':'); colon != std::string::npos) {
        h = StrToIntDef(s.substr(0, colon), 0);
        v = StrToIntDef(s.substr(colon + 1), 0);
    }
    ScrollBox->VertScrollBar()->SetPosition(v);
    ScrollBox->HorzScrollBar()->SetPosition(h);
}

// ---- tool windows -------------------------------------------------------------------------------

bool TfrxDesignerForm::ToolWindowShown(int tag) const
{
    TfrxToolBar* bars[] = {StandardTB, TextTB, FrameTB, AlignTB, ExtraToolsTB};
    if (tag >= 0 && tag < 5) return bars[tag]->IsVisible();
    if (tag == 5) return Inspector->Visible();
    if (tag == 6) return DataTreeForm->Visible();
    if (tag == 7) return ReportTreeForm->Visible();
    return false;
}

void TfrxDesignerForm::ShowToolWindow(int tag, bool show)
{
    TfrxToolBar* bars[] = {StandardTB, TextTB, FrameTB, AlignTB, ExtraToolsTB};
    if (tag >= 0 && tag < 5) {
        TfrxToolBar* tb = bars[tag];
        if (tb->Floating()) {
            tb->SetBarVisible(show);
            return;
        }
        TfrxDock* dock = tb->Dock();
        if (show && dock) tb->AddToDock(dock);
        tb->SetBarVisible(show);
        if (dock) dock->AdjustBounds();
        return;
    }
    TForm* w = tag == 5   ? static_cast<TForm*>(Inspector)
               : tag == 6 ? static_cast<TForm*>(DataTreeForm)
               : tag == 7 ? static_cast<TForm*>(ReportTreeForm)
                          : nullptr;
    if (!w) return;
    if (w->HostDockSite()) w->ManualFloat(w->BoundsRect());
    w->SetVisible(show);
}

// ---- closing ------------------------------------------------------------------------------------

int TfrxDesignerForm::AskSave()
{
    const std::string text = PreviewPageMode() ? Res("dsSavePreviewChanges")
                                               : Res("dsSaveChangesTo") + ReportFileTitle() + "?";
    return ::MessageBox(text, Res("mbConfirm"), MB_YESNOCANCEL | MB_ICONQUESTION);
}

bool TfrxDesignerForm::CloseQuery()
{
    // The running script and the engine use the report: the window stays.
    if (Debug && Debug->ScriptRunning) return false;
    CopyFromCode();
    if (FCodeWindow->Model()->Modified) {
        // A change in the code counts as a change of the layout.
        FCodeWindow->Model()->Modified = false;
        SetModified(true);
    }
    bool can = true;
    if (frxDesgn::CloseQueryWanted() && Modified() && IsAllowed(drDontSaveReport)) {
        const int answer = AskSave();
        if (PreviewPageMode()) {
            if (answer == IDNO) TfrxCustomDesigner::SetModified(false);
            can = answer != IDCANCEL;
        } else if (answer == IDYES) {
            // The window closes only when the layout was stored: a save
            // cancelled or refused keeps the changes in front of the operator.
            SaveReport(false, true);
            can = !Modified();
        } else {
            can = answer == IDNO;
        }
    }
    if (!can) return false;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TfrxDesignerForm::DoClose(TCloseAction& action)
{
    TfrxCustomDesigner::DoClose(action);
    Closed = true;
}

bool TfrxDesignerForm::IsShortCut(TMessage& msg)
{
    const WORD key = WORD(msg.WParam);
    const TShiftState shift = KeyDataToShiftState(msg.LParam);
    if (key == VK_RETURN && ActiveControl() == FontSizeCB) {
        ToolButtonClick(FontSizeCB);
        return true;
    }
    if (key == VK_RETURN && ActiveControl() == ScaleCB) {
        ScaleChosen(ScaleCB->Text(), -1);
        return true;
    }
    if (FPage && key == VK_INSERT && shift == TShiftState{ssShift}) {
        PasteCmd->Execute();
        return true;
    }
    if (FPage && key == VK_INSERT && shift == TShiftState{ssCtrl}) {
        CopyCmd->Execute();
        return true;
    }
    if (key == VK_DELETE && shift == TShiftState{ssShift}) {
        CutCmd->Execute();
        return true;
    }
    if (key == 'E' && shift == TShiftState{ssCtrl}) {
        if (TabChanging()) SetPage(nullptr);
        return true;
    }
    // The script's run: F9 runs, F7 or F8 steps, F4 or F5 runs to the caret's
    // line, Ctrl+F2 stops, Ctrl+F7 evaluates.
    if (shift.Empty() && key == VK_F9) {
        Debug->RunScriptBClick(false);
        return true;
    }
    if (shift.Empty() && (key == VK_F7 || key == VK_F8)) {
        Debug->RunScriptBClick(true);
        return true;
    }
    if (shift.Empty() && (key == VK_F4 || key == VK_F5)) {
        Debug->RunToCaret();
        return true;
    }
    if (shift == TShiftState{ssCtrl} && key == VK_F2) {
        Debug->StopScriptBClick();
        return true;
    }
    if (shift == TShiftState{ssCtrl} && key == VK_F7) {
        Debug->EvaluateBClick();
        return true;
    }
    // Keys typed into the code window are its own, not the page's commands.
    if (!FPage && ActiveControl() == FCodeWindow && shift == TShiftState{ssCtrl} &&
        (key == 'X' || key == 'C' || key == 'V' || key == 'Z' || key == 'A'))
        return false;
    return TfrxCustomDesigner::IsShortCut(msg);
}

// ---- the designer runner ------------------------------------------------------------------------

namespace frxDesgnForm {

void MoveChild(TfrxComponent* parent, TfrxComponent* child, int index)
{
    std::vector<TfrxComponent*> order = parent->Objects();
    auto it = std::find(order.begin(), order.end(), child);
    if (it == order.end()) return;
    order.erase(it);
    index = std::clamp(index, 0, int(order.size()));
    order.insert(order.begin() + index, child);
    for (TfrxComponent* c : order) {
        c->SetParent(nullptr);
        c->SetParent(parent);
    }
}

const char* const DialogMissingText = "这个对话窗口尚未安装.";

TDialogs& Dialogs()
{
    static TDialogs d;
    return d;
}

namespace {
TfrxDesignerForm* GOpen = nullptr;
}

TfrxDesignerForm* OpenWindow() { return GOpen; }

bool OpenDesigner(TfrxReport* report, bool previewPageMode)
{
    // The other windows are disabled while the designer is open, and
    // enabled again however it ends.
    std::vector<TWeakRef<TCustomForm>> disabled;
    for (int i = 0; Screen && i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (f->Visible() && f->Enabled()) {
            f->SetEnabled(false);
            disabled.emplace_back(f);
        }
    }
    struct TReEnable {
        std::vector<TWeakRef<TCustomForm>>& Forms;
        ~TReEnable()
        {
            for (auto& w : Forms)
                if (TCustomForm* f = w.Get()) f->SetEnabled(true);
        }
    } reEnable{disabled};

    auto window = std::make_unique<TfrxDesignerForm>(nullptr, report, previewPageMode);
    TfrxDesignerForm* form = window.get();
    GOpen = form;
    struct TClearOpen {
        ~TClearOpen() { GOpen = nullptr; }
    } clearOpen;
    form->Show();
    while (!form->Closed && !(Application && Application->Terminated())) {
        if (!form->Visible()) break;
        Application->HandleMessage();
    }
    const bool modified = form->Modified();
    window.reset();
    return modified;
}

void Initialize()
{
    TDialogs& d = Dialogs();
    if (!d.PageSettings)
        d.PageSettings = [](TfrxDesignerForm* f, TfrxReportPage*) { return frxEditPage::EditPage(f, f); };
    frxClass::DesignerRunner = [](TfrxReport* report, bool previewPageMode) {
        return OpenDesigner(report, previewPageMode);
    };
}

void Finalize() { frxClass::DesignerRunner = nullptr; }

}  // namespace frxDesgnForm
