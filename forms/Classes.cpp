// The object model: class information and registry, components and collections.
#include "forms/Classes.h"

#include "forms/LayoutText.h"
#include "forms/SysUtils.h"

#include <algorithm>
#include <map>

namespace quorin {

namespace {

std::map<std::string, const TClassInfo*, std::less<>>& Registry() {
    static std::map<std::string, const TClassInfo*, std::less<>> registry;
    return registry;
}

}  // namespace

const char* PropKindName(TPropKind kind) {
    switch (kind) {
    case TPropKind::Enumeration: return "enumeration";
    case TPropKind::Integer: return "integer";
    case TPropKind::String: return "string";
    case TPropKind::Object: return "object";
    case TPropKind::Method: return "event";
    case TPropKind::Set: return "set";
    case TPropKind::Strings: return "string list";
    case TPropKind::Collection: return "collection";
    case TPropKind::Binary: return "binary";
    }
    return "property";
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const {
    for (const TClassInfo* c = this; c; c = c->Parent) {
        // A class may redeclare a property of its base; its own declaration wins.
        for (auto it = c->Props.rbegin(); it != c->Props.rend(); ++it)
            if (it->Name == name) return &*it;
    }
    return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
    std::vector<const TPropInfo*> out;
    if (Parent) out = Parent->AllProps();
    for (const auto& p : Props) {
        auto same = std::find_if(out.begin(), out.end(), [&](const TPropInfo* q) { return q->Name == p.Name; });
        if (same != out.end())
            *same = &p;
        else
            out.push_back(&p);
    }
    return out;
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c == &other) return true;
    return false;
}

void RegisterClassInfo(const TClassInfo& info) { Registry()[info.Name] = &info; }

const TClassInfo* FindClass(std::string_view name) {
    auto& r = Registry();
    auto it = r.find(name);
    return it == r.end() ? nullptr : it->second;
}

const TClassInfo& TObject::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i;
        i.Name = "TObject";
        return i;
    }();
    return info;
}

// ---- TPersistent ----

QUORIN_DEFINE_CLASS(TPersistent, TObject) {}

void TPersistent::Assign(const TPersistent& Source) {
    throw EConvertError("Cannot assign a " + Source.ClassName() + " to a " + ClassName());
}

// ---- TComponent ----

struct TComponent::TPublishedTable {
    std::vector<std::pair<std::string, std::any>> methods;
    std::vector<TFieldBinding> fields;
};

QUORIN_DEFINE_CLASS(TComponent, TPersistent) {
    p.Str("Name", &TComponent::Name, &TComponent::SetName);
    p.Int("Tag", &TComponent::Tag, &TComponent::SetTag);
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    FComponentState |= csDestroying;
    // Tell everyone who asked; they drop their references to this component.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& NewName) {
    if (NewName == FName) return;
    if (!NewName.empty() && !IsLayoutName(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (!NewName.empty() && FOwner) {
        for (TComponent* c : FOwner->FComponents)
            if (c != this && SameText(c->FName, NewName))
                throw EComponentError("A component named " + NewName + " already exists");
    }
    FName = NewName;
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EComponentError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[size_t(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this) return;
    if (!AComponent->FName.empty() && FindComponent(AComponent->FName))
        throw EComponentError("A component named " + AComponent->FName + " already exists");
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this) return;
    Notification(AComponent, TOperation::opRemove);
    Remove(AComponent);
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        Remove(c);
        delete c;
    }
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end()) FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    if (std::find(AComponent->FFreeNotifies.begin(), AComponent->FFreeNotifies.end(), this) ==
        AComponent->FFreeNotifies.end())
        AComponent->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (!AComponent) return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    // Components owned by this one hear of it too, as the references they hold may be to it.
    if (Operation == TOperation::opRemove && AComponent)
        for (TComponent* c : FComponents)
            if (c != AComponent) c->Notification(AComponent, Operation);
}

void TComponent::Loaded() { FComponentState &= ~csLoading; }

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::RegisterMethod(const std::string& HandlerName, std::any Handler) {
    if (!FPublished) FPublished = std::make_unique<TPublishedTable>();
    for (auto& m : FPublished->methods)
        if (m.first == HandlerName) {
            m.second = std::move(Handler);
            return;
        }
    FPublished->methods.emplace_back(HandlerName, std::move(Handler));
}

const std::any* TComponent::MethodAddress(std::string_view HandlerName) const {
    if (!FPublished) return nullptr;
    for (const auto& m : FPublished->methods)
        if (m.first == HandlerName) return &m.second;
    return nullptr;
}

void TComponent::RegisterFieldBinding(const std::string& FieldName, const TClassInfo* Class,
                                      std::function<bool(TComponent*)> Set) {
    if (!FPublished) FPublished = std::make_unique<TPublishedTable>();
    FPublished->fields.push_back({FieldName, Class, std::move(Set)});
}

const TComponent::TFieldBinding* TComponent::FindFieldBinding(std::string_view FieldName) const {
    if (!FPublished) return nullptr;
    for (const auto& f : FPublished->fields)
        if (SameText(f.Name, FieldName)) return &f;
    return nullptr;
}

const std::vector<TComponent::TFieldBinding>& TComponent::FieldBindings() const {
    static const std::vector<TFieldBinding> none;
    return FPublished ? FPublished->fields : none;
}

// ---- TCollection ----

QUORIN_DEFINE_CLASS(TCollection, TPersistent) {}

TCollection::TCollection(TItemFactory Factory, TPersistent* Owner) : FFactory(std::move(Factory)), FOwner(Owner) {}

TCollection::~TCollection() {
    FClearing = true;
    OnUpdate = nullptr;
    while (!FItems.empty()) DeleteItem(FItems.back());
}

TCollectionItem* TCollection::Add() {
    if (!FFactory) throw EComponentError(ClassName() + " has no item class");
    TCollectionItem* item = FFactory(this);
    Changed();
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) { DeleteItem(Items(Index)); }

void TCollection::DeleteItem(TCollectionItem* Item) {
    RemoveItem(Item);
    delete Item;
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    FClearing = true;
    while (!FItems.empty()) DeleteItem(FItems.back());
    FClearing = false;
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EComponentError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[size_t(Index)];
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TCollection*>(&Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : src->FItems) Add()->Assign(*item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Update(TCollectionItem* Item) {
    if (OnUpdate) OnUpdate(Item);
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    // The item is still being constructed here; Add reports the change once it is whole.
    Notify(Item, TCollectionNotification::cnAdded);
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    Notify(Item, TCollectionNotification::cnDeleting);
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end()) FItems.erase(it);
    Item->FCollection = nullptr;
    if (!FClearing) Changed();
}

QUORIN_DEFINE_CLASS(TCollectionItem, TPersistent) {}

TCollectionItem::TCollectionItem(TCollection* Collection) : FCollection(nullptr) {
    if (Collection) Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() { LeaveCollection(); }

void TCollectionItem::LeaveCollection() {
    if (FCollection) FCollection->RemoveItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection) return -1;
    auto& items = FCollection->FItems;
    return int(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    const int current = Index();
    if (current < 0 || Value == current) return;
    auto& items = FCollection->FItems;
    Value = std::clamp(Value, 0, int(items.size()) - 1);
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

}  // namespace quorin
