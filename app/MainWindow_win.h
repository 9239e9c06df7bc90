// The main window: a Win32 top-level window hosting TMainForm. It routes messages to the
// model's handlers and renders the model's controls; it decides nothing itself.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/MainForm.h"
#include "app/PlayerBarActions.h"
#include "app/WorkbenchWindow_win.h"
#include "app/dde/DdeServer_win.h"
#include "app/net/FixServerControl.h"
#include "app/net/FixServerHost_win.h"
#include "app/settings/OptionStore.h"
#include "app/ui/FormRenderer_win.h"

namespace pelmora {

struct MainWindowArgs {
  HINSTANCE instance = nullptr;
  Engine* engine = nullptr;
  StringTable* strings = nullptr;
  OptionBackend* options = nullptr;
  dde::LinkTransport* link = nullptr;
  // The DDE server: its macro commands reach this window, its items carry the fix.
  dde::DdeServer* ddeServer = nullptr;
  const char* title = "The Pelmora";
  // The command line: a GPS log to replay at start as F4 would, its speed and first seek;
  // nothing when the line was refused (the usage is shown).
  std::optional<ProgramArguments> arguments = ProgramArguments{};
};

class MainWindow : public MainFormHost {
 public:
  explicit MainWindow(const MainWindowArgs& args);
  ~MainWindow() override;

  // Creates the window and runs FormCreate; false when the program must end.
  bool Create();
  // Runs the message loop until the window is gone; returns the exit code.
  int Run();

  // MainFormHost.
  std::string AppDirectory() override;
  StartupOptions LoadOptions() override;
  void StoreStartPosition(double latitudeDegrees, double longitudeDegrees) override;
  void ShowInformation(const std::string& text, const std::string& caption) override;
  void ShowError(const std::string& text) override;
  void ShowAbout(const std::string& productName, const std::string& versionText) override;
  void SetTopmost(bool on) override;
  void SetMinimised() override { showMinimised_ = true; }
  void ShowMainWindow() override;
  bool EnableMainWindow(bool on) override;
  void StopTimer() override;
  void ShowProgress() override;
  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
  WallClockTime LocalTime() override;
  void Beep() override;
  LongTimeFormat UserLongTimeFormat() override;
  void CloseMainWindow() override;
  void Terminate() override;
  void ShowModal(ui::Dialog& dialog) override;
  void ShowHelp(int context) override;
  std::string Text(int id) override;
  const OptionStore& Store() override { return store_; }
  void ShellOpen(const std::string& address) override;
  void ShowWorkbench() override;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void OnCreate();
  void OnCommand(int id, int code);
  void OnTimer();
  void OnClose();
  void FitClientArea();
  // The window a box or dialog belongs to: the modal dialog in front, else the main window
  // while it is shown.
  HWND Owner() const;

  // The DDE server's nine items follow every update step.
  struct DdeItems : EpochConsumer {
    void OnUpdate(const Epoch&, const dde::FixQuantities& quantities) override {
      if (server != nullptr) server->PublishFix(quantities);
    }
    dde::DdeServer* server = nullptr;
  };

  MainWindowArgs args_;
  OptionStore store_;
  // The fix server: its sockets' event window lives on this thread; closed by FormClose.
  net::FixServerHost fixHost_;
  net::FixServerControl fixControl_;
  DdeItems ddeItems_;
  TMainForm model_;
  PlayerBarActions playerBar_;  // the workbench's player bar drives the player through it
  std::unique_ptr<ui::FormRenderer> renderer_;
  std::unique_ptr<WorkbenchWindow> workbench_;  // created on first use
  HWND hwnd_ = nullptr;
  HACCEL accelerators_ = nullptr;
  HBRUSH background_ = nullptr;
  bool showMinimised_ = false;
  bool timerRunning_ = false;
};

}  // namespace pelmora
