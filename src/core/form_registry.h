// Which windows exist: each window's logic is made by its maker when the
// window is loaded, with the program's shared context. A window that is not
// registered loads as nothing.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/context.h"
#include "ui/form.h"

namespace lz {

class FormRegistry : public FormFactory {
public:
    using Maker = std::function<std::unique_ptr<FormLogic>(AppContext&)>;
    void Add(const std::wstring& name, Maker maker) { makers_[name] = std::move(maker); }
    template <class W>
    void Add(const std::wstring& name) {
        Add(name, [](AppContext& c) { return std::make_unique<W>(c); });
    }
    // Windows are made with this context; until it is given, none is.
    void Attach(AppContext& ctx) { ctx_ = &ctx; }

    bool Has(const std::wstring& form) const override { return makers_.count(form) != 0; }
    std::unique_ptr<FormLogic> Make(const std::wstring& form) override {
        auto it = makers_.find(form);
        if (it == makers_.end() || !ctx_) return nullptr;
        return it->second(*ctx_);
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const auto& [name, maker] : makers_) names.push_back(name);
        return names;
    }

private:
    std::map<std::wstring, Maker> makers_;
    AppContext* ctx_ = nullptr;
};

// Every window of the suite; src/app/forms.cpp lists them, one line each.
void RegisterAllForms(FormRegistry& registry);

}  // namespace lz
