// The PDF writer maps each glyph back to the first character the font shows
// with it, and CJK fonts draw the radical forms (U+2E80–U+2FDF) with the
// glyphs of everyday ideographs: text copied or searched in a printed
// document read "第⼀⻚" where the page said "第一页". The text maps of a
// finished document are mended here: each radical becomes the ideograph the
// glyph stands for.
//
// This file reaches no other header of the tree: the document library's
// headers do not build as C++20 with clang 14 (they define a destructor of a
// vector of a class not yet complete), so clang builds it as C++17.
#include <QFile>
#include <QString>

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <map>
#include <regex>
#include <string>

namespace {

// The radical supplement's simplified and other everyday forms; the Kangxi
// radicals take their compatibility mapping.
const std::map<char16_t, char16_t>& SupplementForms()
{
    static const std::map<char16_t, char16_t> m = {
        {0x2E81, 0x5382}, {0x2E8C, 0x5C0F}, {0x2E9C, 0x65E5}, {0x2E9D, 0x6708}, {0x2E9F, 0x6BCD},
        {0x2EA0, 0x6C11}, {0x2EA9, 0x738B}, {0x2EAE, 0x7AF9}, {0x2EB0, 0x7E9F}, {0x2EB7, 0x7F8A},
        {0x2EBB, 0x807F}, {0x2EBC, 0x6708}, {0x2EBD, 0x81FC}, {0x2EC1, 0x864E}, {0x2EC4, 0x897F},
        {0x2EC5, 0x89C1}, {0x2EC6, 0x89D2}, {0x2EC8, 0x8BA0}, {0x2EC9, 0x8D1D}, {0x2ECB, 0x8F66},
        {0x2ED0, 0x9485}, {0x2ED1, 0x9577}, {0x2ED3, 0x957F}, {0x2ED4, 0x95E8}, {0x2ED7, 0x96E8},
        {0x2ED8, 0x9752}, {0x2ED9, 0x97E6}, {0x2EDA, 0x9875}, {0x2EDB, 0x98CE}, {0x2EDC, 0x98DE},
        {0x2EDD, 0x98DF}, {0x2EE0, 0x9963}, {0x2EE2, 0x9A6C}, {0x2EE3, 0x9AA8}, {0x2EE4, 0x9B3C},
        {0x2EE5, 0x9C7C}, {0x2EE6, 0x9E1F}, {0x2EE7, 0x5364}, {0x2EE8, 0x9EA6}, {0x2EE9, 0x9EC4},
        {0x2EEA, 0x9EFE}, {0x2EEC, 0x9F50}, {0x2EEE, 0x9F7F}, {0x2EF0, 0x9F99}, {0x2EF3, 0x9F9F},
    };
    return m;
}

char16_t Unified(char16_t c)
{
    if (c >= 0x2F00 && c <= 0x2FD5) {
        QString n = QString(QChar(c)).normalized(QString::NormalizationForm_KC);
        return n.size() == 1 ? char16_t(n[0].unicode()) : c;
    }
    auto it = SupplementForms().find(c);
    return it == SupplementForms().end() ? c : it->second;
}

std::string Hex4(char16_t c)
{
    char b[8];
    std::snprintf(b, sizeof b, "%04X", unsigned(c));
    return b;
}

// The destinations of a text map: the targets of bfchar lines, the arrays of
// bfrange lines and single-glyph ranges.
std::string Remap(const std::string& cmap)
{
    static const std::regex token("<([0-9A-Fa-f]{4})>");
    auto fix = [](const std::string& part) {
        std::string out;
        auto begin = std::sregex_iterator(part.begin(), part.end(), token);
        size_t last = 0;
        for (auto it = begin; it != std::sregex_iterator(); ++it) {
            char16_t c = char16_t(std::stoul((*it)[1].str(), nullptr, 16));
            char16_t u = Unified(c);
            out += part.substr(last, size_t(it->position()) - last);
            out += u == c ? it->str() : "<" + Hex4(u) + ">";
            last = size_t(it->position() + it->length());
        }
        return out + part.substr(last);
    };
    std::string out;
    bool inChar = false, inRange = false;
    size_t pos = 0;
    while (pos < cmap.size()) {
        size_t eol = cmap.find('\n', pos);
        std::string line = cmap.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos + 1);
        pos = eol == std::string::npos ? cmap.size() : eol + 1;
        if (line.find("beginbfchar") != std::string::npos) inChar = true;
        else if (line.find("endbfchar") != std::string::npos) inChar = false;
        else if (line.find("beginbfrange") != std::string::npos) inRange = true;
        else if (line.find("endbfrange") != std::string::npos) inRange = false;
        else if (inChar || inRange) {
            // The first token (and in a range the second) names glyphs, not characters.
            size_t skip = 0;
            for (int n = 0; n < (inChar ? 1 : 2); ++n) {
                size_t close = line.find('>', skip);
                if (close == std::string::npos) break;
                skip = close + 1;
            }
            std::string tail = line.substr(skip);
            if (inRange && tail.find('[') == std::string::npos) {
                // <a> <b> <start>: only a range of one glyph names one character.
                std::string head = line.substr(0, skip);
                auto it = std::sregex_iterator(head.begin(), head.end(), token);
                std::string first = it != std::sregex_iterator() ? it->str() : "";
                std::string second = ++it != std::sregex_iterator() ? it->str() : "";
                if (first != second) {
                    out += line;
                    continue;
                }
            }
            out += line.substr(0, skip) + fix(tail);
            continue;
        }
        out += line;
    }
    return out;
}

} // namespace

namespace qzgui {
// Declared for the rest of the library in QzGuiPrivate.h.
bool MendPdfTextMaps(const QString& fileName, const std::string& title);
}

bool qzgui::MendPdfTextMaps(const QString& fileName, const std::string& title)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        QByteArray path = QFile::encodeName(fileName);
        pdf.processFile(path.constData());
        bool changed = false;
        for (QPDFObjectHandle obj : pdf.getAllObjects()) {
            if (!obj.isDictionary() || !obj.hasKey("/ToUnicode")) continue;
            QPDFObjectHandle map = obj.getKey("/ToUnicode");
            if (!map.isStream()) continue;
            auto data = map.getStreamData(qpdf_dl_generalized);
            std::string text(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
            std::string fixed = Remap(text);
            if (fixed == text) continue;
            map.replaceStreamData(fixed, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
            changed = true;
        }
        if (!changed) return true;
        // The writer leaves a carriage return inside a title's text
        // unescaped, which readers take for a line feed: the title is
        // written anew with the document.
        QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
        if (info.isDictionary() && !title.empty()) info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title));
        QByteArray out = path + ".map";
        {
            QPDFWriter w(pdf, out.constData());
            w.setStaticID(false);
            w.write();
        }
        if (std::rename(out.constData(), path.constData()) != 0) {
            std::remove(out.constData());
            return false;
        }
        return true;
    } catch (std::exception&) {
        return false;
    }
}
