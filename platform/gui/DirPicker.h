// The directory picker: the folders of the file system as a tree, in place
// of a drive list and a directory list. Directory is the folder chosen.
#pragma once

#include "Controls.h"

#include <memory>
#include <string>

class TDirectoryPicker : public TWinControl {
    QZ_CLASS(TDirectoryPicker, TWinControl)
public:
    explicit TDirectoryPicker(TComponent* owner = nullptr);
    ~TDirectoryPicker() override;
    // The chosen folder (absolute, without a trailing separator except the root).
    const std::string& Directory() const { return FDirectory; }
    // Opens the tree down to a folder and chooses it; false (nothing changes)
    // when it does not exist or cannot be reached.
    bool SetDirectory(const std::string& path);
    // The folders shown under a folder (the tree lists at most this many).
    static constexpr int MaxEntries = 10000;
    TNotifyEvent OnChange;

    struct TImpl;
    TImpl* Impl() const { return FImpl.get(); }
    void NativeChosen(const std::string& path);
protected:
    QWidget* CreateWindowHandle(const TCreateParams& params, QWidget* parentWidget) override;
    void CreateWindowDone() override;
    void DestroyWnd() override;
    void WMMouse(TMessage& m);
    void WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONUP, WMMouse)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, WMMouse)
        QZ_MESSAGE_HANDLER(WM_MOUSEMOVE, WMMouse)
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
    QZ_END_MESSAGE_MAP
private:
    bool Open(const std::string& path, bool notify);
    std::unique_ptr<TImpl> FImpl;
    std::string FDirectory;
};
