#include "framework/stored/reader.h"

#include "framework/stored/stored_text.h"

#include <memory>
#include <vector>

namespace {

class Reader : public TReadContext {
  public:
    Reader(TComponent& root, const TFieldTable& fields, const THandlerTable& handlers,
           TClassRegistry& registry)
        : root_(root), fields_(fields), handlers_(handlers), registry_(registry) {}

    void Read(std::string_view text) {
        const StoredObject tree = ParseStoredText(text);
        try {
            Build(tree);
        } catch (...) {
            Discard();
            throw;
        }
    }

    const std::any* FindHandler(const std::string& name) const override {
        auto it = handlers_.find(name);
        return it == handlers_.end() ? nullptr : &it->second;
    }

    void AddReference(const std::string& name, std::function<void(TComponent*)> bind) override {
        references_.push_back({name, current_.object, current_.property, current_.line, std::move(bind)});
    }

  private:
    struct Where {
        std::string object;
        std::string property;
        int line = 0;
    };
    struct Reference {
        std::string name;
        std::string object;
        std::string property;
        int line;
        std::function<void(TComponent*)> bind;
    };

    [[noreturn]] static void Fail(const std::string& object, const std::string& property, int line,
                                  const std::string& reason) {
        const std::string what = property.empty() ? "object " + object : object + "." + property;
        throw EReadError("Error reading " + what + " on line " + std::to_string(line) + ": " + reason);
    }

    void Build(const StoredObject& tree) {
        const TClassInfo* info = registry_.Find(tree.className);
        if (info == nullptr) Fail(tree.name, "", tree.line, "class " + tree.className + " not found");
        if (!info->isInstance(root_))
            Fail(tree.name, "", tree.line, "the window being built is not of class " + tree.className);
        root_.SetName(tree.name);
        root_.BeginLoading();
        ApplyProperties(root_, *info, tree);
        for (const StoredObject& child : tree.children) ReadChild(root_, child);
        ResolveReferences();
        root_.EndReading();
        for (TComponent* c : created_) c->EndReading();
        // The root first, then the others in the order they were read.
        root_.Loaded();
        for (TComponent* c : created_) c->Loaded();
    }

    void ReadChild(TComponent& container, const StoredObject& tree) {
        const TClassInfo* info = registry_.Find(tree.className);
        if (info == nullptr) Fail(tree.name, "", tree.line, "class " + tree.className + " not found");
        if (!info->create)
            Fail(tree.name, "", tree.line, "class " + tree.className + " cannot be created here");
        if (tree.name == root_.Name() || root_.FindComponent(tree.name) != nullptr)
            Fail(tree.name, "", tree.line, "a component named " + tree.name + " exists already");

        TComponent* component = info->create(&root_);
        created_.push_back(component);
        component->SetName(tree.name);
        component->BeginLoading();
        if (const auto* bind = fields_.Find(tree.name))
            Guarded(tree.name, "", tree.line, [&] { (*bind)(component); });
        if (const auto* place = registry_.FindPlacement(*info))
            Guarded(tree.name, "", tree.line, [&] { (*place)(container, *component); });
        ApplyProperties(*component, *info, tree);
        for (const StoredObject& child : tree.children) ReadChild(*component, child);
    }

    void ApplyProperties(TComponent& target, const TClassInfo& info, const StoredObject& tree) {
        std::unique_ptr<TPropertyFiler> defined;
        for (const StoredProperty& p : tree.properties) {
            current_ = {tree.name, p.name, p.line};
            if (const TPropertySetter* set = registry_.FindProperty(info, p.name)) {
                Guarded(tree.name, p.name, p.line, [&] { (*set)(target, p.value, *this); });
                continue;
            }
            if (auto* definer = dynamic_cast<IDefinesProperties*>(&target)) {
                if (!defined) {
                    defined = std::make_unique<TPropertyFiler>();
                    definer->DefineProperties(*defined);
                }
                if (const auto* read = defined->Find(p.name)) {
                    Guarded(tree.name, p.name, p.line, [&] { (*read)(p.value); });
                    continue;
                }
            }
            Fail(tree.name, p.name, p.line,
                 "property " + p.name + " does not exist in class " + tree.className);
        }
    }

    void ResolveReferences() {
        for (const Reference& r : references_) {
            TComponent* found = r.name == root_.Name() ? &root_ : root_.FindComponent(r.name);
            if (found == nullptr) Fail(r.object, r.property, r.line, "component " + r.name + " not found");
            Guarded(r.object, r.property, r.line, [&] { r.bind(found); });
        }
    }

    // Runs a step; a framework error it raises is reported with the place it happened.
    template <class F>
    void Guarded(const std::string& object, const std::string& property, int line, F&& step) {
        try {
            step();
        } catch (const Exception& e) {
            Fail(object, property, line, e.Message());
        }
    }

    // Undoes a failed read: the fields forget the objects, which go last-made first (children before
    // the objects that hold them).
    void Discard() {
        for (TComponent* c : created_)
            if (const auto* bind = fields_.Find(c->Name())) (*bind)(nullptr);
        while (!created_.empty()) {
            TComponent* c = created_.back();
            created_.pop_back();
            delete c;
        }
        root_.EndReading();
    }

    TComponent& root_;
    const TFieldTable& fields_;
    const THandlerTable& handlers_;
    TClassRegistry& registry_;
    std::vector<TComponent*> created_;
    std::vector<Reference> references_;
    Where current_;
};

} // namespace

void ReadRootComponent(TComponent& root, std::string_view text, const TFieldTable& fields,
                       const THandlerTable& handlers, TClassRegistry& registry) {
    Reader(root, fields, handlers, registry).Read(text);
}
