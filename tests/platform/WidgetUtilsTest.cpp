#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "platform/WidgetUtils.h"

TEST(FindComponentByTag, FindsTheFirstOwnComponentOfTheClass) {
  QWidget Owner;
  auto* Label = new QLabel(&Owner);
  SetComponentTag(Label, 3);
  auto* First = new QPushButton(&Owner);
  SetComponentTag(First, 3);
  auto* Second = new QPushButton(&Owner);
  SetComponentTag(Second, 3);
  auto* Nested = new QPushButton(Second);
  SetComponentTag(Nested, 9);

  EXPECT_EQ(FindComponentByTag<QPushButton>(&Owner, 3), First);
  EXPECT_EQ(FindComponentByTag<QWidget>(&Owner, 3), Label);
  EXPECT_EQ(FindComponentByTag<QPushButton>(&Owner, 9), nullptr);  // not Owner's own
  EXPECT_EQ(FindComponentByTag<QPushButton>(&Owner, 4), nullptr);
  EXPECT_EQ(FindComponentByTag<QPushButton>(&Owner, 0), nullptr);
}

TEST(ClickControl, ClicksAtTheTopLeftCorner) {
  QPushButton Button("Move");
  Button.resize(80, 24);
  int Clicks = 0;
  QObject::connect(&Button, &QPushButton::clicked, [&] { ++Clicks; });
  ClickControl(&Button);
  EXPECT_EQ(Clicks, 1);
  ClickControl(nullptr);
}
