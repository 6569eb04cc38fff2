// Creates a root component's contents from a stored layout, portable.
//
// The root (a form) is given; its stored properties are set, then each object of the
// layout is created by class name (see RegisterClassInfo) with the root as owner, named,
// placed in the object it stands in (SetParentComponent), bound to the root's field of the
// same name (BindField) and given its stored properties, in the order of the text. Event
// properties take the root's handlers by name (RegisterHandler); object properties name
// components of the root and are resolved once everything is created, so a reference may
// come before the component it names. Finally Loaded runs on every created component, in
// creation order, and on the root.
//
// Anything the layout asks that cannot be done (unknown class, property, handler or
// component, a value of the wrong kind or out of range, a name already used, a setter that
// raises) raises ELayoutError naming the line and column of the fault.
#pragma once

#include "forms/Classes.h"
#include "forms/LayoutText.h"

#include <string_view>

namespace quorin {

void LoadLayout(TComponent* Root, const LayoutObject& Layout);
void LoadLayoutText(TComponent* Root, std::string_view Text);

// Sets one property of Instance from a layout value, as the loader does; object references
// are looked up among Lookup's components. Raises ELayoutError at the property's position.
void ApplyLayoutProperty(TObject* Instance, const LayoutProperty& Property, TComponent* Lookup);

// The published properties of Instance that a layout can hold and that can be set back,
// as layout properties in declaration order: integers, enumerations, strings, sets,
// string lists, collections (their items likewise) and binary values; object properties
// that reference a named component give its name, parts (Font) their own properties by
// path. Events are left out: a handler's name is not known from its value.
std::vector<LayoutProperty> StoredLayoutProperties(const TObject& Instance);

}  // namespace quorin
