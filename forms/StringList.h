// String lists: the abstract TStrings that controls' item lists implement over their
// windows, and the stand-alone TStringList. Each entry carries an integer ("object") beside
// its text, as combo boxes need. Portable.
#pragma once

#include "forms/Classes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorin {

class TStream;

// Raised for an index outside the list: "List index out of bounds (5)".
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// (The accessors of the integers are GetObj/PutObj rather than the longer names, which the
// platform headers define as macros.)
class TStrings : public TPersistent {
    QUORIN_CLASS(TStrings, TPersistent)
public:
    // ---- what a concrete list provides ----
    virtual int Count() const = 0;
    virtual std::string Get(int Index) const = 0;
    virtual void Put(int Index, const std::string& S);
    virtual intptr_t GetObj(int Index) const = 0;
    virtual void PutObj(int Index, intptr_t AObject) = 0;
    virtual void InsertObject(int Index, const std::string& S, intptr_t AObject) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    // ---- built on the above ----
    std::string operator[](int Index) const { return Get(Index); }
    std::string Strings(int Index) const { return Get(Index); }
    intptr_t Objects(int Index) const { return GetObj(Index); }
    void SetObjects(int Index, intptr_t AObject) { PutObj(Index, AObject); }
    int Add(const std::string& S) { return AddObject(S, 0); }
    virtual int AddObject(const std::string& S, intptr_t AObject);
    void Insert(int Index, const std::string& S) { InsertObject(Index, S, 0); }
    void AddStrings(const TStrings& Source);
    void Move(int CurIndex, int NewIndex);
    void Exchange(int Index1, int Index2);
    // Exact, case-sensitive match; -1 when absent.
    virtual int IndexOf(const std::string& S) const;
    int IndexOfObject(intptr_t AObject) const;
    // "name=value" lines: the index of the first line whose name is Name (case-insensitive).
    int IndexOfName(const std::string& Name) const;
    std::string Names(int Index) const;
    std::string Values(const std::string& Name) const;
    std::string ValueFromIndex(int Index) const;
    void SetValue(const std::string& Name, const std::string& Value);

    // The lines joined with "\r\n" (each line ends with it); SetText splits at "\r\n",
    // "\n" or "\r".
    std::string Text() const;
    void SetText(const std::string& Value);
    // Comma-separated, quoting entries that hold blanks, commas or quotes.
    std::string CommaText() const;
    void SetCommaText(const std::string& Value);

    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

    // Copies texts and objects of another TStrings.
    void Assign(const TPersistent& Source) override;
    bool Equals(const TStrings& Other) const;

    // While updating, a list that mirrors a window may defer its redraw.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

protected:
    virtual void SetUpdateState(bool Updating) {}
    [[noreturn]] static void IndexError(int Index);

private:
    int FUpdateCount = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
    QUORIN_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    int Count() const override { return int(FItems.size()); }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    intptr_t GetObj(int Index) const override;
    void PutObj(int Index, intptr_t AObject) override;
    void InsertObject(int Index, const std::string& S, intptr_t AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    int AddObject(const std::string& S, intptr_t AObject) override;
    int IndexOf(const std::string& S) const override;

    // A sorted list keeps its lines in byte order; adding finds the place. Duplicates
    // decides what adding an existing line does (dupError raises EStringListError).
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    void Sort();
    // The position of S in a sorted list, or where it would go; true when found.
    bool Find(const std::string& S, int& Index) const;

    // Raised after every change.
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    void SetUpdateState(bool Updating) override;

private:
    struct Item {
        std::string text;
        intptr_t object = 0;
    };
    std::vector<Item> FItems;
    bool FSorted = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
};

}  // namespace quorin
