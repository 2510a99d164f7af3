#pragma once

#include <QObject>

namespace delvix::app {

// Gives a new object the name by which the program's parts and its tests find it.
template <class Object>
Object* named(Object* object, const char* name) {
  object->setObjectName(QString::fromLatin1(name));
  return object;
}

}  // namespace delvix::app
