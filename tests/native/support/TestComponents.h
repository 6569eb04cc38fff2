// Components with one published property of every kind, for the tests of the object
// model, the property access by name and the layout loader.
#pragma once

#include "forms/Classes.h"
#include "forms/Streams.h"
#include "forms/StringList.h"

#include <vector>

namespace quorin::test {

enum class TShape { shNone, shBox, shRound };

class TTestPart : public TPersistent {
    QUORIN_CLASS(TTestPart, TPersistent)
public:
    std::string Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    int32_t Size() const { return FSize; }
    void SetSize(int32_t v) { FSize = v; }

private:
    std::string FName = "Default";
    int32_t FSize = 8;
};

class TTestItem : public TCollectionItem {
    QUORIN_CLASS(TTestItem, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    std::string Caption;
    int32_t Width = 50;
    void Assign(const TPersistent& Source) override;
};

class TTestThing : public TComponent {
    QUORIN_CLASS(TTestThing, TComponent)
public:
    explicit TTestThing(TComponent* AOwner);
    ~TTestThing() override;

    int32_t Count = 0;
    uint8_t Level = 0;
    bool Flag = false;
    TShape Shape = TShape::shNone;
    uint32_t Options = 0;
    std::string Text;
    TTestThing* Buddy = nullptr;
    TTestPart Part;
    TStringList Lines;
    TCollection Items{CollectionItemFactory<TTestItem>(), this};
    std::vector<uint8_t> Data;
    TNotifyEvent OnClick;
    std::function<void(TObject*, int&)> OnCount;

    TComponent* ParentSeen = nullptr;
    int LoadedCalls = 0;
    int* DestroyLog = nullptr;  // the destructor appends Tag to the log through this
    std::vector<int>* Destroyed = nullptr;

    void SetParentComponent(TComponent* Parent) override { ParentSeen = Parent; }
    void Loaded() override;
    void SetCount(int32_t v);  // refuses negative counts, as a setter that validates

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
};

// A form-like root with handlers and fields.
class TTestRoot : public TComponent {
    QUORIN_CLASS(TTestRoot, TComponent)
public:
    explicit TTestRoot(TComponent* AOwner);
    TTestThing* First = nullptr;
    TTestThing* Second = nullptr;
    std::vector<std::string> Calls;
    void ThingClick(TObject* Sender);
    void ThingCount(TObject* Sender, int& N);
};

}  // namespace quorin::test
