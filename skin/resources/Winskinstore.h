// The skin store: a non-visual component that keeps several packed skins in a stored
// form, each under a unique name, so an application can switch skins at run time
// (TSkinData::LoadFromCollection takes one by index).
#pragma once

#include <cstdint>
#include <string>

#include "forms/Classes.h"
#include "forms/Streams.h"

namespace quorin {

class TSkinCollectionItem : public TCollectionItem {
    QUORIN_CLASS(TSkinCollectionItem, TCollectionItem)
public:
    // A new item is named "SkinItem" and its collection ID ("SkinItem0" first).
    explicit TSkinCollectionItem(TCollection* Collection);

    const std::string& Name() const { return FName; }
    // Raises EComponentError "The name <value> is already used." when another item of the
    // collection has that name (compared byte for byte); the name is then unchanged.
    void SetName(const std::string& Value);
    std::string GetDisplayName() const { return FName; }

    // Display-only properties: SkinData always reads "Load Skin" and ignores writes.
    std::string GetData() const { return "Load Skin"; }
    void SetData(const std::string&) {}
    int32_t GetDataSize() const { return static_cast<int32_t>(FData.Size()); }

    // Replaces the data with the whole file (a packed skin). The data is emptied first,
    // so a missing file (EFOpenError) leaves the item empty.
    void LoadFromFile(const std::string& FileName);
    // Appends the whole data to Target; the data's own position is kept.
    void CopyData(TMemoryStream& Target) const;
    const TMemoryStream& Data() const { return FData; }

    // From another item: its name (without the uniqueness check) and a copy of its data.
    void Assign(const TPersistent& Source) override;

    // The binary property "DataStream": all of the data's bytes, with no length of its own.
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream) const;

private:
    std::string FName;
    mutable TMemoryStream FData;
};

class TSkinStore;

class TSkinCollection : public TCollection {
    QUORIN_CLASS(TSkinCollection, TCollection)
public:
    // Owned by a store, or free-standing (null) as the argument of SetStore.
    explicit TSkinCollection(TSkinStore* Owner);
    TSkinCollectionItem* Add() { return static_cast<TSkinCollectionItem*>(TCollection::Add()); }
    TSkinCollectionItem* Items(int Index) const { return ItemAs<TSkinCollectionItem>(Index); }
};

class TSkinStore : public TComponent {
    QUORIN_CLASS(TSkinStore, TComponent)
public:
    explicit TSkinStore(TComponent* AOwner);
    ~TSkinStore() override;

    TSkinCollection& Store() const { return *FStore; }
    // Copies the given collection into the store's own; null is ignored.
    void SetStore(const TSkinCollection* Value);

    // The packed skin of item Index, for a skin data component to load: Target is
    // replaced by the item's whole data and rewound. False (Target untouched) when Index
    // is not an item's.
    bool CopySkin(int Index, TMemoryStream& Target) const;

private:
    std::unique_ptr<TSkinCollection> FStore;
};

}  // namespace quorin
