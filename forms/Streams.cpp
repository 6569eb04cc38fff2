// Byte streams.
#include "forms/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace quorin {

namespace {

std::FILE* OpenFile(const std::string& name, const char* mode) {
#ifdef _WIN32
    // The file name is UTF-8; the C run-time's narrow functions would take it as ANSI.
    const std::filesystem::path path(std::u8string(name.begin(), name.end()));
    std::wstring wmode(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wmode.c_str());
#else
    return std::fopen(name.c_str(), mode);
#endif
}

int SeekFile(std::FILE* f, int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(f, offset, whence);
#else
    return fseeko(f, off_t(offset), whence);
#endif
}

int64_t TellFile(std::FILE* f) {
#ifdef _WIN32
    return _ftelli64(f);
#else
    return int64_t(ftello(f));
#endif
}

}  // namespace

int64_t TStream::Size() {
    const int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    const int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return size;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count < 0 || (Count != 0 && Read(Buffer, Count) != Count)) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count < 0 || (Count != 0 && Write(Buffer, Count) != Count)) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    if (Count < 0) throw EReadError("Stream read error");
    const int64_t total = Count;
    std::vector<uint8_t> buffer(size_t(std::min<int64_t>(Count, 64 * 1024)));
    while (Count > 0) {
        const int64_t n = std::min<int64_t>(Count, int64_t(buffer.size()));
        Source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        Count -= n;
    }
    return total;
}

// ---- TMemoryStream ----

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition >= int64_t(FData.size())) return 0;
    const int64_t n = std::min<int64_t>(Count, int64_t(FData.size()) - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    const int64_t end = FPosition + Count;
    if (end > int64_t(FData.size())) FData.resize(size_t(end));
    std::memcpy(FData.data() + FPosition, Buffer, size_t(Count));
    FPosition = end;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = 0;
    if (Origin == TSeekOrigin::soCurrent) base = FPosition;
    if (Origin == TSeekOrigin::soEnd) base = int64_t(FData.size());
    if (base + Offset < 0) throw EStreamError("Stream seek error");
    FPosition = base + Offset;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) throw EStreamError("Stream size error");
    FData.resize(size_t(NewSize));
    FPosition = std::min(FPosition, NewSize);
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
    Stream.SetPosition(0);
    const int64_t size = Stream.Size();
    std::vector<uint8_t> data(size_t(std::max<int64_t>(size, 0)));
    Stream.ReadBuffer(data.data(), size);
    FData = std::move(data);
    FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& Stream) const { Stream.WriteBuffer(FData.data(), int64_t(FData.size())); }

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream f(FileName, fmOpenRead);
    LoadFromStream(f);
}

void TMemoryStream::SaveToFile(const std::string& FileName) const {
    TFileStream f(FileName, fmCreate);
    SaveToStream(f);
}

// ---- TFileStream ----

TFileStream::TFileStream(const std::string& FileName, uint32_t Mode) : FFileName(FileName) {
    const char* mode = "rb";
    if (Mode == fmCreate)
        mode = "w+b";
    else if ((Mode & 3) == fmOpenWrite || (Mode & 3) == fmOpenReadWrite)
        mode = "r+b";
    FFile = OpenFile(FileName, mode);
    if (!FFile) {
        const std::string why = std::strerror(errno);
        if (Mode == fmCreate) throw EFCreateError("Cannot create file \"" + FileName + "\". " + why);
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + why);
    }
}

TFileStream::~TFileStream() {
    if (FFile) std::fclose(FFile);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    // The C library needs a seek between a write and a read on the same file.
    if (FLastWrite) SeekFile(FFile, 0, SEEK_CUR);
    FLastWrite = false;
    return int64_t(std::fread(Buffer, 1, size_t(Count), FFile));
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    if (!FLastWrite) SeekFile(FFile, 0, SEEK_CUR);
    FLastWrite = true;
    return int64_t(std::fwrite(Buffer, 1, size_t(Count), FFile));
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    const int whence = Origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : Origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                          : SEEK_END;
    if (SeekFile(FFile, Offset, whence) != 0) throw EStreamError("Stream seek error");
    return TellFile(FFile);
}

void TFileStream::SetSize(int64_t NewSize) {
    std::fflush(FFile);
#ifdef _WIN32
    const bool ok = _chsize_s(_fileno(FFile), NewSize) == 0;
#else
    const bool ok = ftruncate(fileno(FFile), off_t(NewSize)) == 0;
#endif
    if (!ok) throw EStreamError("Stream size error");
    if (Position() > NewSize) SetPosition(NewSize);
}

}  // namespace quorin
