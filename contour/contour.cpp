#include "contour/contour.h"

#include "contour/contour_kml.h"
#include "contour/text_file.h"
#include "contour/tracer.h"
#include "platform/runtime/free_memory.h"

namespace altimar::contour {

Contour::Contour(win::Desktop& desktop, runtime::Random& random)
    : objGE(desktop),
      desktop_(desktop),
      random_(random),
      heights_(static_cast<std::size_t>(kArraySize) * kArraySize, 0.0) {
  progressBar_ = &detachedBar_;
}

// The values start-up and the dialog share.
void Contour::SetSharedDefaults() {
  const ContourDefaults& d = kContourDefaults;
  GridCols = d.gridCols;
  GridRows = d.gridRows;
  NumLevels = d.numLevels;
  LevelList = d.levelList;
  LineWidth = d.lineWidth;
  LineOpacity = d.lineOpacity;
  LowColor = d.lowColor;
  HighColor = d.highColor;
}

void Contour::SetStartupDefaults() {
  const ContourDefaults& d = kContourDefaults;
  SetSharedDefaults();
  LevelMode = d.startupLevelMode;
  LabelContours = d.labelContours;
  GridReady = false;
  GESettleMs = d.geSettleMs;
}

void Contour::SetDialogDefaults() {
  const ContourDefaults& d = kContourDefaults;
  SetSharedDefaults();
  LevelMode = d.dialogLevelMode;
  LevelInterval = d.dialogLevelInterval;
  SamplingMode = d.samplingMode;
  SampleDelayMs = d.sampleDelayMs;
  ShowProgress = d.dialogShowProgress;
}

void Contour::ShowMessage(const std::string& text) {
  desktop_.MessageBoxA(0, text, "Altimar", win::MB_OK | win::MB_SYSTEMMODAL);
}

ContourRunResult Contour::WriteContourFile(const std::string& path) {
  ContourRunResult result;
  if (!BuildLevels()) return result;
  result.levels = NumLevels;

  // The document goes to the file piece by piece as levels are traced:
  // head, placemarks, labels, tail, then the CR LF of the text writer.
  TextFileWriter file(path);
  file.Write(ContourKmlHead(*this));
  TraceEnv env{*progressBar_, desktop_, random_, RetraceOnly};
  ChunkedText labels;
  const TraceStats traced = TraceContoursTo(
      LonAxis.data(), LatAxis.data(), HeightGridView{HeightData(), kRowStride}, NumLevels,
      Levels.data(), 0, GridCols - 1, 0, GridRows - 1, env,
      [&](std::string_view piece) { file.Write(piece); }, labels);
  result.segments = traced.segments;
  result.labels = traced.labels;
  if (LabelContours) {
    file.Write("<Folder><name>P</name>");
    labels.ForEachPiece([&](std::string_view piece) { file.Write(piece); });
    file.Write("</Folder>");
  }
  file.Write(ContourKmlTail());
  file.Write("\r\n");
  if (!file.Commit()) {
    ShowMessage("The contour file could not be written.\r\n" + path + ": " + file.error());
    return result;
  }
  result.written = true;
  result.bytes = file.bytes();
  return result;
}

ContourRunResult Contour::MakeContourFile(const std::string& path) {
  ContourRunResult result = WriteContourFile(path);
  if (!result.written) return result;
  // The tracer's workers freed their text; have it back before the globe
  // reads the document, so the two do not add up.
  runtime::ReleaseFreeMemory();
  OpenInGoogleEarth(path);
  result.opened = true;
  return result;
}

void Contour::OpenInGoogleEarth(const std::string& path) {
  const double speed = objGE->get_AutoPilotSpeed();
  objGE->put_AutoPilotSpeed(5.0);
  auto camera = objGE->GetCamera(1);
  if (camera->get_Tilt() < 0) camera->put_Tilt(0);
  objGE->OpenKmlFile(path, 1);
  // From here the globe's errors are ignored, each call on its own: the
  // file is open, and putting the view back is a courtesy.
  desktop_.Sleep(10);
  try {
    objGE->SetCamera(*camera, 5.0);
  } catch (const automation::AutomationError&) {
  }
  try {
    objGE->put_AutoPilotSpeed(speed);
  } catch (const automation::AutomationError&) {
  }
}

}  // namespace altimar::contour
