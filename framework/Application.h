// The application object of a dialog-based program. Exactly one object of a
// class derived from Application exists, as a global constructed during
// static initialisation; the entry point finds it through Current(), calls
// InitInstance once and, when that returns TRUE, runs the message loop until
// WM_QUIT. The main window's dialog posts WM_QUIT when it is destroyed.
#pragma once

#include <windows.h>

namespace framework {

class Dialog;

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The one application object, or nullptr before it is constructed.
  static Application* Current();

  // Called once by the entry point. TRUE enters the message loop; FALSE
  // ends the program at once with ExitInstance's code.
  virtual BOOL InitInstance() { return TRUE; }
  // Called after the message loop (or a FALSE InitInstance); its result is
  // the process exit code.
  virtual int ExitInstance() { return exitCode_; }

  // Takes messages until WM_QUIT and keeps its exit code.
  void Run();

  // The window whose destruction ends the program.
  Dialog* MainWindow() const { return mainWindow_; }
  void SetMainWindow(Dialog* dialog) { mainWindow_ = dialog; }

  // Runs `dialog` modally as the main window. False when it could not be
  // created at all (a missing template, exhausted resources): no window
  // will then post WM_QUIT, so the caller must not enter the message loop,
  // and the exit code becomes kExitNoMainWindow.
  bool RunMainDialog(Dialog& dialog);
  static constexpr int kExitNoMainWindow = 2;

  // The command line without the program's own name (see CommandLine.h).
  const char* CommandLine() const { return commandLine_; }
  void SetCommandLine(const char* commandLine) { commandLine_ = commandLine; }

 private:
  Dialog* mainWindow_ = nullptr;
  const char* commandLine_ = "";
  int exitCode_ = 0;
};

}  // namespace framework
