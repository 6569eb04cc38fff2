// Published properties by name.
#include "forms/TypInfo.h"
#include "forms/SysUtils.h"

namespace quorin {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

TPropRef Need(const TObject* Instance, std::string_view Path) {
    TPropRef r = FindPropPath(Instance, Path);
    if (!r) {
        throw EPropertyError("Property " + std::string(Path) + " does not exist" +
                             (Instance ? " in " + Instance->ClassName() : std::string()));
    }
    return r;
}

TPropRef NeedKind(const TObject* Instance, std::string_view Path, std::initializer_list<TPropKind> kinds) {
    TPropRef r = Need(Instance, Path);
    for (TPropKind k : kinds)
        if (r.Info->Kind == k) return r;
    throw EPropertyError("Property " + std::string(Path) + " is of kind " + PropKindName(r.Info->Kind));
}

void ReadOnly(std::string_view Path) { throw EPropertyError("Property " + std::string(Path) + " is read-only"); }

}  // namespace

TPropRef FindPropPath(const TObject* Instance, std::string_view Path) {
    TObject* obj = const_cast<TObject*>(Instance);
    while (obj) {
        const size_t dot = Path.find('.');
        const TPropInfo* info = obj->ClassInfo().FindProp(Path.substr(0, dot));
        if (!info) return {};
        if (dot == std::string_view::npos) return {obj, info};
        if (info->Kind != TPropKind::Object || !info->GetObj) return {};
        obj = info->GetObj(*obj);
        Path.remove_prefix(dot + 1);
    }
    return {};
}

const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Path) {
    return FindPropPath(Instance, Path).Info;
}

bool IsPublishedProp(const TObject* Instance, std::string_view Path) { return GetPropInfo(Instance, Path) != nullptr; }

TPropKind PropType(const TObject* Instance, std::string_view Path) { return Need(Instance, Path).Info->Kind; }

int64_t GetOrdProp(const TObject* Instance, std::string_view Path) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::Integer, TPropKind::Enumeration, TPropKind::Set});
    return r.Info->GetOrd(*r.Instance);
}

void SetOrdProp(TObject* Instance, std::string_view Path, int64_t Value) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::Integer, TPropKind::Enumeration, TPropKind::Set});
    if (!r.Info->SetOrd) ReadOnly(Path);
    if (r.Info->Kind == TPropKind::Enumeration && (Value < 0 || Value >= int64_t(r.Info->Names.size())))
        throw EPropertyError("Invalid value " + std::to_string(Value) + " for property " + std::string(Path));
    r.Info->SetOrd(*r.Instance, Value);
}

std::string GetEnumProp(const TObject* Instance, std::string_view Path) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::Enumeration});
    const int64_t v = r.Info->GetOrd(*r.Instance);
    return v >= 0 && v < int64_t(r.Info->Names.size()) ? r.Info->Names[size_t(v)] : std::to_string(v);
}

void SetEnumProp(TObject* Instance, std::string_view Path, const std::string& Value) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::Enumeration});
    if (!r.Info->SetOrd) ReadOnly(Path);
    const std::string_view v = Trim(Value);
    for (size_t i = 0; i < r.Info->Names.size(); ++i)
        if (SameText(r.Info->Names[i], v)) {
            r.Info->SetOrd(*r.Instance, int64_t(i));
            return;
        }
    throw EPropertyError("Invalid property value " + Value + " for " + std::string(Path));
}

std::string GetSetProp(const TObject* Instance, std::string_view Path) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::Set});
    const uint64_t bits = uint64_t(r.Info->GetOrd(*r.Instance));
    std::string out = "[";
    for (size_t i = 0; i < r.Info->Names.size() && i < 64; ++i)
        if (bits & (uint64_t(1) << i)) {
            if (out.size() > 1) out += ',';
            out += r.Info->Names[i];
        }
    return out + "]";
}

void SetSetProp(TObject* Instance, std::string_view Path, const std::string& Value) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::Set});
    if (!r.Info->SetOrd) ReadOnly(Path);
    std::string_view text = Trim(Value);
    if (!text.empty() && text.front() == '[') text.remove_prefix(1);
    if (!text.empty() && text.back() == ']') text.remove_suffix(1);
    uint64_t bits = 0;
    while (!Trim(text).empty()) {
        const size_t comma = text.find(',');
        const std::string_view element = Trim(text.substr(0, comma));
        size_t i = 0;
        while (i < r.Info->Names.size() && !SameText(r.Info->Names[i], element)) ++i;
        if (i == r.Info->Names.size() || i >= 64)
            throw EPropertyError("Invalid property element " + std::string(element) + " for " + std::string(Path));
        bits |= uint64_t(1) << i;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    r.Info->SetOrd(*r.Instance, int64_t(bits));
}

std::string GetStrProp(const TObject* Instance, std::string_view Path) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::String});
    return r.Info->GetStr(*r.Instance);
}

void SetStrProp(TObject* Instance, std::string_view Path, const std::string& Value) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::String});
    if (!r.Info->SetStr) ReadOnly(Path);
    r.Info->SetStr(*r.Instance, Value);
}

TObject* GetObjectProp(const TObject* Instance, std::string_view Path) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::Object, TPropKind::Strings, TPropKind::Collection});
    return r.Info->GetObj(*r.Instance);
}

void SetObjectProp(TObject* Instance, std::string_view Path, TObject* Value) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::Object});
    if (!r.Info->SetObj) ReadOnly(Path);
    if (Value && r.Info->ObjClass && !Value->InheritsFrom(r.Info->ObjClass()))
        throw EPropertyError("Property " + std::string(Path) + " takes a " + r.Info->ObjClass().Name + ", not a " +
                             Value->ClassName());
    r.Info->SetObj(*r.Instance, Value);
}

std::any GetMethodProp(const TObject* Instance, std::string_view Path) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::Method});
    return r.Info->GetMethod(*r.Instance);
}

void SetMethodProp(TObject* Instance, std::string_view Path, const std::any& Value) {
    TPropRef r = NeedKind(Instance, Path, {TPropKind::Method});
    if (!r.Info->SetMethod(*r.Instance, Value))
        throw EPropertyError("The handler does not fit the event " + std::string(Path));
}

bool IsMethodAssigned(const TObject* Instance, std::string_view Path) {
    const TPropRef r = FindPropPath(Instance, Path);
    if (!r || r.Info->Kind != TPropKind::Method) return false;
    return r.Info->MethodAssigned && r.Info->MethodAssigned(*r.Instance);
}

std::string GetPropValue(const TObject* Instance, std::string_view Path) {
    const TPropRef r = Need(Instance, Path);
    switch (r.Info->Kind) {
    case TPropKind::Enumeration: return GetEnumProp(Instance, Path);
    case TPropKind::Integer: return std::to_string(r.Info->GetOrd(*r.Instance));
    case TPropKind::String: return r.Info->GetStr(*r.Instance);
    case TPropKind::Set: return GetSetProp(Instance, Path);
    default: return std::string();
    }
}

void SetPropValue(TObject* Instance, std::string_view Path, const std::string& Value) {
    const TPropRef r = Need(Instance, Path);
    switch (r.Info->Kind) {
    case TPropKind::Enumeration: SetEnumProp(Instance, Path, Value); return;
    case TPropKind::Integer:
        if (!r.Info->SetOrd) ReadOnly(Path);
        for (const auto& [ident, value] : r.Info->Idents)
            if (SameText(ident, Trim(Value))) {
                r.Info->SetOrd(*r.Instance, value);
                return;
            }
        r.Info->SetOrd(*r.Instance, StrToInt(Value));
        return;
    case TPropKind::String: SetStrProp(Instance, Path, Value); return;
    case TPropKind::Set: SetSetProp(Instance, Path, Value); return;
    default: throw EPropertyError("Property " + std::string(Path) + " cannot be set from text");
    }
}

}  // namespace quorin
