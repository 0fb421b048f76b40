// A two-dialog program on the installer's framework, driven by the UI
// driver: the first dialog's Next ends it and runs the second from inside
// its handler (as the wizard chains its pages), the second reports what the
// data exchange and the string table delivered, and the end of the first
// dialog ends the process.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "framework/ResourceText.h"
#include "tests/wine/probes/framework_probe.h"

namespace {

class SummaryDialog : public framework::Dialog {
 public:
  explicit SummaryDialog(std::string summary)
      : framework::Dialog(IDD_PROBE_SECOND), summary_(std::move(summary)) {}

 protected:
  void DoDataExchange(framework::DataExchange& exchange) override {
    framework::ExchangeText(exchange, IDC_PROBE_SUMMARY, summary_);
  }

 private:
  std::string summary_;
};

class FirstDialog : public framework::Dialog {
 public:
  FirstDialog() : framework::Dialog(IDD_PROBE_FIRST) {}

 protected:
  void DoDataExchange(framework::DataExchange& exchange) override {
    framework::ExchangeControl(exchange, IDC_PROBE_COUNT, count_);
    framework::ExchangeText(exchange, IDC_PROBE_EDIT, text_);
    framework::ExchangeRadio(exchange, IDC_PROBE_RADIO_A, choice_);
  }

  BEGIN_MESSAGE_MAP(FirstDialog, framework::Dialog)
    ON_COMMAND(IDOK, OnNext)
    ON_COMMAND(IDC_PROBE_COUNT_BUTTON, OnCount)
  END_MESSAGE_MAP()

 private:
  void OnNext() {
    framework::Dialog::OnOK();
    char summary[512];
    std::snprintf(summary, sizeof summary, "text=%s choice=%d string=%s missing=[%s] window=%d",
                  text_.c_str(), choice_,
                  framework::LoadResourceString(IDS_PROBE_TEXT).c_str(),
                  framework::LoadResourceString(IDS_PROBE_MISSING).c_str(),
                  ::IsWindowVisible(Handle()) ? 1 : 0);
    SummaryDialog next(summary);
    next.DoModal();
  }

  void OnCount() {
    ++clicks_;
    count_.SetText(std::to_string(clicks_));
  }

  framework::Control count_;
  std::string text_ = "初始文字";
  int choice_ = 1;
  int clicks_ = 0;
};

// A dialog whose template the program does not have.
class MissingDialog : public framework::Dialog {
 public:
  MissingDialog() : framework::Dialog(999) {}
};

// "missing" on the command line: a main window that cannot be created.
class ProbeApp : public framework::Application {
 public:
  BOOL InitInstance() override {
    if (std::strstr(CommandLine(), "missing")) {
      MissingDialog missing;
      return RunMainDialog(missing) ? TRUE : FALSE;
    }
    FirstDialog first;
    return RunMainDialog(first) ? TRUE : FALSE;
  }
};

ProbeApp probeApp;

}  // namespace
