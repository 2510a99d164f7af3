#include "app/help_window.h"

#include <QImage>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/window_placement.h"

namespace delvix::app {

namespace {

// Shows the pages' screenshots no wider than the page, as a web browser does with the pages' style.
class PageBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

  QVariant loadResource(int type, const QUrl& name) override {
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::ImageResource) return resource;
    QImage image;
    if (!image.loadFromData(resource.toByteArray())) return resource;
    const int room = std::max(viewport()->width() - 2 * int(document()->documentMargin()) - 24, 200);
    return image.width() > room ? image.scaledToWidth(room, Qt::SmoothTransformation) : image;
  }
};

}  // namespace

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window), browser_(new PageBrowser(this)) {
  setObjectName("HelpWindow");
  setWindowTitle("Delvix help");
  resize(820, 640);
  browser_->setObjectName("HelpBrowser");
  // Pages of the program open here; addresses on the web go to the desktop.
  browser_->setOpenExternalLinks(true);

  auto* bar = new QToolBar(this);
  QAction* back = bar->addAction("Back", browser_, &QTextBrowser::backward);
  QAction* forward = bar->addAction("Forward", browser_, &QTextBrowser::forward);
  bar->addAction("Contents", this, [this] { showPage(contents_); });
  back->setShortcut(QKeySequence::Back);
  forward->setShortcut(QKeySequence::Forward);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this,
          [this] { setWindowTitle(browser_->documentTitle().isEmpty() ? "Delvix help" : browser_->documentTitle()); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(browser_);
}

void HelpWindow::showPage(const std::filesystem::path& page) {
  if (contents_.empty()) contents_ = page;
  browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));
  if (!isVisible() && parentWidget()) placeOver(*this, *parentWidget());
  show();
  raise();
  activateWindow();
}

}  // namespace delvix::app
