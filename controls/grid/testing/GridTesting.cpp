#include "GridTesting.h"

#include "GuiTesting.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

QZ_CLASS_IMPL(TcxGridTestDataController, TcxCustomDataController)
QZ_CLASS_IMPL(TcxGridTestController, TcxCustomGridController)
QZ_CLASS_IMPL(TcxGridTestViewInfo, TcxCustomGridViewInfo)
QZ_CLASS_IMPL(TcxGridTestView, TcxCustomGridView)
QZ_CLASS_IMPL(TcxGridTestTableView, TcxCustomGridTableView)
QZ_CLASS_IMPL(TcxGridTestRecord, TcxCustomGridRecord)
QZ_CLASS_IMPL(TcxGridTestViewData, TcxCustomGridTableViewData)


// The plain handlers both test views make.
namespace {
TcxGridViewHandlerClass<TcxCustomGridController> TestControllerClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridController>::Of<TcxGridTestController>();
}
TcxGridViewHandlerClass<TcxCustomGridPainter> TestPainterClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridPainter>::Of<TcxCustomGridPainter>();
}
TcxGridViewHandlerClass<TcxCustomGridViewData> TestViewDataClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewData>::Of<TcxCustomGridViewData>();
}
TcxGridViewHandlerClass<TcxCustomGridViewInfo> TestViewInfoClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewInfo>::Of<TcxGridTestViewInfo>();
}
}  // namespace

namespace GridTesting {
std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

void Init()
{
    GuiTest::Init();
    cxLookAndFeels::Initialize();
    cxLookAndFeelPainters::Initialize();
    cxGrid::Initialize();
    cxGridCustomTableView::Initialize();
}

TcxGridTestView* MakeView(TcxCustomGrid* AGrid, const std::string& AName)
{
    auto* view = static_cast<TcxGridTestView*>(AGrid->CreateView(TcxGridTestView::StaticClass()));
    if (!AName.empty()) view->SetName(AName);
    return view;
}
}  // namespace GridTesting

void TcxGridTestController::ViewFocusLost()
{
    if (FailFocusLoss) throw Exception("focus loss refused");
    GridTesting::Log().push_back("focus-:" + GridView()->Name());
    TcxCustomGridController::ViewFocusLost();
}

void TcxGridTestController::ViewFocusGained()
{
    GridTesting::Log().push_back("focus+:" + GridView()->Name());
    TcxCustomGridController::ViewFocusGained();
}

void TcxGridTestViewInfo::DoCalculate()
{
    ++CalculateCount;
    GridTesting::Log().push_back("calc:" + GridView()->Name());
    if (OnCalculate) OnCalculate();
}

TcxGridViewHandlerClass<TcxCustomGridController> TcxGridTestView::GetControllerClass() { return TestControllerClass(); }
TcxGridClassRef<TcxCustomDataController, TComponent*> TcxGridTestView::GetDataControllerClass()
{
    return TcxGridClassRef<TcxCustomDataController, TComponent*>::Of<TcxGridTestDataController>();
}
TcxGridViewHandlerClass<TcxCustomGridPainter> TcxGridTestView::GetPainterClass() { return TestPainterClass(); }
TcxGridViewHandlerClass<TcxCustomGridViewData> TcxGridTestView::GetViewDataClass() { return TestViewDataClass(); }
TcxGridViewHandlerClass<TcxCustomGridViewInfo> TcxGridTestView::GetViewInfoClass() { return TestViewInfoClass(); }

TcxGridViewHandlerClass<TcxCustomGridController> TcxGridTestTableView::GetControllerClass() { return TestControllerClass(); }
TcxGridViewHandlerClass<TcxCustomGridPainter> TcxGridTestTableView::GetPainterClass() { return TestPainterClass(); }
TcxGridViewHandlerClass<TcxCustomGridViewData> TcxGridTestTableView::GetViewDataClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewData>::Of<TcxGridTestViewData>();
}
TcxGridViewHandlerClass<TcxCustomGridViewInfo> TcxGridTestTableView::GetViewInfoClass() { return TestViewInfoClass(); }
