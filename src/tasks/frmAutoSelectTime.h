// "自动任务设置": the task builder. Step ① what the task does, step ② when it
// runs, step ③ add it to the system's scheduler, or delete tasks. The task is
// written as a batch file under c:\BackTemp and registered through schtasks
// or at, so that it runs without this program.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/context.h"
#include "tasks/task_builders.h"
#include "ui/form.h"

namespace lz {

class frmAutoSelectTime : public Form<frmAutoSelectTime> {
public:
    explicit frmAutoSelectTime(AppContext& ctx);
    ~frmAutoSelectTime() override;
    const FormDef& Definition() const override { return def_; }
    static const std::vector<Handler<frmAutoSelectTime>>& Handlers();

    // Loading, closing, help.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void cmdExit_Click();
    void mnuHelpUse_Click();

    // Step ① and ②: what and when.
    void optRunMode_Click(int index);
    void treeFolder_Select();
    void optDocuments_Click(int index);
    void optSystemTask_Click(int index);
    void cboSelect_Click();
    void txtFreeTime_Change();
    void txtMonthDay_Change();
    void mnuRunPasswordSetting_Click();

    // Step ③: add, and the task list.
    void cmdAdd_Click();
    void cmdRefurbish_Click();
    void timAlltask_Timer();
    void cmdDel_Click();
    void mnuClear_Click();
    void timNOW_Timer();

    // The task being built.
    std::int16_t RunMode = 0;
    std::wstring SelectedFile;
    std::wstring SourceFolder;
    std::wstring SystemCommand;
    std::wstring TargetFolder;
    std::wstring TaskName;
    std::wstring ActionLine;
    std::wstring ScheduleType;
    std::wstring StartTime;
    std::wstring StartDate;
    std::wstring SchedulerCommand;
    std::wstring MenuPassword;
    std::wstring RunPassword;

    std::wstring WinDir;
    std::wstring LoginName;
    std::wstring OSName;
    std::int16_t FormWidth = 0;
    std::int16_t FormHeight = 0;

private:
    void InitTaskWindow();
    void PrepareWorkDir();
    bool ChooseFile(int index, const wchar_t* question, const wchar_t* title);
    void ChosenFolderTip();
    bool PersonalFolder(int index);
    bool AccountFolder(int index);
    bool CheckSchedule();
    bool ExplainCommand(const tasks::SchedulerCommand& command);
    void RefusePath(const tasks::Refused& refused, const std::wstring& tool);
    bool SettlePassword();
    bool BuildAction(std::wstring& taskTarget, std::wstring& actionPath);
    std::wstring TaskDetail();
    void StartTaskBat();
    void Refuse(const std::wstring& message);
    void RefuseText(const std::wstring& text);
    bool Written(WriteResult result, const std::wstring& path, const std::wstring& text);
    std::array<bool, 7> WeekTicks();
    void SetTip(const std::wstring& text);

    AppContext& ctx_;
    FormDef def_;
    tasks::Scheduler scheduler_ = tasks::Scheduler::None;
    tasks::DateOrder dateOrder_ = tasks::DateOrder::YMD;
    // Scheduler names of the entries of cboTaskList, index for index.
    std::vector<std::wstring> listNames_;
    // Tells a scheduler run that ends after the window has gone not to touch it.
    std::shared_ptr<bool> alive_;
};

}  // namespace lz
