#include "skin/resources/Winskinstore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "forms/LayoutLoader.h"
#include "forms/LayoutText.h"
#include "forms/TypInfo.h"
#include "skin/resources/Winconvert.h"

using namespace quorin;

namespace {

std::vector<uint8_t> PackedSample(size_t size, uint8_t seed) {
    std::vector<uint8_t> text(size);
    for (size_t i = 0; i < size; ++i) text[i] = static_cast<uint8_t>((i * 7 + seed) ^ (i >> 5));
    return PackSkinBytes(text.data(), text.size());
}

void SetBytes(TSkinCollectionItem& item, const std::vector<uint8_t>& bytes) {
    TMemoryStream m(bytes);
    item.ReadData(m);
}

std::string ThrownMessage(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

}  // namespace

TEST(SkinStoreNames, NewItemsAreNumberedByCollectionId) {
    TSkinStore store(nullptr);
    EXPECT_EQ(store.Store().Add()->Name(), "SkinItem0");
    EXPECT_EQ(store.Store().Add()->Name(), "SkinItem1");
    store.Store().Delete(0);
    // The running number is never reused.
    EXPECT_EQ(store.Store().Add()->Name(), "SkinItem2");
    EXPECT_EQ(store.Store().Items(0)->GetDisplayName(), "SkinItem1");
}

TEST(SkinStoreNames, RenamingKeepsNamesUnique) {
    TSkinStore store(nullptr);
    TSkinCollectionItem* a = store.Store().Add();
    TSkinCollectionItem* b = store.Store().Add();
    a->SetName("SkinItem0");  // its own name: nothing happens
    EXPECT_EQ(ThrownMessage([&] { a->SetName("SkinItem1"); }), "The name SkinItem1 is already used.");
    EXPECT_EQ(a->Name(), "SkinItem0");
    b->SetName("skinitem0");  // names differing in case are distinct
    EXPECT_EQ(b->Name(), "skinitem0");

    // A name taken over by Assign also counts.
    TSkinCollectionItem* c = store.Store().Add();
    c->Assign(*a);
    EXPECT_EQ(c->Name(), "SkinItem0");
    b->SetName("Dark");
    EXPECT_THROW(b->SetName("SkinItem0"), EComponentError);
    EXPECT_EQ(b->Name(), "Dark");
}

TEST(SkinStoreData, SizesFilesAndCopies) {
    TSkinStore store(nullptr);
    TSkinCollectionItem* item = store.Store().Add();
    EXPECT_EQ(item->GetDataSize(), 0);
    EXPECT_EQ(item->GetData(), "Load Skin");
    SetPropValue(item, "SkinData", "anything");
    EXPECT_EQ(GetPropValue(item, "SkinData"), "Load Skin");

    const std::string path = std::string(QUORIN_BINARY_DIR) + "/winskinstore_test.skin";
    const auto packed = PackedSample(3000, 1);
    TMemoryStream(packed).SaveToFile(path);
    item->LoadFromFile(path);
    EXPECT_EQ(item->GetDataSize(), static_cast<int32_t>(packed.size()));
    EXPECT_EQ(GetOrdProp(item, "DataSize"), static_cast<int64_t>(packed.size()));

    // CopyData appends and leaves the item's own position where it was.
    TMemoryStream target(std::vector<uint8_t>{9, 9});
    target.Seek(0, TSeekOrigin::soEnd);
    const_cast<TMemoryStream&>(item->Data()).SetPosition(17);
    item->CopyData(target);
    EXPECT_EQ(item->Data().Bytes(), packed);
    EXPECT_EQ(const_cast<TMemoryStream&>(item->Data()).Position(), 17);
    EXPECT_EQ(target.Size(), static_cast<int64_t>(packed.size() + 2));

    // A missing file: the error propagates and the data is already gone.
    EXPECT_THROW(item->LoadFromFile(path + ".missing"), EFOpenError);
    EXPECT_EQ(item->GetDataSize(), 0);
    std::remove(path.c_str());
}

TEST(SkinStoreData, SetStoreCopiesAndCopySkinHandsOutPackedBytes) {
    TSkinCollection source(nullptr);
    TSkinCollectionItem* s = source.Add();
    s->SetName("Blue");
    SetBytes(*s, PackedSample(500, 2));

    TSkinStore store(nullptr);
    store.Store().Add();
    store.SetStore(nullptr);  // ignored
    EXPECT_EQ(store.Store().Count(), 1);
    store.SetStore(&source);
    ASSERT_EQ(store.Store().Count(), 1);
    EXPECT_EQ(store.Store().Items(0)->Name(), "Blue");
    EXPECT_EQ(store.Store().Items(0)->Data().Bytes(), s->Data().Bytes());

    TMemoryStream skin(std::vector<uint8_t>{1, 2, 3});
    EXPECT_FALSE(store.CopySkin(1, skin));
    EXPECT_FALSE(store.CopySkin(-1, skin));
    EXPECT_EQ(skin.Size(), 3);
    ASSERT_TRUE(store.CopySkin(0, skin));
    EXPECT_EQ(skin.Bytes(), s->Data().Bytes());
    EXPECT_EQ(skin.Position(), 0);
}

TEST(SkinStoreLayout, StoredFormGivesEveryItemBackByteForByte) {
    TComponent form(nullptr);
    form.SetName("Form1");
    auto* store = new TSkinStore(&form);
    store->SetName("SkinStore1");
    TSkinCollectionItem* a = store->Store().Add();
    a->SetName("Dark");
    SetBytes(*a, PackedSample(20000, 3));
    TSkinCollectionItem* b = store->Store().Add();
    std::vector<uint8_t> every(256);
    for (int i = 0; i < 256; ++i) every[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    SetBytes(*b, every);
    store->Store().Add();  // an empty item

    LayoutObject child{"SkinStore1", "TSkinStore", StoredLayoutProperties(*store), {}};
    LayoutObject root{"Form1", "TComponent", {}, {child}};
    const std::string text = WriteLayout(root);
    EXPECT_NE(text.find("DataStream"), std::string::npos);
    EXPECT_EQ(text.find("SkinData"), std::string::npos) << "SkinData is display-only and not stored";

    TComponent loaded(nullptr);
    LoadLayoutText(&loaded, text);
    auto* back = dynamic_cast<TSkinStore*>(loaded.FindComponent("SkinStore1"));
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->Store().Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back->Store().Items(i)->Name(), store->Store().Items(i)->Name()) << i;
        EXPECT_EQ(back->Store().Items(i)->Data().Bytes(), store->Store().Items(i)->Data().Bytes()) << i;
    }
}
