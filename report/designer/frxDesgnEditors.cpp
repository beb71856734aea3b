#include "frxDesgnEditors.h"

#include "Graphics.h"
#include "frxClass.h"
#include "frxDMPClass.h"
#include "frxDsgnIntf.h"

namespace frxDesgnEditors {

namespace {

void RegisterPalette()
{
    TfrxObjectCollection& r = frxDsgnIntf::ObjectRegistry();
    r.AddObjectClass(TfrxMemoView::StaticClass(), nullptr, 2);
    r.AddObjectClass(TfrxPictureView::StaticClass(), nullptr, 3);
    r.AddObjectClass(TfrxSubreport::StaticClass(), nullptr, 4);
    r.AddObjectClass(TfrxLineView::StaticClass(), nullptr, 5);
    r.AddObjectClass(TfrxSysMemoView::StaticClass(), nullptr, 32);
    r.RegisterCategory("Draw", nullptr, 6, "obCatDraw");
    r.RegisterCategory("Other", nullptr, 21, "obCatOther");
    r.AddObjectClass(TfrxLineView::StaticClass(), nullptr, 7, 1, "Draw", "obDiagLine");
    r.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, 8, 0, "Draw", "obRect");
    r.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, 9, 1, "Draw", "obRoundRect");
    r.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, 10, 2, "Draw", "obEllipse");
    r.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, 11, 3, "Draw", "obTrian");
    r.AddObjectClass(TfrxShapeView::StaticClass(), nullptr, 31, 4, "Draw", "obDiamond");
}

void RegisterHiddenProperties()
{
    using frxDsgnIntf::HideProperties;
    HideProperties(TfrxReport::StaticClass(),
                   "IniFile;Name;Preview;ScriptLanguage;ScriptText;Tag;Variables;DataSetName;DotMatrixReport;"
                   "OldStyleProgress");
    HideProperties(TfrxEngineOptions::StaticClass(), "MaxMemSize;PrintIfEmpty;SilentMode;TempDir;UseFileCache");
    HideProperties(TfrxPreviewOptions::StaticClass(),
                   "AllowEdit;Buttons;DoubleBuffered;Maximized;MDIChild;Modal;ShowCaptions;Zoom;ZoomMode");
    HideProperties(TfrxReportOptions::StaticClass(), "CreateDate;LastChange;Compressed");
    HideProperties(TfrxReportPage::StaticClass(),
                   "Bin;BinOtherPages;ColumnWidth;ColumnPositions;PaperSize;DataSetName;HGuides;VGuides");
    HideProperties(TfrxDMPPage::StaticClass(), "BackPicture;Color;Font;Frame");
    HideProperties(TfrxReportComponent::StaticClass(), "GroupIndex");
    HideProperties(TfrxView::StaticClass(), "DataSetName");
    HideProperties(TfrxBand::StaticClass(), "Vertical");
    HideProperties(TfrxDataBand::StaticClass(), "DataSetName");
    HideProperties(TFont::StaticClass(), "Height;Pitch");
}

}  // namespace

void Initialize()
{
    static bool done = false;
    if (done) return;
    done = true;
    // The library's own editors come first: the designer's take precedence.
    frxDsgnIntf::RegisterStandardEditors();
    RegisterPalette();
    RegisterHiddenProperties();
}

}  // namespace frxDesgnEditors
