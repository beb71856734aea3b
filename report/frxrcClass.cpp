// The Chinese texts of the report library's core messages and forms.
#include "frxRes.h"

namespace frxrcClass {

void AddTexts(TfrxResources& r)
{
    static const char* const texts[][2] = {
        {"mbConfirm", "确认"},
        {"mbError", "错误"},
        {"mbInfo", "信息"},
        {"xrCantFindClass", "未找到类"},
        {"prVirtual", "虚拟"},
        {"prDefault", "缺省"},
        {"prCustom", "自定义"},
        {"enUnconnHeader", "未连接至表头"},
        {"enUnconnGroup", "该组无数据区带"},
        {"enUnconnGFooter", "没有分组表尾"},
        {"enBandPos", "不正确的区带位置:"},
        {"dbNotConn", "数据集 %s 未连接至数据库"},
        {"dbFldNotFound", "字段不存在:"},
        {"clDSNotIncl", "(数据集未加入至 Report.DataSets)"},
        {"clUnknownVar", "未知的变量或数据库字段:"},
        {"clScrError", "脚本发生错误在 %s: %s"},
        {"clDSNotExist", "数据集 \"%s\" 不存在"},
        {"clErrors", "发生下列的错误:"},
        {"clExprError", "表达式错误"},
        {"clFP3files", "报表文件"},
        {"clSaving", "保存文件..."},
        {"clCancel", "取消"},
        {"clClose", "关闭(&X)"},
        {"clPrinting", "打印中"},
        {"clLoading", "载入文件..."},
        {"clPageOf", "第 %d 页 共 %d 页"},
        {"clFirstPass", "第一次处理过程: 页 "},
        {"clNoPrinters", "在你的系统没有安装打印机"},
        {"clDecompressError", "流解压缩错误"},
        {"crFillMx", "填充交叉表..."},
        {"crBuildMx", "创建交叉表..."},
        {"prRunningFirst", "第一次处理: 第 %d 页"},
        {"prRunning", "正准备第 %d 页"},
        {"prPrinting", "正打印第 %d 页"},
        {"prExporting", "正输出第 %d 页"},
        {"zmPageWidth", "页宽"},
        {"zmWholePage", "整页"},
        {"ppAll", "全部页面"},
        {"ppOdd", "奇数页"},
        {"ppEven", "偶数页"},
        // Texts the model itself raises or shows; the designer's text unit
        // adds the rest of its own and may replace these.
        {"prDupl", "重复命名"},
        {"prInvProp", "非法属性值"},
        {"prInvPicture", "图片数据无效"},
        {"obShape", "形状对象"},
        {"obLine", "线对象"},
        {"obPicture", "图像对象"},
        {"obText", "文本对象"},
        {"obDMPText", "点阵文本对象"},
        {"obDMPLine", "点阵线对象"},
        {"obSysText", "系统文本"},
        {"clWrongPassword", "口令错误, 报表未载入"},
    };
    for (const auto& t : texts) r.Add(t[0], t[1]);

    r.Add("TfrxPreviewForm",
          "Caption=预览\n"
          "PrintB.Caption=打印\nPrintB.Hint=打印\n"
          "OpenB.Caption=打开报表\nOpenB.Hint=打开报表\n"
          "SaveB.Caption=保存报表\nSaveB.Hint=保存报表\n"
          "ExportB.Caption=导出报表\nExportB.Hint=导出报表\n"
          "FindB.Caption=查找文本\nFindB.Hint=查找文本\n"
          "ZoomWholePageB.Caption=整页\nZoomWholePageB.Hint=整页\n"
          "ZoomPageWidthB.Caption=页宽\nZoomPageWidthB.Hint=页宽\n"
          "Zoom100B.Caption=100%\nZoom100B.Hint=100%\n"
          "Zoom50B.Caption=双页\nZoom50B.Hint=双页\n"
          "PageSettingsB.Caption=页面设置\nPageSettingsB.Hint=页面设置\n"
          "OutlineB.Caption=大纲\nOutlineB.Hint=大纲\n"
          "NewPageB.Caption=增加页\nNewPageB.Hint=增加页\n"
          "DelPageB.Caption=删除页\nDelPageB.Hint=删除页\n"
          "DesignerB.Caption=编辑页\nDesignerB.Hint=编辑页\n"
          "FirstB.Caption=第一页\nFirstB.Hint=第一页\n"
          "PriorB.Caption=上一页\nPriorB.Hint=上一页\n"
          "NextB.Caption=下一页\nNextB.Hint=下一页\n"
          "LastB.Caption=最后一页\nLastB.Hint=最后一页\n"
          "HandToolB.Caption=拖放\nHandToolB.Hint=拖放工具\n"
          "ZoomToolB.Caption=缩放工具\nZoomToolB.Hint=缩放工具\n"
          "ZoomCB.Hint=缩放\nCancelB.Caption=关闭预览\nPageE.Hint=页数");
    r.Add("TfrxPrintDialog",
          "Caption=打印\nLabel12.Caption=打印机   \n"
          "DescrL.Caption=请键入页码或用逗号分隔的页码范围(例如:1,3,5-12)\n"
          "Label1.Caption=页面   \nCopiesL.Caption=打印份数\nCollateL.Caption=逐份打印(&T)\n"
          "Label2.Caption=份数(&C)   \nPrintL.Caption=打印\nTypeL.Caption=类型:\n"
          "WhereL.Caption=位置:\nOkB.Caption=确定\nCancelB.Caption=取消\n"
          "PropButton.Caption=属性(&P)");
    r.Add("TfrxSearchDialog",
          "Caption=查找文本\nTextL.Caption=欲查找的文本:\nSearchL.Caption=选项   \n"
          "ReplaceL.Caption=替换为\nTopCB.Caption=从头开始查找\nCaseCB.Caption=区分大小写\n"
          "OkB.Caption=确定\nCancelB.Caption=取消");
    r.Add("TfrxPageSettingsForm",
          "Caption=页面设置\nWidthL.Caption=宽度\nHeightL.Caption=高度\n"
          "SizeL.Caption=纸张大小   \nOrientationL.Caption=打印方向   \nLeftL.Caption=左\n"
          "TopL.Caption=上\nRightL.Caption=右\nBottomL.Caption=下\nMarginsL.Caption=页边距\n"
          "PortraitRB.Caption=纵向打印\nLandscapeRB.Caption=橫向打印\ncmL1.Caption=厘米\n"
          "cmL2.Caption=厘米\ncmL3.Caption=厘米");
    r.Add("TfrxDMPExportDialog",
          "Caption=打印\nPrinterL.Caption=打印机   \nPagesL.Caption=页   \n"
          "CopiesL.Caption=份数   \nCopiesNL.Caption=份数\n"
          "DescrL.Caption=请键入页码或用逗号分隔的页码范围(例如:1,3,5-12)\n"
          "OptionsL.Caption=选项   \nEscL.Caption=退出指令   \nOK.Caption=确定\n"
          "Cancel.Caption=取消\nSaveToFileCB.Caption=打印到文件\nAllRB.Caption=全部\n"
          "CurPageRB.Caption=当前页\nPageNumbersRB.Caption=页码:\nPageBreaksCB.Caption=分页\n"
          "OemCB.Caption=OEM 代码页\nPseudoCB.Caption=伪托机打印\n"
          "SaveDialog1.Filter=打印机文件 (*.prn)|*.prn");
    r.Add("TfrxProgress", "CancelB.Caption=取消");
    r.Add("TfrxPasswordForm",
          "Caption=密码\nPasswordL.Caption=输入口令:\nOkB.Caption=确定\nCancelB.Caption=取消");
}

}  // namespace frxrcClass
