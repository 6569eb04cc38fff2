// Published properties read and written by name, portable. A name may be a path through
// object properties ("Font.Name"). Functions that take a name raise EPropertyError when the
// object has no such property or the property is of another kind; GetPropInfo and
// IsPublishedProp answer without raising.
#pragma once

#include "forms/Classes.h"

#include <any>
#include <string>
#include <string_view>

namespace quorin {

// The property a path names, and the object that holds its last step.
struct TPropRef {
    TObject* Instance = nullptr;
    const TPropInfo* Info = nullptr;
    explicit operator bool() const { return Info != nullptr; }
};

// The property of Instance at Path, or an empty reference (null object, no such property,
// or a step of the path that is not an object, or is nil).
TPropRef FindPropPath(const TObject* Instance, std::string_view Path);
const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Path);
bool IsPublishedProp(const TObject* Instance, std::string_view Path);
TPropKind PropType(const TObject* Instance, std::string_view Path);

// Integer, enumeration (ordinal) and set (bits) properties.
int64_t GetOrdProp(const TObject* Instance, std::string_view Path);
void SetOrdProp(TObject* Instance, std::string_view Path, int64_t Value);
// Enumeration properties by identifier; setting compares identifiers case-insensitively.
std::string GetEnumProp(const TObject* Instance, std::string_view Path);
void SetEnumProp(TObject* Instance, std::string_view Path, const std::string& Value);
// Set properties as "[a,b]"; setting takes "a,b" or "[a, b]".
std::string GetSetProp(const TObject* Instance, std::string_view Path);
void SetSetProp(TObject* Instance, std::string_view Path, const std::string& Value);
std::string GetStrProp(const TObject* Instance, std::string_view Path);
void SetStrProp(TObject* Instance, std::string_view Path, const std::string& Value);
TObject* GetObjectProp(const TObject* Instance, std::string_view Path);
void SetObjectProp(TObject* Instance, std::string_view Path, TObject* Value);
// Event properties: the value is a std::function of the event's signature (empty any for
// an unassigned event). Setting a handler of another signature raises EPropertyError.
std::any GetMethodProp(const TObject* Instance, std::string_view Path);
void SetMethodProp(TObject* Instance, std::string_view Path, const std::any& Value);
bool IsMethodAssigned(const TObject* Instance, std::string_view Path);

// The value as text: an enumeration's identifier ("True", "bsDialog"), an integer in
// decimal, a string as it is, a set as "[a,b]"; empty for other kinds.
std::string GetPropValue(const TObject* Instance, std::string_view Path);
// Sets from text: enumeration by identifier, integer by StrToInt (EConvertError on a bad
// text), string as it is, set as SetSetProp. Other kinds raise EPropertyError.
void SetPropValue(TObject* Instance, std::string_view Path, const std::string& Value);

}  // namespace quorin
