// Load Set and Patch in the real editor: the main dialog with its thirty-
// three drop controls hosted from the real Tavlet.ocx (registered by the
// real regsvr into a registry of the benchmark's own), offscreen, each
// command run by its button as a click runs it. Painting is left out: the
// commands only ask for repaints, and the benchmark never lets the event
// loop carry them out.
//
//   load/N   OnLoadSet of set N of the sample shapes file: the palette, the
//            images read and expanded, each handed to its slot, and for a
//            texture set the preview's copy of each slot.
//   patch/N  OnPatchShapesFile of set N with photo-like pictures of mixed
//            sizes in the slots (as dropped bitmap files leave them): every
//            picture scaled, reduced to the set palette and written.
//
// The program is a framework application, as the editor is: AfxWinMain
// makes the application object and the benchmarks run in InitInstance.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_pictures.h"
#include "editor/shapes/sample/sample_shapes.h"
#include "editor/shapes/set_kinds.h"
#include "editor/ui/editor_ids.h"
#include "editor/ui/kestrow_dlg.h"
#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_init.h"
#include "platform/afx/prompts.h"
#include "platform/afx/win_app.h"
#include "platform/testing/run_program.h"
#include "platform/user/window_functions.h"

namespace {

// The benchmark's folder: its registry, its runtime folder and its shapes file.
struct Workspace {
  std::string root;
  std::string shapes;
};

Workspace& Files() {
  static Workspace workspace;
  return workspace;
}

bool MakeWorkspace() {
  char pattern[] = "/tmp/bench_load_set.XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return false;
  Workspace& w = Files();
  w.root = pattern;
  w.shapes = w.root + "/shapes.shp2";
  for (const char* folder : {"/data", "/runtime"}) std::filesystem::create_directories(w.root + folder);
  ::setenv("XDG_DATA_HOME", (w.root + "/data").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (w.root + "/config").c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", (w.root + "/runtime").c_str(), 1);
  // Every Patch keeps its history: there, not in the user's.
  ::setenv("XDG_STATE_HOME", (w.root + "/state").c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  sample_shapes::MakeSampleShapes().WriteFile(w.shapes);
  return true;
}

// Select Shapes File's dialog gets the sample file. Any message box means a
// command did not do its work: it is counted, and the benchmark fails.
class Prompts : public kp::prompts::PromptResponder {
 public:
  int ShowMessageBox(const kp::prompts::MessageBoxRequest& request) override {
    std::fprintf(stderr, "message box: %s\n", request.text.c_str());
    ++m_messageBoxes;
    return IDOK;
  }
  std::optional<std::string> ShowFileDialog(const kp::prompts::FileDialogRequest&) override { return Files().shapes; }
  int m_messageBoxes = 0;
};

void Click(CKestrowDlg& dlg, int id) {
  ::SendMessage(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                reinterpret_cast<LPARAM>(::GetDlgItem(dlg.m_hWnd, id)));
}

void ChooseSet(CKestrowDlg& dlg, int set) {
  const HWND list = ::GetDlgItem(dlg.m_hWnd, IDC_SET_LIST);
  ::SendMessage(list, CB_SETCURSEL, static_cast<WPARAM>(set), 0);
  ::SendMessage(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SET_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

// Photo-like pictures in the slots the set's patch reads: the slot size,
// smaller, larger and of other proportions.
void FillSlots(CKestrowDlg& dlg, int set) {
  auto put = [](CTavlet& slot, int width, int height, std::uint32_t seed) {
    std::vector<std::uint32_t> pixels = bench::PhotoLike(width, height, seed);
    slot.RecreateBitmap(reinterpret_cast<LONG*>(pixels.data()), static_cast<SHORT>(width), static_cast<SHORT>(height));
  };
  if (IsLandscapeSet(set)) {
    put(dlg.m_wndLandscape, 640, 360, 99);
    return;
  }
  const int sizes[][2] = {{128, 128}, {128, 128}, {128, 128}, {256, 256}, {64, 64}, {300, 200}};
  for (int k = 0; k < kTextureSlotCount; ++k)
    put(dlg.m_slot[k], sizes[k % 6][0], sizes[k % 6][1], static_cast<std::uint32_t>(k + 1));
}

struct Bench {
  CKestrowDlg* dlg;
  Prompts* prompts;
};

void Label(benchmark::State& state, int set) {
  const int images = KindOfSet(set).imageCount;
  state.SetLabel(std::string(kSetListStrings[static_cast<std::size_t>(set)]) + ", " + std::to_string(images) +
                 (images == 1 ? " image" : " images"));
  state.SetItemsProcessed(state.iterations() * images);
}

void LoadSet(benchmark::State& state, Bench bench, int set) {
  ChooseSet(*bench.dlg, set);
  const int before = bench.prompts->m_messageBoxes;
  for (auto _ : state) Click(*bench.dlg, IDC_LOAD_SET);
  CTavlet& filled = IsLandscapeSet(set) ? bench.dlg->m_wndLandscape : bench.dlg->m_slot[kTextureSlotCount - 1];
  if (bench.prompts->m_messageBoxes != before)
    state.SkipWithError("Load Set showed a message");
  else if (filled.GetBitmapHandle() == 0)
    state.SkipWithError("Load Set left the slots empty");
  Label(state, set);
}

void PatchSet(benchmark::State& state, Bench bench, int set) {
  ChooseSet(*bench.dlg, set);
  FillSlots(*bench.dlg, set);
  const int before = bench.prompts->m_messageBoxes;
  for (auto _ : state) Click(*bench.dlg, IDC_PATCH_SHAPES_FILE);
  if (bench.prompts->m_messageBoxes != before) state.SkipWithError("Patch showed a message");
  Label(state, set);
}

class CBenchApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    if (!AfxOleInit()) {
      std::fprintf(stderr, "bench_load_set: OLE could not be initialised\n");
      return FALSE;
    }
    AfxEnableControlContainer();
    Prompts prompts;
    kp::prompts::PromptResponder* previous = kp::prompts::InstallPromptResponder(&prompts);
    {
      CKestrowDlg dlg;
      m_pMainWnd = &dlg;
      if (dlg.Create(IDD_KESTROW_DIALOG, nullptr)) {
        Click(dlg, IDC_SELECT_SHAPES_FILE);
        const Bench bench{&dlg, &prompts};
        for (int set = 0; set < kSetCount; ++set)
          benchmark::RegisterBenchmark(("load/" + std::to_string(set)).c_str(), LoadSet, bench, set)
              ->Unit(benchmark::kMillisecond);
        for (int set = 0; set < kSetCount; ++set)
          benchmark::RegisterBenchmark(("patch/" + std::to_string(set)).c_str(), PatchSet, bench, set)
              ->Unit(benchmark::kMillisecond);
        benchmark::RunSpecifiedBenchmarks();
        dlg.DestroyWindow();
      } else {
        std::fprintf(stderr, "bench_load_set: the main dialog could not be made\n");
        m_exitCode = 1;
      }
      m_pMainWnd = nullptr;
    }
    kp::prompts::InstallPromptResponder(previous);
    return FALSE;
  }
  int ExitInstance() override { return m_exitCode; }

 private:
  int m_exitCode = 0;
};

CBenchApp theApp;

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!MakeWorkspace() || kp::testing::RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status != 0) {
    std::fprintf(stderr, "bench_load_set: could not set up the shapes file and the control's registration\n");
    return 1;
  }
  const int status = AfxWinMain(argc, argv);
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(Files().root, ignored);
  return status;
}
