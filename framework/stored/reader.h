// Reads a stored window description and builds the components it describes.
//
// The text format, one statement per line:
//
//   object LTfrm: TLTfrm             an object: its name and class; objects nest
//     Left = 660                     a property, in stored order; paths reach sub-objects:
//     Font.Name = 'MS Sans Serif'      Font.Height, Bevel.Mode, Caret.BlinkRate
//     OnCanResize = FormCanResize    a handler the root publishes, by name
//     PopupMenu = PopupMenu1         a component of the description, by name (may come later)
//     object zfm: TLvZoom
//       ...
//     end
//   end
//
// Values: integers (-11, $FF); decimal numbers (0.5, -1.25E3, 0.000000); strings in single quotes ('it''s'
// doubles a quote; #13 is a character code; pieces written together join: 'a'#9'b'); identifiers (True,
// False, clSilver, akLeft, DEFAULT_CHARSET, names); sets ([akLeft, akBottom], [] empty); lists ((250 293),
// across lines); binary blocks in hex ({ 424D36 ... }, across lines). `//` starts a comment to the end of the
// line.
//
// Reading: each object is created by its registered class with the class defaults and owned by the
// root, marked as loading and reading, named, bound to the root's field of that name, placed inside
// the object it is nested in, and then given its properties in stored order through its class's
// property table (or the extra values it defines itself). References are resolved once all objects
// exist. Then the reading flags are cleared and Loaded runs on the root first and then on the others
// in read order. Any error raises EReadError naming the object, the property and the line, and
// destroys every object made so far.
#pragma once

#include "framework/core/component.h"
#include "framework/core/exceptions.h"
#include "framework/stored/class_registry.h"

#include <any>
#include <functional>
#include <map>
#include <string>
#include <string_view>

// The root's fields that receive the components read, by component name.
class TFieldTable {
public:
    template <class T> void Add(const std::string& name, T*& field) {
        binders_[name] = [&field, name](TComponent* c) {
            if (c == nullptr) {
                field = nullptr;
                return;
            }
            T* typed = dynamic_cast<T*>(c);
            if (typed == nullptr) throw EReadError("field " + name + " cannot hold an object of this class");
            field = typed;
        };
    }
    const std::function<void(TComponent*)>* Find(const std::string& name) const {
        auto it = binders_.find(name);
        return it == binders_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, std::function<void(TComponent*)>> binders_;
};

// The root's handlers by name; each holds the callable type of the events it fits (TNotifyEvent ...).
using THandlerTable = std::map<std::string, std::any>;

// Builds the description `text` into `root` (whose class must be the root object's class). The root
// is not destroyed on failure; the objects made for it are.
void ReadRootComponent(TComponent& root, std::string_view text, const TFieldTable& fields,
                       const THandlerTable& handlers, TClassRegistry& registry = ClassRegistry());
