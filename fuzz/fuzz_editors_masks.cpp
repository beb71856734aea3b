// Edit masks of any text: the first byte chooses the mask kind, the rest up
// to the first zero byte is the mask, and what follows is typed into it.
// A regular expression compiles or raises EcxRegExprError with at least one
// error; a compiled one is fed the input forward and stepped back to its
// start; a standard mask merges, validates and strips the input; the mask
// modes run the input as keys.
#include "SysUtils.h"
#include "cxMaskEditModes.h"
#include "cxRegExpr.h"
#include "cxStandardMask.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    int kind = data[0] % 3;
    std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t zero = rest.find('\0');
    std::string mask = rest.substr(0, zero);
    std::string input = zero == std::string::npos ? std::string() : rest.substr(zero + 1);

    if (kind == 0) {
        TcxStandardMask m;
        m.SetMask(mask);
        std::string t = input;
        m.Merge(t, true);
        Check(int(cxRegExpr::ToU32(t).size()) == m.Count());
        std::string v = t;
        m.IsValid(v);
        m.Strip(t);
        return 0;
    }
    TcxRegExpr r;
    r.SetCaseInsensitive(kind == 2);
    r.SetLiteralCompletion(kind == 2);
    try {
        r.Compile(mask);
    } catch (const EcxRegExprError& e) {
        Check(e.Errors.Count() > 0);
        for (int i = 0; i < e.Errors.Count(); ++i) e.Errors.Items(i).GetFullMessage();
        Check(!r.IsCompiled());
        return 0;
    }
    int fed = 0;
    for (char32_t ch : cxRegExpr::ToU32(input)) {
        char32_t c = ch;
        if (r.Next(c)) ++fed;
        r.IsFinal();
    }
    while (r.Prev()) {
    }
    Check(r.IsStart() || kind == 2);
    return 0;
}
