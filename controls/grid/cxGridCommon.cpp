#include "cxGridCommon.h"

#include "TextUtils.h"

namespace cxGridCommon {

TcxButtonState GridCellStateToButtonState(TcxGridCellState AState)
{
    static const TcxButtonState Map[] = {cxbsNormal, cxbsHot, cxbsPressed};
    return Map[AState];
}

void RenameComponents(TComponent* AOwnerControl, TComponent* AOwner, const std::string& ANewName,
                      const std::function<TComponent*(int)>& GetItem, int ACount, const std::string& AOldName)
{
    for (int i = 0; i < ACount; ++i) {
        TComponent* item = GetItem(i);
        if (!item || item->Owner() != AOwner) continue;
        const std::string name = item->Name();
        if (name.size() <= AOldName.size()) continue;
        if (!SameText(name.substr(0, AOldName.size()), AOldName)) continue;
        try {
            item->SetName(ANewName + name.substr(AOldName.size()));
        } catch (const EComponentError&) {
            // A name the owner refuses stays as it was; the others are still renamed.
        }
    }
}

}  // namespace cxGridCommon
