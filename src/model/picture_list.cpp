#include "model/picture_list.h"

#include <stdexcept>

#include "model/change_journal.h"

namespace delvix::model {

void insertPicture(Document& document, std::size_t index, PictureEntry entry) {
  if (index > document.pictures.size()) throw std::out_of_range("insertPicture: no such place");
  if (ChangeJournal* journal = document.tree.journal()) return journal->insertPicture(index, std::move(entry));
  document.pictures.insert(document.pictures.begin() + static_cast<std::ptrdiff_t>(index), std::move(entry));
}

void erasePicture(Document& document, std::size_t index) {
  if (index >= document.pictures.size()) throw std::out_of_range("erasePicture: no such picture");
  if (ChangeJournal* journal = document.tree.journal()) return journal->erasePicture(index);
  document.pictures.erase(document.pictures.begin() + static_cast<std::ptrdiff_t>(index));
}

void replacePicture(Document& document, std::size_t index, PictureEntry entry) {
  if (index >= document.pictures.size()) throw std::out_of_range("replacePicture: no such picture");
  if (ChangeJournal* journal = document.tree.journal()) return journal->replacePicture(index, std::move(entry));
  document.pictures[index] = std::move(entry);
}

}  // namespace delvix::model
