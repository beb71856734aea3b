// Stored layouts read back onto live objects: a reader of stored properties
// looks up the interceptor registered for its target's class, writes the
// stored values into the interceptor instead of the target and lets it
// apply them at the end. A form's placement is rescaled to the screen and
// kept as its normal position; a column's width goes to its auto-fit base
// width when the grid fits its columns; the column order comes back by
// field name.
#pragma once

#include "DBGridEh.h"
#include "Forms.h"

#include <memory>
#include <string>

// The base of the interceptors: it stands in for a target object (not owned).
class TStoragePropertyInterceptor : public TPersistent {
    QZ_CLASS(TStoragePropertyInterceptor, TPersistent)
public:
    TStoragePropertyInterceptor() = default;
    TObject* TargetObject() const { return FTarget; }
    // Binds the interceptor to its target and takes the target's values.
    virtual void Init(TObject* target) { FTarget = target; }
    virtual bool WantsInterception() { return true; }
    // Applies what was read to the target.
    virtual void AfterRead() {}
private:
    TObject* FTarget = nullptr;
};

// Stands in for a form: its position and size are kept as they were at the
// stored pixels per inch and applied rescaled to the screen's.
class TFormStoragePropertyInterceptor : public TStoragePropertyInterceptor {
    QZ_CLASS(TFormStoragePropertyInterceptor, TStoragePropertyInterceptor)
public:
    TFormStoragePropertyInterceptor() = default;
    void Init(TObject* target) override;
    void AfterRead() override;
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* v) { FActiveControl = v; }
    int Left() const { return FLeft; }
    void SetLeft(int v);
    int Top() const { return FTop; }
    void SetTop(int v);
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int v) { FPixelsPerInch = v; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState v) { FWindowState = v; }
    bool PositionRead() const { return FPositionRead; }
private:
    TWinControl* FActiveControl = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    int FPixelsPerInch = 96;
    TWindowState FWindowState = wsNormal;
    bool FPositionRead = false;
};

// Stands in for a column: a stored width goes to the auto-fit base width
// when the grid fits its columns to its width.
class TColumnEhPropertyInterceptor : public TStoragePropertyInterceptor {
    QZ_CLASS(TColumnEhPropertyInterceptor, TStoragePropertyInterceptor)
public:
    TColumnEhPropertyInterceptor() = default;
    void SetWidth(int v);
};

// Stands in for a grid's columns: ColumnsIndex is the quoted, comma
// separated list of their field names, in order; written, it restores the order.
class TColumnsEhPropertyInterceptor : public TStoragePropertyInterceptor {
    QZ_CLASS(TColumnsEhPropertyInterceptor, TStoragePropertyInterceptor)
public:
    TColumnsEhPropertyInterceptor() = default;
    std::string ColumnsIndex() const;
    void SetColumnsIndex(const std::string& v);
private:
    std::string FColumnsIndex;
};

namespace DBGridEhStorage {
// Registers the interceptor class for a target class (replacing an earlier one).
void AddReadInterceptor(TClass targetClass, TClass interceptorClass);
// Removes the pair.
void RemoveReadInterceptor(TClass targetClass, TClass interceptorClass);
// The interceptor class registered for exactly that class (null when none).
TClass ReadInterceptorClass(TClass targetClass);
// A new interceptor of the class registered for the target's class, bound
// to the target; null when none is registered.
std::unique_ptr<TStoragePropertyInterceptor> CreateReadInterceptor(TObject* target);
// Where a form lies when shown normally (its bounds).
TRect NormalPlacementRect(TCustomForm* form);
// A value, or an array's elements each between single quotes and separated by commas.
std::string VariantListText(const Variant& v);
} // namespace DBGridEhStorage
