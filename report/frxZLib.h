// Deflate compression as a stream: bytes written to a TZCompressionStream
// come out deflated (zlib format) on the target stream, through a fixed
// 64 KB buffer; destroying the stream finishes the deflate data.
#pragma once

#include "Classes.h"
#include "Exceptions.h"
#include "Streams.h"

#include <memory>

QZ_EXCEPTION(EZLibError, Exception)
QZ_EXCEPTION(EZCompressionError, EZLibError)

enum TZCompressionLevel { zcNone, zcFastest, zcDefault, zcMax };

class TCustomZStream : public TStream {
    QZ_CLASS(TCustomZStream, TStream)
public:
    ~TCustomZStream() override;
    // Raised each time a full buffer has gone to the target.
    TNotifyEvent OnProgress;

protected:
    explicit TCustomZStream(TStream* target);
    void Progress();

    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
    TStream* FStream;
    int64_t FStreamPos;
};

class TZCompressionStream : public TCustomZStream {
    QZ_CLASS(TZCompressionStream, TCustomZStream)
public:
    // target receives the deflated bytes from its current position; it must
    // outlive this stream.
    TZCompressionStream(TZCompressionLevel level, TStream* target);
    // Finishes the deflate data (errors then cannot be reported; call
    // Finish first to see them).
    ~TZCompressionStream() override;
    int Write(const void* buffer, int count) override;
    // Reading and seeking raise EZCompressionError "Invalid ZStream
    // operation!", except Seek(0, soCurrent): the input bytes taken so far.
    int Read(void* buffer, int count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // Writes the end of the deflate data; later writes raise.
    void Finish();

private:
    void FlushBuffer(bool all);
    bool FFinished = false;
};

namespace frxZLib {
// The zlib message for a result code ("stream error", "data error"...).
std::string ZErrorMessage(int code);
}
