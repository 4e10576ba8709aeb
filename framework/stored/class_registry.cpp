#include "framework/stored/class_registry.h"

#include "framework/stored/framework_classes.h"

const TClassInfo* TClassRegistry::Find(const std::string& name) const {
    auto it = classes_.find(name);
    return it == classes_.end() ? nullptr : it->second.get();
}

const TPropertySetter* TClassRegistry::FindProperty(const TClassInfo& info,
                                                    const std::string& property) const {
    // A class's table extends its base's; the depth bound guards against a base cycle.
    const TClassInfo* c = &info;
    for (int depth = 0; c != nullptr && depth < 64; ++depth) {
        if (const TPropertySetter* s = c->properties.Find(property)) return s;
        c = c->baseName.empty() ? nullptr : Find(c->baseName);
    }
    return nullptr;
}

const std::function<void(TComponent&, TComponent&)>*
TClassRegistry::FindPlacement(const TClassInfo& info) const {
    const TClassInfo* c = &info;
    for (int depth = 0; c != nullptr && depth < 64; ++depth) {
        if (c->placeInside) return &c->placeInside;
        c = c->baseName.empty() ? nullptr : Find(c->baseName);
    }
    return nullptr;
}

TClassRegistry& ClassRegistry() {
    static TClassRegistry registry;
    static const bool registered = (RegisterFrameworkClasses(registry), true);
    (void)registered;
    return registry;
}
