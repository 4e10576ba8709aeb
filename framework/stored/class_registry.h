// The classes a stored description may name: a factory per class name, a table of the properties
// that can be stored for it (extending its base class's table) and the rule that places a nested
// object inside its container.
#pragma once

#include "framework/core/component.h"
#include "framework/core/exceptions.h"
#include "framework/stored/stored_values.h"

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// What a property setter may ask of the reader while it runs.
class TReadContext {
public:
    virtual ~TReadContext() = default;
    // The handler the root publishes under `name`, or null.
    virtual const std::any* FindHandler(const std::string& name) const = 0;
    // Asks for `bind` to be called with the component named `name` once every object has been read
    // (references may point forward).
    virtual void AddReference(const std::string& name, std::function<void(TComponent*)> bind) = 0;
};

using TPropertySetter =
    std::function<void(TComponent& target, const StoredValue& value, TReadContext& context)>;

class TPropertyTable {
public:
    void Add(const std::string& name, TPropertySetter setter) { setters_[name] = std::move(setter); }
    const TPropertySetter* Find(const std::string& name) const {
        auto it = setters_.find(name);
        return it == setters_.end() ? nullptr : &it->second;
    }

    // Typed entries. `T` is the class the table belongs to (or one of its bases). Enumeration names
    // are held by reference: pass tables that live as long as the registry (static ones).
    template <class T> void Integer(const std::string& name, std::function<void(T&, std::int32_t)> set) {
        Add(name, Typed<T>([set](T& t, const StoredValue& v, TReadContext&) {
                set(t, stored_values::ToInt32(v));
            }));
    }
    template <class T> void Unsigned(const std::string& name, std::function<void(T&, std::uint32_t)> set) {
        Add(name, Typed<T>([set](T& t, const StoredValue& v, TReadContext&) {
                set(t, stored_values::ToUInt32(v));
            }));
    }
    template <class T> void Float(const std::string& name, std::function<void(T&, double)> set) {
        Add(name, Typed<T>([set](T& t, const StoredValue& v, TReadContext&) {
                set(t, stored_values::ToDouble(v));
            }));
    }
    template <class T> void Boolean(const std::string& name, std::function<void(T&, bool)> set) {
        Add(name, Typed<T>([set](T& t, const StoredValue& v, TReadContext&) {
                set(t, stored_values::ToBoolean(v));
            }));
    }
    template <class T> void String(const std::string& name, std::function<void(T&, const std::string&)> set) {
        Add(name, Typed<T>([set](T& t, const StoredValue& v, TReadContext&) {
                set(t, stored_values::ToString(v));
            }));
    }
    template <class T> void Color(const std::string& name, std::function<void(T&, TColor)> set) {
        Add(name, Typed<T>([set](T& t, const StoredValue& v, TReadContext&) {
                set(t, stored_values::ToColor(v));
            }));
    }
    template <class T>
    void Enum(const std::string& name, const TEnumNames& names, std::function<void(T&, std::uint32_t)> set) {
        Add(name, Typed<T>([set, &names](T& t, const StoredValue& v, TReadContext&) {
                set(t, stored_values::ToEnum(v, names));
            }));
    }
    template <class T>
    void Set(const std::string& name, const TEnumNames& names, std::function<void(T&, std::uint32_t)> set) {
        Add(name, Typed<T>([set, &names](T& t, const StoredValue& v, TReadContext&) {
                set(t, stored_values::ToSet(v, names));
            }));
    }
    template <class T>
    void IntegerList(const std::string& name, std::function<void(T&, const std::vector<std::int32_t>&)> set) {
        Add(name, Typed<T>([set](T& t, const StoredValue& v, TReadContext&) {
                set(t, stored_values::ToInt32List(v));
            }));
    }
    template <class T>
    void Binary(const std::string& name, std::function<void(T&, const std::vector<std::uint8_t>&)> set) {
        Add(name, Typed<T>([set](T& t, const StoredValue& v, TReadContext&) {
                set(t, stored_values::ToBytes(v));
            }));
    }
    // A reference to another component of the description, by name; resolved after reading.
    template <class T, class C> void Reference(const std::string& name, std::function<void(T&, C*)> set) {
        Add(name, Typed<T>([set, name](T& t, const StoredValue& v, TReadContext& context) {
                T* target = &t;
                context.AddReference(stored_values::ToIdentifier(v), [set, target](TComponent* found) {
                    C* typed = dynamic_cast<C*>(found);
                    if (typed == nullptr)
                        throw EReadError("the component named has the wrong class for this property");
                    set(*target, typed);
                });
            }));
    }
    // A handler the root publishes, by name. `E` is the event's callable type.
    template <class T, class E> void Event(const std::string& name, std::function<void(T&, const E&)> set) {
        Add(name, Typed<T>([set](T& t, const StoredValue& v, TReadContext& context) {
                const std::string& handler = stored_values::ToIdentifier(v);
                const std::any* found = context.FindHandler(handler);
                if (found == nullptr) throw EReadError("handler " + handler + " not found");
                const E* typed = std::any_cast<E>(found);
                if (typed == nullptr) throw EReadError("handler " + handler + " does not fit this event");
                set(t, *typed);
            }));
    }

private:
    template <class T>
    static TPropertySetter Typed(std::function<void(T&, const StoredValue&, TReadContext&)> set) {
        return [set](TComponent& c, const StoredValue& v, TReadContext& context) {
            T* t = dynamic_cast<T*>(&c);
            if (t == nullptr) throw EReadError("property applied to an object of another class");
            set(*t, v, context);
        };
    }

    std::map<std::string, TPropertySetter> setters_;
};

// A class may stream extra named values that are not among its published properties.
class TPropertyFiler {
public:
    void DefineProperty(const std::string& name, std::function<void(const StoredValue&)> read) {
        readers_[name] = std::move(read);
    }
    const std::function<void(const StoredValue&)>* Find(const std::string& name) const {
        auto it = readers_.find(name);
        return it == readers_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, std::function<void(const StoredValue&)>> readers_;
};

// Implemented by components that define such extra values.
class IDefinesProperties {
public:
    virtual ~IDefinesProperties() = default;
    virtual void DefineProperties(TPropertyFiler& filer) = 0;
};

struct TClassInfo {
    std::string name;
    std::string baseName; // empty for a class without a registered base
    // Creates an instance owned by `owner`; null for classes that are only ever the root.
    std::function<TComponent*(TComponent* owner)> create;
    std::function<bool(const TComponent&)> isInstance;
    // Places a freshly made object inside the object it is nested in (null: nothing to do).
    std::function<void(TComponent& container, TComponent& child)> placeInside;
    TPropertyTable properties;
};

class TClassRegistry {
public:
    // Registers (or replaces) class `name`, whose base is `baseName` (registered before it).
    template <class T>
    TClassInfo& Register(const std::string& name, const std::string& baseName,
                         std::function<TComponent*(TComponent* owner)> create = nullptr) {
        auto info = std::make_unique<TClassInfo>();
        info->name = name;
        info->baseName = baseName;
        info->create = std::move(create);
        info->isInstance = [](const TComponent& c) {
            if constexpr (std::is_same_v<T, TComponent>)
                return true;
            else
                return dynamic_cast<const T*>(&c) != nullptr;
        };
        TClassInfo& ref = *info;
        classes_[name] = std::move(info);
        return ref;
    }
    const TClassInfo* Find(const std::string& name) const;
    // Looks the property up in the class's table, then in its bases'.
    const TPropertySetter* FindProperty(const TClassInfo& info, const std::string& property) const;
    // The nearest placement rule along the class's bases.
    const std::function<void(TComponent&, TComponent&)>* FindPlacement(const TClassInfo& info) const;

private:
    std::map<std::string, std::unique_ptr<TClassInfo>> classes_;
};

// The process's registry, with the toolkit's own classes registered on first use.
TClassRegistry& ClassRegistry();
