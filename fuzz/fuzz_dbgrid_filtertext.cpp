// Any bytes as a filter row text, under each value kind and both decimal
// separators. Parsing succeeds or raises an Exception whose message ends with
// the text typed; a parsed filter renders to text and matches field values of
// any kind (the text itself, a number, a date, Null) without fault; the text
// as a LIKE pattern matches itself when it holds no wildcard.
#include "DBGridEhFilter.h"
#include "Exceptions.h"
#include "TextUtils.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string trimmed = Trim(text);
    if (text.find_first_of("%_") == std::string::npos)
        Check(DBGridEhFilter::LikeMatches(text, text), "a plain pattern misses itself");
    Check(DBGridEhFilter::LikeMatches(text, "%"), "% misses a text");
    for (char separator : {'.', ','}) {
        TFormatSettings settings = FormatSettings;
        settings.DecimalSeparator = separator;
        for (TFilterValueKindEh kind = fvkOtherEh; kind <= fvkBooleanEh; ++kind) {
            TSTFilterExpressionEh e;
            e.ValueKind = kind;
            try {
                DBGridEhFilter::ParseFilterExpression(text, e, settings);
                (void)DBGridEhFilter::ExpressionAsText(e, false, settings);
                (void)DBGridEhFilter::ExpressionAsText(e, true, settings);
                Check(e.Junction != flNone || e.SecondOp == flNone, "second term without junction");
                for (const Variant& value : {Variant(text), Variant(12.5), Variant::FromDate(46000.0), Null()}) {
                    (void)DBGridEhFilter::TermMatches(e.FirstOp, e.FirstOperand, value, kind);
                    (void)DBGridEhFilter::TermMatches(e.SecondOp, e.SecondOperand, value, kind);
                }
            } catch (const EConvertError&) {
                Check(kind == fvkNumberEh || kind == fvkDateTimeEh, "conversion error on a text kind");
            } catch (const Exception& ex) {
                Check(EndsWith(ex.Message(), trimmed), "message lacks the text");
            }
        }
    }
    return 0;
}
