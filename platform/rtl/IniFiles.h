// INI files. Section and key names are case-insensitive (ASCII), the first
// of duplicate sections or keys wins, ';' starts a comment line, any line end
// is read and CR LF is written. A value is everything after the first '='
// up to the line end, byte for byte: nothing is trimmed or unquoted, so
// scrambled values that begin with a blank or a quote read back unchanged.
//
// The file is GBK on disk. ReadString/WriteString convert at the boundary;
// ReadStringRaw/WriteStringRaw move the stored bytes untouched, for values
// that are not text.
//
// TCustomIniFile is also the interface of every settings store: the
// registry-backed store (TRegistryIniFile, Registry.h) overrides the
// virtual primitives; the typed reads and writes stand on them.
#pragma once

#include "Exceptions.h"
#include "System.h"
#include <memory>
#include <string>
#include <vector>

class TStrings;
struct TIniDocument;   // the parsed file, lines kept as they stand

class TCustomIniFile : public TObject {
    QZ_CLASS(TCustomIniFile, TObject)
public:
    explicit TCustomIniFile(std::string fileName);
    ~TCustomIniFile() override;

    const std::string& FileName() const { return FFileName; }

    virtual std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& def) const;
    virtual void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    // The stored bytes as they stand; def when the key is missing.
    virtual std::string ReadStringRaw(const std::string& section, const std::string& ident,
                              const std::string& def) const;
    // Stores the bytes untouched. CR, LF and NUL cannot live in a line and raise.
    virtual void WriteStringRaw(const std::string& section, const std::string& ident, const std::string& bytes);

    // Decimal, or hexadecimal with "0x" or "$"; def when missing or malformed.
    virtual int ReadInteger(const std::string& section, const std::string& ident, int def) const;
    virtual void WriteInteger(const std::string& section, const std::string& ident, int value);
    // "0" is false, any other number true; def when missing or not a number.
    bool ReadBool(const std::string& section, const std::string& ident, bool def) const;
    void WriteBool(const std::string& section, const std::string& ident, bool value);   // WriteInteger 1/0
    // Numbers, dates and times in the program's format settings (FloatToStr,
    // DateToStr, ...); def when missing or not convertible.
    double ReadFloat(const std::string& section, const std::string& ident, double def) const;
    void WriteFloat(const std::string& section, const std::string& ident, double value);
    TDateTime ReadDate(const std::string& section, const std::string& ident, TDateTime def) const;
    TDateTime ReadDateTime(const std::string& section, const std::string& ident, TDateTime def) const;
    TDateTime ReadTime(const std::string& section, const std::string& ident, TDateTime def) const;
    void WriteDate(const std::string& section, const std::string& ident, TDateTime value);
    void WriteDateTime(const std::string& section, const std::string& ident, TDateTime value);
    void WriteTime(const std::string& section, const std::string& ident, TDateTime value);

    virtual bool SectionExists(const std::string& section) const;
    virtual bool ValueExists(const std::string& section, const std::string& ident) const;
    // Key names of one section, in file order (duplicates once).
    void ReadSection(const std::string& section, TStrings& strings) const;
    void ReadSections(TStrings& strings) const;
    // "key=value" lines of one section.
    virtual void ReadSectionValues(const std::string& section, TStrings& strings) const;
    virtual std::vector<std::string> SectionNames() const;
    virtual std::vector<std::string> KeyNames(const std::string& section) const;
    virtual void EraseSection(const std::string& section);
    virtual void DeleteKey(const std::string& section, const std::string& ident);
    // Adds the section header when missing (an empty section persists).
    virtual void AddSection(const std::string& section);

    // Writes pending changes to disk (TMemIniFile; a no-op for TIniFile).
    virtual void UpdateFile() = 0;

protected:
    // Brings the document up to date before a read (TIniFile rereads a
    // changed file) and stores it after a change.
    virtual void BeforeRead() const {}
    virtual void AfterWrite() = 0;
    void LoadFromDisk() const;      // a missing file is an empty document
    void SaveToDisk() const;        // whole file replaced atomically; raises EIniFileException
    TIniDocument& Doc() const { return *FDoc; }
    void SetFileName(std::string fileName) { FFileName = std::move(fileName); }

private:
    std::string FFileName;
    std::unique_ptr<TIniDocument> FDoc;
};

// Every write reaches the file before the call returns; reads see changes
// other writers made to the file.
class TIniFile : public TCustomIniFile {
    QZ_CLASS(TIniFile, TCustomIniFile)
public:
    explicit TIniFile(std::string fileName);
    void UpdateFile() override {}
protected:
    void BeforeRead() const override;
    void AfterWrite() override;
private:
    mutable int64_t FStamp = -1;    // modification time and size seen last
    mutable int64_t FSize = -1;
    mutable int64_t FIno = -1;
};

// Reads the file once; changes stay in memory until UpdateFile.
class TMemIniFile : public TCustomIniFile {
    QZ_CLASS(TMemIniFile, TCustomIniFile)
public:
    explicit TMemIniFile(std::string fileName);
    void UpdateFile() override;
    // The whole content as text (UTF-8), and replacing it from text.
    void GetStrings(TStrings& list) const;
    void SetStrings(const TStrings& list);
    void Clear();
    void Rename(const std::string& fileName, bool reload);
protected:
    void AfterWrite() override {}
};
