// The layout loader.
#include "forms/LayoutLoader.h"

#include "forms/Streams.h"
#include "forms/StringList.h"

namespace quorin {

namespace {

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

[[noreturn]] void FailAt(int line, int column, const std::string& what) { throw ELayoutError(line, column, what); }

// A reference to a component that is resolved after every component exists.
struct Fixup {
    TObject* instance;
    const TPropInfo* info;
    std::string target;
    int line, column;
};

class Loader {
public:
    explicit Loader(TComponent* root) : root_(root) {}

    void Load(const LayoutObject& layout) {
        root_->SetComponentState(csLoading, true);
        try {
            Run(layout);
        } catch (...) {
            root_->SetComponentState(csLoading, false);
            for (TComponent* c : created_) c->SetComponentState(csLoading, false);
            throw;
        }
    }

    void Apply(TObject* instance, const LayoutProperty& p) { SetProperty(instance, p); }

    void ResolveFixups() {
        for (const Fixup& f : fixups_) {
            TComponent* target = Lookup(f.target);
            if (!target) FailAt(f.line, f.column, "unknown component " + Quoted(f.target));
            if (f.info->ObjClass && !target->InheritsFrom(f.info->ObjClass()))
                FailAt(f.line, f.column,
                       "property " + Quoted(f.info->Name) + " takes a " + f.info->ObjClass().Name + ", but " +
                           f.target + " is a " + target->ClassName());
            Guard(f.line, f.column, [&] { f.info->SetObj(*f.instance, target); });
        }
        fixups_.clear();
    }

private:
    void Run(const LayoutObject& layout) {
        Guard(layout.line, layout.column, [&] { root_->SetName(layout.name); });
        for (const auto& p : layout.properties) SetProperty(root_, p);
        for (const auto& child : layout.children) Create(child, root_);
        ResolveFixups();
        for (TComponent* c : created_) Guard(0, 0, [&] { c->Loaded(); });
        Guard(0, 0, [&] { root_->Loaded(); });
    }

    TComponent* Lookup(const std::string& name) const {
        if (name == root_->Name()) return root_;
        return root_->FindComponent(name);
    }

    // Runs f; an exception other than a layout error becomes one at this position.
    template <class F>
    void Guard(int line, int column, F&& f) {
        try {
            f();
        } catch (const ELayoutError&) {
            throw;
        } catch (const std::exception& e) {
            FailAt(line, column, e.what());
        }
    }

    void Create(const LayoutObject& o, TComponent* parent) {
        const TClassInfo* cls = FindClass(o.className);
        if (!cls) FailAt(o.line, o.column, "unknown class " + Quoted(o.className));
        if (!cls->Create) FailAt(o.line, o.column, "class " + o.className + " cannot be created from a layout");
        if (Lookup(o.name)) FailAt(o.line, o.column, "a component named " + o.name + " already exists");
        TComponent* c = nullptr;
        Guard(o.line, o.column, [&] { c = cls->Create(root_); });
        created_.push_back(c);
        c->SetComponentState(csLoading, true);
        Guard(o.line, o.column, [&] { c->SetName(o.name); });
        if (const auto* binding = root_->FindFieldBinding(o.name)) {
            if (!binding->Set(c))
                FailAt(o.line, o.column,
                       "component " + o.name + " is a " + o.className + ", but the form's field wants a " +
                           binding->Class->Name);
        }
        Guard(o.line, o.column, [&] { c->SetParentComponent(parent); });
        for (const auto& p : o.properties) SetProperty(c, p);
        for (const auto& child : o.children) Create(child, c);
    }

    void SetProperty(TObject* instance, const LayoutProperty& p) {
        // Walk the path to the object that holds the last step.
        TObject* target = instance;
        std::string_view path = p.path;
        for (;;) {
            const size_t dot = path.find('.');
            const std::string_view step = path.substr(0, dot);
            const TPropInfo* info = target->ClassInfo().FindProp(step);
            if (!info) FailAt(p.line, p.column, "unknown property " + Quoted(step) + " of " + target->ClassName());
            if (dot == std::string_view::npos) {
                SetValue(target, *info, p);
                return;
            }
            if (info->Kind != TPropKind::Object || !info->GetObj)
                FailAt(p.line, p.column,
                       "property " + Quoted(step) + " of " + target->ClassName() + " has no properties of its own");
            TObject* next = info->GetObj(*target);
            if (!next)
                FailAt(p.line, p.column, "property " + Quoted(step) + " of " + target->ClassName() + " is not set");
            target = next;
            path.remove_prefix(dot + 1);
        }
    }

    [[noreturn]] void WrongKind(const TObject* target, const TPropInfo& info, const LayoutProperty& p,
                                const char* wants) {
        FailAt(p.value.line, p.value.column,
               "property " + Quoted(info.Name) + " of " + target->ClassName() + " takes " + wants + ", not " +
                   (p.value.kind == LayoutValueKind::Integer || p.value.kind == LayoutValueKind::Ident ? "an " : "a ") +
                   LayoutValueKindName(p.value.kind));
    }

    void SetValue(TObject* target, const TPropInfo& info, const LayoutProperty& p) {
        const LayoutValue& v = p.value;
        const int line = v.line ? v.line : p.line;
        const int column = v.line ? v.column : p.column;
        auto readOnly = [&] {
            FailAt(p.line, p.column, "property " + Quoted(info.Name) + " of " + target->ClassName() + " is read-only");
        };
        switch (info.Kind) {
        case TPropKind::Integer: {
            if (!info.SetOrd) readOnly();
            if (v.kind == LayoutValueKind::Ident && !info.Idents.empty()) {
                for (const auto& entry : info.Idents)
                    if (entry.first == v.text) {
                        const auto value = entry.second;
                        Guard(line, column, [&] { info.SetOrd(*target, value); });
                        return;
                    }
                FailAt(line, column,
                       "invalid value " + v.text + " for property " + Quoted(info.Name) + " of " + target->ClassName());
            }
            if (v.kind != LayoutValueKind::Integer) WrongKind(target, info, p, "an integer");
            if (v.integer < info.MinValue || v.integer > info.MaxValue)
                FailAt(line, column,
                       "value " + std::to_string(v.integer) + " out of range for property " + Quoted(info.Name) + " (" +
                           std::to_string(info.MinValue) + " to " + std::to_string(info.MaxValue) + ")");
            Guard(line, column, [&] { info.SetOrd(*target, v.integer); });
            return;
        }
        case TPropKind::Enumeration: {
            if (!info.SetOrd) readOnly();
            const bool isBool = info.Names.size() == 2 && info.Names[0] == "False" && info.Names[1] == "True";
            if (isBool && v.kind == LayoutValueKind::Bool) {
                Guard(line, column, [&] { info.SetOrd(*target, v.boolean ? 1 : 0); });
                return;
            }
            if (v.kind != LayoutValueKind::Ident)
                WrongKind(target, info, p, isBool ? "true or false" : "an identifier");
            for (size_t i = 0; i < info.Names.size(); ++i)
                if (info.Names[i] == v.text) {
                    Guard(line, column, [&] { info.SetOrd(*target, int64_t(i)); });
                    return;
                }
            FailAt(line, column,
                   "invalid value " + v.text + " for property " + Quoted(info.Name) + " of " + target->ClassName());
        }
        case TPropKind::String:
            if (v.kind != LayoutValueKind::String) WrongKind(target, info, p, "a string");
            if (!info.SetStr) readOnly();
            Guard(line, column, [&] { info.SetStr(*target, v.text); });
            return;
        case TPropKind::Set: {
            if (v.kind != LayoutValueKind::Set) WrongKind(target, info, p, "a set");
            if (!info.SetOrd) readOnly();
            uint64_t bits = 0;
            for (const auto& element : v.list) {
                size_t i = 0;
                while (i < info.Names.size() && info.Names[i] != element) ++i;
                if (i == info.Names.size() || i >= 64)
                    FailAt(line, column,
                           "invalid element " + element + " for property " + Quoted(info.Name) + " of " +
                               target->ClassName());
                bits |= uint64_t(1) << i;
            }
            Guard(line, column, [&] { info.SetOrd(*target, int64_t(bits)); });
            return;
        }
        case TPropKind::Object:
            if (!info.SetObj)
                FailAt(p.line, p.column,
                       "property " + Quoted(info.Name) + " of " + target->ClassName() +
                           " is an object; set its properties as " + info.Name + ".<name>");
            if (v.kind != LayoutValueKind::Ident) WrongKind(target, info, p, "a component name");
            if (!root_) FailAt(line, column, "no form to find component " + Quoted(v.text) + " in");
            fixups_.push_back({target, &info, v.text, line, column});
            return;
        case TPropKind::Strings: {
            if (v.kind != LayoutValueKind::List) WrongKind(target, info, p, "a string list");
            auto* list = dynamic_cast<TStrings*>(info.GetObj(*target));
            if (!list) FailAt(p.line, p.column, "property " + Quoted(info.Name) + " has no list");
            Guard(line, column, [&] {
                list->BeginUpdate();
                try {
                    list->Clear();
                    for (const auto& s : v.list) list->Add(s);
                } catch (...) {
                    list->EndUpdate();
                    throw;
                }
                list->EndUpdate();
            });
            return;
        }
        case TPropKind::Collection: {
            if (v.kind != LayoutValueKind::Items) WrongKind(target, info, p, "an item list");
            auto* collection = dynamic_cast<TCollection*>(info.GetObj(*target));
            if (!collection) FailAt(p.line, p.column, "property " + Quoted(info.Name) + " has no collection");
            collection->BeginUpdate();
            try {
                Guard(line, column, [&] { collection->Clear(); });
                for (const auto& item : v.items) {
                    TCollectionItem* created = nullptr;
                    Guard(item.line, item.column, [&] { created = collection->Add(); });
                    for (const auto& ip : item.properties) SetProperty(created, ip);
                }
            } catch (...) {
                collection->EndUpdate();
                throw;
            }
            collection->EndUpdate();
            return;
        }
        case TPropKind::Method: {
            if (v.kind != LayoutValueKind::Ident) WrongKind(target, info, p, "an event handler name");
            if (!root_) FailAt(line, column, "no form to find event handler " + Quoted(v.text) + " in");
            const std::any* handler = root_->MethodAddress(v.text);
            if (!handler)
                FailAt(line, column,
                       "unknown event handler " + Quoted(v.text) + " for " + info.Name + " (the form " +
                           root_->ClassName() + " has none of that name)");
            bool fits = false;
            Guard(line, column, [&] { fits = info.SetMethod(*target, *handler); });
            if (!fits) FailAt(line, column, "event handler " + v.text + " does not fit the event " + info.Name);
            return;
        }
        case TPropKind::Binary: {
            if (v.kind != LayoutValueKind::Binary) WrongKind(target, info, p, "a binary value");
            if (!info.ReadData) readOnly();
            TMemoryStream stream(v.bytes);
            Guard(line, column, [&] { info.ReadData(*target, stream); });
            return;
        }
        }
    }

    TComponent* root_;
    std::vector<TComponent*> created_;
    std::vector<Fixup> fixups_;
};

void StoreProperties(const TObject& instance, const std::string& prefix, std::vector<LayoutProperty>& out, int depth) {
    if (depth > 4) return;
    for (const TPropInfo* info : instance.ClassInfo().AllProps()) {
        if (!info->Stored) continue;
        const std::string path = prefix + info->Name;
        switch (info->Kind) {
        case TPropKind::Integer:
            if (info->SetOrd) {
                const int64_t v = info->GetOrd(instance);
                LayoutValue value = LayoutValue::Int(v);
                for (const auto& [ident, identValue] : info->Idents)
                    if (identValue == v) {
                        value = LayoutValue::Ident(ident);
                        break;
                    }
                out.push_back({path, value});
            }
            break;
        case TPropKind::Enumeration:
            if (info->SetOrd) {
                const int64_t v = info->GetOrd(instance);
                if (v < 0 || v >= int64_t(info->Names.size())) break;
                const bool isBool = info->Names.size() == 2 && info->Names[0] == "False" && info->Names[1] == "True";
                out.push_back({path, isBool ? LayoutValue::Bool(v != 0) : LayoutValue::Ident(info->Names[size_t(v)])});
            }
            break;
        case TPropKind::String:
            // A component's name stands in its object header; a collection item's Name
            // (depth above 0) is an ordinary property and is kept.
            if (info->SetStr && !(path == "Name" && prefix.empty() && depth == 0))
                out.push_back({path, LayoutValue::Str(info->GetStr(instance))});
            break;
        case TPropKind::Set:
            if (info->SetOrd) {
                const uint64_t bits = uint64_t(info->GetOrd(instance));
                std::vector<std::string> elements;
                for (size_t i = 0; i < info->Names.size() && i < 64; ++i)
                    if (bits & (uint64_t(1) << i)) elements.push_back(info->Names[i]);
                out.push_back({path, LayoutValue::SetOf(std::move(elements))});
            }
            break;
        case TPropKind::Object: {
            TObject* obj = info->GetObj ? info->GetObj(instance) : nullptr;
            if (!obj) break;
            if (info->SetObj) {
                if (auto* c = dynamic_cast<TComponent*>(obj); c && !c->Name().empty())
                    out.push_back({path, LayoutValue::Ident(c->Name())});
            } else {
                StoreProperties(*obj, path + ".", out, depth + 1);
            }
            break;
        }
        case TPropKind::Strings:
            if (auto* list = dynamic_cast<TStrings*>(info->GetObj(instance))) {
                std::vector<std::string> lines;
                for (int i = 0; i < list->Count(); ++i) lines.push_back(list->Get(i));
                out.push_back({path, LayoutValue::StrList(std::move(lines))});
            }
            break;
        case TPropKind::Collection:
            if (auto* collection = dynamic_cast<TCollection*>(info->GetObj(instance))) {
                std::vector<LayoutItem> items;
                for (int i = 0; i < collection->Count(); ++i) {
                    LayoutItem item;
                    StoreProperties(*collection->Items(i), "", item.properties, depth + 1);
                    items.push_back(std::move(item));
                }
                out.push_back({path, LayoutValue::ItemList(std::move(items))});
            }
            break;
        case TPropKind::Binary:
            if (info->WriteData) {
                TMemoryStream stream;
                info->WriteData(instance, stream);
                out.push_back({path, LayoutValue::Bin(stream.Bytes())});
            }
            break;
        case TPropKind::Method: break;
        }
    }
}

}  // namespace

void LoadLayout(TComponent* Root, const LayoutObject& Layout) {
    if (!Root) throw ELayoutError(0, 0, "no component to load into");
    Loader(Root).Load(Layout);
}

void LoadLayoutText(TComponent* Root, std::string_view Text) { LoadLayout(Root, ParseLayout(Text)); }

void ApplyLayoutProperty(TObject* Instance, const LayoutProperty& Property, TComponent* Lookup) {
    if (!Instance) throw ELayoutError(Property.line, Property.column, "no object to set " + Property.path + " of");
    Loader loader(Lookup);
    loader.Apply(Instance, Property);
    if (Lookup) loader.ResolveFixups();
}

std::vector<LayoutProperty> StoredLayoutProperties(const TObject& Instance) {
    std::vector<LayoutProperty> out;
    StoreProperties(Instance, "", out, 0);
    return out;
}

}  // namespace quorin
