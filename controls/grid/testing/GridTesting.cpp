#include "GridTesting.h"

#include "GuiTesting.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"

QZ_CLASS_IMPL(TcxGridTestDataController, TcxCustomDataController)
QZ_CLASS_IMPL(TcxGridTestController, TcxCustomGridController)
QZ_CLASS_IMPL(TcxGridTestViewInfo, TcxCustomGridViewInfo)
QZ_CLASS_IMPL(TcxGridTestView, TcxCustomGridView)

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

TcxGridViewHandlerClass<TcxCustomGridController> TcxGridTestView::GetControllerClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridController>::Of<TcxGridTestController>();
}
TcxGridClassRef<TcxCustomDataController, TComponent*> TcxGridTestView::GetDataControllerClass()
{
    return TcxGridClassRef<TcxCustomDataController, TComponent*>::Of<TcxGridTestDataController>();
}
TcxGridViewHandlerClass<TcxCustomGridPainter> TcxGridTestView::GetPainterClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridPainter>::Of<TcxCustomGridPainter>();
}
TcxGridViewHandlerClass<TcxCustomGridViewData> TcxGridTestView::GetViewDataClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewData>::Of<TcxCustomGridViewData>();
}
TcxGridViewHandlerClass<TcxCustomGridViewInfo> TcxGridTestView::GetViewInfoClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewInfo>::Of<TcxGridTestViewInfo>();
}
