// Any bytes as a script XML document: reading raises "Invalid file format"
// or succeeds; what was read writes out and reads back as the same tree
// (names, attribute texts up to surrounding blanks, children), round after
// round.
#include "Exceptions.h"
#include "SysUtils.h"
#include "fs_xml.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool SameTree(const TfsXMLItem* a, const TfsXMLItem* b)
{
    if (a->Name() != b->Name() || Trim(a->Text()) != Trim(b->Text()) || a->Count() != b->Count()) return false;
    for (int i = 0; i < a->Count(); ++i)
        if (!SameTree(a->Items(i), b->Items(i))) return false;
    return true;
}

// Elements the format can write: a name not empty and with no '/' at
// either end, and an attribute text that does not end in '/' before
// trailing blanks (it would read back as an element without children).
bool Nameable(const TfsXMLItem* a)
{
    const std::string& n = a->Name();
    if (n.empty() || n.front() == '/' || n.back() == '/') return false;
    const std::string t = TrimRight(a->Text());
    if (!t.empty() && t.back() == '/') return false;
    for (int i = 0; i < a->Count(); ++i)
        if (!Nameable(a->Items(i))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    TfsXMLDocument doc;
    try {
        doc.LoadFromString(text);
    } catch (const Exception& e) {
        if (e.Message() != fs_xml::SInvalidFileFormat) abort();
        return 0;
    }
    // A document whose first tag is empty or a closing tag, a name read as
    // "a/" from "<a// >", or a text read as "x/ " cannot be written back;
    // the round trip holds for every other document.
    if (!Nameable(doc.Root())) return 0;
    std::string once = doc.SaveToString();
    TfsXMLDocument again;
    try {
        again.LoadFromString(once);
    } catch (const Exception&) {
        fprintf(stderr, "written: %s\n", once.c_str());
        abort();   // what was written must read back
    }
    std::string twice = again.SaveToString();
    TfsXMLDocument third;
    third.LoadFromString(twice);
    if (!SameTree(doc.Root(), again.Root()) || !SameTree(again.Root(), third.Root())) {
        fprintf(stderr, "written:   %s\nrewritten: %s\n", once.c_str(), twice.c_str());
        abort();
    }
    for (int i = 0; i < doc.Root()->Count(); ++i) {
        const TfsXMLItem* item = doc.Root()->Items(i);
        // any text escaped for an attribute unescapes to itself
        if (fs_xml::UnescapeAttributeText(fs_xml::EscapeAttributeText(item->Text())) != item->Text()) abort();
        try {
            fs_xml::UnescapeAttributeText(item->Text());
            item->Prop("text");
            item->Prop(item->Name());
        } catch (const EConvertError&) {
        }
    }
    return 0;
}
