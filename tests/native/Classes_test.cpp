#include "forms/Classes.h"

#include "support/TestComponents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorin;
using namespace quorin::test;

TEST(Classes, OwnerListsComponentsInCreationOrderAndFreesThemLastFirst) {
    std::vector<int> destroyed;
    auto* root = new TTestRoot(nullptr);
    for (int i = 1; i <= 3; ++i) {
        auto* t = new TTestThing(root);
        t->SetTag(i);
        t->Destroyed = &destroyed;
    }
    ASSERT_EQ(root->ComponentCount(), 3);
    EXPECT_EQ(root->Components(0)->Tag(), 1);
    EXPECT_EQ(root->Components(2)->ComponentIndex(), 2);
    delete root;
    EXPECT_EQ(destroyed, (std::vector<int>{3, 2, 1}));
}

TEST(Classes, ComponentFreedFirstLeavesItsOwnersList) {
    TTestRoot root(nullptr);
    auto* a = new TTestThing(&root);
    auto* b = new TTestThing(&root);
    delete a;
    ASSERT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.Components(0), b);
    EXPECT_EQ(b->Owner(), &root);
}

TEST(Classes, OwnedComponentsOfOwnedComponentsAreFreedToo) {
    std::vector<int> destroyed;
    auto* root = new TTestRoot(nullptr);
    auto* mid = new TTestThing(root);
    mid->SetTag(1);
    mid->Destroyed = &destroyed;
    auto* leaf = new TTestThing(mid);
    leaf->SetTag(2);
    leaf->Destroyed = &destroyed;
    delete root;
    EXPECT_EQ(destroyed, (std::vector<int>{1, 2}));
}

TEST(Classes, NamesAreIdentifiersUniqueAmongTheOwnersComponents) {
    TTestRoot root(nullptr);
    auto* a = new TTestThing(&root);
    auto* b = new TTestThing(&root);
    a->SetName("Button1");
    EXPECT_THROW(b->SetName("button1"), EComponentError);
    EXPECT_THROW(b->SetName("1abc"), EComponentError);
    EXPECT_THROW(b->SetName("a b"), EComponentError);
    b->SetName("Button2");
    EXPECT_EQ(root.FindComponent("BUTTON2"), b);
    EXPECT_EQ(root.FindComponent("Button3"), nullptr);
    b->SetName("");
    EXPECT_EQ(root.FindComponent(""), nullptr);
}

TEST(Classes, FreeNotificationClearsAReferenceToAFreedComponent) {
    TTestRoot root(nullptr);
    TTestRoot other(nullptr);
    auto* a = new TTestThing(&root);
    auto* b = new TTestThing(&other);  // another owner: only the free notification tells a
    a->Buddy = b;
    a->FreeNotification(b);
    delete b;
    EXPECT_EQ(a->Buddy, nullptr);
}

TEST(Classes, CollectionItemsGetRunningIdsAndMove) {
    TTestThing t(nullptr);
    int updates = 0;
    t.Items.OnUpdate = [&](TCollectionItem*) { ++updates; };
    auto* a = t.Items.Add();
    auto* b = t.Items.Add();
    auto* c = t.Items.Add();
    EXPECT_EQ(a->ID(), 0);
    EXPECT_EQ(c->ID(), 2);
    c->SetIndex(0);
    EXPECT_EQ(t.Items.Items(0), c);
    EXPECT_EQ(b->Index(), 2);
    t.Items.Delete(0);
    EXPECT_EQ(t.Items.Count(), 2);
    EXPECT_EQ(t.Items.Add()->ID(), 3) << "IDs are never reused";
    EXPECT_GT(updates, 0);
    EXPECT_THROW(t.Items.Items(5), EComponentError);
}

TEST(Classes, CollectionAssignCopiesItems) {
    TTestThing a(nullptr), b(nullptr);
    auto* item = static_cast<TTestItem*>(a.Items.Add());
    item->Caption = "Port";
    item->Width = 100;
    b.Items.Add();
    b.Items.Add();
    b.Items.Assign(a.Items);
    ASSERT_EQ(b.Items.Count(), 1);
    EXPECT_EQ(b.Items.ItemAs<TTestItem>(0)->Caption, "Port");
    EXPECT_EQ(b.Items.ItemAs<TTestItem>(0)->Width, 100);
    EXPECT_THROW(b.Items.Assign(a.Part), EConvertError);
}

TEST(Classes, ClassesAreFoundByNameAndCreatedWithAnOwner) {
    const TClassInfo* c = FindClass("TTestThing");
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->InheritsFrom(TComponent::StaticClassInfo()));
    EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
    EXPECT_EQ(FindClass("TTestPart")->Create, nullptr) << "a persistent part is not a component";
    TTestRoot root(nullptr);
    TComponent* made = c->Create(&root);
    EXPECT_EQ(made->ClassName(), "TTestThing");
    EXPECT_EQ(made->Owner(), &root);
    // Properties are inherited: Name and Tag come from TComponent.
    EXPECT_NE(c->FindProp("Tag"), nullptr);
    EXPECT_EQ(c->AllProps().front()->Name, "Name");
}

namespace {

// An item whose members live on the heap, in a collection whose owner reads every item it
// is told is going: the owner must see the item whole (AddressSanitizer reports the read of
// members already destroyed).
class TRowItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    std::vector<std::string> Cells{"a cell long enough to live on the heap", "another such cell, also on the heap"};
};

class TWatchedRows : public TCollection {
public:
    TWatchedRows() : TCollection(CollectionItemFactory<TRowItem>()) {}
    std::vector<std::string> Seen;

protected:
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
        if (Action == TCollectionNotification::cnDeleting)
            for (const auto& cell : static_cast<TRowItem*>(Item)->Cells) Seen.push_back(cell);
    }
};

}  // namespace

TEST(Classes, AnItemIsWholeWhileItsCollectionIsToldItGoes) {
    TWatchedRows rows;
    for (int i = 0; i < 3; ++i) rows.Add();
    rows.Delete(1);
    EXPECT_EQ(rows.Seen.size(), 2u);
    rows.Clear();
    ASSERT_EQ(rows.Seen.size(), 6u);
    for (const auto& cell : rows.Seen) EXPECT_NE(cell.find("heap"), std::string::npos);
    EXPECT_EQ(rows.Count(), 0);
}
