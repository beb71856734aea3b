#include "qzLib.h"

#include "DB.h"
#include "HostServices.h"
#include "SysUtils.h"

namespace qzLib {

namespace {
// The scrambler's key word; only its letters' codes mod 10 matter.
constexpr const char* ScrambleKey = "quillbrand";
}

void ShowInfo(const std::string& text)
{
    MessageBox("\r\n" + text + "\t", "信息", MB_OK | MB_ICONINFORMATION);
}

bool ConfirmDelete(const std::string& name)
{
    const std::string what = name.empty() ? std::string("当前记录") : name;
    return MessageBox("\r您确定要删除 " + what + " 吗?\t\t", "警告",
                      MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

TDateTime FirstDayOfMonth()
{
    uint16_t y, m, d;
    DecodeDate(Date(), y, m, d);
    return EncodeDate(y, m, 1);
}

TDateTime LastDayOfMonth()
{
    uint16_t y, m, d;
    DecodeDate(Date(), y, m, d);
    return EncodeDate(y, m, DaysInAMonth(y, m));
}

bool CheckActive(TDataSet* dataSet)
{
    if (dataSet && dataSet->Active()) return true;
    ShowInfo("\r\n系统提示：请先打开数据集再操作.");
    return false;
}

std::string Scramble(const std::string& bytes)
{
    static const std::string key = ScrambleKey;
    const size_t len = key.size();
    std::string out = bytes;
    for (size_t i = 1; i <= out.size(); ++i) {
        const unsigned char k = static_cast<unsigned char>(key[i % len]);   // letter (i mod L)+1
        out[i - 1] = static_cast<char>(static_cast<unsigned char>(out[i - 1]) ^ (k % 10));
    }
    return out;
}

std::string SqlText(const std::string& text)
{
    return StringReplace(text, "'", "''", TReplaceFlags{rfReplaceAll});
}

}  // namespace qzLib
