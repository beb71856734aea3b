// The registry stand-in: keys and values kept in an INI file in the user's
// configuration folder ("registry.ini"). A key is a section named by its
// root and path, backslash separated ("HKEY_LOCAL_MACHINE\Software\..."),
// compared case-insensitively. Values keep their type: strings are stored
// in double quotes, integers as "dword:" and eight hexadecimal digits.
#pragma once

#include "Exceptions.h"
#include "IniFiles.h"
#include "System.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStrings;

using HKEY = uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0;
};

class TRegistry : public TObject {
    QZ_CLASS(TRegistry, TObject)
public:
    TRegistry();
    ~TRegistry() override;

    // The file all registry objects of the process use; tests point it at a
    // scratch file. Empty restores the default (UserConfigDir()+"registry.ini").
    static void SetStoreFileName(const std::string& fileName);
    static std::string StoreFileName();

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY key);   // closes the open key
    // Path of the open key without the root, no leading backslash; "" when none.
    const std::string& CurrentPath() const { return FCurrentPath; }
    bool HasCurrentKey() const { return FOpen; }
    bool LazyWrite = true;   // kept for callers; every write reaches the file at once

    // A leading backslash makes the path absolute, otherwise it is relative
    // to the open key. False when the key is missing and canCreate is false.
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();
    bool CreateKey(const std::string& key);
    bool KeyExists(const std::string& key) const;
    // Removes the key with all its subkeys and values; false when missing.
    bool DeleteKey(const std::string& key);
    bool HasSubKeys() const;
    void GetKeyNames(TStrings& strings) const;
    void GetValueNames(TStrings& strings) const;

    bool ValueExists(const std::string& name) const;
    bool DeleteValue(const std::string& name);
    TRegDataType GetDataType(const std::string& name) const;   // rdUnknown when missing
    int GetDataSize(const std::string& name) const;            // -1 when missing
    bool GetDataInfo(const std::string& name, TRegDataInfo& info) const;

    // "" when the value is missing; raises "Invalid data type for '%s'"
    // when it is not a string.
    std::string ReadString(const std::string& name) const;
    void WriteString(const std::string& name, const std::string& value);
    void WriteExpandString(const std::string& name, const std::string& value);
    // Raise "Failed to get data for '%s'" when missing and "Invalid data
    // type for '%s'" when not an integer.
    int ReadInteger(const std::string& name) const;
    void WriteInteger(const std::string& name, int value);
    bool ReadBool(const std::string& name) const;
    void WriteBool(const std::string& name, bool value);

private:
    std::string SectionFor(const std::string& path) const;   // root + "\" + path
    std::string Resolve(const std::string& key) const;       // absolute path, no leading '\'
    std::string CurrentSection() const;
    void CheckWritable(const std::string& name) const;
    TIniFile& Store() const;

    HKEY FRootKey = HKEY_CURRENT_USER;
    bool FOpen = false;
    bool FReadOnly = false;
    std::string FCurrentPath;
    mutable std::unique_ptr<TIniFile> FStore;
    mutable std::string FStoreName;
};

// A settings store in the registry, used through the INI interface: the
// file name is a key under the root ("\\Software\\MyProgram"), each section a
// subkey of it and each ident a value. Integers and Booleans are stored as
// integers; a string that holds a number reads as an integer and an integer
// reads as its decimal text. Raw access goes through the GBK form of the text.
class TRegistryIniFile : public TCustomIniFile {
    QZ_CLASS(TRegistryIniFile, TCustomIniFile)
public:
    explicit TRegistryIniFile(std::string fileName, HKEY rootKey = HKEY_CURRENT_USER);
    ~TRegistryIniFile() override;
    TRegistry& RegIniFile() { return *FReg; }

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& def) const override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    std::string ReadStringRaw(const std::string& section, const std::string& ident,
                              const std::string& def) const override;
    void WriteStringRaw(const std::string& section, const std::string& ident, const std::string& bytes) override;
    int ReadInteger(const std::string& section, const std::string& ident, int def) const override;
    void WriteInteger(const std::string& section, const std::string& ident, int value) override;
    bool SectionExists(const std::string& section) const override;
    bool ValueExists(const std::string& section, const std::string& ident) const override;
    void ReadSectionValues(const std::string& section, TStrings& strings) const override;
    std::vector<std::string> SectionNames() const override;
    std::vector<std::string> KeyNames(const std::string& section) const override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    void AddSection(const std::string& section) override;
    void UpdateFile() override {}

protected:
    void AfterWrite() override {}

private:
    // Opens the section's key (made when create is set); false when missing.
    bool OpenSection(const std::string& section, bool create) const;
    std::unique_ptr<TRegistry> FReg;
};
