// The report library's keyed text table: every message and caption is
// looked up by key, and a missing text shows its key.
#pragma once

#include <memory>
#include <string>
#include <vector>

class TComponent;

class TfrxResources {
public:
    TfrxResources();
    ~TfrxResources();
    // Stores text under key; an existing key gets the new text in place.
    void Add(const std::string& key, const std::string& text);
    // The text stored under key (case-insensitive), or the key itself.
    std::string Get(const std::string& key) const;
    int TextCount() const;
    // Applies the text block stored under the form's class name: lines
    // "Property=Value" set a string property of the form, lines
    // "Component.Property=Value" one of a component the form owns.
    void LocalizeForm(TComponent* form) const;
private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

namespace frxRes {
// The process-wide table, made (and filled with the library's texts) on first use.
TfrxResources& Resources();
}

namespace frxrcClass {
// Adds the library's core texts and form text blocks to the table.
void AddTexts(TfrxResources& res);
}
