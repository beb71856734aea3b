#include "cxResStrings.h"

#include <map>
#include <memory>

namespace cxClasses {

namespace {
// Made on first replacement, freed when the last one is reset.
std::unique_ptr<std::map<TcxResourceStringID, std::string>>& Table()
{
    static std::unique_ptr<std::map<TcxResourceStringID, std::string>> table;
    return table;
}
}

std::string GetResourceString(TcxResourceStringID ident)
{
    if (!ident) return std::string();
    auto& t = Table();
    if (t) {
        auto it = t->find(ident);
        if (it != t->end()) return it->second;
    }
    return ident->Text ? std::string(ident->Text) : std::string();
}

void SetResourceString(TcxResourceStringID ident, const std::string& text)
{
    if (!ident) return;
    auto& t = Table();
    if (!t) t = std::make_unique<std::map<TcxResourceStringID, std::string>>();
    (*t)[ident] = text;
}

void ResetResourceString(TcxResourceStringID ident)
{
    auto& t = Table();
    if (!t) return;
    if (ident) t->erase(ident);
    if (!ident || t->empty()) t.reset();
}

}  // namespace cxClasses
