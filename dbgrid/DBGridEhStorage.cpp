// The registry of stored-property interceptors and the three interceptors
// of the grid library: forms, columns and a grid's columns.
#include "DBGridEhStorage.h"

#include "StringLists.h"
#include "TypInfo.h"
#include "Variants.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace {

void DefineFormInterceptorProps(std::vector<TPropInfo>& p)
{
    using C = TFormStoragePropertyInterceptor;
    p.push_back(PublishInt<C>("Left", &C::Left, &C::SetLeft));
    p.push_back(PublishInt<C>("Top", &C::Top, &C::SetTop));
    p.push_back(PublishInt<C>("Width", &C::Width, &C::SetWidth));
    p.push_back(PublishInt<C>("Height", &C::Height, &C::SetHeight));
    p.push_back(PublishInt<C>("PixelsPerInch", &C::PixelsPerInch, &C::SetPixelsPerInch));
}

void DefineColumnInterceptorProps(std::vector<TPropInfo>& p)
{
    using C = TColumnEhPropertyInterceptor;
    p.push_back(PublishInt<C>(
        "Width",
        [](C* x) {
            auto* col = DynamicCast<TColumnEh>(x->TargetObject());
            return col ? col->Width() : 0;
        },
        &C::SetWidth));
}

void DefineColumnsInterceptorProps(std::vector<TPropInfo>& p)
{
    using C = TColumnsEhPropertyInterceptor;
    p.push_back(PublishString<C>("ColumnsIndex", &C::ColumnsIndex, &C::SetColumnsIndex));
}

struct TRegistry {
    std::mutex Lock;
    std::vector<std::pair<TClass, TClass>> Pairs;   // target class, interceptor class
};

TRegistry& Registry()
{
    static TRegistry r;
    return r;
}

// The grid's own registrations, made before anything reads the registry.
void RegisterDefaults(TRegistry& r)
{
    static const bool done = [&r] {
        r.Pairs.emplace_back(TCustomForm::StaticClass(), TFormStoragePropertyInterceptor::StaticClass());
        r.Pairs.emplace_back(TColumnEh::StaticClass(), TColumnEhPropertyInterceptor::StaticClass());
        r.Pairs.emplace_back(TDBGridColumnsEh::StaticClass(), TColumnsEhPropertyInterceptor::StaticClass());
        return true;
    }();
    (void)done;
}

} // namespace

QZ_CLASS_IMPL(TStoragePropertyInterceptor, TPersistent)
QZ_CLASS_IMPL_PROPS(TFormStoragePropertyInterceptor, TStoragePropertyInterceptor, DefineFormInterceptorProps)
QZ_CLASS_IMPL_PROPS(TColumnEhPropertyInterceptor, TStoragePropertyInterceptor, DefineColumnInterceptorProps)
QZ_CLASS_IMPL_PROPS(TColumnsEhPropertyInterceptor, TStoragePropertyInterceptor, DefineColumnsInterceptorProps)

// ---- the form -----------------------------------------------------------------------------------------

void TFormStoragePropertyInterceptor::Init(TObject* target)
{
    TStoragePropertyInterceptor::Init(target);
    auto* form = DynamicCast<TCustomForm>(target);
    if (!form) return;
    TRect r = DBGridEhStorage::NormalPlacementRect(form);
    FLeft = r.Left;
    FTop = r.Top;
    FWidth = r.Right - r.Left;
    FHeight = r.Bottom - r.Top;
    FPixelsPerInch = Screen ? Screen->PixelsPerInch() : 96;
    FWindowState = form->WindowState();
    FActiveControl = form->ActiveControl();
}

void TFormStoragePropertyInterceptor::SetLeft(int v)
{
    FLeft = v;
    FPositionRead = true;
}

void TFormStoragePropertyInterceptor::SetTop(int v)
{
    FTop = v;
    FPositionRead = true;
}

void TFormStoragePropertyInterceptor::AfterRead()
{
    int screenPpi = Screen ? Screen->PixelsPerInch() : 96;
    if (FPixelsPerInch > 0 && FPixelsPerInch != screenPpi) {
        FHeight = MulDiv(FHeight, screenPpi, FPixelsPerInch);
        FLeft = MulDiv(FLeft, screenPpi, FPixelsPerInch);
        FTop = MulDiv(FTop, screenPpi, FPixelsPerInch);
        FWidth = MulDiv(FWidth, screenPpi, FPixelsPerInch);
    }
    auto* form = DynamicCast<TCustomForm>(TargetObject());
    if (!form) return;
    form->SetWindowState(FWindowState);
    if (FActiveControl) form->SetActiveControl(FActiveControl);
    if (form->WindowState() != wsNormal) {
        // The bounds become where the form goes when it is restored.
        TWindowState state = form->WindowState();
        form->SetWindowState(wsNormal);
        form->SetBounds(FLeft, FTop, FWidth, FHeight);
        form->SetWindowState(state);
    } else {
        form->SetBounds(FLeft, FTop, FWidth, FHeight);
    }
    if ((form->Position() == poScreenCenter || form->Position() == poDesktopCenter) &&
        !form->ComponentState().Contains(csDesigning) && FPositionRead)
        form->SetPosition(poDesigned);
}

// ---- columns ------------------------------------------------------------------------------------------

void TColumnEhPropertyInterceptor::SetWidth(int v)
{
    auto* col = DynamicCast<TColumnEh>(TargetObject());
    if (!col) return;
    TCustomDBGridEh* grid = col->Grid();
    if (grid && grid->AutoFitColWidths()) col->SetBaseWidth(v);
    else col->SetWidth(v);
}

std::string TColumnsEhPropertyInterceptor::ColumnsIndex() const
{
    auto* cols = DynamicCast<TDBGridColumnsEh>(TargetObject());
    if (!cols) return FColumnsIndex;
    std::string out;
    for (int i = 0; i < cols->Count(); ++i) {
        if (i > 0) out += ',';
        out += '"' + cols->Items(i)->FieldName() + '"';
    }
    return out;
}

void TColumnsEhPropertyInterceptor::SetColumnsIndex(const std::string& v)
{
    FColumnsIndex = v;
    auto* cols = DynamicCast<TDBGridColumnsEh>(TargetObject());
    if (!cols) return;
    TStringList names;
    names.SetCommaText(v);
    cols->BeginUpdate();
    try {
        for (int i = 0; i < names.Count(); ++i) {
            for (int k = 0; k < cols->Count(); ++k) {
                if (cols->Items(k)->FieldName() == names.Strings(i)) {
                    if (i < cols->Count()) cols->Items(k)->SetColumnIndex(i);
                    break;
                }
            }
        }
    } catch (...) {
        cols->EndUpdate();
        throw;
    }
    cols->EndUpdate();
}

// ---- the registry ---------------------------------------------------------------------------------------

namespace DBGridEhStorage {

void AddReadInterceptor(TClass targetClass, TClass interceptorClass)
{
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    RegisterDefaults(r);
    r.Pairs.erase(std::remove_if(r.Pairs.begin(), r.Pairs.end(),
                                 [&](const auto& p) { return p.first == targetClass; }),
                  r.Pairs.end());
    r.Pairs.emplace_back(targetClass, interceptorClass);
}

void RemoveReadInterceptor(TClass targetClass, TClass interceptorClass)
{
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    RegisterDefaults(r);
    r.Pairs.erase(std::remove_if(r.Pairs.begin(), r.Pairs.end(),
                                 [&](const auto& p) { return p.first == targetClass && p.second == interceptorClass; }),
                  r.Pairs.end());
}

TClass ReadInterceptorClass(TClass targetClass)
{
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    RegisterDefaults(r);
    for (const auto& p : r.Pairs)
        if (p.first == targetClass) return p.second;
    return nullptr;
}

std::unique_ptr<TStoragePropertyInterceptor> CreateReadInterceptor(TObject* target)
{
    if (!target) return nullptr;
    // The class itself or the nearest ancestor that has one.
    for (TClass c = target->ClassType(); c; c = c->Parent) {
        if (TClass ic = ReadInterceptorClass(c)) {
            std::unique_ptr<TObject> made(ic->Create());
            auto* interceptor = DynamicCast<TStoragePropertyInterceptor>(made.get());
            if (!interceptor) return nullptr;
            made.release();
            std::unique_ptr<TStoragePropertyInterceptor> out(interceptor);
            out->Init(target);
            return out;
        }
    }
    return nullptr;
}

TRect NormalPlacementRect(TCustomForm* form)
{
    if (!form) return {};
    return {form->Left(), form->Top(), form->Left() + form->Width(), form->Top() + form->Height()};
}

std::string VariantListText(const Variant& v)
{
    if (!VarIsArray(v)) return VarToStr(v);
    std::string out;
    for (int i = VarArrayLowBound(v, 1); i <= VarArrayHighBound(v, 1); ++i) {
        if (!out.empty()) out += ',';
        out += '\'' + VarToStr(VarArrayGet(v, {i})) + '\'';
    }
    return out;
}

} // namespace DBGridEhStorage
