// Per-element styles (colour, text colour, font, background bitmap, each
// with an "assigned" flag), their repositories and style sheets, and the
// styles objects of controls that resolve an element to drawing parameters.
#pragma once

#include "Graphics.h"
#include "TypInfo.h"
#include "cxClasses.h"

#include <memory>
#include <vector>

class TcxCustomStyles;
class TcxCustomStyleSheet;
class TcxStyleRepository;

enum TcxStyleValue { svBitmap, svColor, svFont, svTextColor };
QZ_ENUM_TYPEINFO(TcxStyleValue, "svBitmap", "svColor", "svFont", "svTextColor")
using TcxStyleValues = TSet<TcxStyleValue, 8>;

// The drawing parameters of one element; clDefault and null mean "not set".
struct TcxStyleParams {
    TBitmap* Bitmap = nullptr;
    TColor Color = clDefault;
    TFont* Font = nullptr;
    TColor TextColor = clDefault;
};

class TcxCustomStyle : public TComponent {
    QZ_CLASS(TcxCustomStyle, TComponent)
public:
    explicit TcxCustomStyle(TComponent* AOwner = nullptr);
    ~TcxCustomStyle() override;
    void BeforeDestruction() override;

    virtual void Changed();
    virtual void AddListener(TcxCustomStyles* AStyles);
    virtual void RemoveListener(TcxCustomStyles* AStyles);
    virtual void ResetValues() {}

    TcxStyleRepository* Repository() const { return FRepository; }
    void SetRepository(TcxStyleRepository* Value);
    const std::vector<TcxCustomStyles*>& StyleUsers() const { return FStyleUsers; }

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

private:
    void DetachUsers();
    TcxStyleRepository* FRepository = nullptr;
    std::vector<TcxCustomStyles*> FStyleUsers;
};
using TcxCustomStyleClass = TClass;

class TcxStyle : public TcxCustomStyle {
    QZ_CLASS(TcxStyle, TcxCustomStyle)
public:
    explicit TcxStyle(TComponent* AOwner = nullptr);
    ~TcxStyle() override;
    void Assign(TPersistent* Source) override;
    void ResetValues() override;

    TcxStyleValues AssignedValues() const { return FAssignedValues; }
    void SetAssignedValues(TcxStyleValues Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* Value);   // copies; null clears
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);       // copies

    bool IsColorStored() const { return FAssignedValues.Contains(svColor); }
    bool IsTextColorStored() const { return FAssignedValues.Contains(svTextColor); }
    bool IsBitmapStored() const { return FAssignedValues.Contains(svBitmap); }
    bool IsFontStored() const { return FAssignedValues.Contains(svFont); }

private:
    void BitmapChanged(TObject* Sender);
    void FontChanged(TObject* Sender);
    TcxStyleValues FAssignedValues;
    TColor FColor = clDefault;
    TColor FTextColor = clDefault;
    std::unique_ptr<TBitmap> FBitmap;
    std::unique_ptr<TFont> FFont;
};

// One pair of a styles object: an element index and its style.
struct TcxStylesPair {
    int Index = 0;
    TcxCustomStyle* Style = nullptr;
};

class TcxCustomStyles : public TcxInterfacedPersistent {
    QZ_CLASS(TcxCustomStyles, TcxInterfacedPersistent)
public:
    explicit TcxCustomStyles(TPersistent* AOwner = nullptr);
    ~TcxCustomStyles() override;
    void Assign(TPersistent* Source) override;

    // Made from a class reference with its owner (a styles class a sheet names).
    static TcxCustomStyles* CreateFromClass(TClass AClass, TPersistent* AOwner);

    bool Find(int Index, int& Position) const;
    TcxCustomStyle* GetStyle(int Index) const;
    void SetStyle(int Index, TcxCustomStyle* Style);
    void Delete(int Position);
    void Clear();
    void RemoveStyle(TcxCustomStyle* Style);
    void StyleChanged(TcxCustomStyle* Style);
    bool CanUseStyleSheet(TcxCustomStyleSheet* Sheet) const;
    void AttachStyleSheet(TcxCustomStyleSheet* Sheet);

    TcxCustomStyleSheet* StyleSheet() const { return FStyleSheet; }
    void SetStyleSheet(TcxCustomStyleSheet* Sheet) { AttachStyleSheet(Sheet); }
    TcxCustomStyleSheet* OwningSheet() const { return FOwningSheet; }
    int PairCount() const { return int(FPairs.size()); }
    const TcxStylesPair& Pair(int Position) const { return FPairs[size_t(Position)]; }

    virtual void IndexChanged(int Index);

protected:
    // Descendants repaint or re-lay out their control.
    virtual void Changed(int Index) {}

private:
    friend class TcxCustomStyleSheet;
    void CollectIndexes(TcxCustomStyleSheet* Sheet, std::vector<int>& Indexes) const;
    void ReleaseStyle(TcxCustomStyle* Style);
    bool OwnerIsBeingWritten() const;
    std::vector<TcxStylesPair> FPairs;
    TcxCustomStyleSheet* FStyleSheet = nullptr;
    TcxCustomStyleSheet* FOwningSheet = nullptr;
    bool FInDestruction = false;
};
using TcxCustomStylesClass = TClass;

// Told by a control that its font changed.
class IcxControlFontListener {
public:
    virtual ~IcxControlFontListener() = default;
    virtual void ControlFontChanged(TObject* Sender, TFont* AFont) = 0;
};

class TcxStyles : public TcxCustomStyles, public IcxControlFontListener {
    QZ_CLASS(TcxStyles, TcxCustomStyles)
public:
    explicit TcxStyles(TPersistent* AOwner = nullptr) : TcxCustomStyles(AOwner) {}

    TcxCustomStyle* GetValue(int Index) const { return GetStyle(Index); }
    void SetValue(int Index, TcxCustomStyle* Style) { SetStyle(Index, Style); }
    virtual void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams);
    virtual bool IsDefaultFontUsed(int Index) const;
    TBitmap* GetBitmap(int Index) const;
    void GetViewParams(int Index, TObject* AData, TcxCustomStyle* AStyle, TcxStyleParams& AParams);
    void ControlFontChanged(TObject* Sender, TFont* AFont) override;

    int HighestDefaultIndex() const { return FHighestDefaultIndex; }
    bool UseBitmapInViewParams() const { return FUseBitmapInViewParams; }

protected:
    void SetUseBitmapInViewParams(bool v) { FUseBitmapInViewParams = v; }

private:
    int FHighestDefaultIndex = 0;
    bool FUseBitmapInViewParams = false;
};

class TcxCustomStyleSheet : public TcxComponent {
    QZ_CLASS(TcxCustomStyleSheet, TcxComponent)
public:
    explicit TcxCustomStyleSheet(TComponent* AOwner = nullptr);
    ~TcxCustomStyleSheet() override;
    void AfterConstruction() override;
    void Assign(TPersistent* Source) override;

    // The styles class this sheet is made for.
    virtual TClass StylesClass() const { return TcxCustomStyles::StaticClass(); }

    std::string Caption() const;
    void SetCaption(const std::string& Value);
    bool IsCaptionStored() const { return !FCaption.empty(); }
    bool BuiltIn() const { return FBuiltIn; }
    void SetBuiltIn(bool Value) { FBuiltIn = Value; }
    TcxCustomStyles* Styles() const;
    TcxStyleRepository* Repository() const { return FRepository; }
    void SetRepository(TcxStyleRepository* Value);
    const std::vector<TcxCustomStyles*>& Followers() const { return FFollowers; }

    void AttachFollower(TcxCustomStyles* AStyles);
    void DetachFollower(TcxCustomStyles* AStyles);
    void StyleIndexChanged(int Index);

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

protected:
    void GetFakeComponentLinks(std::vector<TComponent*>& List) override;

private:
    std::string FCaption;
    bool FBuiltIn = false;
    mutable std::unique_ptr<TcxCustomStyles> FStyles;
    std::vector<TcxCustomStyles*> FFollowers;
    TcxStyleRepository* FRepository = nullptr;
};
using TcxCustomStyleSheetClass = TClass;

class TcxStyleRepository : public TComponent {
    QZ_CLASS(TcxStyleRepository, TComponent)
public:
    explicit TcxStyleRepository(TComponent* AOwner = nullptr);
    ~TcxStyleRepository() override;

    virtual TcxCustomStyle* NewStyle(TClass AStyleClass);
    virtual TcxCustomStyle* NewStyleWithOwner(TClass AStyleClass, TComponent* AOwner);
    virtual TcxCustomStyleSheet* NewStyleSheet(TClass ASheetClass);
    virtual TcxCustomStyleSheet* NewStyleSheetWithOwner(TClass ASheetClass, TComponent* AOwner);

    int Count() const { return int(FStyleList.size()); }
    TcxCustomStyle* Items(int Index) const { return FStyleList[size_t(Index)]; }
    int StyleSheetCount() const { return int(FSheetList.size()); }
    TcxCustomStyleSheet* StyleSheets(int Index) const { return FSheetList[size_t(Index)]; }

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

private:
    friend class TcxCustomStyle;
    friend class TcxCustomStyleSheet;
    std::vector<TcxCustomStyle*> FStyleList;
    std::vector<TcxCustomStyleSheet*> FSheetList;
};

namespace cxStyles {
// Unit start-up: TcxStyle can be created by name.
void Initialize();
}
