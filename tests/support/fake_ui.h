// In-memory controls and scripted prompts, so that a window's logic runs
// without Win32: tests drive handlers and read back what the window shows.
#pragma once
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/form.h"

namespace lz::test {

struct ControlState {
    Kind kind = Kind::Label;
    bool isMenu = false;
    std::wstring text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    Color fore = kBlack;
    Color back = kFormBack;
    std::wstring picture;
    int left = 0, top = 0;
    std::vector<std::wstring> items;
    int listIndex = -1;
    std::tm dateTime{};
    std::vector<std::wstring> panels;
    int tab = 0;
    bool timerEnabled = false;
    int interval = 0;
};

class FakeControls : public Controls {
public:
    explicit FakeControls(const FormDef& def);

    ControlState& At(const std::wstring& name, int index = -1);
    bool Has(const std::wstring& name, int index = -1) const;
    std::wstring focus;  // "name" or "name(index)" of the last SetFocus
    std::vector<std::wstring> popups;  // menus popped up, in order
    int formWidth = 0, formHeight = 0;
    std::wstring caption;
    Color formBack = kFormBack;

    void SetText(const std::wstring& n, int i, const std::wstring& t) override;
    std::wstring GetText(const std::wstring& n, int i) override { return At(n, i).text; }
    void SetEnabled(const std::wstring& n, int i, bool on) override { At(n, i).enabled = on; }
    bool GetEnabled(const std::wstring& n, int i) override { return At(n, i).enabled; }
    void SetVisible(const std::wstring& n, int i, bool on) override { At(n, i).visible = on; }
    bool GetVisible(const std::wstring& n, int i) override { return At(n, i).visible; }
    void SetChecked(const std::wstring& n, int i, bool on) override;
    bool GetChecked(const std::wstring& n, int i) override { return At(n, i).checked; }
    void SetForeColor(const std::wstring& n, int i, Color c) override { At(n, i).fore = c; }
    Color GetForeColor(const std::wstring& n, int i) override { return At(n, i).fore; }
    void SetBackColor(const std::wstring& n, int i, Color c) override { At(n, i).back = c; }
    void SetFocus(const std::wstring& n, int i) override;
    void SetPicture(const std::wstring& n, int i, const std::wstring& r) override { At(n, i).picture = r; }
    std::wstring GetPicture(const std::wstring& n, int i) override { return At(n, i).picture; }
    void Move(const std::wstring& n, int i, int left, int top) override;
    int GetLeft(const std::wstring& n, int i) override { return At(n, i).left; }
    int GetTop(const std::wstring& n, int i) override { return At(n, i).top; }
    void ClearItems(const std::wstring& n, int i) override;
    void AddItem(const std::wstring& n, int i, const std::wstring& item) override { At(n, i).items.push_back(item); }
    void RemoveItem(const std::wstring& n, int i, int at) override;
    int ItemCount(const std::wstring& n, int i) override { return int(At(n, i).items.size()); }
    std::wstring Item(const std::wstring& n, int i, int at) override;
    int GetListIndex(const std::wstring& n, int i) override { return At(n, i).listIndex; }
    void SetListIndex(const std::wstring& n, int i, int at) override;
    std::tm GetDateTime(const std::wstring& n, int i) override { return At(n, i).dateTime; }
    void SetDateTime(const std::wstring& n, int i, const std::tm& v) override { At(n, i).dateTime = v; }
    void SetPanelText(const std::wstring& n, int panel, const std::wstring& t) override;
    std::wstring GetPanelText(const std::wstring& n, int panel) override;
    int GetTab(const std::wstring& n) override { return At(n).tab; }
    void SetTab(const std::wstring& n, int page) override { At(n).tab = page; }
    void SetTimer(const std::wstring& n, bool on, int ms) override;
    bool GetTimerEnabled(const std::wstring& n) override { return At(n).timerEnabled; }
    void SetMenuEnabled(const std::wstring& n, int i, bool on) override { At(n, i).enabled = on; }
    void PopupMenu(const std::wstring& n) override { popups.push_back(n); }
    // Tests put their fake ports here.
    std::map<std::pair<std::wstring, int>, ControlPort*> ports;
    ControlPort* Port(const std::wstring& n, int i) override;
    void SetCaption(const std::wstring& c) override { caption = c; }
    std::wstring GetCaption() override { return caption; }
    void SetFormBack(Color c) override { formBack = c; }
    int FormWidth() override { return formWidth; }
    int FormHeight() override { return formHeight; }
    void SetFormSize(int w, int h) override { formWidth = w; formHeight = h; }

private:
    std::map<std::pair<std::wstring, int>, ControlState> controls_;
    std::map<std::pair<std::wstring, int>, std::wstring> containers_;  // option groups
};

struct ShownPrompt {
    enum Type { Message, Input, OpenFile } type;
    std::wstring text;   // message or prompt
    std::wstring title;  // as given ("" means the application title)
    int flags = 0;
    std::wstring defaultText;
};

// Prompts answered from queues a test fills in advance (an empty queue
// answers OK, "" and ""), and every prompt shown, in order.
struct PromptScript {
    std::deque<int> msgAnswers;
    std::deque<std::wstring> inputAnswers;
    std::deque<std::wstring> fileAnswers;
    std::vector<ShownPrompt> prompts;

    int AnswerMessage(const std::wstring& text, int flags, const std::wstring& title);
    std::wstring AnswerInput(const std::wstring& prompt, const std::wstring& title, const std::wstring& def);
    std::wstring AnswerOpenFile(const std::wstring& title, const std::wstring& filter);
};

struct FakeForm {
    std::unique_ptr<FakeControls> controls;
    std::unique_ptr<FormLogic> logic;
    bool visible = false;
    WindowState state = WindowState::Normal;
    bool topmost = false;
    bool movedToOrigin = false;
};

// Prompts answer from the script; windows are made by the factory, loaded
// and unloaded as the real host does.
class FakeUi : public Ui, public PromptScript {
public:
    explicit FakeUi(FormFactory& factory) : factory_(factory) {}

    std::vector<std::wstring> log;  // "load X", "show X", "hide X", "unload X"
    bool ended = false;

    int MsgBox(const std::wstring& text, int flags, const std::wstring& title) override {
        return AnswerMessage(text, flags, title);
    }
    std::wstring InputBox(const std::wstring& prompt, const std::wstring& title, const std::wstring& def) override {
        return AnswerInput(prompt, title, def);
    }
    std::wstring OpenFileDialog(const std::wstring& title, const std::wstring& filter) override {
        return AnswerOpenFile(title, filter);
    }
    bool IsAvailable(const std::wstring& form) override { return factory_.Has(form); }
    void LoadForm(const std::wstring& form) override;
    // In memory there is no first paint to wait for: loaded at once.
    void LoadFormWhenIdle(const std::wstring& form) override { LoadForm(form); }
    void ShowForm(const std::wstring& form) override;
    void HideForm(const std::wstring& form) override;
    void UnloadForm(const std::wstring& form) override;
    bool IsLoaded(const std::wstring& form) override { return forms_.count(form) != 0; }
    bool IsVisible(const std::wstring& form) override;
    void SetWindowState(const std::wstring& form, WindowState s) override;
    WindowState GetWindowState(const std::wstring& form) override;
    void SetTopmost(const std::wstring& form, bool topmost) override;
    Controls* FormControls(const std::wstring& form) override;
    void EndProgram() override { ended = true; }
    // A long task runs at once. It is cancelled once it has shown
    // `cancelAfterShows` views (never when negative); every view is kept.
    int cancelAfterShows = -1;
    std::vector<std::wstring> progressTitles;
    std::vector<ProgressView> progressShown;
    void RunWithProgress(const std::wstring& title, const std::function<void(ProgressSink&)>& task) override;

    FakeForm* Form(const std::wstring& form);
    FakeControls& ControlsOf(const std::wstring& form);
    template <class T> T& Logic(const std::wstring& form) { return dynamic_cast<T&>(*Form(form)->logic); }
    void Fire(const std::wstring& form, const Event& e);

private:
    FormFactory& factory_;
    std::map<std::wstring, FakeForm> forms_;
    std::vector<FakeForm> unloaded_;  // kept: a window may unload itself inside its own handler
};

}  // namespace lz::test
