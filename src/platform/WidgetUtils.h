#pragma once
// Helpers that act on windows: finding a component by its Tag and clicking a control.
#include <QObject>
#include <QVariant>
#include <QWidget>

// The Tag of a component (a dynamic property "Tag"; 0 when unset).
inline int ComponentTag(const QObject* Component) { return Component->property("Tag").toInt(); }
inline void SetComponentTag(QObject* Component, int Tag) { Component->setProperty("Tag", Tag); }

// The first of Owner's own components, in their order, of class T (or derived) whose Tag is Tag.
template <class T = QObject>
T* FindComponentByTag(const QObject* Owner, int Tag) {
  for (QObject* Child : Owner->children()) {
    if (T* Typed = qobject_cast<T*>(Child); Typed && ComponentTag(Child) == Tag) return Typed;
  }
  return nullptr;
}

// A left-button press and release at the control's top-left corner.
void ClickControl(QWidget* Control);
