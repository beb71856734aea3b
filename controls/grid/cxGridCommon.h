// Small pieces the grid views share: the three-state cell feedback and its
// button state, renaming of owned components when the grid is renamed, the
// text offsets of cells and the typed class references through which a view
// makes its collaborators.
#pragma once

#include "Classes.h"
#include "Components.h"
#include "Exceptions.h"
#include "cxLookAndFeelPainters.h"

#include <functional>
#include <string>

// A class left an operation to its descendants and one of them did not supply it.
QZ_EXCEPTION(EcxGridAbstractError, Exception)

// The mouse feedback of a cell.
enum TcxGridCellState { gcsNormal, gcsHot, gcsPressed };

// A class reference that also makes objects of its class with the
// constructor arguments its base takes (the "virtual constructor" of a class
// getter). Empty references make nothing.
template <class B, class... A> class TcxGridClassRef {
public:
    TcxGridClassRef() = default;
    template <class T> static TcxGridClassRef Of()
    {
        TcxGridClassRef r;
        r.FClass = T::StaticClass();
        r.FMake = [](A... args) -> B* {
            T* obj = new T(args...);
            obj->AfterConstruction();
            return obj;
        };
        return r;
    }
    TClass Class() const { return FClass; }
    explicit operator bool() const { return FMake != nullptr; }
    bool operator==(const TcxGridClassRef& other) const { return FClass == other.FClass; }
    // Raises the abstract-method error for an empty reference.
    B* Create(A... args) const
    {
        if (!FMake) throw EcxGridAbstractError("Abstract Error");
        return FMake(args...);
    }

private:
    TClass FClass = nullptr;
    B* (*FMake)(A...) = nullptr;
};

namespace cxGridCommon {
TcxButtonState GridCellStateToButtonState(TcxGridCellState AState);

// 2 pixels on each side of a cell's text.
inline int AddCellTextOffsets(int ASize) { return ASize + 4; }

// Renames the owned components whose names begin with the old name of their
// owning control: ACount items, ANewName followed by the rest of each name.
// Only items owned by AOwner whose name is longer than AOldName and begins
// with it (ASCII case folded) qualify; a refused name is skipped.
void RenameComponents(TComponent* AOwnerControl, TComponent* AOwner, const std::string& ANewName,
                      const std::function<TComponent*(int)>& GetItem, int ACount, const std::string& AOldName);
}  // namespace cxGridCommon
