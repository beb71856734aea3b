#include "frxZLib.h"

#include <zlib.h>

#include <vector>

QZ_CLASS_IMPL(TCustomZStream, TStream)
QZ_CLASS_IMPL(TZCompressionStream, TCustomZStream)

namespace {

constexpr size_t kBufferSize = 65536;

int LevelOf(TZCompressionLevel level)
{
    switch (level) {
    case zcNone: return 0;
    case zcFastest: return 1;
    case zcMax: return 9;
    default: return -1;
    }
}

}  // namespace

namespace frxZLib {
std::string ZErrorMessage(int code)
{
    switch (code) {
    case Z_NEED_DICT: return "need dictionary";
    case Z_STREAM_END: return "stream end";
    case Z_ERRNO: return "file error";
    case Z_STREAM_ERROR: return "stream error";
    case Z_DATA_ERROR: return "data error";
    case Z_MEM_ERROR: return "insufficient memory";
    case Z_BUF_ERROR: return "buffer error";
    case Z_VERSION_ERROR: return "incompatible version";
    default: return "zlib error " + std::to_string(code);
    }
}
}  // namespace frxZLib

struct TCustomZStream::TImpl {
    z_stream Z{};
    std::vector<Bytef> Buffer = std::vector<Bytef>(kBufferSize);
    bool Initialized = false;
};

namespace {
int Check(int code)
{
    if (code < 0) throw EZCompressionError(frxZLib::ZErrorMessage(code));
    return code;
}
}  // namespace

TCustomZStream::TCustomZStream(TStream* target)
    : FImpl(std::make_unique<TImpl>()), FStream(target), FStreamPos(target->Position())
{
}

TCustomZStream::~TCustomZStream() = default;

void TCustomZStream::Progress()
{
    if (OnProgress) OnProgress(this);
}

TZCompressionStream::TZCompressionStream(TZCompressionLevel level, TStream* target) : TCustomZStream(target)
{
    z_stream& z = FImpl->Z;
    z.next_out = FImpl->Buffer.data();
    z.avail_out = uInt(kBufferSize);
    Check(deflateInit(&z, LevelOf(level)));
    FImpl->Initialized = true;
}

TZCompressionStream::~TZCompressionStream()
{
    try {
        Finish();
    } catch (const std::exception&) {
        // Nothing can be reported from here; Finish shows errors to callers
        // that want them.
    }
    if (FImpl->Initialized) deflateEnd(&FImpl->Z);
}

void TZCompressionStream::FlushBuffer(bool all)
{
    z_stream& z = FImpl->Z;
    const size_t used = kBufferSize - z.avail_out;
    if (used == 0 || (!all && z.avail_out != 0)) return;
    if (FStream->Position() != FStreamPos) FStream->SetPosition(FStreamPos);
    FStream->WriteBuffer(FImpl->Buffer.data(), int(used));
    FStreamPos = FStream->Position();
    z.next_out = FImpl->Buffer.data();
    z.avail_out = uInt(kBufferSize);
    Progress();
}

int TZCompressionStream::Write(const void* buffer, int count)
{
    if (count <= 0) return 0;
    if (FFinished) throw EZCompressionError("Invalid ZStream operation!");
    z_stream& z = FImpl->Z;
    z.next_in = static_cast<Bytef*>(const_cast<void*>(buffer));
    z.avail_in = uInt(count);
    while (z.avail_in > 0) {
        Check(deflate(&z, Z_NO_FLUSH));
        FlushBuffer(false);
    }
    z.next_in = nullptr;
    return count;
}

void TZCompressionStream::Finish()
{
    if (FFinished) return;
    FFinished = true;
    z_stream& z = FImpl->Z;
    z.next_in = nullptr;
    z.avail_in = 0;
    for (;;) {
        const int rc = Check(deflate(&z, Z_FINISH));
        if (rc == Z_STREAM_END) break;
        FlushBuffer(false);
    }
    FlushBuffer(true);
}

int TZCompressionStream::Read(void*, int) { throw EZCompressionError("Invalid ZStream operation!"); }

int64_t TZCompressionStream::Seek(int64_t offset, TSeekOrigin origin)
{
    if (offset == 0 && origin == soCurrent) return int64_t(FImpl->Z.total_in);
    throw EZCompressionError("Invalid ZStream operation!");
}
