#include "platform/forms/common_dialog.h"

#include <gtest/gtest.h>

namespace altimar::testing {
namespace {

using namespace altimar::forms;
using namespace altimar::win;

class DialogTest : public ::testing::Test {
 protected:
  Desktop d{Clock::Kind::Virtual};
  Form form{d, d.StartProgram("altimar"), "frmQuarlin"};
  CommonDialog dlg{form, "CommonDialog1"};
};

TEST_F(DialogTest, ShowOpenTakesTheQueuedPathAndIsFindableWhileOpen) {
  dlg.DialogTitle = "Bexo - Open a local resource";
  dlg.Filter = "Shapefiles|*.shp|KML files|*.kml;*.kmz";
  d.QueueDialogAnswer("/data/world.shp");
  HWND seen = 0;
  d.SetTimer(0, 1, 5, [&] { seen = d.FindWindowA("#32770", "Bexo - Open a local resource"); });
  EXPECT_TRUE(dlg.ShowOpen());
  EXPECT_EQ(dlg.FileName, "/data/world.shp");
  EXPECT_NE(seen, 0) << "the dialog was open meanwhile";
  EXPECT_EQ(d.FindWindowA("#32770", "Bexo - Open a local resource"), 0) << "and is closed now";
}

TEST_F(DialogTest, CancelIsFalseOrAnErrorAndNoAnswerFailsLoudly) {
  d.QueueDialogAnswer("cancel");
  dlg.FileName = "before.shp";
  EXPECT_FALSE(dlg.ShowOpen());
  EXPECT_EQ(dlg.FileName, "before.shp");
  dlg.CancelError = true;
  d.QueueDialogAnswer("cancel");
  EXPECT_THROW(dlg.ShowOpen(), CommonDialogCancel);
  EXPECT_THROW(dlg.ShowOpen(), ModalLoopError);
  EXPECT_EQ(d.FindWindowA("#32770", "Open"), 0);
}

TEST_F(DialogTest, ShowColorTakesAColour) {
  d.QueueDialogAnswer("#FF8000");
  EXPECT_TRUE(dlg.ShowColor());
  EXPECT_EQ(dlg.Color, RGB(255, 128, 0));
  d.QueueDialogAnswer("not a colour");
  EXPECT_FALSE(dlg.ShowColor());
  EXPECT_EQ(dlg.Color, RGB(255, 128, 0));
}

TEST_F(DialogTest, FiltersMatchLikeThePlatformsFileNames) {
  dlg.Filter = "Shapefiles|*.shp|KML files|*.kml;*.kmz";
  EXPECT_EQ(dlg.Patterns(), std::vector<std::string>{"*.shp"});
  dlg.FilterIndex = 2;
  EXPECT_EQ(dlg.Patterns(), (std::vector<std::string>{"*.kml", "*.kmz"}));
  EXPECT_TRUE(CommonDialog::Matches("WORLD.SHP", "*.shp"));
  EXPECT_TRUE(CommonDialog::Matches("a.b.kml", "*.kml"));
  EXPECT_FALSE(CommonDialog::Matches("world.shx", "*.shp"));
  EXPECT_TRUE(CommonDialog::Matches("file1.txt", "file?.txt"));
}

}  // namespace
}  // namespace altimar::testing
