// The report list dialog of the report centre: the layouts of one report
// group by title, previewed with "预览" (or a double click), and, with the
// design right, added, renamed, deleted and designed from its tool bar.
#pragma once

#include "ComCtrls.h"
#include "a.h"

#include <vector>

class TRep;

class TReporterFrm : public TaFrm {
    QZ_CLASS(TReporterFrm, TaFrm)
public:
    explicit TReporterFrm(TComponent* owner = nullptr);

    TLabel* Label1 = nullptr;
    TListBox* ListBox1 = nullptr;
    TButton* Button4 = nullptr;
    TToolBar* ToolBar1 = nullptr;
    TToolButton* tbNew1 = nullptr;
    TToolButton* tbDelete1 = nullptr;
    TToolButton* tbRename1 = nullptr;
    TToolButton* tbDesign1 = nullptr;

    int GroupId() const { return FGroupId; }
    // Reloads the list of the group's layouts.
    void SetGroupId(int v);
    TRep* Reper() const { return FReper; }
    void SetReper(TRep* v) { FReper = v; }
    // New, Delete, Rename and Design together.
    void SetCanDesign(bool v);

    // Where the dialog goes for the mouse at (x, y) on a screen of the size:
    // about the mouse, or centred when it would not fit there; never off the
    // screen.
    static TPoint PlaceNearMouse(TPoint mouse, int screenWidth, int screenHeight, int width, int height);

    // The list of titles, anew; the first selected.
    void LoadTitles();
    // The selected layout's title and Id; false, after saying so, without one.
    bool GetSelected(std::string& title, int& id);
    // The Ids of the listed layouts, in list order.
    const std::vector<int>& Ids() const { return FIds; }

    void Button4Click(TObject* sender);
    void tbNew1Click(TObject* sender);
    void tbDelete1Click(TObject* sender);
    void tbRename1Click(TObject* sender);
    void tbDesign1Click(TObject* sender);

protected:
    void DoShow() override;

private:
    int FGroupId = 0;
    TRep* FReper = nullptr;
    std::vector<int> FIds;
};
