#include "frxRes.h"

#include "Components.h"
#include "StringLists.h"
#include "TextUtils.h"
#include "TypInfo.h"

#include <map>

struct TfrxResources::TImpl {
    // Upper-cased key -> index into Texts.
    std::map<std::string, size_t> Keys;
    std::vector<std::string> Texts;
};

TfrxResources::TfrxResources() : FImpl(std::make_unique<TImpl>()) {}
TfrxResources::~TfrxResources() = default;

void TfrxResources::Add(const std::string& key, const std::string& text)
{
    std::string k = UpperCase(key);
    auto it = FImpl->Keys.find(k);
    if (it != FImpl->Keys.end()) {
        FImpl->Texts[it->second] = text;
        return;
    }
    FImpl->Keys.emplace(k, FImpl->Texts.size());
    FImpl->Texts.push_back(text);
}

std::string TfrxResources::Get(const std::string& key) const
{
    auto it = FImpl->Keys.find(UpperCase(key));
    return it == FImpl->Keys.end() ? key : FImpl->Texts[it->second];
}

int TfrxResources::TextCount() const { return int(FImpl->Texts.size()); }

void TfrxResources::LocalizeForm(TComponent* form) const
{
    if (!form) return;
    auto it = FImpl->Keys.find(UpperCase(form->ClassName()));
    if (it == FImpl->Keys.end()) return;
    TStringList lines;
    lines.SetText(FImpl->Texts[it->second]);
    for (int i = 0; i < lines.Count(); ++i) {
        std::string line = lines[i];
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        std::string name = line.substr(0, eq);
        std::string value = line.substr(eq + 1, 4096);
        TObject* target = form;
        size_t dot = name.find('.');
        if (dot != std::string::npos) {
            target = form->FindComponent(name.substr(0, dot));
            name = name.substr(dot + 1);
            if (!target) continue;
        }
        PPropInfo info = GetPropInfo(target, name);
        if (!info || !info->SetStr) continue;
        try {
            SetStrProp(target, info, value);
        } catch (const std::exception&) {
        }
    }
}

namespace frxRes {
TfrxResources& Resources()
{
    static TfrxResources* res = [] {
        auto* r = new TfrxResources();
        frxrcClass::AddTexts(*r);
        return r;
    }();
    return *res;
}
}
