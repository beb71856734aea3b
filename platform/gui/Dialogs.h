// The common dialogs as components: open and save (through the host
// services, so tests answer them), font and colour.
#pragma once

#include "Controls.h"
#include "HostServices.h"
#include "StringLists.h"

#include <functional>

class TCommonDialog : public TComponent {
    QZ_CLASS(TCommonDialog, TComponent)
public:
    explicit TCommonDialog(TComponent* owner = nullptr) : TComponent(owner) {}
    virtual bool Execute() = 0;
    int HelpContext = 0;
    TNotifyEvent OnShow, OnClose;
};

class TOpenDialog : public TCommonDialog {
    QZ_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* owner = nullptr);
    ~TOpenDialog() override;
    bool Execute() override;
    std::string DefaultExt;
    std::string FileName;
    std::string Filter;
    int FilterIndex = 1;
    std::string InitialDir;
    std::string Title;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    TStrings* Files() const { return FFiles.get(); }
protected:
    virtual bool IsSave() const { return false; }
private:
    std::unique_ptr<TStringList> FFiles;
};

class TSaveDialog : public TOpenDialog {
    QZ_CLASS(TSaveDialog, TOpenDialog)
public:
    using TOpenDialog::TOpenDialog;
protected:
    bool IsSave() const override { return true; }
};

enum TFontDialogOption { fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist,
                         fdNoFaceSel, fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel,
                         fdNoVectorFonts, fdShowHelp, fdWysiwyg, fdLimitSize, fdScalableOnly, fdApplyButton };
using TFontDialogOptions = TSet<TFontDialogOption, 32>;

class TFontDialog : public TCommonDialog {
    QZ_CLASS(TFontDialog, TCommonDialog)
public:
    explicit TFontDialog(TComponent* owner = nullptr);
    ~TFontDialog() override;
    bool Execute() override;
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* f) { FFont->Assign(f); }
    TFontDialogOptions Options{fdEffects};
    int MinFontSize = 0, MaxFontSize = 0;
private:
    std::unique_ptr<TFont> FFont;
};

class TColorDialog : public TCommonDialog {
    QZ_CLASS(TColorDialog, TCommonDialog)
public:
    explicit TColorDialog(TComponent* owner = nullptr);
    ~TColorDialog() override;
    bool Execute() override;
    TColor Color = clBlack;
    TStrings* CustomColors() const { return FCustom.get(); }
private:
    std::unique_ptr<TStringList> FCustom;
};

// Where the font and colour dialogs ask: the window system's dialogs unless
// replaced (tests answer them). A handler returns false for Cancel.
using TFontDialogHandler = std::function<bool(TFont* font, TFontDialogOptions options)>;
using TColorDialogHandler = std::function<bool(TColor& color)>;
void SetFontDialogHandler(TFontDialogHandler h);   // empty restores the window system's
void SetColorDialogHandler(TColorDialogHandler h);
