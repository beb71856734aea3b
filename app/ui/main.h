// The main window: the navigation tree of ready-made student filters, the
// student grid, the detail tabs of the current student (exams, receipts,
// class, graduation or drop-out) with their buttons, the actions, tool bar
// and main menu; the login step and the road out when it closes.
#pragma once

#include "a.h"
#include "ActnList.h"
#include "Bizs.h"
#include "ComCtrls.h"
#include "Menus.h"
#include "Uis.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TmainFrm;
class TTreeNode;
class TGridcx;

// The filter a tree node stands for, with what runs when the node is
// selected or double-clicked. Null criteria set no condition.
struct TNodeData {
    std::function<void(TTreeNode*)> OnSelect;
    std::function<void(TTreeNode*)> OnDblClick;
    Variant SalemanId = Null();
    Variant TeacherId = Null();
    Variant CarId = Null();
    std::string Drivetype;
    Variant PassItemId = Null();
    Variant UnpassItemId = Null();
    Variant AppItemId = Null();
    Variant UnappItemId = Null();
    Variant Graduated = Null();
    Variant Dropouted = Null();
    Variant GraduateTakeIf = Null();
    Variant GraduateGrantdate1 = Null();
    Variant GraduateGrantdate2 = Null();

    // No handlers, every criterion Null, no drive type.
    void Reset() { *this = TNodeData(); }
};

// What a detail tab shows for the current student.
class TDetailTabHandler : public TObject {
    QZ_CLASS(TDetailTabHandler, TObject)
public:
    explicit TDetailTabHandler(std::function<void(const RStudent&)> handler) : Handler(std::move(handler)) {}
    std::function<void(const RStudent&)> Handler;
};

namespace MainUnit {

// The navigation tree: it owns the record of every node.
class TTreeView : public ::TTreeView {
    QZ_CLASS(TTreeView, ::TTreeView)
public:
    explicit TTreeView(TComponent* owner = nullptr) : ::TTreeView(owner) {}
    ~TTreeView() override;
    // A node under the parent (a root without one) holding a copy of the record.
    TTreeNode* AddNode(TTreeNode* parent, const std::string& text, const TNodeData& data, int image);
    static TNodeData* NodeData(const TTreeNode* node);

private:
    std::vector<std::unique_ptr<TNodeData>> FRecords;
};

}  // namespace MainUnit

class TmainFrm : public TaFrm {
    QZ_CLASS(TmainFrm, TaFrm)
public:
    explicit TmainFrm(TComponent* owner = nullptr);
    ~TmainFrm() override;

    // Logs an operator in: with the command line on the first start, else
    // through the dialog; then lists the students of the current criteria.
    bool Login(bool firstTime);
    // The program's arguments after its name (read from the process at
    // construction; tests give their own).
    void SetCommandLine(std::vector<std::string> args) { FArgs = std::move(args); }

    // The filters of the tree, as they are made (the month bounds of the
    // graduate nodes come from the date the tree is built on).
    void BuildTree();
    // Lists the students of the node's filter.
    void QueryByNode(TTreeNode* node);
    // True when no student is listed; the blank detail panel then shows.
    bool NoStudent();

    void ShowClass(const RStudent& student);
    void ShowReceipts(const RStudent& student);
    void ShowExams(const RStudent& student);
    void ShowGraduation(const RStudent& student);
    // Shows the current tab's detail of the current student.
    void TabControl3Change();
    // The grid's focused row changed.
    void StudentSelected(bool selected);

    // The students of the grid, and the current student's receipts and
    // exams (made the first time their tab shows).
    TStudentList* StudentList() const { return FStudentList.get(); }
    TReceiptList* ReceiptList() const { return FReceiptList.get(); }
    TExamList* ExamList() const { return FExamList.get(); }
    TGridcx* StudentGrid = nullptr;
    TGridcx* ReceiptGrid = nullptr;
    TGridcx* ExamGrid = nullptr;

    // ---- components, by their names
    TActionList* ActionList1 = nullptr;
    TAction* CarListAction1 = nullptr;
    TAction* LoadExcelAction1 = nullptr;
    TAction* AddAction1 = nullptr;
    TAction* EditAction1 = nullptr;
    TAction* DeleteAction1 = nullptr;
    TAction* RecitemListAction1 = nullptr;
    TAction* ExamitemListAction1 = nullptr;
    TAction* ReceiptAddAction1 = nullptr;
    TAction* ReceiptEditAction1 = nullptr;
    TAction* ReceiptDeleteAction1 = nullptr;
    TAction* ExamAddAction1 = nullptr;
    TAction* ExamEditAction1 = nullptr;
    TAction* ExamDeleteAction1 = nullptr;

    TMainMenu* MainMenu1 = nullptr;
    TToolBar* ToolBar1 = nullptr;
    TToolButton* btnSalesmen1 = nullptr;
    TToolButton* btnTrainers1 = nullptr;
    TToolButton* btnCars1 = nullptr;
    TToolButton* btnAdd1 = nullptr;
    TToolButton* btnEdit1 = nullptr;
    TToolButton* btnFind1 = nullptr;
    TToolButton* btnAdvanced1 = nullptr;
    TToolButton* btnExit1 = nullptr;

    TTabControl* TabControl1 = nullptr;
    MainUnit::TTreeView* TreeView1 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TPanel* pnlMain1 = nullptr;
    TTabControl* TabControl2 = nullptr;
    TPanel* pnlGrid1 = nullptr;
    TPanel* pnlFind1 = nullptr;
    TTabControl* TabControl3 = nullptr;
    TPanel* pnlNull1 = nullptr;
    TPanel* pnlClass1 = nullptr;
    TPanel* pnlClassNull1 = nullptr;
    TPanel* pnlReceipts1 = nullptr;
    TPanel* pnlExams1 = nullptr;
    TPanel* pnlGraduated1 = nullptr;
    TPanel* pnlGraduateNull1 = nullptr;
    TPanel* pnlDropout1 = nullptr;
    TPanel* Panel1 = nullptr;

    Uis::TLabel* txtSigndate1 = nullptr;
    Uis::TLabel* txtDrivetype1 = nullptr;
    Uis::TLabel* txtSaleman1 = nullptr;
    Uis::TLabel* txtClassdate1 = nullptr;
    Uis::TLabel* txtClassname1 = nullptr;
    Uis::TLabel* txtTeacher1 = nullptr;
    Uis::TLabel* txtCar1 = nullptr;
    Uis::TLabel* txtNotes1 = nullptr;
    Uis::TLabel* txtGrantdate1 = nullptr;
    Uis::TLabel* txtValidate1 = nullptr;
    Uis::TLabel* txtValimonth1 = nullptr;
    Uis::TLabel* txtDocumentNo1 = nullptr;
    Uis::TLabel* txtDrivetype2 = nullptr;
    Uis::TLabel* txtTakedate1 = nullptr;
    Uis::TLabel* txtHandman1 = nullptr;
    Uis::TLabel* txtGraduateNotes1 = nullptr;
    Uis::TLabel* txtDropdate1 = nullptr;
    Uis::TLabel* txtDropReason1 = nullptr;
    Uis::TLabel* txtRetfund1 = nullptr;
    Uis::TLabel* txtDropHandman1 = nullptr;
    Uis::TLabel* txtDropNotes1 = nullptr;
    Uis::TLabel* lblGraduateHint1 = nullptr;

    TButton* Button7 = nullptr;    // 毕业
    TButton* Button8 = nullptr;    // 修改 (graduation)
    TButton* Button9 = nullptr;    // 撤消 (graduation)
    TButton* Button10 = nullptr;   // 修改 (class)
    TButton* Button11 = nullptr;   // 删除 (class)
    TButton* Button12 = nullptr;   // 建立 (class)
    TButton* Button13 = nullptr;   // 修改 (drop-out)
    TButton* Button14 = nullptr;   // 撤消 (drop-out)
    TButton* Button15 = nullptr;   // 退学

    // An item of the main menu, by the captions of its menu and itself.
    TMenuItem* MenuItem(const std::string& menu, const std::string& item) const;

    // The detail panel in front now.
    TPanel* ShownDetail() const { return FShownDetail; }

protected:
    void DoClose(TCloseAction& action) override;

private:
    void BuildActions();
    void BuildMenu();
    void BuildToolBar();
    void BuildPanels();
    void AddDetailTab(const std::string& caption, std::function<void(const RStudent&)> handler);
    TTreeNode* AddTreeNode(TTreeNode* parent, const std::string& text, const TNodeData& data, int image);
    void ShowDetail(TPanel* panel);
    void StudentsAfterOpen();
    void DblClickInput(TTreeNode* node);
    // A detail button: the operation on the current student, then the tab's detail again when it changed something.
    void DetailButton(TButton* button, bool (TStudentList::*operation)(), void (TmainFrm::*show)(const RStudent&));

    // A receipt or exam grid over its list, made once.
    TGridcx* MakeDetailGrid(int layoutId, TDataSet* dataSet, TPanel* parent, TAction* add, TAction* edit, TAction* del);

    std::unique_ptr<TStudentList> FStudentList;
    std::unique_ptr<TReceiptList> FReceiptList;
    std::unique_ptr<TExamList> FExamList;
    std::vector<std::unique_ptr<TDetailTabHandler>> FTabHandlers;
    std::vector<std::string> FArgs;
    TPanel* FShownDetail = nullptr;
};

namespace MainUnit {

// The program from the facade to the shown main window: the splash while
// the database connects, the shared objects, the main window and the login
// (args: the program's arguments after its name). Returns the main window,
// shown and past the after-login actions; null when the program ends
// instead (no connection, or the login given up, whose exit road has then run).
TmainFrm* StartProgram(const std::vector<std::string>& args);

}  // namespace MainUnit
