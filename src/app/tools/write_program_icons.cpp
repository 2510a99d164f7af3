// Writes the program's picture as the PNG files of a freedesktop icon theme:
//   write_program_icons DIR NAME SIZE...  ->  DIR/SIZExSIZE/apps/NAME.png
// Run at build time, on Qt's offscreen platform, so the installed icons are the picture the program draws.
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <iostream>

#include "widgets/pictures.h"

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  const QStringList arguments = QGuiApplication::arguments();
  if (arguments.size() < 4) {
    std::cerr << "usage: write_program_icons DIR NAME SIZE...\n";
    return 2;
  }
  const QDir root(arguments.at(1));
  for (const QString& sizeText : arguments.mid(3)) {
    bool ok = false;
    const int size = sizeText.toInt(&ok);
    if (!ok || size < 1 || size > 1024) {
      std::cerr << "write_program_icons: not a size: " << sizeText.toStdString() << '\n';
      return 2;
    }
    const QString folder = QStringLiteral("%1x%1/apps").arg(size);
    const QString file = root.filePath(folder + '/' + arguments.at(2) + ".png");
    if (!root.mkpath(folder) || !delvix::app::programPicture(size).save(file, "PNG")) {
      std::cerr << "write_program_icons: could not write " << file.toStdString() << '\n';
      return 1;
    }
  }
  return 0;
}
