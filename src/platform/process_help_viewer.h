#pragma once

#include <QProcess>
#include <QString>
#include <memory>
#include <vector>

#include "platform/help_viewer.h"

namespace delvix::platform {

// Opens help pages with the desktop's viewer ("xdg-open" on Linux) and ends the viewers it started when
// told to, or when it is destroyed.
class ProcessHelpViewer : public HelpViewer {
 public:
  explicit ProcessHelpViewer(QString viewerProgram = QStringLiteral("xdg-open"));
  ~ProcessHelpViewer() override;
  ProcessHelpViewer(const ProcessHelpViewer&) = delete;
  ProcessHelpViewer& operator=(const ProcessHelpViewer&) = delete;

  bool start(const std::filesystem::path& page) override;
  bool running() const override;
  void terminate() override;

 private:
  QString program_;
  std::vector<std::unique_ptr<QProcess>> processes_;
};

}  // namespace delvix::platform
