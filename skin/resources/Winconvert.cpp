#include "skin/resources/Winconvert.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

namespace quorin {

namespace {

constexpr int N = 4096;                      // ring size
constexpr int F = 60;                        // longest match
constexpr int THRESHOLD = 2;                 // matches this short go out as literals
constexpr int NIL = N;                       // no node in the match trees
constexpr int N_CHAR = 256 - THRESHOLD + F;  // literals plus match lengths 3..60
constexpr int T = N_CHAR * 2 - 1;            // Huffman tree nodes
constexpr int R = T - 1;                     // its root
constexpr unsigned MAX_FREQ = 0x8000;        // root frequency that triggers a rebuild
constexpr uint8_t kFillByte = 0x20;

// The match finder reads the ring a word at a time and takes the lowest differing byte
// as the first one.
static_assert(std::endian::native == std::endian::little);

// The fixed prefix code for the upper 6 bits of a match distance. It is canonical, so
// the four tables follow from the code lengths: value 0 has a 3-bit code, 1-3 4 bits,
// 4-11 5 bits, 12-23 6 bits, 24-47 7 bits and 48-63 8 bits.
struct PositionCode {
    uint8_t p_len[64];
    uint8_t p_code[64];
    uint8_t d_code[256];
    uint8_t d_len[256];
};

constexpr PositionCode MakePositionCode() {
    PositionCode t{};
    int b = 0;
    for (int u = 0; u < 64; ++u) {
        const int len = u == 0 ? 3 : u < 4 ? 4 : u < 12 ? 5 : u < 24 ? 6 : u < 48 ? 7 : 8;
        t.p_len[u] = static_cast<uint8_t>(len);
        t.p_code[u] = static_cast<uint8_t>(b);
        for (int k = 0; k < (1 << (8 - len)); ++k, ++b) {
            t.d_code[b] = static_cast<uint8_t>(u);
            t.d_len[b] = static_cast<uint8_t>(len);
        }
    }
    return t;
}

constexpr PositionCode kPositionCode = MakePositionCode();
constexpr const uint8_t (&p_len)[64] = kPositionCode.p_len;
constexpr const uint8_t (&p_code)[64] = kPositionCode.p_code;
constexpr const uint8_t (&d_code)[256] = kPositionCode.d_code;
constexpr const uint8_t (&d_len)[256] = kPositionCode.d_len;

static_assert(p_code[1] == 0x20 && p_code[4] == 0x50 && p_code[12] == 0x90 && p_code[63] == 0xFF);

// ---- byte sources and sinks -------------------------------------------------------

struct BufferSource {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool Get(uint8_t& b) {
        if (pos >= size) return false;
        b = data[pos++];
        return true;
    }
    bool Has8() const { return size - pos >= 8; }
    // The next eight bytes, the first one in the top bits.
    uint64_t Peek8() const {
        uint64_t v;
        std::memcpy(&v, data + pos, 8);
        return std::endian::native == std::endian::little ? __builtin_bswap64(v) : v;
    }
    void Skip(size_t n) { pos += n; }
};

struct CallbackSource {
    const TReadProc& read;
    bool Get(uint8_t& b) {
        uint16_t got = 0;
        read(&b, 1, got);
        return got == 1;
    }
};

struct BufferSink {
    uint8_t* out;
    size_t pos = 0;
    void Put(uint8_t b) { out[pos++] = b; }
};

struct VectorSink {
    std::vector<uint8_t>& out;
    void Put(uint8_t b) { out.push_back(b); }
};

struct CallbackSink {
    const TWriteProc& write;
    void Put(uint8_t b) {
        uint16_t done = 0;
        write(&b, 1, done);
        if (done != 1) throw ElzhException("LZH : Cannot write output");
    }
};

// Bits most significant first; a byte missing at the end of the input reads as 0x00.
// The decoder asks for as many bits as a whole symbol may take (Ensure) and then takes
// them one by one without a check per bit.
template <class Source>
class BitReader {
public:
    static constexpr int kMaxEnsure = 56;

    explicit BitReader(Source& src) : src_(src) {}

    void Ensure(int n) {
        if (count_ < n) Fill();
    }

    // Only after Ensure.
    unsigned TakeBit() {
        const auto bit = static_cast<unsigned>(buf_ >> 63);
        buf_ <<= 1;
        --count_;
        return bit;
    }

    unsigned TakeByte() {
        const auto byte = static_cast<unsigned>(buf_ >> 56);
        buf_ <<= 8;
        count_ -= 8;
        return byte;
    }

private:
    void Fill() {
        if constexpr (requires { src_.Peek8(); }) {
            if (src_.Has8()) {
                // As many whole bytes as fit; the bits below them stay zero.
                const int bytes = (64 - count_) / 8;
                buf_ |= (src_.Peek8() & (~uint64_t{0} << (64 - bytes * 8))) >> count_;
                src_.Skip(static_cast<size_t>(bytes));
                count_ += bytes * 8;
                return;
            }
        }
        while (count_ <= kMaxEnsure) {
            uint8_t b = 0;
            if (!src_.Get(b)) b = 0;
            buf_ |= static_cast<uint64_t>(b) << (56 - count_);
            count_ += 8;
        }
    }

    Source& src_;
    uint64_t buf_ = 0;
    int count_ = 0;
};

template <class Sink>
class BitWriter {
public:
    explicit BitWriter(Sink& sink) : sink_(sink) {}

    // Appends the low n bits of value (n at most 32), most significant first. Whole
    // bytes leave four at a time once 32 bits have gathered.
    void PutBits(uint32_t value, int n) {
        acc_ = (acc_ << n) | (value & (~uint64_t{0} >> (64 - n)));
        count_ += n;
        if (count_ >= 32) {
            count_ -= 32;
            const auto word = static_cast<uint32_t>(acc_ >> count_);
            sink_.Put(static_cast<uint8_t>(word >> 24));
            sink_.Put(static_cast<uint8_t>(word >> 16));
            sink_.Put(static_cast<uint8_t>(word >> 8));
            sink_.Put(static_cast<uint8_t>(word));
            acc_ &= (uint64_t{1} << count_) - 1;
        }
    }

    // l bits of c, which holds its code left-aligned in 16 bits.
    void Putcode(int l, unsigned c) { PutBits((c & 0xFFFF) >> (16 - l), l); }

    // The last partial byte, padded with zero bits.
    void EncodeEnd() {
        while (count_ >= 8) {
            count_ -= 8;
            sink_.Put(static_cast<uint8_t>(acc_ >> count_));
        }
        if (count_ > 0) sink_.Put(static_cast<uint8_t>(acc_ << (8 - count_)));
        acc_ = 0;
        count_ = 0;
    }

private:
    Sink& sink_;
    uint64_t acc_ = 0;
    int count_ = 0;
};

}  // namespace

// ---- dictionary tables and the coding steps ---------------------------------------

struct LzhTables {
    // The ring, a mirror of its first F-1 bytes, and 8 bytes that the match finder's
    // word-wide compare may read past the end but never counts.
    uint8_t text_buf[N + F - 1 + 8];
    int16_t lson[N + 1];
    int16_t dad[N + 1];
    int16_t rson[N + 257];     // N+1 .. N+256: one tree root per first byte
    uint16_t freq[T + 1];      // freq[T] is a sentinel
    int16_t prnt[T + N_CHAR];  // T .. T+N_CHAR-1: parents of the leaves
    int16_t son[T];
    int match_position;
    int match_length;
};

namespace {

std::unique_ptr<LzhTables> AllocateTables() {
    try {
        // Value-initialised: the parts of the ring that no step fills read as zero,
        // as they do in the classic program, so the match finder sees the same bytes.
        return std::make_unique<LzhTables>();
    } catch (const std::bad_alloc&) {
        throw ElzhException("LZH : Cannot get memory for dictionary tables");
    }
}

class LzhCoder {
public:
    explicit LzhCoder(LzhTables& t) : t_(t) {}

    template <class Source, class Sink>
    uint64_t Encode(Source& in, Sink& out);

    template <class Source, class Sink>
    void Decode(Source& in, Sink& out, uint64_t textSize);

private:
    void StartHuff();
    void reconst();
    void update(int c);
    void InitTree();
    void InsertNode(int r);
    void DeleteNode(int p);

    template <class Sink>
    void EncodeChar(BitWriter<Sink>& w, unsigned c);
    template <class Sink>
    void EncodePosition(BitWriter<Sink>& w, unsigned c);
    template <class Source>
    int DecodeChar(BitReader<Source>& in);
    template <class Source>
    int DecodePosition(BitReader<Source>& in);

    LzhTables& t_;
};

void LzhCoder::StartHuff() {
    for (int i = 0; i < N_CHAR; ++i) {
        t_.freq[i] = 1;
        t_.son[i] = static_cast<int16_t>(i + T);
        t_.prnt[i + T] = static_cast<int16_t>(i);
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
        t_.freq[j] = static_cast<uint16_t>(t_.freq[i] + t_.freq[i + 1]);
        t_.son[j] = static_cast<int16_t>(i);
        t_.prnt[i] = t_.prnt[i + 1] = static_cast<int16_t>(j);
    }
    t_.freq[T] = 0xFFFF;
    t_.prnt[R] = 0;
}

// Halves the frequencies and rebuilds the tree once the root reaches MAX_FREQ, so the
// counts stay within 16 bits and recent symbols weigh more.
void LzhCoder::reconst() {
    int j = 0;
    for (int i = 0; i < T; ++i) {
        if (t_.son[i] >= T) {
            t_.freq[j] = static_cast<uint16_t>((t_.freq[i] + 1) / 2);
            t_.son[j] = t_.son[i];
            ++j;
        }
    }
    for (int i = 0, j2 = N_CHAR; j2 < T; i += 2, ++j2) {
        const unsigned f = static_cast<unsigned>(t_.freq[i]) + t_.freq[i + 1];
        t_.freq[j2] = static_cast<uint16_t>(f);
        int k = j2 - 1;
        while (f < t_.freq[k]) --k;
        ++k;
        const size_t moved = static_cast<size_t>(j2 - k);
        std::memmove(&t_.freq[k + 1], &t_.freq[k], moved * sizeof t_.freq[0]);
        t_.freq[k] = static_cast<uint16_t>(f);
        std::memmove(&t_.son[k + 1], &t_.son[k], moved * sizeof t_.son[0]);
        t_.son[k] = static_cast<int16_t>(i);
    }
    for (int i = 0; i < T; ++i) {
        const int k = t_.son[i];
        if (k >= T)
            t_.prnt[k] = static_cast<int16_t>(i);
        else
            t_.prnt[k] = t_.prnt[k + 1] = static_cast<int16_t>(i);
    }
}

void LzhCoder::update(int c) {
    if (t_.freq[R] == MAX_FREQ) reconst();
    c = t_.prnt[c + T];
    do {
        const unsigned k = ++t_.freq[c];
        // Keep the frequencies ordered: swap the node with the last one it now exceeds.
        int l = c + 1;
        if (k > t_.freq[l]) {
            while (k > t_.freq[++l]) {}
            --l;
            t_.freq[c] = t_.freq[l];
            t_.freq[l] = static_cast<uint16_t>(k);

            const int i = t_.son[c];
            t_.prnt[i] = static_cast<int16_t>(l);
            if (i < T) t_.prnt[i + 1] = static_cast<int16_t>(l);

            const int j = t_.son[l];
            t_.son[l] = static_cast<int16_t>(i);
            t_.prnt[j] = static_cast<int16_t>(c);
            if (j < T) t_.prnt[j + 1] = static_cast<int16_t>(c);
            t_.son[c] = static_cast<int16_t>(j);

            c = l;
        }
    } while ((c = t_.prnt[c]) != 0);
}

void LzhCoder::InitTree() {
    for (int i = N + 1; i <= N + 256; ++i) t_.rson[i] = NIL;
    for (int i = 0; i < N; ++i) t_.dad[i] = NIL;
}

// Inserts the string at r into the tree of its first byte and leaves the longest match
// (and, among equally long ones, the closest) in match_length / match_position.
void LzhCoder::InsertNode(int r) {
    const uint8_t* const text = t_.text_buf;
    const uint8_t* const key = &text[r];
    int16_t* const lson = t_.lson;
    int16_t* const rson = t_.rson;
    int cmp = 1;
    int p = N + 1 + key[0];
    rson[r] = lson[r] = NIL;
    // Kept in registers while walking; the tables are written only where the walk ends.
    int length = 0;
    int position = t_.match_position;
    for (;;) {
        int16_t* const link = cmp >= 0 ? &rson[p] : &lson[p];
        if (*link == NIL) {
            *link = static_cast<int16_t>(r);
            t_.dad[r] = static_cast<int16_t>(p);
            t_.match_length = length;
            t_.match_position = position;
            return;
        }
        p = *link;
        // Bytes 1..F-1 compared eight at a time; the first differing byte decides the
        // branch as a byte-wise compare would. Most strings on the path part within the
        // first word.
        const uint8_t* const other = &text[p];
        int i;
        uint64_t x, y;
        std::memcpy(&x, key + 1, 8);
        std::memcpy(&y, other + 1, 8);
        if (const uint64_t diff = x ^ y) [[likely]] {
            i = 1 + std::countr_zero(diff) / 8;
        } else {
            for (i = 9;; i += 8) {
                if (i >= F) {
                    i = F;
                    break;
                }
                std::memcpy(&x, key + i, 8);
                std::memcpy(&y, other + i, 8);
                if (const uint64_t d = x ^ y) {
                    i = std::min(i + std::countr_zero(d) / 8, F);
                    break;
                }
            }
        }
        if (i < F) cmp = key[i] - other[i];
        if (i > THRESHOLD) {
            // The longest match, and among equally long ones the closest.
            const int distance = ((r - p) & (N - 1)) - 1;
            if (i > length || (i == length && distance < position)) {
                length = i;
                position = distance;
                if (length >= F) break;
            }
        }
    }
    t_.match_length = length;
    t_.match_position = position;
    // A full-length match: r takes p's place and p leaves the tree.
    t_.dad[r] = t_.dad[p];
    t_.lson[r] = t_.lson[p];
    t_.rson[r] = t_.rson[p];
    t_.dad[t_.lson[p]] = static_cast<int16_t>(r);
    t_.dad[t_.rson[p]] = static_cast<int16_t>(r);
    if (t_.rson[t_.dad[p]] == p)
        t_.rson[t_.dad[p]] = static_cast<int16_t>(r);
    else
        t_.lson[t_.dad[p]] = static_cast<int16_t>(r);
    t_.dad[p] = NIL;
}

void LzhCoder::DeleteNode(int p) {
    if (t_.dad[p] == NIL) return;  // not in a tree
    int q;
    if (t_.rson[p] == NIL) {
        q = t_.lson[p];
    } else if (t_.lson[p] == NIL) {
        q = t_.rson[p];
    } else {
        q = t_.lson[p];
        if (t_.rson[q] != NIL) {
            do {
                q = t_.rson[q];
            } while (t_.rson[q] != NIL);
            t_.rson[t_.dad[q]] = t_.lson[q];
            t_.dad[t_.lson[q]] = t_.dad[q];
            t_.lson[q] = t_.lson[p];
            t_.dad[t_.lson[p]] = static_cast<int16_t>(q);
        }
        t_.rson[q] = t_.rson[p];
        t_.dad[t_.rson[p]] = static_cast<int16_t>(q);
    }
    t_.dad[q] = t_.dad[p];
    if (t_.rson[t_.dad[p]] == p)
        t_.rson[t_.dad[p]] = static_cast<int16_t>(q);
    else
        t_.lson[t_.dad[p]] = static_cast<int16_t>(q);
    t_.dad[p] = NIL;
}

template <class Sink>
void LzhCoder::EncodeChar(BitWriter<Sink>& w, unsigned c) {
    // Walk from the leaf to the root; a node at an odd index is the right child. The
    // root's child gives the first bit sent. A tree of 314 leaves whose root count stays
    // below 0x8000 is less than 32 levels deep, so the path fits in 32 bits. Frequencies
    // skewed like a Fibonacci series could in principle push a rare leaf past 16 levels;
    // a 16-bit code register would then cut its code, so the wider one is kept.
    uint32_t code = 0;
    int len = 0;
    int k = t_.prnt[c + T];
    do {
        code |= static_cast<uint32_t>(k & 1) << len;
        ++len;
    } while ((k = t_.prnt[k]) != R);
    w.PutBits(code, len);
    update(static_cast<int>(c));
}

template <class Sink>
void LzhCoder::EncodePosition(BitWriter<Sink>& w, unsigned c) {
    const unsigned upper = c >> 6;
    w.Putcode(p_len[upper], static_cast<unsigned>(p_code[upper]) << 8);
    w.Putcode(6, (c & 0x3F) << 10);
}

template <class Source>
int LzhCoder::DecodeChar(BitReader<Source>& in) {
    // No code is longer than 32 bits (see EncodeChar).
    in.Ensure(32);
    unsigned c = static_cast<unsigned>(t_.son[R]);
    while (c < static_cast<unsigned>(T)) {
        c += in.TakeBit();
        c = static_cast<unsigned>(t_.son[c]);
    }
    c -= T;
    update(static_cast<int>(c));
    return static_cast<int>(c);
}

template <class Source>
int LzhCoder::DecodePosition(BitReader<Source>& in) {
    in.Ensure(14);
    unsigned i = in.TakeByte();
    const unsigned c = static_cast<unsigned>(d_code[i]) << 6;
    unsigned j = d_len[i] - 2u;
    while (j--) i = (i << 1) + in.TakeBit();
    return static_cast<int>(c | (i & 0x3F));
}

template <class Source, class Sink>
uint64_t LzhCoder::Encode(Source& in, Sink& out) {
    BitWriter<Sink> w(out);
    StartHuff();
    InitTree();
    int s = 0;
    int r = N - F;
    std::memset(t_.text_buf, kFillByte, static_cast<size_t>(r));
    int len = 0;
    uint8_t c = 0;
    while (len < F && in.Get(c)) t_.text_buf[r + len++] = c;
    uint64_t textsize = static_cast<uint64_t>(len);
    for (int i = 1; i <= F; ++i) InsertNode(r - i);
    InsertNode(r);
    while (len > 0) {
        if (t_.match_length > len) t_.match_length = len;
        if (t_.match_length <= THRESHOLD) {
            t_.match_length = 1;
            EncodeChar(w, t_.text_buf[r]);
        } else {
            EncodeChar(w, static_cast<unsigned>(255 - THRESHOLD + t_.match_length));
            EncodePosition(w, static_cast<unsigned>(t_.match_position));
        }
        const int last_match_length = t_.match_length;
        int i = 0;
        for (; i < last_match_length && in.Get(c); ++i) {
            DeleteNode(s);
            t_.text_buf[s] = c;
            if (s < F - 1) t_.text_buf[s + N] = c;
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            InsertNode(r);
        }
        textsize += static_cast<uint64_t>(i);
        while (i++ < last_match_length) {
            DeleteNode(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len) InsertNode(r);
        }
    }
    w.EncodeEnd();
    return textsize;
}

template <class Source, class Sink>
void LzhCoder::Decode(Source& src, Sink& out, uint64_t textSize) {
    if (textSize == 0) return;
    BitReader<Source> in(src);
    StartHuff();
    std::memset(t_.text_buf, kFillByte, N - F);
    int r = N - F;
    uint64_t count = 0;
    while (count < textSize) {
        const int c = DecodeChar(in);
        if (c < 256) {
            out.Put(static_cast<uint8_t>(c));
            t_.text_buf[r] = static_cast<uint8_t>(c);
            r = (r + 1) & (N - 1);
            ++count;
        } else {
            const int i = (r - DecodePosition(in) - 1) & (N - 1);
            const int j = c - 255 + THRESHOLD;
            // A hostile stream may end on a match longer than what is left; what goes
            // past the declared size is dropped rather than written.
            for (int k = 0; k < j && count < textSize; ++k) {
                const uint8_t b = t_.text_buf[(i + k) & (N - 1)];
                out.Put(b);
                t_.text_buf[r] = b;
                r = (r + 1) & (N - 1);
                ++count;
            }
        }
    }
}

void WriteLE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

// ---- TLZH --------------------------------------------------------------------------

TLZH::TLZH() = default;
TLZH::~TLZH() = default;

void TLZH::InitLZH() { tables_ = AllocateTables(); }

void TLZH::EndLZH() { tables_.reset(); }

namespace {
// Frees the tables however the run ends.
struct TablesGuard {
    std::unique_ptr<LzhTables>& tables;
    ~TablesGuard() { tables.reset(); }
};
}  // namespace

void TLZH::LZHUnpack(int32_t textSize, const TReadProc& read, const TWriteProc& write) {
    if (textSize <= 0) return;
    InitLZH();
    TablesGuard guard{tables_};
    CallbackSource in{read};
    CallbackSink out{write};
    LzhCoder(*tables_).Decode(in, out, static_cast<uint64_t>(textSize));
    EndLZH();
}

void TLZH::LZHPack(int32_t& bytesWritten, const TReadProc& read, const TWriteProc& write) {
    InitLZH();
    TablesGuard guard{tables_};
    CallbackSource in{read};
    CallbackSink out{write};
    const uint64_t n = LzhCoder(*tables_).Encode(in, out);
    bytesWritten = n > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                                  : static_cast<int32_t>(n);
    EndLZH();
}

void TLZH::GetBlockStream(void* buffer, uint16_t count, uint16_t& got) {
    got = 0;
    if (!InStream || count == 0) return;
    got = static_cast<uint16_t>(InStream->Read(buffer, count));
}

void TLZH::PutBlockStream(const void* buffer, uint16_t count, uint16_t& got) {
    got = 0;
    if (!OutStream) return;
    OutStream->WriteBuffer(buffer, count);
    got = count;
}

void TLZH::Decompress(TStream& source, TStream& dest) {
    source.SetPosition(0);
    dest.SetPosition(0);
    uint8_t head[4];
    source.ReadBuffer(head, 4);
    const int32_t size =
        static_cast<int32_t>(static_cast<uint32_t>(head[0]) | static_cast<uint32_t>(head[1]) << 8 |
                             static_cast<uint32_t>(head[2]) << 16 | static_cast<uint32_t>(head[3]) << 24);
    if (size <= 0) return;
    if (size > kMaxUnpackedSize)
        throw ElzhException("LZH : Unpacked size " + std::to_string(size) + " is out of range");
    // The bit stream is read into memory once and decoded by the buffer core.
    const int64_t left = source.Size() - 4;
    std::vector<uint8_t> stream(static_cast<size_t>(left > 0 ? left : 0));
    source.ReadBuffer(stream.data(), static_cast<int64_t>(stream.size()));
    const std::vector<uint8_t> text = LZHUnpackBytes(stream.data(), stream.size(), static_cast<size_t>(size));
    dest.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TLZH::Compress(TStream& source, TStream& dest) {
    source.SetPosition(0);
    dest.SetPosition(0);
    const int64_t size = source.Size();
    if (size > std::numeric_limits<int32_t>::max()) throw ElzhException("LZH : Input too large to pack");
    std::vector<uint8_t> text(static_cast<size_t>(size));
    source.ReadBuffer(text.data(), size);
    const std::vector<uint8_t> packed = PackSkinBytes(text.data(), text.size());
    dest.WriteBuffer(packed.data(), static_cast<int64_t>(packed.size()));
}

// ---- buffer forms ------------------------------------------------------------------

std::vector<uint8_t> LZHPackBytes(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    out.reserve(size / 2 + 64);
    auto tables = AllocateTables();
    BufferSource in{data, size};
    VectorSink sink{out};
    LzhCoder(*tables).Encode(in, sink);
    return out;
}

std::vector<uint8_t> LZHUnpackBytes(const uint8_t* stream, size_t streamSize, size_t textSize) {
    std::vector<uint8_t> out(textSize);
    if (textSize == 0) return out;
    auto tables = AllocateTables();
    BufferSource in{stream, streamSize};
    BufferSink sink{out.data()};
    LzhCoder(*tables).Decode(in, sink, textSize);
    return out;
}

std::vector<uint8_t> PackSkinBytes(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw ElzhException("LZH : Input too large to pack");
    std::vector<uint8_t> out;
    WriteLE32(out, static_cast<uint32_t>(size));
    const std::vector<uint8_t> stream = LZHPackBytes(data, size);
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

bool UnpackSkinBytes(const uint8_t* packed, size_t packedSize, std::vector<uint8_t>& out, int64_t maxSize) {
    out.clear();
    if (packedSize < 4) return false;
    const int32_t size =
        static_cast<int32_t>(static_cast<uint32_t>(packed[0]) | static_cast<uint32_t>(packed[1]) << 8 |
                             static_cast<uint32_t>(packed[2]) << 16 | static_cast<uint32_t>(packed[3]) << 24);
    if (size < 0 || size > maxSize) return false;
    out = LZHUnpackBytes(packed + 4, packedSize - 4, static_cast<size_t>(size));
    return true;
}

}  // namespace quorin
