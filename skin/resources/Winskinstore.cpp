#include "skin/resources/Winskinstore.h"

namespace quorin {

QUORIN_DEFINE_CLASS(TSkinCollectionItem, TCollectionItem) {
    p.Str("Name", &TSkinCollectionItem::Name, &TSkinCollectionItem::SetName);
    p.Str("SkinData", &TSkinCollectionItem::GetData, &TSkinCollectionItem::SetData).Stored = false;
    p.Int("DataSize", &TSkinCollectionItem::GetDataSize, nullptr);
    p.Binary("DataStream", &TSkinCollectionItem::ReadData, &TSkinCollectionItem::WriteData);
}

TSkinCollectionItem::TSkinCollectionItem(TCollection* Collection)
    : TCollectionItem(Collection), FName("SkinItem" + std::to_string(ID())) {}

void TSkinCollectionItem::SetName(const std::string& Value) {
    if (Value == FName) return;
    if (TCollection* owner = Collection()) {
        for (int i = 0; i < owner->Count(); ++i) {
            auto* other = static_cast<TSkinCollectionItem*>(owner->Items(i));
            if (other != this && other->FName == Value)
                throw EComponentError("The name " + Value + " is already used.");
        }
    }
    FName = Value;
}

void TSkinCollectionItem::LoadFromFile(const std::string& FileName) {
    FData.Clear();
    FData.LoadFromFile(FileName);
}

void TSkinCollectionItem::CopyData(TMemoryStream& Target) const {
    // Target may be this item's own stream; the bytes are taken before writing.
    const std::vector<uint8_t> bytes = FData.Bytes();
    Target.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TSkinCollectionItem::Assign(const TPersistent& Source) {
    if (const auto* item = dynamic_cast<const TSkinCollectionItem*>(&Source)) {
        if (item == this) return;
        FName = item->FName;
        FData.Clear();
        item->CopyData(FData);
        FData.SetPosition(0);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TSkinCollectionItem::ReadData(TStream& Stream) {
    FData.Clear();
    FData.CopyFrom(Stream, 0);
    FData.SetPosition(0);
}

void TSkinCollectionItem::WriteData(TStream& Stream) const {
    Stream.WriteBuffer(FData.Bytes().data(), static_cast<int64_t>(FData.Bytes().size()));
}

QUORIN_DEFINE_CLASS(TSkinCollection, TCollection) {}

TSkinCollection::TSkinCollection(TSkinStore* Owner)
    : TCollection(CollectionItemFactory<TSkinCollectionItem>(), Owner) {}

QUORIN_DEFINE_CLASS(TSkinStore, TComponent) { p.Collection("Store", &TSkinStore::Store); }

TSkinStore::TSkinStore(TComponent* AOwner) : TComponent(AOwner), FStore(std::make_unique<TSkinCollection>(this)) {}

TSkinStore::~TSkinStore() = default;

void TSkinStore::SetStore(const TSkinCollection* Value) {
    if (Value) FStore->Assign(*Value);
}

bool TSkinStore::CopySkin(int Index, TMemoryStream& Target) const {
    if (Index < 0 || Index >= FStore->Count()) return false;
    const TMemoryStream& data = FStore->Items(Index)->Data();
    Target.Clear();
    Target.WriteBuffer(data.Bytes().data(), static_cast<int64_t>(data.Bytes().size()));
    Target.SetPosition(0);
    return true;
}

}  // namespace quorin
