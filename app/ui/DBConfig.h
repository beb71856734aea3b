// Start-up: the splash window, the connection dialog with the
// connect-or-configure loop, and the shared image lists.
#pragma once

#include "a.h"
#include "ImgList.h"
#include "qzCtrls.h"

#include <memory>
#include <string>

class TConfiger;
class TOpenDialog;

class TSplashFrm : public TForm {
    QZ_CLASS(TSplashFrm, TForm)
public:
    explicit TSplashFrm(TComponent* owner = nullptr);
    TImage* Image1 = nullptr;
    TLabel* Label1 = nullptr;
    // A text replaces the caption; an empty one adds a dot. Painted at once,
    // as the message loop does not run yet.
    void ShowHint(const std::string& text);
};

extern TSplashFrm* GSplash;

class TDBConfigFrm : public TForm {
    QZ_CLASS(TDBConfigFrm, TForm)
public:
    explicit TDBConfigFrm(TComponent* owner = nullptr);
    ~TDBConfigFrm() override;

    TComboBox* ComboBox1 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TNotebook* Notebook1 = nullptr;
    TqzEdit* mssqlServerEdit1 = nullptr;
    TqzEdit* mssqlPortEdit1 = nullptr;
    TqzEdit* mssqlDbEdit1 = nullptr;
    TqzEdit* mssqlUserEdit1 = nullptr;
    TqzEdit* mssqlPwEdit1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* jetDefaultCheckBox1 = nullptr;
    TqzEdit* jetfileEdit1 = nullptr;
    TButton* jetFileButton1 = nullptr;
    TqzEdit* jetUserEdit1 = nullptr;
    TqzEdit* jetPwEdit1 = nullptr;
    TqzEdit* edtDipUrl1 = nullptr;
    TqzEdit* edtDipUser1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;

    TConfiger* Configer() const { return FConfiger.get(); }
    std::string GetConnStr();
    // Copies the controls into the settings and saves them; a port that is
    // no whole number raises before anything is saved.
    void SaveSettings();

protected:
    void KeyDown(WORD& key, TShiftState shift) override;

private:
    void FillControls();
    void JetDefaultClick();
    std::unique_ptr<TConfiger> FConfiger;
};

namespace DBConfig {
// Connects GDatabase with the stored settings, showing the connection
// dialog after each failure until a connection opens or the operator
// cancels; true when connected.
bool ConnectDatabase();
}

// The shared image lists of the menus, the tool bar and the tree.
class TPubFrm : public TComponent {
    QZ_CLASS(TPubFrm, TComponent)
public:
    explicit TPubFrm(TComponent* owner = nullptr);
    TImageList* ImageList1 = nullptr;    // 27 pictures of 16 x 16
    TImageList* ImageList32 = nullptr;   // 9 pictures of 32 x 32
};

extern TPubFrm* PubFrm;
