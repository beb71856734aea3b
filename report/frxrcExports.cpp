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
    };
    TfrxResources& res = frxRes::Resources();
    for (const auto& t : texts) res.Add(t[0], t[1]);
}

}  // namespace frxrcExports
