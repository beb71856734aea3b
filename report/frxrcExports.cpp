#include "frxrcExports.h"

#include "frxRes.h"

namespace frxrcExports {

void Initialize()
{
    static bool done = false;
    if (done) return;
    done = true;
    static const char* const texts[][2] = {
        {"RTFexport", "RTF 文件"},
        {"BMPexport", "BMP 图"},
        {"JPEGexport", "JPEG 图"},
        {"TIFFexport", "TIFF 图"},
        {"TextExport", "纯文本 (点阵打印机)"},
        {"XlsOLEexport", "Excel 表格 (OLE)"},
        {"HTMLexport", "HTML 文件"},
        {"XlsXMLexport", "Excel 表格 (XML)"},
        {"PDFexport", "PDF 文件"},
        {"ProgressWait", "请稍候"},
        {"ProgressRows", "正在建立列"},
        {"ProgressColumns", "正在建立栏"},
        {"ProgressStyles", "正在建立样式"},
        {"ProgressObjects", "正在导出对象中"},
        {"TIFFexportFilter", "Tiff 图 (*.tif)|*.tif"},
        {"BMPexportFilter", "BMP 图 (*.bmp)|*.bmp"},
        {"JPEGexportFilter", "Jpeg 图 (*.jpg)|*.jpg"},
        {"ExportBadPages", "页码范围 \"%s\" 无效。请输入页码和/或以逗号分开的页码范围，例如 1,3,5-12"},
        {"PrintBadCopies", "份数 \"%s\" 无效，请输入 1 或更大的整数"},
        {"ExportNoPages", "页码范围 \"%s\" 中没有报表的页 (报表共 %d 页)"},
    };
    TfrxResources& res = frxRes::Resources();
    for (const auto& t : texts) res.Add(t[0], t[1]);
    // The options dialogs' texts, applied to their components by name.
    res.Add("TfrxIMGExportDialog",
            "Caption=导出设置\nOK.Caption=确定\nCancel.Caption=取消\nGroupPageRange.Caption= 页数范围  \n"
            "AllRB.Caption=全部\nCurPageRB.Caption=当前页\nPageNumbersRB.Caption=页码:\n"
            "DescrL.Caption=请输入页码和/或以逗号分开的页码范围。 例如： 1,3,5-12\n"
            "GroupBox1.Caption= 图像设置 \nLabel2.Caption=JPEG 质量\nCropPage.Caption=剪去页面空白部份\n"
            "Mono.Caption=黑白");
    res.Add("TfrxXLSExportDialog",
            "Caption=导出到 Excel\nGroupPageRange.Caption= 页数范围 \nAllRB.Caption=全部\n"
            "CurPageRB.Caption=当前页\nPageNumbersRB.Caption=页:\n"
            "DescrL.Caption=输入页数/文件范围，并以逗号分隔(例如:1,3,5-12)\nGroupQuality.Caption= 导出设置 \n"
            "MergeCB.Caption=合并单元格\nWCB.Caption=所见即所得\nStylesCB.Caption=样式\n"
            "PicturesCB.Caption=图像\nOpenExcelCB.Caption=在导出后打开 Excel\nOkB.Caption=确定\n"
            "CancelB.Caption=取消\nSaveDialog1.Filter=Excel 文件 (*.xls)|*.xls");
    res.Add("TfrxRTFExportDialog",
            "Caption=导出为RTF\nGroupPageRange.Caption= 页数范围 \nAllRB.Caption=全部\n"
            "CurPageRB.Caption=当前页\nPageNumbersRB.Caption=页码:\n"
            "DescrL.Caption=请输入页码和/或以逗号分开的页码范围。 例如： 1,3,5-12\n"
            "GroupQuality.Caption= 导出设置 \nWCB.Caption=所见即所得\nPageBreaksCB.Caption=分页\n"
            "PicturesCB.Caption=图像\nOpenCB.Caption=在导出后打开\nOkB.Caption=确定\nCancelB.Caption=取消\n"
            "SaveDialog1.Filter=RTF 文件 (*.rtf)|*.rtf");
    res.Add("TfrxPDFExportDialog",
            "Caption=导出为PDF文件\nGroupPageRange.Caption= 页数范围 \nAllRB.Caption=全部\n"
            "CurPageRB.Caption=当前页\nPageNumbersRB.Caption=页码:\n"
            "DescrL.Caption=请输入页码和/或以逗号分开的页码范围。 例如： 1,3,5-12\n"
            "GroupQuality.Caption= 导出设置 \nCompressedCB.Caption=压缩\nEmbeddedCB.Caption=内置字体\n"
            "OpenCB.Caption=在导出后打开\nOkB.Caption=确定\nCancelB.Caption=取消\n"
            "SaveDialog1.Filter=PDF 文件 (*.pdf)|*.pdf");
}

}  // namespace frxrcExports
