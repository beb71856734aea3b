// The value list editor: a two-column grid of "key=value" lines, keys at the
// left, values edited at the right, a row's value picked from a list where
// its item properties say so.
#pragma once

#include "Controls.h"
#include "Grids.h"   // TEditStyle
#include "StringLists.h"

#include <memory>

enum TDisplayOption { doColumnTitles, doAutoColResize, doKeyColFixed };
using TDisplayOptions = TSet<TDisplayOption, 8>;
enum TKeyOption { keyEdit, keyAdd, keyDelete, keyUnique };
using TKeyOptions = TSet<TKeyOption, 8>;

class TValueListEditor;

// How one row is edited.
class TItemProp : public TPersistent {
    QZ_CLASS(TItemProp, TPersistent)
public:
    explicit TItemProp(TValueListEditor* editor = nullptr);
    ~TItemProp() override;
    TEditStyle EditStyle() const { return FEditStyle; }
    void SetEditStyle(TEditStyle v);
    // The values offered (a pick list row).
    TStrings* PickList() const { return FPickList.get(); }
    void SetPickList(TStrings* v) { FPickList->Assign(v); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v) { FMaxLength = std::max(0, v); }
    const std::string& KeyDesc() const { return FKeyDesc; }
    void SetKeyDesc(const std::string& v) { FKeyDesc = v; }
private:
    TValueListEditor* FEditor;
    TEditStyle FEditStyle = esSimple;
    std::unique_ptr<TStringList> FPickList;
    bool FReadOnly = false;
    int FMaxLength = 0;
    std::string FKeyDesc;
};

using TGetPickListEvent = std::function<void(TObject* sender, const std::string& keyName, TStrings* values)>;
using TOnValidateEvent = std::function<void(TObject* sender, int col, int row, const std::string& keyName,
                                            const std::string& keyValue)>;

class TValueListEditor : public TWinControl {
    QZ_CLASS(TValueListEditor, TWinControl)
public:
    explicit TValueListEditor(TComponent* owner = nullptr);
    ~TValueListEditor() override;
    // The lines, "key=value" each; the grid follows every change.
    TStrings* Strings() const { return FStrings.get(); }
    void SetStrings(TStrings* v);
    // The column titles ("Key", "Value" until set).
    TStrings* TitleCaptions() const { return FTitleCaptions.get(); }
    void SetTitleCaptions(TStrings* v) { FTitleCaptions->Assign(v); }
    TDisplayOptions DisplayOptions() const { return FDisplayOptions; }
    void SetDisplayOptions(TDisplayOptions v);
    TKeyOptions KeyOptions() const { return FKeyOptions; }
    void SetKeyOptions(TKeyOptions v) { FKeyOptions = v; }
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int DefaultRowHeight() const { return FRowHeight; }
    void SetDefaultRowHeight(int v);
    // Grid rows: row 0 is the titles (when shown), the lines follow.
    int RowCount() const;
    int Row() const;
    void SetRow(int v);
    std::string Keys(int row) const;
    void SetKeys(int row, const std::string& v);
    std::string Values(const std::string& key) const { return FStrings->Values(key); }
    void SetValues(const std::string& key, const std::string& v) { FStrings->SetValues(key, v); }
    std::string Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& v);
    // A line's edit settings, by its index in Strings or by its key (made on first use).
    TItemProp* ItemProps(int index);
    TItemProp* ItemProps(const std::string& key);
    bool FindRow(const std::string& key, int& row) const;
    int InsertRow(const std::string& key, const std::string& value, bool append);
    void DeleteRow(int row);
    // Starts editing a value as the user would (a pick list opens its list).
    bool EditValue(int row);
    bool Editing() const;

    TGetPickListEvent OnGetPickList;
    TOnValidateEvent OnValidate;
    TNotifyEvent OnStringsChange;

    struct TImpl;
    TImpl* Impl() const { return FImpl.get(); }
    void NativeEdited(int row, std::string value);
    void Refresh();
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
    int TitleRows() const { return FDisplayOptions.Contains(doColumnTitles) ? 1 : 0; }
    std::unique_ptr<TImpl> FImpl;
    std::unique_ptr<TStringList> FStrings;
    std::unique_ptr<TStringList> FTitleCaptions;
    TDisplayOptions FDisplayOptions{doColumnTitles, doAutoColResize, doKeyColFixed};
    TKeyOptions FKeyOptions;
    int FColWidths[2] = {150, 150};
    int FRowHeight = 18;
    int FRow = 1;
    bool FFromWidget = false;
};
