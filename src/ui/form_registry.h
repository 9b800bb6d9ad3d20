// Which windows exist: each window's logic is made by its factory when the
// window is loaded. A window that is not registered yet loads as nothing.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/context.h"
#include "ui/form.h"

namespace lz {

using FormFactory = std::function<std::unique_ptr<FormLogic>(AppContext&)>;

class FormRegistry {
public:
    void Add(const std::wstring& name, FormFactory factory) { factories_[name] = std::move(factory); }
    const FormFactory* Find(const std::wstring& name) const {
        auto it = factories_.find(name);
        return it == factories_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::wstring, FormFactory> factories_;
};

// Every window of the suite; src/app/forms.cpp lists them, one line each.
void RegisterAllForms(FormRegistry& registry);

}  // namespace lz
