// String lists.
#include "forms/StringList.h"

#include "forms/Streams.h"

#include <algorithm>

namespace quorin {

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

}  // namespace

QUORIN_DEFINE_CLASS(TStrings, TPersistent) {}
QUORIN_DEFINE_CLASS(TStringList, TStrings) {}

void TStrings::IndexError(int Index) {
    throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TStrings::Put(int Index, const std::string& S) {
    const intptr_t object = GetObj(Index);
    BeginUpdate();
    Delete(Index);
    InsertObject(Index, S, object);
    EndUpdate();
}

int TStrings::AddObject(const std::string& S, intptr_t AObject) {
    const int index = Count();
    InsertObject(index, S, AObject);
    return index;
}

void TStrings::AddStrings(const TStrings& Source) {
    BeginUpdate();
    for (int i = 0; i < Source.Count(); ++i) AddObject(Source.Get(i), Source.GetObj(i));
    EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (NewIndex < 0 || NewIndex >= Count()) IndexError(NewIndex);
    BeginUpdate();
    const std::string s = Get(CurIndex);
    const intptr_t o = GetObj(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
    EndUpdate();
}

void TStrings::Exchange(int Index1, int Index2) {
    if (Index1 < 0 || Index1 >= Count()) IndexError(Index1);
    if (Index2 < 0 || Index2 >= Count()) IndexError(Index2);
    BeginUpdate();
    const std::string s = Get(Index1);
    const intptr_t o = GetObj(Index1);
    Put(Index1, Get(Index2));
    PutObj(Index1, GetObj(Index2));
    Put(Index2, s);
    PutObj(Index2, o);
    EndUpdate();
}

int TStrings::IndexOf(const std::string& S) const {
    for (int i = 0; i < Count(); ++i)
        if (Get(i) == S) return i;
    return -1;
}

int TStrings::IndexOfObject(intptr_t AObject) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObj(i) == AObject) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
    const std::string key = Lower(Name);
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
        const size_t eq = s.find('=');
        if (eq != std::string::npos && Lower(s.substr(0, eq)) == key) return i;
    }
    return -1;
}

std::string TStrings::Names(int Index) const {
    const std::string s = Get(Index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStrings::Values(const std::string& Name) const {
    const int i = IndexOfName(Name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

std::string TStrings::ValueFromIndex(int Index) const {
    const std::string s = Get(Index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

void TStrings::SetValue(const std::string& Name, const std::string& Value) {
    const int i = IndexOfName(Name);
    if (Value.empty()) {
        if (i >= 0) Delete(i);
    } else if (i >= 0) {
        Put(i, Name + "=" + Value);
    } else {
        Add(Name + "=" + Value);
    }
}

std::string TStrings::Text() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(const std::string& Value) {
    BeginUpdate();
    Clear();
    size_t start = 0;
    while (start < Value.size()) {
        size_t end = Value.find_first_of("\r\n", start);
        if (end == std::string::npos) end = Value.size();
        Add(Value.substr(start, end - start));
        if (end < Value.size() && Value[end] == '\r' && end + 1 < Value.size() && Value[end + 1] == '\n') ++end;
        start = end + 1;
    }
    EndUpdate();
}

std::string TStrings::CommaText() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        if (i) out += ',';
        const std::string s = Get(i);
        if (s.empty() || s.find_first_of(" ,\"\t") != std::string::npos) {
            out += '"';
            for (char c : s) {
                if (c == '"') out += '"';
                out += c;
            }
            out += '"';
        } else {
            out += s;
        }
    }
    return out;
}

void TStrings::SetCommaText(const std::string& Value) {
    BeginUpdate();
    Clear();
    size_t i = 0;
    const size_t n = Value.size();
    while (i < n) {
        while (i < n && (Value[i] == ' ' || Value[i] == '\t')) ++i;
        if (i >= n) break;
        std::string item;
        if (Value[i] == '"') {
            ++i;
            while (i < n) {
                if (Value[i] == '"') {
                    if (i + 1 < n && Value[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += Value[i++];
            }
            while (i < n && Value[i] != ',') ++i;
        } else {
            while (i < n && Value[i] != ',' && Value[i] != ' ') item += Value[i++];
            while (i < n && Value[i] != ',') ++i;
        }
        Add(item);
        if (i < n && Value[i] == ',') ++i;
    }
    EndUpdate();
}

void TStrings::LoadFromStream(TStream& Stream) {
    const int64_t size = Stream.Size() - Stream.Position();
    std::string text(size_t(std::max<int64_t>(size, 0)), '\0');
    Stream.ReadBuffer(text.data(), int64_t(text.size()));
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    SetText(text);
}

void TStrings::SaveToStream(TStream& Stream) const {
    const std::string text = Text();
    Stream.WriteBuffer(text.data(), int64_t(text.size()));
}

void TStrings::LoadFromFile(const std::string& FileName) {
    TFileStream f(FileName, fmOpenRead);
    LoadFromStream(f);
}

void TStrings::SaveToFile(const std::string& FileName) const {
    TFileStream f(FileName, fmCreate);
    SaveToStream(f);
}

void TStrings::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TStrings*>(&Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this) return;
    BeginUpdate();
    Clear();
    AddStrings(*src);
    EndUpdate();
}

bool TStrings::Equals(const TStrings& Other) const {
    if (Count() != Other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != Other.Get(i)) return false;
    return true;
}

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

// ---- TStringList ----

std::string TStringList::Get(int Index) const {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return FItems[size_t(Index)].text;
}

void TStringList::Put(int Index, const std::string& S) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    if (Index < 0 || Index >= Count()) IndexError(Index);
    FItems[size_t(Index)].text = S;
    Changed();
}

intptr_t TStringList::GetObj(int Index) const {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return FItems[size_t(Index)].object;
}

void TStringList::PutObj(int Index, intptr_t AObject) {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    FItems[size_t(Index)].object = AObject;
    Changed();
}

void TStringList::InsertObject(int Index, const std::string& S, intptr_t AObject) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    if (Index < 0 || Index > Count()) IndexError(Index);
    FItems.insert(FItems.begin() + Index, Item{S, AObject});
    Changed();
}

int TStringList::AddObject(const std::string& S, intptr_t AObject) {
    if (!FSorted) return TStrings::AddObject(S, AObject);
    int index;
    if (Find(S, index)) {
        if (FDuplicates == TDuplicates::dupIgnore) return index;
        if (FDuplicates == TDuplicates::dupError) throw EStringListError("String list does not allow duplicates");
    }
    FItems.insert(FItems.begin() + index, Item{S, AObject});
    Changed();
    return index;
}

void TStringList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    FItems.clear();
    Changed();
}

int TStringList::IndexOf(const std::string& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int index;
    return Find(S, index) ? index : -1;
}

void TStringList::SetSorted(bool Value) {
    if (Value && !FSorted) {
        FSorted = true;
        Sort();
    }
    FSorted = Value;
}

void TStringList::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(), [](const Item& a, const Item& b) { return a.text < b.text; });
    Changed();
}

bool TStringList::Find(const std::string& S, int& Index) const {
    auto it = std::lower_bound(FItems.begin(), FItems.end(), S,
                               [](const Item& a, const std::string& s) { return a.text < s; });
    Index = int(it - FItems.begin());
    return it != FItems.end() && it->text == S;
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (!Updating) Changed();
}

}  // namespace quorin
