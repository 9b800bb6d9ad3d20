#include "support/fake_ui.h"

#include <stdexcept>

namespace lz::test {

namespace {
std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c < 128 ? char(c) : '?';
    return s;
}
}  // namespace

FakeControls::FakeControls(const FormDef& def) {
    caption = def.caption;
    formBack = def.back;
    formWidth = def.clientWidth;
    formHeight = def.clientHeight;
    for (const ControlDef& c : def.controls) {
        ControlState s;
        s.kind = c.kind;
        s.text = c.kind == Kind::Image ? L"" : c.caption;
        s.picture = c.kind == Kind::Image ? c.caption : L"";
        s.enabled = !(c.style & kDisabled);
        s.visible = !(c.style & kHidden);
        s.fore = c.fore;
        s.back = c.back;
        s.left = c.left;
        s.top = c.top;
        if (c.kind == Kind::StatusBar) s.panels = c.items;
        else s.items = c.items;
        if (c.kind == Kind::Timer) {
            s.timerEnabled = !(c.style & kDisabled);
            s.interval = c.interval;
        }
        controls_[{c.name, c.index}] = s;
        containers_[{c.name, c.index}] = c.container;
    }
    for (const MenuDef& m : def.menus) {
        ControlState s;
        s.isMenu = true;
        s.text = m.caption;
        s.checked = m.checked;
        s.enabled = m.enabled;
        controls_[{m.name, m.index}] = s;
    }
}

ControlState& FakeControls::At(const std::wstring& name, int index) {
    auto it = controls_.find({name, index});
    if (it == controls_.end())
        throw std::out_of_range("no control " + Narrow(name) + "(" + std::to_string(index) + ")");
    return it->second;
}

ControlPort* FakeControls::Port(const std::wstring& n, int i) {
    At(n, i);  // the control must exist
    auto it = ports.find({n, i});
    return it == ports.end() ? nullptr : it->second;
}

bool FakeControls::Has(const std::wstring& name, int index) const {
    return controls_.count({name, index}) != 0;
}

void FakeControls::SetText(const std::wstring& n, int i, const std::wstring& t) {
    ControlState& s = At(n, i);
    s.text = t;
    // A drop-down list shows only its own items: the text chooses one, or none.
    if (s.kind == Kind::ComboList) {
        s.listIndex = -1;
        for (int k = 0; k < int(s.items.size()); ++k)
            if (s.items[k] == t) s.listIndex = k;
        if (s.listIndex < 0) s.text.clear();
    }
}

void FakeControls::SetChecked(const std::wstring& n, int i, bool on) {
    ControlState& s = At(n, i);
    s.checked = on;
    // Options in one container exclude each other, as radio buttons do.
    if (on && s.kind == Kind::Option && !s.isMenu) {
        const std::wstring& box = containers_[{n, i}];
        for (auto& [key, other] : controls_)
            if (other.kind == Kind::Option && !other.isMenu && key != std::make_pair(n, i) &&
                containers_[key] == box)
                other.checked = false;
    }
}

void FakeControls::SetFocus(const std::wstring& n, int i) {
    At(n, i);
    focus = i < 0 ? n : n + L"(" + std::to_wstring(i) + L")";
}

void FakeControls::Move(const std::wstring& n, int i, int left, int top) {
    ControlState& s = At(n, i);
    s.left = left;
    s.top = top;
}

void FakeControls::ClearItems(const std::wstring& n, int i) {
    ControlState& s = At(n, i);
    s.items.clear();
    s.listIndex = -1;
}

void FakeControls::RemoveItem(const std::wstring& n, int i, int at) {
    ControlState& s = At(n, i);
    if (at < 0 || at >= int(s.items.size())) throw std::out_of_range("RemoveItem");
    s.items.erase(s.items.begin() + at);
    if (s.listIndex >= int(s.items.size())) s.listIndex = -1;
}

std::wstring FakeControls::Item(const std::wstring& n, int i, int at) {
    ControlState& s = At(n, i);
    if (at < 0 || at >= int(s.items.size())) throw std::out_of_range("Item");
    return s.items[at];
}

void FakeControls::SetListIndex(const std::wstring& n, int i, int at) {
    ControlState& s = At(n, i);
    if (at < -1 || at >= int(s.items.size())) throw std::out_of_range("SetListIndex");
    s.listIndex = at;
    if (s.kind == Kind::ComboList || s.kind == Kind::ComboEdit) s.text = at < 0 ? L"" : s.items[at];
}

void FakeControls::SetPanelText(const std::wstring& n, int panel, const std::wstring& t) {
    ControlState& s = At(n);
    if (panel < 0) {
        s.text = t;
        return;
    }
    if (panel >= int(s.panels.size())) s.panels.resize(panel + 1);
    s.panels[panel] = t;
}

std::wstring FakeControls::GetPanelText(const std::wstring& n, int panel) {
    ControlState& s = At(n);
    if (panel < 0) return s.text;
    return panel < int(s.panels.size()) ? s.panels[panel] : L"";
}

void FakeControls::SetTimer(const std::wstring& n, bool on, int ms) {
    ControlState& s = At(n);
    s.timerEnabled = on;
    s.interval = ms;
}

namespace {
template <class T>
T Next(std::deque<T>& answers, T otherwise) {
    if (answers.empty()) return otherwise;
    T a = answers.front();
    answers.pop_front();
    return a;
}
}  // namespace

int PromptScript::AnswerMessage(const std::wstring& text, int flags, const std::wstring& title) {
    prompts.push_back({ShownPrompt::Message, text, title, flags, L""});
    return Next(msgAnswers, int(kAnsOk));
}

std::wstring PromptScript::AnswerInput(const std::wstring& prompt, const std::wstring& title,
                                       const std::wstring& def) {
    prompts.push_back({ShownPrompt::Input, prompt, title, 0, def});
    return Next(inputAnswers, std::wstring());
}

std::wstring PromptScript::AnswerOpenFile(const std::wstring& title, const std::wstring& filter) {
    prompts.push_back({ShownPrompt::OpenFile, filter, title, 0, L""});
    return Next(fileAnswers, std::wstring());
}

void FakeUi::LoadForm(const std::wstring& form) {
    if (IsLoaded(form)) return;
    std::unique_ptr<FormLogic> logic = factory_.Make(form);
    if (!logic) return;
    log.push_back(L"load " + form);
    FakeForm& f = forms_[form];
    f.logic = std::move(logic);
    f.controls = std::make_unique<FakeControls>(f.logic->Definition());
    f.logic->Bind(*f.controls);
    f.logic->OnEvent({EventKind::Load, L""});
}

void FakeUi::ShowForm(const std::wstring& form) {
    LoadForm(form);
    if (FakeForm* f = Form(form)) {
        f->visible = true;
        log.push_back(L"show " + form);
    }
}

void FakeUi::HideForm(const std::wstring& form) {
    if (FakeForm* f = Form(form)) {
        f->visible = false;
        log.push_back(L"hide " + form);
    }
}

void FakeUi::UnloadForm(const std::wstring& form) {
    auto it = forms_.find(form);
    if (it == forms_.end()) return;
    log.push_back(L"unload " + form);
    // Take it out first: its Unload may unload others, as the real host allows.
    unloaded_.push_back(std::move(it->second));
    forms_.erase(it);
    unloaded_.back().logic->OnEvent({EventKind::Unload, L""});
}

bool FakeUi::IsVisible(const std::wstring& form) {
    FakeForm* f = Form(form);
    return f && f->visible;
}

void FakeUi::SetWindowState(const std::wstring& form, WindowState s) {
    if (FakeForm* f = Form(form)) f->state = s;
}

WindowState FakeUi::GetWindowState(const std::wstring& form) {
    FakeForm* f = Form(form);
    return f ? f->state : WindowState::Normal;
}

void FakeUi::SetTopmost(const std::wstring& form, bool topmost) {
    if (FakeForm* f = Form(form)) {
        f->topmost = topmost;
        if (topmost) f->movedToOrigin = true;
    }
}

Controls* FakeUi::FormControls(const std::wstring& form) {
    FakeForm* f = Form(form);
    return f ? f->controls.get() : nullptr;
}

FakeForm* FakeUi::Form(const std::wstring& form) {
    auto it = forms_.find(form);
    return it == forms_.end() ? nullptr : &it->second;
}

FakeControls& FakeUi::ControlsOf(const std::wstring& form) {
    FakeForm* f = Form(form);
    if (!f) throw std::out_of_range("form not loaded: " + Narrow(form));
    return *f->controls;
}

void FakeUi::Fire(const std::wstring& form, const Event& e) {
    FakeForm* f = Form(form);
    if (!f) throw std::out_of_range("form not loaded: " + Narrow(form));
    f->logic->OnEvent(e);
}

void FakeUi::RunWithProgress(const std::wstring& title, const std::function<void(ProgressSink&)>& task) {
    struct Sink : ProgressSink {
        FakeUi& ui;
        explicit Sink(FakeUi& u) : ui(u) {}
        void Show(const ProgressView& view) override { ui.progressShown.push_back(view); }
        bool Cancelled() const override {
            return ui.cancelAfterShows >= 0 && int(ui.progressShown.size()) >= ui.cancelAfterShows;
        }
    } sink(*this);
    progressTitles.push_back(title);
    task(sink);
}

}  // namespace lz::test
