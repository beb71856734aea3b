// Choosing a folder: a place to start from (the root or the home folder)
// and the folders below the current one; the label shows where the list is.
#pragma once

#include "a.h"

#include <string>

class TDirPickerFrm : public TADlgFrm {
    QZ_CLASS(TDirPickerFrm, TADlgFrm)
public:
    explicit TDirPickerFrm(TComponent* owner = nullptr);

    TLabel* Label1 = nullptr;
    TComboBox* DriveComboBox1 = nullptr;
    TListBox* DirectoryListBox1 = nullptr;
    TLabel* Label2 = nullptr;

    const std::string& Directory() const { return FDirectory; }
    // Shows the folder; one that does not exist is ignored.
    void SetDirectory(const std::string& dir);
    // Goes into the list's folder of that index ("..": one up).
    void OpenItem(int index);

private:
    std::string FDirectory;
};

namespace DirPicker {

// chosen starts as initial and becomes the folder the picker shows when it
// closes with OK (with a final delimiter). True on OK.
bool PickDirectory(const std::string& initial, std::string& chosen);

}  // namespace DirPicker
