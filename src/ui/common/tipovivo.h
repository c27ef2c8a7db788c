#pragma once

#include <QObject>

// The object as a T while it still is one, else null. An event filter may be
// handed a watched object in the middle of its destruction (a widget's base
// destructor takes the focus away and hides it, which sends events): by then
// the classes whose destructors have run are gone, and the object's meta-object
// is that of the destructor running. qobject_cast<QWidget *> reads a flag set
// once at construction and would still answer yes past ~QWidget; this asks the
// meta-object.
template <typename T>
[[nodiscard]] T *TipoVivo(QObject *o) {
  return o ? static_cast<T *>(T::staticMetaObject.cast(o)) : nullptr;
}
