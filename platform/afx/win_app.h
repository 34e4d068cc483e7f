#pragma once
// CWinApp: the application object. A program defines exactly one, as a
// global, and links the kafx_main library, whose main() hands control to
// AfxWinMain: it creates the Qt application, then calls InitInstance and,
// when that returns TRUE, Run, and returns ExitInstance's code.
//
//   class CMyApp : public CWinApp { public: BOOL InitInstance() override; };
//   CMyApp theApp;

#include <string>
#include <vector>

#include "platform/afx/cmd_target.h"
#include "platform/base/cstring.h"
#include "platform/base/module.h"

class CWnd;

class CWinApp : public CCmdTarget {
  DECLARE_DYNAMIC(CWinApp)
 public:
  // The module defaults to the one that constructs the object: the program.
  explicit CWinApp(LPCTSTR lpszAppName = nullptr, HINSTANCE hInstance = AfxGetInstanceHandle());
  ~CWinApp() override;

  LPCTSTR m_pszAppName = nullptr;  // the program file's base name unless given
  LPCTSTR m_pszExeName = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPTSTR m_lpCmdLine = nullptr;  // the arguments after the program name, blank-separated
  int m_nCmdShow = 1;            // SW_SHOWNORMAL
  CWnd* m_pMainWnd = nullptr;

  virtual BOOL InitInstance();
  virtual int Run();
  virtual int ExitInstance();

  // TRUE when one argument of the command line is the option, written
  // right after '-' or '/' and nothing after it (exact case); that argument
  // is then removed from m_lpCmdLine, and the others stay exactly as given.
  BOOL RunAutomated();
  BOOL RunEmbedded();

  // Three-dimensional controls are the only kind here.
  BOOL Enable3dControlsStatic() { return TRUE; }
  BOOL Enable3dControls() { return TRUE; }

  // Sets the command line (AfxWinMain does this from argv).
  void SetCommandLine(const std::string& commandLine);

 protected:
  // An application object of a module other than the program (a control
  // module's): it never becomes the process's application object.
  struct ModuleApp {};
  CWinApp(ModuleApp, LPCTSTR lpszAppName, HINSTANCE hInstance);

 private:
  BOOL TakeOption(const char* option);
  std::string m_appName;
  std::string m_exeName;
  std::string m_commandLine;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
LPCTSTR AfxGetAppName();

// The framework's entry point; kafx_main's main() calls it.
int AfxWinMain(int argc, char** argv);

namespace kp::afx {
// The running program's file name without folder and extension.
std::string ExecutableBaseName();
// Joins arguments into one command line as a Windows program receives it:
// blank-separated, an argument that is empty or holds blanks or quotes in
// double quotes, with its quotes and the backslashes before them escaped.
std::string JoinCommandLine(const std::vector<std::string>& arguments);
// The same for a program's argv: the arguments after the program's name.
std::string JoinCommandLine(int argc, char** argv);
// The arguments of such a command line again, by the Windows rules:
// blank-separated words; double quotes, anywhere in a word, keep blanks in
// it; \" is a quote character, and backslashes stand for themselves except
// before a quote, where each pair stands for one. Any argument list joined
// and split again is the same list.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
}  // namespace kp::afx
