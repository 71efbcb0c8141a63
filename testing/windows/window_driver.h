#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

// Drives a program of this build under Wine the way a user would, through window messages by
// control id, and reads its controls back.
namespace pos::testing {

std::wstring ThisProgramsDirectory();

// How many times longer than on a real machine things may take here: POS_TEST_TIME_SCALE, which
// the emulated machine of tools/lab32 sets (its processor is emulated), 1 everywhere else.
DWORD TimeScale();
// A limit for waiting until something happens, stretched by TimeScale(). A wait that shows that
// something does NOT happen within a time the program itself keeps is never stretched: the
// program's own clock runs at the real speed everywhere.
DWORD Scaled(DWORD milliseconds);
// The folder of the programs under test: for the 32-bit test builds the deliverables as they are
// shipped, for the x86-64 test build that build's own programs.
std::wstring ProgramsUnderTestDirectory();

// A program started for a test; ended when this is destroyed.
class Program {
 public:
  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program();

  // Starts |exe| in |directory| and waits for its window of class #32770 titled |title|. The waits
  // of this class and of the functions below are limits for something to happen: all are Scaled().
  // |parameters| follow the quoted program name on the command line, as given.
  bool Start(const std::wstring& exe, const std::wstring& directory, const std::wstring& title,
             const std::wstring& parameters = L"");
  // The same through the shell's "open", with |parameters| as the shell's parameter text, the way
  // a program starts another with ShellExecuteW.
  bool StartThroughShell(const std::wstring& exe, const std::wstring& directory, const std::wstring& title,
                         const std::wstring& parameters);
  bool WaitForExit(DWORD milliseconds);
  // Whether the program still runs |milliseconds| from now, which is not stretched.
  bool StillRunningAfter(DWORD milliseconds);
  // The program's exit code once it has ended; STILL_ACTIVE before.
  DWORD ExitCode() const;
  HWND window() const { return window_; }
  DWORD processId() const { return info_.dwProcessId; }
  DWORD threadId() const { return info_.dwThreadId; }

 private:
  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
};

// A message sent to the program, on a thread of its own so that the test can answer the message
// boxes and dialogs that its handler opens; it is done when the handler has returned.
class Pending {
 public:
  explicit Pending(std::function<void()> send);
  Pending(const Pending&) = delete;
  Pending& operator=(const Pending&) = delete;
  ~Pending();
  bool Done() const;
  bool WaitDone(DWORD milliseconds) const;

 private:
  HANDLE finished_;
  std::thread thread_;
};

// Clicks a button and waits, on its own thread, until the click has been handled.
Pending Click(HWND dialog, int id);

struct SeenMessageBox {
  HWND window = nullptr;
  std::wstring title;
  std::wstring text;
  std::vector<std::wstring> buttons;
  bool hasIcon = false;
  HWND owner = nullptr;
};

// The first visible dialog of |processId| titled |title| that is not one of |known|; waits up to
// |milliseconds| for it, or until |pending| is done.
HWND WaitForDialog(DWORD processId, const std::wstring& title, const std::vector<HWND>& known, DWORD milliseconds,
                   const Pending* pending = nullptr);
SeenMessageBox ReadMessageBox(HWND box);
// Presses a button of a dialog or message box by its id.
void Press(HWND dialog, int id);
// Answers every message box titled |title| with OK until |pending| is done; what they said.
std::vector<SeenMessageBox> AnswerMessageBoxes(DWORD processId, const std::wstring& title, const Pending& pending,
                                               const std::vector<HWND>& known, DWORD milliseconds = 20000);

std::wstring ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::wstring& text);
int ListCount(HWND dialog, int id);
int ListSelection(HWND dialog, int id);
std::wstring ListText(HWND dialog, int id, int index);
std::vector<std::wstring> ListEntries(HWND dialog, int id);
// CB_SETCURSEL, then the CBN_SELCHANGE that a user's choice sends, and waits until it is handled.
void ChooseInList(HWND dialog, int id, int index);
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
// The dotted address an IP-address control shows, read from its four fields.
std::wstring IpAddressText(HWND dialog, int id);
// The control that has the keyboard focus in the program's user-interface thread.
HWND FocusOf(DWORD threadId);
// The focus once it is on |expected|, or where it is after |milliseconds|: a window that has just
// appeared may not have taken the focus yet.
HWND FocusOnceSettled(DWORD threadId, HWND expected, DWORD milliseconds = 5000);

// Saves what the screen shows of |window| as a PNG file.
bool SaveScreenshot(HWND window, const std::wstring& path);
// Where a screenshot named |name| goes: the build tree's screenshots folder, one subfolder per
// configuration (win64, win32-wow64, win32-x86), created when missing.
std::wstring ScreenshotPath(const std::wstring& name);

std::string Utf8(const std::wstring& text);

}  // namespace pos::testing
