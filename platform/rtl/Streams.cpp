#include "Streams.h"
#include "Exceptions.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <bit>
#include <cstdlib>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

QZ_CLASS_IMPL(TStream, TObject)
QZ_CLASS_IMPL(THandleStream, TStream)
QZ_CLASS_IMPL(TFileStream, THandleStream)
QZ_CLASS_IMPL(TCustomMemoryStream, TStream)
QZ_CLASS_IMPL(TMemoryStream, TCustomMemoryStream)
QZ_CLASS_IMPL(TStringStream, TStream)

namespace {

const char* const SReadError = "Stream read error";
const char* const SWriteError = "Stream write error";

// Byte order of the stored form is little-endian whatever the host's.
template <class T> T LoadLE(const unsigned char* p)
{
    T v{};
    unsigned char b[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) b[i] = p[i];
    if constexpr (std::endian::native == std::endian::big) std::reverse(b, b + sizeof(T));
    std::memcpy(&v, b, sizeof(T));
    return v;
}

template <class T> void StoreLE(T v, unsigned char* p)
{
    std::memcpy(p, &v, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) std::reverse(p, p + sizeof(T));
}

std::string OsErrorText(int err)
{
    return std::strerror(err);
}

// Paths written by the application may use the other platform's separator.
std::string NativePath(const std::string& name)
{
    std::string p = name;
    std::replace(p.begin(), p.end(), '\\', '/');
    return p;
}

}  // namespace

// ---- TStream -----------------------------------------------------------------

int64_t TStream::Seek(int64_t offset, int origin)
{
    switch (origin) {
    case soFromBeginning: return Seek(offset, soBeginning);
    case soFromCurrent: return Seek(offset, soCurrent);
    case soFromEnd: return Seek(offset, soEnd);
    default: throw EStreamError("Invalid stream operation");
    }
}

void TStream::ReadBuffer(void* buffer, int count)
{
    if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, int count)
{
    if (count < 0 || (count != 0 && Write(buffer, count) != count)) throw EWriteError(SWriteError);
}

int64_t TStream::Size()
{
    int64_t pos = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {}

int64_t TStream::CopyFrom(TStream* source, int64_t count)
{
    if (!source) throw EStreamError("Invalid stream operation");
    if (count == 0) {
        source->SetPosition(0);
        count = source->Size();
    }
    if (count <= 0) return 0;
    const int64_t result = count;
    std::vector<char> buf(size_t(std::min<int64_t>(count, 0xF000)));
    while (count > 0) {
        int n = int(std::min<int64_t>(count, int64_t(buf.size())));
        source->ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        count -= n;
    }
    return result;
}

#define QZ_TYPED_IO(Name, T)                                     \
    T TStream::Read##Name()                                      \
    {                                                            \
        unsigned char b[sizeof(T)];                              \
        ReadBuffer(b, sizeof(T));                                \
        return LoadLE<T>(b);                                     \
    }                                                            \
    void TStream::Write##Name(T v)                               \
    {                                                            \
        unsigned char b[sizeof(T)];                              \
        StoreLE<T>(v, b);                                        \
        WriteBuffer(b, sizeof(T));                               \
    }

QZ_TYPED_IO(Byte, uint8_t)
QZ_TYPED_IO(ShortInt, int8_t)
QZ_TYPED_IO(Word, uint16_t)
QZ_TYPED_IO(SmallInt, int16_t)
QZ_TYPED_IO(Int32, int32_t)
QZ_TYPED_IO(Cardinal, uint32_t)
QZ_TYPED_IO(Int64, int64_t)
QZ_TYPED_IO(Single, float)
QZ_TYPED_IO(Double, double)
#undef QZ_TYPED_IO

// The 10-byte extended form: 64-bit mantissa with an explicit integer bit,
// 15-bit exponent biased by 16383, sign bit on top.
double TStream::ReadExtended()
{
    unsigned char b[10];
    ReadBuffer(b, 10);
    uint64_t mant = LoadLE<uint64_t>(b);
    uint16_t se = LoadLE<uint16_t>(b + 8);
    bool neg = se & 0x8000;
    int exp = se & 0x7FFF;
    double v;
    if (exp == 0 && mant == 0)
        v = 0.0;
    else if (exp == 0x7FFF)
        v = (mant << 1) == 0 ? std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::quiet_NaN();
    else
        v = std::ldexp(double(mant), exp - 16383 - 63);
    return neg ? -v : v;
}

void TStream::WriteExtended(double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    bool neg = bits >> 63;
    int exp = int((bits >> 52) & 0x7FF);
    uint64_t frac = bits & ((uint64_t(1) << 52) - 1);
    uint64_t mant = 0;
    int extExp = 0;
    if (exp == 0x7FF) {
        extExp = 0x7FFF;
        mant = (uint64_t(1) << 63) | (frac << 11);
    } else if (exp == 0 && frac == 0) {
        extExp = 0;
        mant = 0;
    } else if (exp == 0) {
        // Subnormal double: normalise, the extended range holds it.
        int e = -1022;
        while (!(frac & (uint64_t(1) << 52))) {
            frac <<= 1;
            --e;
        }
        extExp = e + 16383;
        mant = frac << 11;
    } else {
        extExp = exp - 1023 + 16383;
        mant = (uint64_t(1) << 63) | (frac << 11);
    }
    unsigned char b[10];
    StoreLE<uint64_t>(mant, b);
    StoreLE<uint16_t>(uint16_t(extExp | (neg ? 0x8000 : 0)), b + 8);
    WriteBuffer(b, 10);
}

std::string TStream::ReadString(int count)
{
    // Grow with the data actually read, so that a damaged length field
    // cannot ask for gigabytes before the read fails.
    std::string s;
    while (count > 0) {
        size_t at = s.size();
        int n = std::min(count, 0x10000);
        s.resize(at + size_t(n));
        ReadBuffer(s.data() + at, n);
        count -= n;
    }
    return s;
}

void TStream::WriteString(const std::string& s)
{
    if (s.size() > size_t(std::numeric_limits<int>::max())) throw EWriteError(SWriteError);
    WriteBuffer(s.data(), int(s.size()));
}

// ---- THandleStream ---------------------------------------------------------------

int THandleStream::Read(void* buffer, int count)
{
    if (count <= 0) return 0;
    char* p = static_cast<char*>(buffer);
    int done = 0;
    while (done < count) {
        ssize_t n = ::read(FHandle, p + done, size_t(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += int(n);
    }
    return done;
}

int THandleStream::Write(const void* buffer, int count)
{
    if (count <= 0) return 0;
    const char* p = static_cast<const char*>(buffer);
    int done = 0;
    while (done < count) {
        ssize_t n = ::write(FHandle, p + done, size_t(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += int(n);
    }
    return done;
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(FHandle, off_t(offset), whence);
    return int64_t(r);   // -1 on failure, as the descriptor reports
}

void THandleStream::SetSize(int64_t newSize)
{
    if (newSize < 0 || ::ftruncate(FHandle, off_t(newSize)) != 0)
        throw EOSError("System Error.  Code: " + std::to_string(errno) + ".\r\n" + OsErrorText(errno));
    if (Position() > newSize) SetPosition(newSize);
}

// ---- TFileStream -------------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, uint16_t mode)
    : TFileStream(fileName, mode, 0666)
{
}

TFileStream::TFileStream(const std::string& fileName, uint16_t mode, uint32_t rights)
    : THandleStream(-1), FFileName(fileName)
{
    const std::string path = NativePath(fileName);
    const bool create = (mode & 0xFF00) == 0xFF00;
    // 0xFFFF carries no share mode; the newer form 0xFF00 | share does.
    const uint16_t share = mode == fmCreate ? fmShareCompat : uint16_t(mode & 0xF0);
    const uint16_t access = create ? fmOpenReadWrite : uint16_t(mode & 0x03);

    int flags = O_CLOEXEC;
    if (create)
        flags |= O_RDWR | O_CREAT;   // truncated only once the locks allow it
    else if (access == fmOpenWrite)
        flags |= O_WRONLY;
    else if (access == fmOpenReadWrite)
        flags |= O_RDWR;
    else
        flags |= O_RDONLY;

    auto fail = [&](int err) {
        if (create)
            throw EFCreateError("Cannot create file \"" + fileName + "\". " + OsErrorText(err));
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + OsErrorText(err));
    };

    int fd = ::open(path.c_str(), flags, mode_t(rights));
    if (fd < 0) fail(errno);
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        fail(EISDIR);
    }

    // Share modes over whole-file advisory locks. Streams that deny others
    // hold a lock: exclusive for fmShareExclusive and fmShareDenyRead, shared
    // for fmShareDenyWrite. Every opener first checks the locks it must
    // respect: a writer fails on any lock, a reader on an exclusive one.
    const bool writer = create || access != fmOpenRead;
    const int probe = writer ? LOCK_EX : LOCK_SH;
    int hold = LOCK_UN;
    if (share == fmShareExclusive || share == fmShareDenyRead)
        hold = LOCK_EX;
    else if (share == fmShareDenyWrite)
        hold = LOCK_SH;
    auto busy = [&]() {
        ::close(fd);
        const std::string why = "The file is in use by another process.";
        if (create) throw EFCreateError("Cannot create file \"" + fileName + "\". " + why);
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + why);
    };
    if (::flock(fd, probe | LOCK_NB) != 0) busy();
    if (hold != probe && ::flock(fd, hold | LOCK_NB) != 0) busy();

    if (create && ::ftruncate(fd, 0) != 0) {
        int err = errno;
        ::close(fd);
        fail(err);
    }
    FHandle = fd;
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0) ::close(FHandle);
}

// ---- whole-file saves ----------------------------------------------------------------

void SaveFileWhole(const std::string& fileName, const std::function<void(TStream*)>& write)
{
    const std::string path = NativePath(fileName);
    auto fail = [&](const std::string& why) {
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + why);
    };
    if (path.empty()) fail(OsErrorText(ENOENT));
    // A file another stream keeps writers out of stays as it is, as when it
    // is opened for writing.
    struct stat st;
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) fail(OsErrorText(EISDIR));
    if (exists) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
            ::close(fd);
            if (busy) fail("The file is in use by another process.");
        }
    }
    // The scratch file lies beside the target, so the rename stays on one
    // file system and replaces the target in one step.
    static std::atomic<unsigned> serial{0};
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        tmp = path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) fail(OsErrorText(errno));
    }
    if (fd < 0) fail(OsErrorText(EEXIST));
    if (exists) ::fchmod(fd, st.st_mode & 07777);
    try {
        {
            THandleStream out(fd);
            write(&out);
        }
        if (::fsync(fd) != 0 && errno != EINVAL) fail(OsErrorText(errno));
        int closed = ::close(fd);
        fd = -1;
        if (closed != 0) fail(OsErrorText(errno));
        if (::rename(tmp.c_str(), path.c_str()) != 0) fail(OsErrorText(errno));
    } catch (...) {
        if (fd >= 0) ::close(fd);
        ::unlink(tmp.c_str());
        throw;
    }
}

void SaveFileWhole(const std::string& fileName, std::string_view bytes)
{
    SaveFileWhole(fileName, [&](TStream* s) {
        for (size_t off = 0; off < bytes.size();) {
            int n = int(std::min<size_t>(bytes.size() - off, size_t(1) << 30));
            s->WriteBuffer(bytes.data() + off, n);
            off += size_t(n);
        }
    });
}

// ---- TCustomMemoryStream -----------------------------------------------------------

void TCustomMemoryStream::SetPointer(void* ptr, int64_t size)
{
    FMemory = static_cast<char*>(ptr);
    FSize = size;
}

int TCustomMemoryStream::Read(void* buffer, int count)
{
    if (count <= 0 || FPosition < 0 || FPosition >= FSize) return 0;
    int n = int(std::min<int64_t>(count, FSize - FPosition));
    std::memcpy(buffer, FMemory + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int TCustomMemoryStream::Write(const void* buffer, int count)
{
    if (count <= 0 || FPosition < 0 || FPosition >= FSize) return 0;
    int n = int(std::min<int64_t>(count, FSize - FPosition));
    std::memcpy(FMemory + FPosition, buffer, size_t(n));
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    // Positions past the end are allowed (a write there extends the stream);
    // sums beyond 64 bits stop at the largest position instead of wrapping.
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : FSize;
    int64_t pos;
    if (__builtin_add_overflow(base, offset, &pos))
        pos = offset > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    FPosition = pos;
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* stream)
{
    int64_t left = FSize;
    const char* p = FMemory;
    while (left > 0) {
        int n = int(std::min<int64_t>(left, 1 << 30));
        stream->WriteBuffer(p, n);
        p += n;
        left -= n;
    }
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName)
{
    SaveFileWhole(fileName, [&](TStream* s) { SaveToStream(s); });
}

// ---- TMemoryStream -------------------------------------------------------------------

TMemoryStream::~TMemoryStream()
{
    std::free(FMemory);
}

void TMemoryStream::Clear()
{
    FSize = 0;
    FPosition = 0;
    SetCapacity(0);
}

void TMemoryStream::SetCapacity(int64_t newCapacity)
{
    if (newCapacity < FSize) newCapacity = FSize;
    if (newCapacity == FCapacity) return;
    if (newCapacity == 0) {
        std::free(FMemory);
        FMemory = nullptr;
    } else {
        void* p = std::realloc(FMemory, size_t(newCapacity));
        if (!p) throw EOutOfMemory("Out of memory");
        FMemory = static_cast<char*>(p);
    }
    FCapacity = newCapacity;
}

void TMemoryStream::SetSize(int64_t newSize)
{
    if (newSize < 0) throw EStreamError("Invalid stream operation");
    if (newSize > FCapacity) {
        // Grow in 8 KB steps so that a stream written piece by piece does
        // not reallocate on every write.
        const int64_t delta = 0x2000;
        if (newSize > std::numeric_limits<int64_t>::max() - delta) throw EOutOfMemory("Out of memory");
        SetCapacity((newSize + delta - 1) & ~(delta - 1));
    }
    if (newSize > FSize) std::memset(FMemory + FSize, 0, size_t(newSize - FSize));
    FSize = newSize;
    if (FPosition > newSize) FPosition = newSize;
}

int TMemoryStream::Write(const void* buffer, int count)
{
    if (count <= 0 || FPosition < 0) return 0;
    // A position so far out that the end passes 64 bits cannot be written.
    if (FPosition > std::numeric_limits<int64_t>::max() - count) throw EOutOfMemory("Out of memory");
    int64_t end = FPosition + count;
    if (end > FSize) {
        int64_t pos = FPosition;
        SetSize(end);
        FPosition = pos;
    }
    std::memcpy(FMemory + FPosition, buffer, size_t(count));
    FPosition = end;
    return count;
}

void TMemoryStream::LoadFromStream(TStream* stream)
{
    stream->SetPosition(0);
    int64_t count = stream->Size();
    // Read into a fresh block so that a failing source leaves us unchanged.
    TMemoryStream tmp;
    tmp.SetSize(count);
    char* p = tmp.FMemory;
    int64_t left = count;
    while (left > 0) {
        int n = int(std::min<int64_t>(left, 1 << 30));
        stream->ReadBuffer(p, n);
        p += n;
        left -= n;
    }
    std::swap(FMemory, tmp.FMemory);
    std::swap(FSize, tmp.FSize);
    std::swap(FCapacity, tmp.FCapacity);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream fs(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&fs);
}

// ---- TStringStream -----------------------------------------------------------------------

int TStringStream::Read(void* buffer, int count)
{
    if (count <= 0 || FPosition >= int64_t(FData.size())) return 0;
    int n = int(std::min<int64_t>(count, int64_t(FData.size()) - FPosition));
    std::memcpy(buffer, FData.data() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int TStringStream::Write(const void* buffer, int count)
{
    if (count <= 0) return 0;
    size_t end = size_t(FPosition) + size_t(count);
    if (end > FData.size()) Grow(end);
    std::memcpy(FData.data() + FPosition, buffer, size_t(count));
    FPosition = int64_t(end);
    return count;
}

void TStringStream::Grow(size_t newSize)
{
    // A size the memory cannot hold raises the library's error, not the
    // allocator's, and leaves the data as it was.
    if (newSize > FData.max_size()) throw EOutOfMemory("Out of memory");
    try {
        FData.resize(newSize);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    }
}

int64_t TStringStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t pos = FPosition;
    switch (origin) {
    case soBeginning: pos = offset; break;
    case soCurrent: pos += offset; break;
    case soEnd: pos = int64_t(FData.size()) + offset; break;
    }
    // The position stays within the string.
    FPosition = std::clamp<int64_t>(pos, 0, int64_t(FData.size()));
    return FPosition;
}

void TStringStream::SetSize(int64_t newSize)
{
    if (newSize < 0) throw EStreamError("Invalid stream operation");
    Grow(size_t(newSize));
    if (FPosition > newSize) FPosition = newSize;
}

std::string TStringStream::ReadString(int count)
{
    if (count <= 0 || FPosition >= int64_t(FData.size())) return std::string();
    size_t n = std::min<size_t>(size_t(count), FData.size() - size_t(FPosition));
    std::string s = FData.substr(size_t(FPosition), n);
    FPosition += int64_t(n);
    return s;
}

void TStringStream::WriteString(const std::string& s)
{
    Write(s.data(), int(std::min<size_t>(s.size(), size_t(std::numeric_limits<int>::max()))));
}
