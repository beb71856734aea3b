// The exception family of the run-time library. Messages are the texts the
// user sees; EAbort is the silent exception.
#pragma once

#include "System.h"
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string msg) : FMessage(std::move(msg)) {}
    const char* what() const noexcept override { return FMessage.c_str(); }
    const std::string& Message() const { return FMessage; }
    void SetMessage(const std::string& m) { FMessage = m; }
    int HelpContext = 0;
    // The exception's class name, for messages and the script engine.
    virtual const char* ClassName() const { return "Exception"; }
private:
    std::string FMessage;
};

#define QZ_EXCEPTION(Cls, Parent)                                       \
    class Cls : public Parent {                                         \
    public:                                                             \
        using Parent::Parent;                                           \
        const char* ClassName() const override { return #Cls; }         \
    };

QZ_EXCEPTION(EAbort, Exception)
QZ_EXCEPTION(EConvertError, Exception)
QZ_EXCEPTION(EListError, Exception)
QZ_EXCEPTION(EStringListError, Exception)
QZ_EXCEPTION(EStreamError, Exception)
QZ_EXCEPTION(EFilerError, EStreamError)
QZ_EXCEPTION(EReadError, EFilerError)
QZ_EXCEPTION(EWriteError, EFilerError)
QZ_EXCEPTION(EFCreateError, EStreamError)
QZ_EXCEPTION(EFOpenError, EStreamError)
QZ_EXCEPTION(EInOutError, Exception)
QZ_EXCEPTION(EVariantError, Exception)
QZ_EXCEPTION(EVariantTypeCastError, EVariantError)
QZ_EXCEPTION(EVariantOverflowError, EVariantError)
QZ_EXCEPTION(EVariantInvalidOpError, EVariantError)
QZ_EXCEPTION(EVariantBadIndexError, EVariantError)
QZ_EXCEPTION(EVariantArrayCreateError, EVariantError)
QZ_EXCEPTION(EVariantInvalidArgError, EVariantError)
QZ_EXCEPTION(EIntError, Exception)
QZ_EXCEPTION(EDivByZero, EIntError)
QZ_EXCEPTION(ERangeError, EIntError)
QZ_EXCEPTION(EIntOverflow, EIntError)
QZ_EXCEPTION(EMathError, Exception)
QZ_EXCEPTION(EZeroDivide, EMathError)
QZ_EXCEPTION(EOverflow, EMathError)
QZ_EXCEPTION(EInvalidOp, EMathError)
QZ_EXCEPTION(EInvalidCast, Exception)
QZ_EXCEPTION(EInvalidOperation, Exception)
QZ_EXCEPTION(EInvalidPointer, Exception)
QZ_EXCEPTION(EOutOfMemory, Exception)
QZ_EXCEPTION(EAccessViolation, Exception)
QZ_EXCEPTION(EComponentError, Exception)
QZ_EXCEPTION(EClassNotFound, EFilerError)
QZ_EXCEPTION(EPropertyError, Exception)
QZ_EXCEPTION(EIniFileException, Exception)
QZ_EXCEPTION(ERegistryException, Exception)
QZ_EXCEPTION(EOSError, Exception)
QZ_EXCEPTION(EDatabaseError, Exception)
QZ_EXCEPTION(EExternalException, Exception)
QZ_EXCEPTION(EOleError, Exception)
QZ_EXCEPTION(EOleException, EOleError)
QZ_EXCEPTION(ENotSupportedException, Exception)

// Raises the silent exception.
[[noreturn]] void Abort();

QZ_EXCEPTION(EPropertyConvertError, EPropertyError)
