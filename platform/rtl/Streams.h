// Byte streams: the abstract stream with little-endian typed reads and
// writes, handle and file streams over POSIX descriptors, memory streams and
// string streams.
#pragma once

#include "System.h"
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// The older word-valued origins, still used by callers and scripts.
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

// File open modes and share modes.
constexpr uint16_t fmCreate = 0xFFFF;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

class TStream : public TObject {
    QZ_CLASS(TStream, TObject)
public:
    // Read and Write move up to count bytes and return how many moved;
    // a negative count moves nothing.
    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    // The word-valued form (soFromBeginning, soFromCurrent, soFromEnd).
    int64_t Seek(int64_t offset, int origin);

    // Raise EReadError "Stream read error" / EWriteError "Stream write error"
    // when fewer than count bytes move.
    void ReadBuffer(void* buffer, int count);
    void WriteBuffer(const void* buffer, int count);

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize);

    // Copies count bytes from source's current position; count 0 copies the
    // whole of source from its start. Returns the number of bytes copied.
    int64_t CopyFrom(TStream* source, int64_t count);

    // Little-endian typed reads; each raises EReadError at the end of data.
    uint8_t ReadByte();
    int8_t ReadShortInt();
    uint16_t ReadWord();
    int16_t ReadSmallInt();
    int32_t ReadInt32();
    uint32_t ReadCardinal();
    int64_t ReadInt64();
    float ReadSingle();
    double ReadDouble();
    // The 10-byte extended format, converted to and from double.
    double ReadExtended();
    // count raw bytes, as they are in the stream (no text conversion).
    std::string ReadString(int count);

    void WriteByte(uint8_t v);
    void WriteShortInt(int8_t v);
    void WriteWord(uint16_t v);
    void WriteSmallInt(int16_t v);
    void WriteInt32(int32_t v);
    void WriteCardinal(uint32_t v);
    void WriteInt64(int64_t v);
    void WriteSingle(float v);
    void WriteDouble(double v);
    void WriteExtended(double v);
    // The bytes of s as they are, without a length.
    void WriteString(const std::string& s);

    // The component stream (ComponentStreams.h): writes instance with its
    // whole tree; reads a component into instance, or into a new component
    // of the class the stream names when instance is nil, and returns it.
    void WriteComponent(TComponent* instance);
    TComponent* ReadComponent(TComponent* instance);
};

// A stream over an open POSIX descriptor that it does not own.
class THandleStream : public TStream {
    QZ_CLASS(THandleStream, TStream)
public:
    explicit THandleStream(int handle) : FHandle(handle) {}
    int Handle() const { return FHandle; }
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    using TStream::Seek;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
protected:
    int FHandle = -1;
};

// A stream over a named file. Share modes are kept with advisory locks
// between streams that honour them: fmShareExclusive and fmShareDenyRead
// keep every other stream out, fmShareDenyWrite keeps writers out;
// fmShareCompat and fmShareDenyNone (and plain fmCreate) lock nothing.
// A refused create leaves the existing file untouched. Backslashes in the
// name are taken as folder separators.
class TFileStream : public THandleStream {
    QZ_CLASS(TFileStream, THandleStream)
public:
    // Raises EFCreateError "Cannot create file \"%s\". %s" or EFOpenError
    // "Cannot open file \"%s\". %s" with the system's reason.
    TFileStream(const std::string& fileName, uint16_t mode);
    TFileStream(const std::string& fileName, uint16_t mode, uint32_t rights);
    ~TFileStream() override;
    const std::string& FileName() const { return FFileName; }
private:
    std::string FFileName;
};

// Writes a file whole, for every writer of files: write() puts the bytes into
// a stream over a scratch file beside the target, which then replaces the
// target in one step. A failure at any point (write() raising, a full disk,
// a target another stream keeps writers out of) leaves the old file as it
// was and no scratch file behind, and raises EFCreateError "Cannot create
// file \"%s\". %s". A replaced file keeps its rights; a new one gets the
// usual rights.
void SaveFileWhole(const std::string& fileName, const std::function<void(TStream*)>& write);
void SaveFileWhole(const std::string& fileName, std::string_view bytes);

// A stream over a block of memory.
class TCustomMemoryStream : public TStream {
    QZ_CLASS(TCustomMemoryStream, TStream)
public:
    void* Memory() const { return FMemory; }
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;   // fixed block: up to its size
    using TStream::Seek;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return FSize; }
    void SaveToStream(TStream* stream);
    void SaveToFile(const std::string& fileName);
protected:
    void SetPointer(void* ptr, int64_t size);
    char* FMemory = nullptr;
    int64_t FSize = 0;
    int64_t FPosition = 0;
};

// A growable memory stream that owns its block.
class TMemoryStream : public TCustomMemoryStream {
    QZ_CLASS(TMemoryStream, TCustomMemoryStream)
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;
    void Clear();
    // Replaces the contents by the whole of stream (read from its start).
    void LoadFromStream(TStream* stream);
    void LoadFromFile(const std::string& fileName);
    int Write(const void* buffer, int count) override;
    void SetSize(int64_t newSize) override;
    int64_t Capacity() const { return FCapacity; }
    void SetCapacity(int64_t newCapacity);
private:
    int64_t FCapacity = 0;
};

// A stream over a byte string.
class TStringStream : public TStream {
    QZ_CLASS(TStringStream, TStream)
public:
    explicit TStringStream(const std::string& s = std::string()) : FData(s) {}
    const std::string& DataString() const { return FData; }
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    using TStream::Seek;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return int64_t(FData.size()); }
    void SetSize(int64_t newSize) override;
    // Up to count bytes from the position (fewer at the end, never an error).
    std::string ReadString(int count);
    // Writes s at the position, overwriting and extending.
    void WriteString(const std::string& s);
private:
    void Grow(size_t newSize);   // raises EOutOfMemory when it cannot
    std::string FData;
    int64_t FPosition = 0;
};
