#include "platform/afx/win_app.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/qt/window_system.h"
#include "platform/user/window_functions.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

namespace {
CWinApp* g_app = nullptr;
}

namespace kp::afx {

std::string ExecutableBaseName() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "app";
  std::string path(buffer, static_cast<std::size_t>(n));
  std::string name = path.substr(path.rfind('/') + 1);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    if (i > 0) line += ' ';
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
      line += arg;
      continue;
    }
    // Quoted: a quote is written as \", and the backslashes that come
    // before a quote (or before the closing one) are doubled, so that
    // SplitCommandLine gives back exactly this argument, an empty one too.
    line += '"';
    std::size_t backslashes = 0;
    for (char c : arg) {
      if (c == '\\') {
        ++backslashes;
        continue;
      }
      line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
      line += c;
      backslashes = 0;
    }
    line.append(2 * backslashes, '\\');
    line += '"';
  }
  return line;
}

std::string JoinCommandLine(int argc, char** argv) {
  return JoinCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + std::max(argc, 1)));
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> words;
  const std::size_t length = commandLine.size();
  std::size_t at = 0;
  while (true) {
    at = commandLine.find_first_not_of(" \t", at);
    if (at == std::string::npos) return words;
    std::string word;
    bool quoted = false;
    while (at < length) {
      const char c = commandLine[at];
      if (c == '\\') {
        const std::size_t run = std::min(commandLine.find_first_not_of('\\', at), length) - at;
        at += run;
        if (at < length && commandLine[at] == '"') {
          // Backslashes before a quote stand for half as many; an odd one
          // out makes the quote a character of the word.
          word.append(run / 2, '\\');
          if (run % 2 == 1) {
            word += '"';
            ++at;
          }
        } else {
          word.append(run, '\\');
        }
      } else if (c == '"') {
        // Two quotes inside quotes are one quote character.
        if (quoted && at + 1 < length && commandLine[at + 1] == '"') {
          word += '"';
          at += 2;
        } else {
          quoted = !quoted;
          ++at;
        }
      } else if (!quoted && (c == ' ' || c == '\t')) {
        break;
      } else {
        word += c;
        ++at;
      }
    }
    words.push_back(std::move(word));
  }
}

}  // namespace kp::afx

CWinApp::CWinApp(LPCTSTR lpszAppName, HINSTANCE hInstance) : CWinApp(ModuleApp{}, lpszAppName, hInstance) {
  g_app = this;
}

CWinApp::CWinApp(ModuleApp, LPCTSTR lpszAppName, HINSTANCE hInstance) : m_hInstance(hInstance) {
  m_exeName = kp::afx::ExecutableBaseName();
  m_appName = lpszAppName ? lpszAppName : m_exeName;
  m_pszAppName = m_appName.c_str();
  m_pszExeName = m_exeName.c_str();
  SetCommandLine(std::string());
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

void CWinApp::SetCommandLine(const std::string& commandLine) {
  m_commandLine = commandLine;
  m_lpCmdLine = m_commandLine.data();
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

BOOL CWinApp::TakeOption(const char* option) {
  // Only a whole argument is the option: a path that holds "/Embedding" or
  // ends in "-Automation" is a path, and stays as it was given.
  std::vector<std::string> words = kp::afx::SplitCommandLine(m_commandLine);
  const std::string name = option;
  for (auto word = words.begin(); word != words.end(); ++word) {
    if (*word != "-" + name && *word != "/" + name) continue;
    words.erase(word);
    SetCommandLine(kp::afx::JoinCommandLine(words));
    return TRUE;
  }
  return FALSE;
}

BOOL CWinApp::RunAutomated() { return TakeOption("Automation"); }
BOOL CWinApp::RunEmbedded() { return TakeOption("Embedding"); }

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

LPCTSTR AfxGetAppName() { return g_app ? g_app->m_pszAppName : nullptr; }

int CWinApp::Run() {
  kp::qt::RunApplicationLoop();
  return ExitInstance();
}

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    std::fprintf(stderr, "%s: the program defines no application object\n", argc > 0 ? argv[0] : "program");
    return 1;
  }
  // The Qt application takes its own options out of argc and argv, so the
  // command line is read inside it.
  return kp::qt::RunApplication(argc, argv, [&] {
    app->SetCommandLine(kp::afx::JoinCommandLine(argc, argv));
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
  });
}
