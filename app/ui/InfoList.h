// The reference-list window: a tool bar over a grid, driven entirely through
// the list's IViewList. The main window opens one per reference list
// (trainers, salesmen, cars, fee items, exam items); each opening makes a
// new window with its own list and rows.
#pragma once

#include "Win.h"

#include <memory>

class IViewList;
class TGridcx;
class TPanel;
class TProgressBar;
class TToolBar;
class TToolButton;

class TInfoListFrm : public TWinFrm {
    QZ_CLASS(TInfoListFrm, TWinFrm)
public:
    explicit TInfoListFrm(TComponent* owner = nullptr);
    ~TInfoListFrm() override;

    // A window of each list, filled and shown without waiting; the window
    // owns its list and frees itself, and the list, when closed.
    static TInfoListFrm* ShowTrainers();
    static TInfoListFrm* ShowSalesmen();
    static TInfoListFrm* ShowCars();
    static TInfoListFrm* ShowRecitems();
    static TInfoListFrm* ShowExamitems();

    // Several list windows may be open at once, so they go without a
    // component name; their help page is still the list window's.
    void ShowHelp(const std::string& topic) override;

    // Closes and opens the grid's data set again with its controls off
    // meanwhile; says so when it is not open.
    virtual void Reload();

    IViewList* List = nullptr;
    TGridcx* Grid = nullptr;

    TToolBar* ToolBar1 = nullptr;
    TToolButton* ToolButton1 = nullptr;    // "添加"
    TToolButton* ToolButton2 = nullptr;    // "修改"
    TToolButton* ToolButton3 = nullptr;    // "删除"
    TToolButton* ToolButton4 = nullptr;    // "刷新"
    TToolButton* ToolButton11 = nullptr;   // "导入"
    TToolButton* ToolButton12 = nullptr;   // "导出"
    TToolButton* ToolButton5 = nullptr;    // "打印"
    TToolButton* ToolButton6 = nullptr;    // "排序"
    TToolButton* ToolButton7 = nullptr;    // "设置"
    TToolButton* ToolButton10 = nullptr;   // " 退出 "
    TPanel* TopPanel1 = nullptr;
    TPanel* StatusPanel1 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;

    // The tool bar's handlers; FGridDblClick is also the grid's double click.
    void ToolButton1Click(TObject* sender);
    void ToolButton2Click(TObject* sender);
    void ToolButton3Click(TObject* sender);
    void ToolButton4Click(TObject* sender);
    void ToolButton11Click(TObject* sender);
    void ToolButton5Click(TObject* sender);
    void ToolButton6Click(TObject* sender);
    void ToolButton7Click(TObject* sender);
    void ToolButton10Click(TObject* sender);
    void FGridDblClick(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);

private:
    // Makes the list (owned by the window), runs its query, binds the grid
    // and loads the layout, then shows the window.
    template <class L> static TInfoListFrm* ShowList(const std::string& caption, int layoutId);
    // The list shown, freed with the window (record sets take no component
    // owner).
    std::unique_ptr<TComponent> FOwnedList;
};
