#include "DBConfig.h"

#include "Database.h"
#include "Dialogs.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "qzProj.h"

QZ_CLASS_IMPL(TSplashFrm, TForm)
QZ_CLASS_IMPL(TDBConfigFrm, TForm)
QZ_CLASS_IMPL(TPubFrm, TComponent)

TSplashFrm* GSplash = nullptr;
TPubFrm* PubFrm = nullptr;

// ---- splash --------------------------------------------------------------------------------

TSplashFrm::TSplashFrm(TComponent* owner) : TForm(owner)
{
    SetName("SplashFrm");
    SetBorderStyle(fbsNone);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    SetClientSize(386, 271);
    SetColor(TColor(0x6B3A1E));
    Image1 = UiKit::Make<TImage>(this, this, 0, 0, 386, 200);
    Image1->SetAlign(alTop);
    const std::string pic = qzProj::ProgramFolder() + PathDelim + "splash.jpg";
    if (FileExists(pic)) {
        try {
            Image1->Picture()->LoadFromFile(pic);
            Image1->SetAutoSize(true);
        } catch (const Exception&) {
            // A damaged picture leaves the splash plain.
        }
    }
    auto* title = UiKit::MakeLabel(this, this, qzProj::ProductTitle, 30, 90);
    title->SetTransparent(true);
    title->Font()->SetName("宋体");
    title->Font()->SetSize(20);
    title->Font()->SetColor(clWhite);
    title->Font()->SetStyle({fsBold});
    title->SetVisible(Image1->Picture()->Graphic() == nullptr);
    Label1 = UiKit::MakeLabel(this, this, "正在创建数据连接...", 5, 207);
    Label1->SetTransparent(true);
    Label1->Font()->SetName("宋体");
    Label1->Font()->SetHeight(-12);
    Label1->Font()->SetColor(clSilver);
}

void TSplashFrm::ShowHint(const std::string& text)
{
    Label1->SetCaption(text.empty() ? Label1->Caption() + "." : text);
    Label1->Repaint();
    if (Application) Application->ProcessMessages();
}

// ---- connection dialog ---------------------------------------------------------------------

TDBConfigFrm::TDBConfigFrm(TComponent* owner) : TForm(owner), FConfiger(std::make_unique<TConfiger>())
{
    SetName("DBConfigFrm");
    SetCaption("数据库连接");
    SetBorderStyle(fbsDialog);
    SetPosition(poMainFormCenter);
    SetKeyPreview(true);
    SetColor(clBtnFace);
    Font()->SetName("宋体");
    Font()->SetSize(9);
    SetClientSize(516, 368);
    UiKit::MakeLabel(this, this, "注意，程序无法正常连接到指定的数据库。", 16, 12)->Font()->SetStyle({fsBold});
    UiKit::MakeLabel(this, this, "1.单机版用户，请检查数据库文件是否存在或者已被破坏；", 32, 34);
    UiKit::MakeLabel(this, this, "2.网络版用户，请检查网络是否畅通以及数据库服务器是否启动。", 32, 54);
    UiKit::MakeLabel(this, this, "另外，请检查以下连接参数是否正确：", 16, 78);
    UiKit::MakeLabel(this, this, "提供者", 16, 106);
    ComboBox1 = UiKit::Make<TComboBox>(this, this, 72, 102, 428, 22);
    ComboBox1->SetStyle(csOwnerDrawFixed);
    for (const char* s : {"Microsoft OLE DB Provider for Sql Server", "Microsoft Jet 4.0 OLE DB Provider",
                          "Torvan Dip Provider for Sql Server"})
        ComboBox1->Items()->Add(s);
    ComboBox1->OnChange = [this](TObject*) {
        if (ComboBox1->ItemIndex() >= 0) Notebook1->SetPageIndex(ComboBox1->ItemIndex());
    };
    GroupBox1 = UiKit::Make<TGroupBox>(this, this, 16, 134, 484, 186);
    GroupBox1->SetCaption("参数");
    Notebook1 = UiKit::Make<TNotebook>(this, GroupBox1, 8, 18, 468, 160);
    Notebook1->Pages()->Clear();
    TPage* mssql = Notebook1->InsertPage(0, "mssql");
    TPage* jet = Notebook1->InsertPage(1, "jet4");
    TPage* dip = Notebook1->InsertPage(2, "qzdip");
    auto field = [this](TWinControl* page, const char* caption, int col, int row, int width = 150) {
        UiKit::MakeLabel(this, page, caption, 8 + col * 236, 8 + row * 30);
        return UiKit::Make<TqzEdit>(this, page, 76 + col * 236, 4 + row * 30, width, 21);
    };
    mssqlServerEdit1 = field(mssql, "服务器", 0, 0);
    mssqlPortEdit1 = field(mssql, "端口", 1, 0);
    mssqlPortEdit1->SetText("1433");
    mssqlDbEdit1 = field(mssql, "数据库名", 0, 1);
    mssqlUserEdit1 = field(mssql, "登陆名", 0, 2);
    mssqlPwEdit1 = field(mssql, "密 码", 1, 2);
    mssqlPwEdit1->SetPasswordChar('*');
    CheckBox1 = UiKit::Make<TCheckBox>(this, mssql, 8, 100, 200, 20);
    CheckBox1->SetCaption("采用智能连接");
    jetDefaultCheckBox1 = UiKit::Make<TCheckBox>(this, jet, 8, 4, 200, 20);
    jetDefaultCheckBox1->SetCaption("使用默认连接");
    jetDefaultCheckBox1->OnClick = [this](TObject*) { JetDefaultClick(); };
    UiKit::MakeLabel(this, jet, "数据库文件:", 8, 38);
    jetfileEdit1 = UiKit::Make<TqzEdit>(this, jet, 86, 34, 330, 21);
    jetFileButton1 = UiKit::MakeButton(this, jet, "...", 420, 33, 30, 23);
    jetFileButton1->OnClick = [this](TObject*) {
        OpenDialog1->FileName = jetfileEdit1->GetText();
        if (OpenDialog1->Execute()) jetfileEdit1->SetText(OpenDialog1->FileName);
    };
    jetUserEdit1 = field(jet, "用户名:", 0, 2);
    jetPwEdit1 = field(jet, "密码:", 1, 2);
    jetPwEdit1->SetPasswordChar('*');
    edtDipUrl1 = field(dip, "DIP地址", 0, 0, 370);
    edtDipUser1 = field(dip, "DIP用户", 0, 1);
    Button1 = UiKit::MakeButton(this, this, "确定(&Y)", 336, 332);
    Button1->SetModalResult(mrOk);
    Button1->OnClick = [this](TObject*) {
        try {
            SaveSettings();
        } catch (const Exception& e) {
            Application->ShowException(e);
        }
    };
    Button2 = UiKit::MakeButton(this, this, "取消", 424, 332);
    Button2->SetCancel(true);
    Button2->SetModalResult(mrCancel);
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Filter = "数据库文件(*.mdb)|*.mdb|所有文件(*.*)|*.*";
    FillControls();
}

TDBConfigFrm::~TDBConfigFrm() = default;

void TDBConfigFrm::FillControls()
{
    TConfiger& c = *FConfiger;
    mssqlServerEdit1->SetText(c.mssqlServer);
    mssqlPortEdit1->SetText(IntToStr(c.mssqlPort));
    mssqlDbEdit1->SetText(c.mssqlDb);
    mssqlUserEdit1->SetText(c.mssqlUser);
    mssqlPwEdit1->SetText(c.mssqlPw);
    jetfileEdit1->SetText(c.jetfile);
    jetUserEdit1->SetText(c.jetUser);
    jetPwEdit1->SetText(c.jetPw);
    edtDipUrl1->SetText(c.dipUrl);
    edtDipUser1->SetText(c.dipUser);
    jetDefaultCheckBox1->SetChecked(c.defaultCon);
    JetDefaultClick();
    const int idx = c.providerIdx >= 0 && c.providerIdx < 3 ? c.providerIdx : 0;
    ComboBox1->SetItemIndex(idx);
    Notebook1->SetPageIndex(idx);
}

void TDBConfigFrm::JetDefaultClick()
{
    const bool on = jetDefaultCheckBox1->Checked();
    for (TWinControl* c : std::initializer_list<TWinControl*>{jetfileEdit1, jetFileButton1, jetUserEdit1, jetPwEdit1})
        c->SetEnabled(!on);
    for (TqzEdit* e : {jetfileEdit1, jetUserEdit1, jetPwEdit1}) e->SetColor(on ? clBtnFace : clWindow);
}

std::string TDBConfigFrm::GetConnStr() { return FConfiger->GetConnStr(); }

void TDBConfigFrm::SaveSettings()
{
    const int port = StrToInt(mssqlPortEdit1->GetText());
    TConfiger& c = *FConfiger;
    c.mssqlServer = mssqlServerEdit1->GetText();
    c.mssqlPort = port;
    c.mssqlDb = mssqlDbEdit1->GetText();
    c.mssqlUser = mssqlUserEdit1->GetText();
    c.mssqlPw = mssqlPwEdit1->GetText();
    c.SmartConnect = CheckBox1->Checked();
    c.jetfile = jetfileEdit1->GetText();
    c.jetUser = jetUserEdit1->GetText();
    c.jetPw = jetPwEdit1->GetText();
    c.dipUrl = edtDipUrl1->GetText();
    c.dipUser = edtDipUser1->GetText();
    c.defaultCon = jetDefaultCheckBox1->Checked();
    c.providerIdx = ComboBox1->ItemIndex();
    c.Save();
}

void TDBConfigFrm::KeyDown(WORD& key, TShiftState shift)
{
    TForm::KeyDown(key, shift);
    if (key == VK_RETURN && ActiveControl() != Button1 && ActiveControl() != Button2) {
        PostMessage(Handle(), WM_NEXTDLGCTL, 0, 0);
        key = 0;
    }
}

namespace DBConfig {

bool ConnectDatabase()
{
    std::unique_ptr<TDBConfigFrm> f(new TDBConfigFrm(nullptr));
    for (;;) {
        if (GDatabase->Connect(f->GetConnStr())) break;
        if (f->ShowModal() != mrOk) break;
        if (Application) Application->ProcessMessages();
    }
    return GDatabase->GetConnected();
}

}  // namespace DBConfig

// ---- image lists ---------------------------------------------------------------------------

namespace {

// The pictures are drawn: a rounded tile in one of a set of colours with a
// mark in the middle, so each index looks different from its neighbours.
void FillList(TImageList* list, int count, int size)
{
    static const TColor colours[] = {TColor(0xC08040), TColor(0x40A040), TColor(0x3050D0), TColor(0x00A0E0),
                                     TColor(0x9040A0), TColor(0x808080), TColor(0xA0A000)};
    list->SetWidth(size);
    list->SetHeight(size);
    for (int i = 0; i < count; ++i) {
        TBitmap bmp;
        bmp.SetSize(size, size);
        TCanvas* c = bmp.Canvas();
        c->Brush()->SetColor(clWhite);
        c->FillRect(Rect(0, 0, size, size));
        c->Brush()->SetColor(colours[i % 7]);
        c->Pen()->SetColor(colours[(i + 3) % 7]);
        c->RoundRect(1, 1, size - 1, size - 1, size / 3, size / 3);
        c->Brush()->SetColor(clWhite);
        const int m = size / 2, r = size / 6 + (i / 7) % 3;
        if (i % 2) c->Ellipse(m - r, m - r, m + r, m + r);
        else c->Rectangle(m - r, m - r, m + r, m + r);
        list->Add(&bmp, nullptr);
    }
}

}  // namespace

TPubFrm::TPubFrm(TComponent* owner) : TComponent(owner)
{
    ImageList1 = new TImageList(this);
    FillList(ImageList1, 27, 16);
    ImageList32 = new TImageList(this);
    FillList(ImageList32, 9, 32);
}
