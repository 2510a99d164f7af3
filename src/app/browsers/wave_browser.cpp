#include "app/browsers/wave_browser.h"

#include <QToolButton>
#include <QTreeWidget>

#include "app/browsers/browser_pictures.h"
#include "browse/browser_columns.h"
#include "browse/file_names.h"
#include "formats/reporter.h"
#include "formats/wav_reader.h"
#include "sound/playback.h"
#include "wave/pcm_source.h"

namespace delvix::app {

namespace {

// Whether a row's file was read when it was listed: only then is it read again to be played (a FIFO is not).
constexpr int readableRole = Qt::UserRole + 2;

}  // namespace

TFormWav::TFormWav(QWidget* owner)
    : FolderBrowser(owner, "FormWav", "Quick info (wav)",
                    {"Name", "Size (bytes)", "Time (sec)", "Form.", "Chan.", "Samp. (bits)", "Samp. (sec)"}) {
  resize(640, 400);
  ButInOutPlay = addToolButton("ButInOutPlay", "In/out sound", soundSwitchPicture(), true);
  connect(ButInOutPlay, &QToolButton::clicked, this, &TFormWav::ButInOutPlayClick);
  connect(FilesBrowse, &QTreeWidget::itemClicked, this, &TFormWav::FilesBrowseClick);
}

TFormWav::~TFormWav() { stopSound(); }

browse::ExtensionFilter TFormWav::filter() const { return browse::waveBrowserFilter(); }

browse::FileSummary TFormWav::describeFile(QTreeWidgetItem& row, const browse::FolderRow& file) {
  browse::FileSummary summary = browse::summarizeFile(file.path);
  const auto columns = browse::waveColumns(summary);
  for (std::size_t i = 0; i < columns.size(); ++i)
    row.setText(static_cast<int>(i) + 1, QString::fromStdString(columns[i]));
  row.setIcon(0, waveFilePicture());
  row.setData(0, readableRole, summary.access == browse::Access::read);
  return summary;
}

void TFormWav::rowChosen(QTreeWidgetItem* row) {
  if (ButInOutPlay->isChecked()) return;
  stopSound();
  play(row);
}

void TFormWav::FilesBrowseClick(QTreeWidgetItem* row) {
  // Choosing another row has played it already; a click on the chosen one plays it again once it has ended.
  if (!ButInOutPlay->isChecked() && !playing_ && row == FilesBrowse->currentItem()) play(row);
}

void TFormWav::ButInOutPlayClick() {
  if (ButInOutPlay->isChecked()) stopSound();
}

void TFormWav::hideEvent(QHideEvent* event) {
  stopSound();
  FolderBrowser::hideEvent(event);
}

void TFormWav::stopSound() {
  platform::WaveOutput* output = services().waveOutput;
  if (playing_ && output && output->playing()) output->stop();
  playing_ = false;
}

void TFormWav::play(QTreeWidgetItem* row) {
  platform::WaveOutput* output = services().waveOutput;
  if (!row || !output || !isFileRow(*row) || !row->data(0, readableRole).toBool()) return;
  const std::filesystem::path file = pathOf(*row);
  const std::string name = browse::displayText(file.native());
  model::Document document;
  formats::RecordingReporter quiet;
  // A file that cannot be played is not heard; the log says why.
  if (!formats::readWaveFile(file, document, quiet))
    return log(name + ": not played, it cannot be read as a wave file.");
  std::string error;
  if (!sound::playOn(*output, document, {}, error)) return log(name + ": not played, " + error);
  playing_ = true;
}

}  // namespace delvix::app
