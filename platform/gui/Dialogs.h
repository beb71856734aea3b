// The common dialogs as components: open and save (pictures too), font,
// colour, find and replace. All of them go through the host services, so
// tests answer them with a recording host.
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

// Opening and saving pictures: the filter offers the picture formats the
// program reads.
class TOpenPictureDialog : public TOpenDialog {
    QZ_CLASS(TOpenPictureDialog, TOpenDialog)
public:
    explicit TOpenPictureDialog(TComponent* owner = nullptr);
};

class TSavePictureDialog : public TSaveDialog {
    QZ_CLASS(TSavePictureDialog, TSaveDialog)
public:
    explicit TSavePictureDialog(TComponent* owner = nullptr);
};

enum TFindOption { frDown, frFindNext, frHideMatchCase, frHideWholeWord, frHideUpDown, frMatchCase,
                   frDisableMatchCase, frDisableUpDown, frDisableWholeWord, frReplace, frReplaceAll,
                   frWholeWord, frShowHelp };
using TFindOptions = TSet<TFindOption, 16>;

// The find dialog stays up while the program searches: Execute shows it and
// returns; each "find next" comes as OnFind with FindText and Options set
// (frFindNext among them).
class TFindDialog : public TCommonDialog {
    QZ_CLASS(TFindDialog, TCommonDialog)
public:
    explicit TFindDialog(TComponent* owner = nullptr) : TCommonDialog(owner) {}
    ~TFindDialog() override;
    bool Execute() override;
    void CloseDialog();
    bool Showing() const { return FShowing; }
    std::string FindText;
    TFindOptions Options{frDown};
    TNotifyEvent OnFind;
protected:
    virtual bool IsReplace() const { return false; }
    // A request of the user's.
    virtual void Request(TFindRequest request, const TFindDialogData& data);
    bool FShowing = false;
};

// As the find dialog, with a replacement: OnReplace comes with frReplace or
// frReplaceAll in Options.
class TReplaceDialog : public TFindDialog {
    QZ_CLASS(TReplaceDialog, TFindDialog)
public:
    explicit TReplaceDialog(TComponent* owner = nullptr) : TFindDialog(owner) {}
    std::string ReplaceText;
    TNotifyEvent OnReplace;
protected:
    bool IsReplace() const override { return true; }
    void Request(TFindRequest request, const TFindDialogData& data) override;
};
