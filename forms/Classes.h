// The framework's object model, portable: run-time class information with published
// properties readable and writable by name, persistent objects, components with owners and
// names, and collections. Controls (Windows only) build on it; so do the skin engine's
// non-visual components, which the layout loader creates by class name.
//
// A class takes part by declaring QUORIN_CLASS(Self, Base) in its body and defining its
// published properties with QUORIN_DEFINE_CLASS(Self, Base) { p.Int(...); ... } in its
// source file. A component class with a constructor taking its owner is then also
// registered, so a layout can name it.
#pragma once

#include "forms/SysUtils.h"

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quorin {

class TObject;
class TPersistent;
class TComponent;
class TStream;
class TStrings;
class TCollection;
struct TClassInfo;

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Raised for a fault in a component's name or ownership.
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

// Raised when a property is written with a value it cannot take, or does not exist.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

enum class TPropKind { Enumeration, Integer, String, Object, Method, Set, Strings, Collection, Binary };

// "enumeration", "integer", ... for messages.
const char* PropKindName(TPropKind kind);

// One published property. Which accessors are set depends on the kind:
//   Integer, Enumeration (the ordinal), Set (bit n = element n): GetOrd/SetOrd;
//   String: GetStr/SetStr (UTF-8);
//   Object: GetObj, and SetObj for a reference to another component (Menu, Images); an
//     object the owner holds as a part of itself (Font) has no SetObj and is written
//     through its own properties ("Font.Name");
//   Strings, Collection: GetObj returns the owned TStrings / TCollection;
//   Method: GetMethod/SetMethod, the value a std::function of the event's signature;
//   Binary: ReadData/WriteData with a stream of the bytes.
struct TPropInfo {
    std::string Name;
    TPropKind Kind = TPropKind::Integer;
    std::vector<std::string> Names;  // identifiers of an enumeration's ordinals or a set's elements
    int64_t MinValue = INT32_MIN;    // integer range accepted; a 32-bit property also takes
    int64_t MaxValue = UINT32_MAX;   // 0x80000000..0xFFFFFFFF as its bit pattern
    // Named values an integer property also takes by name (clBtnFace, DEFAULT_CHARSET).
    std::vector<std::pair<std::string, int64_t>> Idents;
    std::function<int64_t(const TObject&)> GetOrd;
    std::function<void(TObject&, int64_t)> SetOrd;
    std::function<std::string(const TObject&)> GetStr;
    std::function<void(TObject&, const std::string&)> SetStr;
    std::function<TObject*(const TObject&)> GetObj;
    std::function<void(TObject&, TObject*)> SetObj;
    // The class an object value must inherit from (a function, so that a class can have
    // properties that refer to its own kind).
    const TClassInfo& (*ObjClass)() = nullptr;
    std::function<std::any(const TObject&)> GetMethod;
    std::function<bool(TObject&, const std::any&)> SetMethod;  // false: another signature
    std::function<bool(const TObject&)> MethodAssigned;
    std::function<void(TObject&, TStream&)> ReadData;
    std::function<void(const TObject&, TStream&)> WriteData;
    // False for a published property that is shown but never written to a stored layout.
    bool Stored = true;
};

struct TClassInfo {
    std::string Name;
    const TClassInfo* Parent = nullptr;
    std::vector<TPropInfo> Props;                          // this class's own, in order
    std::function<TComponent*(TComponent* owner)> Create;  // absent: not creatable by name

    // The property of that name, searched from this class up to TObject; nullptr if none.
    const TPropInfo* FindProp(std::string_view name) const;
    // Every property, base classes' first.
    std::vector<const TPropInfo*> AllProps() const;
    bool InheritsFrom(const TClassInfo& other) const;
};

// The registry of classes by name, for the layout loader. Classes defined with
// QUORIN_DEFINE_CLASS register themselves; RegisterClassInfo adds any other.
void RegisterClassInfo(const TClassInfo& info);
const TClassInfo* FindClass(std::string_view name);
template <class... T>
void RegisterClasses() {
    (RegisterClassInfo(T::StaticClassInfo()), ...);
}

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
    const std::string& ClassName() const { return ClassInfo().Name; }
    bool InheritsFrom(const TClassInfo& c) const { return ClassInfo().InheritsFrom(c); }
};

// Builds a class's property table; T is the class being described. Getters and setters
// are anything std::invoke takes: member function pointers, data member pointers
// (getters), or lambdas over T&.
template <class T>
class TPropBuilder {
public:
    explicit TPropBuilder(TClassInfo& info) : info_(info) {}

    template <class G, class S>
    TPropInfo& Int(std::string name, G get, S set, int64_t min = INT32_MIN, int64_t max = UINT32_MAX) {
        TPropInfo& p = Add(std::move(name), TPropKind::Integer);
        p.MinValue = min;
        p.MaxValue = max;
        p.GetOrd = [get](const TObject& o) { return int64_t(std::invoke(get, static_cast<const T&>(o))); };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetOrd = [set](TObject& o, int64_t v) { std::invoke(set, static_cast<T&>(o), static_cast<int32_t>(v)); };
        return p;
    }

    template <class G, class S>
    TPropInfo& Bool(std::string name, G get, S set) {
        TPropInfo& p = Add(std::move(name), TPropKind::Enumeration);
        p.Names = {"False", "True"};
        p.GetOrd = [get](const TObject& o) { return int64_t(bool(std::invoke(get, static_cast<const T&>(o)))); };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetOrd = [set](TObject& o, int64_t v) { std::invoke(set, static_cast<T&>(o), v != 0); };
        return p;
    }

    // An enumeration whose ordinals 0, 1, ... have the given identifiers.
    template <class E, class G, class S>
    TPropInfo& Enum(std::string name, G get, S set, std::vector<std::string> names) {
        TPropInfo& p = Add(std::move(name), TPropKind::Enumeration);
        p.Names = std::move(names);
        p.GetOrd = [get](const TObject& o) { return int64_t(std::invoke(get, static_cast<const T&>(o))); };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetOrd = [set](TObject& o, int64_t v) { std::invoke(set, static_cast<T&>(o), static_cast<E>(v)); };
        return p;
    }

    // A set: bit n of the value is element n.
    template <class G, class S>
    TPropInfo& Set(std::string name, G get, S set, std::vector<std::string> names) {
        TPropInfo& p = Add(std::move(name), TPropKind::Set);
        p.Names = std::move(names);
        p.GetOrd = [get](const TObject& o) { return int64_t(std::invoke(get, static_cast<const T&>(o))); };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetOrd = [set](TObject& o, int64_t v) { std::invoke(set, static_cast<T&>(o), static_cast<uint32_t>(v)); };
        return p;
    }

    template <class G, class S>
    TPropInfo& Str(std::string name, G get, S set) {
        TPropInfo& p = Add(std::move(name), TPropKind::String);
        p.GetStr = [get](const TObject& o) { return std::string(std::invoke(get, static_cast<const T&>(o))); };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetStr = [set](TObject& o, const std::string& v) { std::invoke(set, static_cast<T&>(o), v); };
        return p;
    }

    // A reference to another object of class U (a component of the same form).
    template <class U, class G, class S>
    TPropInfo& Ref(std::string name, G get, S set) {
        TPropInfo& p = Add(std::move(name), TPropKind::Object);
        p.ObjClass = &U::StaticClassInfo;
        p.GetObj = [get](const TObject& o) -> TObject* { return std::invoke(get, static_cast<const T&>(o)); };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetObj = [set](TObject& o, TObject* v) { std::invoke(set, static_cast<T&>(o), dynamic_cast<U*>(v)); };
        return p;
    }

    // An object the instance holds as a part of itself (Font); written by sub-property.
    template <class U, class G>
    TPropInfo& Part(std::string name, G get) {
        TPropInfo& p = Add(std::move(name), TPropKind::Object);
        p.ObjClass = &U::StaticClassInfo;
        p.GetObj = [get](const TObject& o) -> TObject* {
            return const_cast<U*>(&Deref(std::invoke(get, static_cast<const T&>(o))));
        };
        return p;
    }

    template <class G>
    TPropInfo& Strings(std::string name, G get) {
        TPropInfo& p = Add(std::move(name), TPropKind::Strings);
        p.GetObj = [get](const TObject& o) -> TObject* {
            return const_cast<std::remove_cvref_t<decltype(Deref(std::invoke(get, static_cast<const T&>(o))))>*>(
                &Deref(std::invoke(get, static_cast<const T&>(o))));
        };
        return p;
    }

    template <class G>
    TPropInfo& Collection(std::string name, G get) {
        TPropInfo& p = Add(std::move(name), TPropKind::Collection);
        p.GetObj = [get](const TObject& o) -> TObject* {
            return const_cast<std::remove_cvref_t<decltype(Deref(std::invoke(get, static_cast<const T&>(o))))>*>(
                &Deref(std::invoke(get, static_cast<const T&>(o))));
        };
        return p;
    }

    // An event held in a std::function member of the class.
    template <class Sig>
    TPropInfo& Event(std::string name, std::function<Sig> T::*field) {
        TPropInfo& p = Add(std::move(name), TPropKind::Method);
        p.GetMethod = [field](const TObject& o) { return std::any(static_cast<const T&>(o).*field); };
        p.MethodAssigned = [field](const TObject& o) { return bool(static_cast<const T&>(o).*field); };
        p.SetMethod = [field](TObject& o, const std::any& v) {
            if (!v.has_value()) {
                static_cast<T&>(o).*field = nullptr;
                return true;
            }
            const auto* f = std::any_cast<std::function<Sig>>(&v);
            if (!f) return false;
            static_cast<T&>(o).*field = *f;
            return true;
        };
        return p;
    }

    template <class R, class W>
    TPropInfo& Binary(std::string name, R read, W write) {
        TPropInfo& p = Add(std::move(name), TPropKind::Binary);
        p.ReadData = [read](TObject& o, TStream& s) { std::invoke(read, static_cast<T&>(o), s); };
        p.WriteData = [write](const TObject& o, TStream& s) { std::invoke(write, static_cast<const T&>(o), s); };
        return p;
    }

private:
    template <class U>
    static U& Deref(U& u) {
        return u;
    }
    template <class U>
    static U& Deref(U* u) {
        return *u;
    }
    template <class U>
    static U& Deref(const std::unique_ptr<U>& u) {
        return *u;
    }

    TPropInfo& Add(std::string name, TPropKind kind) {
        info_.Props.emplace_back();
        TPropInfo& p = info_.Props.back();
        p.Name = std::move(name);
        p.Kind = kind;
        return p;
    }
    TClassInfo& info_;
};

namespace detail {
template <class T>
TClassInfo MakeClassInfo(const char* name, const TClassInfo* parent, void (*define)(TPropBuilder<T>&)) {
    TClassInfo info;
    info.Name = name;
    info.Parent = parent;
    if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
        info.Create = [](TComponent* owner) -> TComponent* { return new T(owner); };
    TPropBuilder<T> builder(info);
    if (define) define(builder);
    return info;
}
}  // namespace detail

#define QUORIN_CLASS(Self, Base)                                                         \
public:                                                                                  \
    using inherited = Base;                                                              \
    static const ::quorin::TClassInfo& StaticClassInfo();                                \
    const ::quorin::TClassInfo& ClassInfo() const override { return StaticClassInfo(); } \
                                                                                         \
private:

// Defines the class information; the block that follows gets `p`, a TPropBuilder<Self>.
#define QUORIN_DEFINE_CLASS(Self, Base)                                                                  \
    static void Self##_DefineProps(::quorin::TPropBuilder<Self>& p);                                     \
    const ::quorin::TClassInfo& Self::StaticClassInfo() {                                                \
        static const ::quorin::TClassInfo info =                                                         \
            ::quorin::detail::MakeClassInfo<Self>(#Self, &Base::StaticClassInfo(), &Self##_DefineProps); \
        return info;                                                                                     \
    }                                                                                                    \
    [[maybe_unused]] static const bool Self##_registered =                                               \
        (::quorin::RegisterClassInfo(Self::StaticClassInfo()), true);                                    \
    static void Self##_DefineProps([[maybe_unused]] ::quorin::TPropBuilder<Self>& p)

// An object that can copy another of its kind and that published properties describe.
class TPersistent : public TObject {
    QUORIN_CLASS(TPersistent, TObject)
public:
    // Copies Source into this object; the base raises EConvertError
    // "Cannot assign a <source class> to a <this class>".
    virtual void Assign(const TPersistent& Source);
};

enum class TOperation { opInsert, opRemove };

// Component state flags.
constexpr uint32_t csLoading = 1u << 0;     // being read from a layout
constexpr uint32_t csDestroying = 1u << 1;  // its destructor runs
constexpr uint32_t csDesigning = 1u << 2;   // never set at run time; kept for the skin engine's checks

// A component: a name, a tag, an owner that frees it, and the components it owns, in
// creation order. A component freed before its owner leaves the owner's list.
class TComponent : public TPersistent {
    QUORIN_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    const std::string& Name() const { return FName; }
    // A name is empty or an identifier, unique among the owner's components (case-
    // insensitive, as the layout's component fields are); EComponentError otherwise.
    virtual void SetName(const std::string& NewName);
    int32_t Tag() const { return FTag; }
    void SetTag(int32_t Value) { FTag = Value; }

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return int(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    TComponent* FindComponent(std::string_view Name) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component, the last created first.
    void DestroyComponents();

    uint32_t ComponentState() const { return FComponentState; }
    // The layout loader marks components it is reading with csLoading.
    void SetComponentState(uint32_t flags, bool on) {
        FComponentState = on ? (FComponentState | flags) : (FComponentState & ~flags);
    }

    // Asks to be told (Notification opRemove) when AComponent is freed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Called on every component after the whole layout has been read.
    virtual void Loaded();
    // The layout loader's hook: the component stood inside Parent in the layout (a control
    // takes it as its parent control, a menu item as its parent item).
    virtual void SetParentComponent(TComponent* Parent);
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual bool HasParent() const { return false; }

    // ---- the table a form gives the layout loader: event handlers and fields by name ----
    // A handler is kept as a std::function of its signature, bound to this object.
    template <class C, class R, class... A>
    void RegisterHandler(const std::string& HandlerName, R (C::*Method)(A...)) {
        C* self = static_cast<C*>(this);
        std::function<R(A...)> f = [self, Method](A... args) -> R { return (self->*Method)(std::forward<A>(args)...); };
        RegisterMethod(HandlerName, std::any(std::move(f)));
    }
    void RegisterMethod(const std::string& HandlerName, std::any Handler);
    // The handler registered under that name, or nullptr.
    const std::any* MethodAddress(std::string_view HandlerName) const;
    // The loader stores the component of that name in Field (it must be a T).
    template <class T>
    void BindField(const std::string& FieldName, T*& Field) {
        RegisterFieldBinding(FieldName, &T::StaticClassInfo(), [&Field](TComponent* c) -> bool {
            T* t = dynamic_cast<T*>(c);
            if (c && !t) return false;
            Field = t;
            return true;
        });
    }
    struct TFieldBinding {
        std::string Name;
        const TClassInfo* Class;
        std::function<bool(TComponent*)> Set;
    };
    void RegisterFieldBinding(const std::string& FieldName, const TClassInfo* Class,
                              std::function<bool(TComponent*)> Set);
    const TFieldBinding* FindFieldBinding(std::string_view FieldName) const;
    const std::vector<TFieldBinding>& FieldBindings() const;

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);

    struct TPublishedTable;
    TComponent* FOwner = nullptr;
    std::string FName;
    int32_t FTag = 0;
    uint32_t FComponentState = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::unique_ptr<TPublishedTable> FPublished;
};

class TCollectionItem;

enum class TCollectionNotification { cnAdded, cnDeleting };

// An ordered list of items of one class, owned by it. Items are created through Add,
// which the collection's item factory makes of the right class.
class TCollection : public TPersistent {
    QUORIN_CLASS(TCollection, TPersistent)
public:
    using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
    explicit TCollection(TItemFactory Factory, TPersistent* Owner = nullptr);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return int(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    template <class I>
    I* ItemAs(int Index) const {
        return static_cast<I*>(Items(Index));
    }
    TPersistent* Owner() const { return FOwner; }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // The framework's collection copy: clear, then add one item per source item and
    // Assign it.
    void Assign(const TPersistent& Source) override;

    // Raised after items change; Item is null when the whole collection changed. Owners
    // (list views, status bars) mirror the change into their window.
    std::function<void(TCollectionItem* Item)> OnUpdate;

protected:
    virtual void Update(TCollectionItem* Item);
    // An item was added (at the end, with its ID set, but still being constructed: only
    // its place may be used) or is about to be removed.
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) {}
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    // Takes the item out, with the owner told while the item is whole, then frees it.
    void DeleteItem(TCollectionItem* Item);

    TItemFactory FFactory;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
    bool FClearing = false;
};

class TCollectionItem : public TPersistent {
    QUORIN_CLASS(TCollectionItem, TPersistent)
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;
    TCollection* Collection() const { return FCollection; }
    int Index() const;
    void SetIndex(int Value);
    // The running number the collection gave the item; never reused.
    int ID() const { return FID; }

protected:
    // Tells the collection that this item (or, with AllItems, the whole collection) changed.
    void Changed(bool AllItems);
    // Leaves the collection, whose owner then forgets the item (a list view removes its
    // row, and may report on the row meanwhile). The collection does this before it frees
    // an item; an item deleted directly calls it first in its own destructor, so that no
    // owner sees an item whose members are already gone.
    void LeaveCollection();

private:
    friend class TCollection;
    TCollection* FCollection;
    int FID = 0;
};

// Creates items of class I for a collection.
template <class I>
TCollection::TItemFactory CollectionItemFactory() {
    return [](TCollection* c) -> TCollectionItem* { return new I(c); };
}

}  // namespace quorin
