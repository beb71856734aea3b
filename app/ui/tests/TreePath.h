// A node of the main window's tree by its path of texts ("培训中/业务员/钱业务").
#pragma once

#include "ComCtrls.h"

#include <string>

inline TTreeNode* NodeAt(TTreeView* tree, const std::string& path)
{
    TTreeNode* n = nullptr;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        TTreeNode* found = nullptr;
        for (TTreeNode* c = n ? n->GetFirstChild() : tree->Items()->GetFirstNode(); c && !found; c = c->GetNextSibling())
            if (c->Text() == part) found = c;
        if (!found) return nullptr;
        n = found;
        start = end + 1;
    }
    return n;
}
