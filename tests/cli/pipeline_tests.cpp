// The build pipeline of the README's "Batch use", run with the built
// kestrow-cli as a script runs it: export every set, edit pictures,
// import every set into a new file, preview a picture with convert, and
// read the new file's values as JSON.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "editor/shapes/sample/sample_shapes.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "tests/cli/cli_process.h"

namespace cli_journeys {
namespace {

using Bytes = std::vector<unsigned char>;

TEST(KestrowCliPipeline, ExportAllEditImportAllToANewFileAndPreview) {
  const std::string folder = TestFolder();
  const std::string shapes = folder + "/shapes.shp2";
  const std::string fresh = folder + "/mod \"release\".shp2";  // a name that JSON must escape
  const Bytes original = sample_shapes::MakeSampleShapes().Build();
  WriteBytes(shapes, original);

  const ProgramRun exported = RunKestrowCli({"export-all", shapes, folder + "/sets"});
  ASSERT_EQ(exported.status, 0) << exported.err;

  // The edit: a picture of another size for one texture, from the image
  // samples, and one landscape replaced by the picture of another set.
  CopyFile(IMAGE_SAMPLES "/info_24bpp_top-down.bmp", folder + "/sets/texture-set-3/slot-04.bmp");
  CopyFile(folder + "/sets/texture-set-1/slot-00.bmp", folder + "/sets/landscape-2/landscape.bmp");

  const ProgramRun imported = RunKestrowCli({"import-all", shapes, folder + "/sets", "--output", fresh, "--dither"});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_NE(imported.out.find("wrote Texture Set # 3 texture #4 <column 5, row 1> from " + folder +
                              "/sets/texture-set-3/slot-04.bmp\n"),
            std::string::npos)
      << imported.out;
  EXPECT_TRUE(ReadBytes(shapes) == original) << "SHAPES was only to be read";
  EXPECT_FALSE(ReadBytes(fresh) == original);

  // A second run must not overwrite the shapes file through a link to it.
  std::filesystem::create_symlink(shapes, folder + "/link.shp2");
  const ProgramRun refused = RunKestrowCli({"import-all", shapes, folder + "/sets", "--output", folder + "/link.shp2"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out, "");
  EXPECT_TRUE(ReadBytes(shapes) == original);

  // The preview of the edited texture is what the new file now shows.
  const ProgramRun preview = RunKestrowCli(
      {"convert", fresh, "3", folder + "/sets/texture-set-3/slot-04.bmp", folder + "/preview.bmp", "--dither"});
  ASSERT_EQ(preview.status, 0) << preview.err;
  ASSERT_EQ(RunKestrowCli({"export", fresh, "3", folder + "/check"}).status, 0);
  EXPECT_TRUE(ReadBytes(folder + "/preview.bmp") == ReadBytes(folder + "/check/slot-04.bmp"));

  const ProgramRun info = RunKestrowCli({"info", fresh, "--json"});
  ASSERT_EQ(info.status, 0) << info.err;
  const nlohmann::json values = nlohmann::json::parse(info.out);
  EXPECT_EQ(values.at("path"), fresh);
  EXPECT_EQ(values.at("length"), original.size());
  EXPECT_EQ(values.at("expected_length"), true);
  EXPECT_EQ(values.at("sets").at(5).at("name"), "Landscape # 2");
}

}  // namespace
}  // namespace cli_journeys
