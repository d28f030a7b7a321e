// The contour dialog: its settings in and out of the contour state, rows
// following the view's shape, resolution from the view, Apply re-tracing
// the stored grid, and its opening from the toolbar inside the globe.
#include <cmath>
#include <fstream>
#include <iterator>
#include <tuple>

#include "app/program_fixture.h"
#include "platform/shapefile/spherical_dist.h"

namespace altimar::testing {
namespace {

using namespace altimar::win;

class ContourDialogTest : public ProgramTest {
 protected:
  void Start(RECT placement = {0, 0, 1024, 768}) {
    StartGlobe(placement);
    StartProgram();
  }
  contour::FrmContour& dialog() { return program->frmContour; }
  // Loads the dialog where the options command shows it: inside the globe's window.
  void Prepare() {
    dialog().Load();
    program->attached.SetFormParentToGE(dialog().hwnd(), globe->GetMainHwnd());
  }
  // The options command as the toolbar runs it; then the clicks given, in the dialog.
  void OpenFromToolbar(std::initializer_list<forms::Control*> clicks) {
    auto& q = program->frmQuarlin;
    q.Toolbar1.SetVisible(true);
    const POINT p = ButtonCentre(q.Toolbar1, "tcontour");
    d.InjectClick(p.x, p.y);
    for (forms::Control* c : clicks) Click(*c);
    d.DoEvents();
  }
  std::string Document() {
    std::ifstream in(dir / "contour.kml", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

TEST_F(ContourDialogTest, RowsFollowTheColumnsInTheShapeOfTheView) {
  Start({0, 0, 808, 256});  // a 3D view of 800 x 200 pixels under the menu bar
  RECT view;
  d.GetClientRect(globe->GetRenderHwnd(), &view);
  ASSERT_EQ(view.width(), 800);
  ASSERT_EQ(view.height(), 200);
  dialog().Load();
  dialog().VScroll1.SetValue(10);
  EXPECT_EQ(dialog().VScroll2.Value(), 5) << "10 x 200 / 800 = 2, raised to 5";
  EXPECT_EQ(dialog().Text9.Text(), "10 X 5");
  dialog().VScroll1.SetValue(999);
  EXPECT_EQ(dialog().VScroll2.Value(), 249);
  EXPECT_EQ(dialog().Label10.Caption, "time: 49 minutes");
}

TEST_F(ContourDialogTest, ApplyWaitsForAGridAndRetracesItWithoutSampling) {
  Start();
  auto& q = program->frmQuarlin;
  Prepare();
  OpenFromToolbar({&dialog().Command1});
  EXPECT_FALSE(dialog().Command3.Enabled()) << "no grid yet";
  EXPECT_EQ(d.GetParent(dialog().hwnd()), globe->GetMainHwnd()) << "shown inside the globe's window";
  EXPECT_TRUE(q.Toolbar1.Enabled());
  EXPECT_EQ(q.Toolbar1.Button("tcontour")->Value, forms::tbrUnpressed);

  q.RunContour();
  ASSERT_TRUE(program->contour.GridReady);
  EXPECT_FALSE(dialog().Command3.Enabled()) << "the dialog learns of the grid when it is next opened";
  const std::string first = Document();
  const auto queries = globe->terrainQueries();
  const auto opened = globe->openRequests().size();

  // Reopened from the toolbar: Apply is there; green for the low colour, then Apply, then OK.
  program->contour.LowColor = static_cast<std::int32_t>(RGB(0, 255, 0));
  dialog().LoadSettings();
  OpenFromToolbar({&dialog().Command3, &dialog().Command1});
  EXPECT_TRUE(dialog().Command3.Enabled());
  const std::string second = Document();
  EXPECT_NE(second, first);
  EXPECT_NE(second.find("<color>FF00FF00</color>"), std::string::npos);
  EXPECT_EQ(globe->terrainQueries(), queries) << "no new sampling";
  EXPECT_EQ(globe->openRequests().size(), opened + 1);
  EXPECT_FALSE(program->contour.RetraceOnly);
}

TEST_F(ContourDialogTest, CancelAndEscapeGoBackToTheStoredSettings) {
  Start();
  auto& dlg = dialog();
  dlg.Load();
  Click(dlg.Option1[1]);  // "Define interval"
  Click(dlg.Command2);    // Cancel
  dlg.Show(true);
  EXPECT_FALSE(dlg.Visible());
  EXPECT_TRUE(dlg.Option1[0].Value()) << "the stored mode is selected again";
  EXPECT_EQ(dlg.levelMode(), 0);
  EXPECT_TRUE(dlg.VScroll4.Enabled());
  EXPECT_FALSE(dlg.VScroll3.Enabled());

  dlg.Show();
  Click(dlg.Option1[2]);
  PressKeys({VK_ESCAPE});
  EXPECT_FALSE(dlg.Visible()) << "Esc acts as Cancel";
  EXPECT_TRUE(dlg.Option1[0].Value());

  dlg.Show();
  dlg.Unload(forms::vbFormControlMenu);  // the close box
  EXPECT_TRUE(dlg.loaded()) << "closing only hides";
  EXPECT_FALSE(dlg.Visible());
}

TEST_F(ContourDialogTest, OkRightAfterLoadingKeepsTheDialogDefaults) {
  Start();
  auto& dlg = dialog();
  auto& c = program->contour;
  dlg.Load();
  EXPECT_EQ(dlg.Text13.Text(), "5");
  EXPECT_EQ(dlg.Text1.Text(), "10");
  EXPECT_EQ(dlg.Text14.Text(), "1");
  EXPECT_EQ(dlg.Text15.Text(), "100%");
  EXPECT_EQ(dlg.Text9.Text(), "20 X 20");
  // The controls must show what loading put into the contour state, so OK
  // changes nothing.
  auto settings = [&c] {
    return std::make_tuple(c.GridCols, c.GridRows, c.LevelMode, c.NumLevels, c.LevelInterval,
                           c.LevelList, c.LineWidth, c.LineOpacity, c.LowColor, c.HighColor,
                           c.SamplingMode, c.SampleDelayMs, c.ShowProgress, c.LabelContours);
  };
  const auto loaded = settings();
  Click(dlg.Command1);
  dlg.Show(true);
  EXPECT_FALSE(dlg.Visible()) << "OK closed the dialog";
  EXPECT_EQ(settings(), loaded);
}

TEST_F(ContourDialogTest, SettingsGoIntoTheContourStateAndComeBack) {
  Start();
  auto& dlg = dialog();
  auto& c = program->contour;
  dlg.Load();
  dlg.Slider1.SetValue(7);
  dlg.Option1[1].SetValue(true);
  dlg.VScroll3.SetValue(50);
  dlg.VScroll5.SetValue(25);
  EXPECT_EQ(dlg.Text14.Text(), "2.5");
  dlg.VScroll6.SetValue(40);
  EXPECT_EQ(dlg.Text15.Text(), "40%");
  dlg.Option2[1].SetValue(true);
  EXPECT_TRUE(dlg.Label10.Visible()) << "the estimate shows for the middle accuracy";
  dlg.chcLabelContours.SetValue(1);
  dlg.ApplySettings();
  EXPECT_EQ(c.SampleDelayMs, 30);
  EXPECT_EQ(c.LevelMode, 1);
  EXPECT_EQ(c.LevelInterval, 50);
  EXPECT_FLOAT_EQ(c.LineWidth, 2.5f);
  EXPECT_EQ(c.LineOpacity, 40);
  EXPECT_EQ(c.SamplingMode, 1);
  EXPECT_TRUE(c.LabelContours);

  c.SampleDelayMs = 30;
  dlg.Slider1.SetValue(0);
  dlg.LoadSettings();
  EXPECT_EQ(dlg.Slider1.Value(), 7) << "30 ms loads back as 7";
  EXPECT_EQ(dlg.VScroll5.Value(), 25);
}

TEST_F(ContourDialogTest, OnlyTheOuterThirdsOfThePreviewPickColours) {
  Start();
  auto& dlg = dialog();
  dlg.Show();
  auto& rgb = program->styles.frmSetRGB;
  const int w = static_cast<int>(dlg.Picture1.Width() / 15);
  const POINT middle = At(dlg.Picture1, w / 2, 5);
  d.InjectClick(middle.x, middle.y);
  d.DoEvents();
  EXPECT_FALSE(rgb.loaded()) << "the middle third opens nothing";

  rgb.Load();
  const POINT blueEnd = At(rgb.Slider3, static_cast<int>(rgb.Slider3.Width() / 15) - 4, 10);
  const POINT ok = Centre(rgb.cmdOK);
  rgb.Unload();
  const POINT right = At(dlg.Picture1, w - 3, 5);
  d.InjectClick(right.x, right.y);
  d.InjectClick(blueEnd.x, blueEnd.y);
  d.InjectClick(ok.x, ok.y);
  d.DoEvents();
  EXPECT_EQ(dlg.highColor(), static_cast<std::int32_t>(RGB(255, 0, 255))) << "red plus blue";
  EXPECT_EQ(dlg.lowColor(), static_cast<std::int32_t>(RGB(255, 0, 0)));
  EXPECT_EQ(program->style.StyleColor, static_cast<std::int32_t>(RGB(0, 0, 255)))
      << "picking a contour colour leaves the working colour of the style dialogs";
  const Pixel leftEdge = dlg.Picture1.Canvas().at(0, 5), rightEdge = dlg.Picture1.Canvas().at(w - 1, 5);
  EXPECT_EQ(leftEdge, 0xFF0000u);
  EXPECT_EQ(rightEdge, 0xFF00FFu);
}

TEST_F(ContourDialogTest, ResolutionFromTheViewPutsANodeEveryFiftyMetres) {
  Start();
  auto& dlg = dialog();
  dlg.Load();
  dlg.Label9_Click();
  auto e = globe->get_ViewExtents();
  const double d50 =
      shapefile::SphericalDist(e->get_West(), e->get_South(), e->get_East(), e->get_South()) / 50;
  const int expected = std::min(999, std::max(5, static_cast<int>(std::nearbyint(d50))));
  EXPECT_EQ(dlg.VScroll1.Value(), expected);

  auto cam = globe->GetCamera(0);
  cam->put_Range(80000);
  globe->SetCamera(*cam, 5.0);
  const int before = dlg.VScroll1.Value();
  dlg.Label9_Click();
  EXPECT_EQ(dlg.VScroll1.Value(), before);
  EXPECT_EQ(LastMessage(), "Too high.\r\nSet it a bit lower and try again.");
}

TEST(SphericalDist, OneDegreeOnTheEquatorOfTheLibrarysSphere) {
  EXPECT_NEAR(shapefile::SphericalDist(0, 0, 1, 0), 6367442.8185 * 3.14159265358979 / 180, 1e-3);
  EXPECT_NEAR(shapefile::SphericalDist(11.2, 47.3, 11.2, 47.3), 0, 1e-9);
  EXPECT_NEAR(shapefile::SphericalDist(0, 0, 180, 0), 6367442.8185 * 3.14159265358979, 1e-2);
}

}  // namespace
}  // namespace altimar::testing
