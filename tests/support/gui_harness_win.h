// The real program in a test process: the Win32 form host, the real machine,
// and prompts answered by script. Tests drive windows through their controls
// with the messages a user's clicks would send.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/context.h"
#include "env/machine_win.h"
#include "support/fake_ui.h"
#include "support/pixels_win.h"
#include "core/form_registry.h"
#include "ui/host_win.h"

namespace lz::test {

class ScriptedUi : public Win32Ui, public PromptScript {
public:
    using Win32Ui::Win32Ui;
    int MsgBox(const std::wstring& text, int flags, const std::wstring& title) override {
        return AnswerMessage(text, flags, title);
    }
    std::wstring InputBox(const std::wstring& prompt, const std::wstring& title, const std::wstring& def) override {
        return AnswerInput(prompt, title, def);
    }
    std::wstring OpenFileDialog(const std::wstring& title, const std::wstring& filter) override {
        return AnswerOpenFile(title, filter);
    }
};

class GuiApp {
public:
    GuiApp();
    ~GuiApp();

    FormRegistry registry;
    Win32Machine machine;
    ScriptedUi ui;
    AppContext ctx;

    FormWindow& W(const std::wstring& form);
    // Lets messages run for a while (posted clicks and notices), and the
    // program's idle work: the windows waiting to load are all loaded.
    void Pump(int ms = 30);
    // Lets messages run until `done` holds, or at most `timeoutMs`; whether it held.
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 60000);
    // Delivers one tick of a window's timer, as the system would, whether or
    // not the timer runs: tests never wait for a timer's interval.
    void Tick(const std::wstring& form, const std::wstring& timer);
    // A click as the user makes it: a button, option or check box by its
    // notification, a windowless picture or label by mouse messages.
    void Click(const std::wstring& form, const std::wstring& name, int index = -1);
    void MouseMove(const std::wstring& form, const std::wstring& name, int index = -1);
    void Menu(const std::wstring& form, const std::wstring& name, int index = -1);
    // A key typed into a text box or an editable combo box, through the
    // program's message loop (Enter is 13).
    void Press(const std::wstring& form, const std::wstring& name, int index, wchar_t key);
    // Types into a text box, replacing what it holds.
    void Type(const std::wstring& form, const std::wstring& name, int index, const std::wstring& text);
    // Saves the window as it is on screen to <LANZHAN_SHOTS>\<file>.bmp when
    // that variable is set; returns false when nothing was saved.
    bool Screenshot(const std::wstring& form, const std::wstring& file);
};


}  // namespace lz::test
