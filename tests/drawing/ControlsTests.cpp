#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Templates.h"

namespace {

using TreeCore::ControlArray;
using TreeCore::Label;

Label MakeTemplate() {
  Label label = TreeCore::TreeNodeTemplate();
  label.Left = 5;
  label.ToolTipText = "tip";
  return label;
}

TEST(ControlArrayTest, LoadCopiesTheTemplateInvisibly) {
  ControlArray<Label> labels(MakeTemplate());
  labels.Load(1);
  labels.Load(4);  // elements 2 and 3 stay missing

  const Label& copy = labels[4];
  EXPECT_FALSE(copy.Visible);
  EXPECT_EQ(copy.Caption, "123");
  EXPECT_EQ(copy.ToolTipText, "tip");
  EXPECT_EQ(copy.Width, 375);
  EXPECT_EQ(copy.Left, 5);
  EXPECT_FALSE(labels.IsLoaded(3));
  EXPECT_EQ(labels.UpperBound(), 5);

  // The copy is independent of the template, and a later load copies the
  // template as it is at that moment.
  labels[1].Caption = "changed";
  labels[0].Caption = "456";
  EXPECT_EQ(labels[0].Caption, "456");
  labels.Load(2);
  EXPECT_EQ(labels[2].Caption, "456");
  EXPECT_TRUE(labels[0].Visible);
}

TEST(ControlArrayTest, UnloadForgetsTheElementAndTrimsTheTail) {
  ControlArray<Label> labels(MakeTemplate());
  for (std::int16_t k = 1; k <= 3; ++k) labels.Load(k);
  labels[2].Caption = "old";

  labels.Unload(2);
  EXPECT_FALSE(labels.IsLoaded(2));
  EXPECT_EQ(labels.UpperBound(), 4);  // element 3 still exists
  labels.Unload(3);
  EXPECT_EQ(labels.UpperBound(), 2);  // the gap at 2 went with the tail

  labels.Load(2);
  EXPECT_EQ(labels[2].Caption, "123");  // nothing of the unloaded element survives
  labels.Unload(2);
  labels.Unload(1);
  EXPECT_EQ(labels.UpperBound(), 1);
  EXPECT_TRUE(labels.IsLoaded(0));
}

TEST(ControlArrayTest, ZOrderKeys) {
  ControlArray<Label> labels(MakeTemplate());
  labels.Load(1);
  labels.Load(2);
  // Each load lands in front of everything loaded before.
  EXPECT_GT(labels.ZKey(1), labels.ZKey(0));
  EXPECT_GT(labels.ZKey(2), labels.ZKey(1));

  labels.ZOrder(1, 0);
  EXPECT_GT(labels.ZKey(1), labels.ZKey(2));
  labels.ZOrder(2, 1);
  EXPECT_LT(labels.ZKey(2), labels.ZKey(0));
  labels.ZOrder(0, 0);
  EXPECT_GT(labels.ZKey(0), labels.ZKey(1));
  EXPECT_EQ(labels.ZKey(9), 0);  // a missing element has no place in the stack
}

// Misuse asserts in debug builds; in release builds it must leave the array
// exactly as it was.
TEST(ControlArrayDeathTest, MisuseChangesNothing) {
  struct Case {
    const char* name;
    std::function<void(ControlArray<Label>&)> misuse;
  };
  const std::vector<Case> cases = {
      {"load element 0", [](auto& a) { a.Load(0); }},
      {"load an existing element", [](auto& a) { a.Load(1); }},
      {"load a negative index", [](auto& a) { a.Load(-3); }},
      {"unload element 0", [](auto& a) { a.Unload(0); }},
      {"unload a missing element", [](auto& a) { a.Unload(2); }},
      {"z-order a missing element", [](auto& a) { a.ZOrder(7, 0); }},
      {"write to a missing element", [](auto& a) { a[9].Caption = "stray"; }},
      {"write to a negative index", [](auto& a) { a[-1].Visible = true; }},
      {"write to an unloaded element",
       [](auto& a) {
         a.Load(2);
         a.Unload(2);
         a[2].Caption = "stray";
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ControlArray<Label> labels(MakeTemplate());
    labels.Load(1);
    labels[1].Caption = "one";
    const auto key1 = labels.ZKey(1);

    EXPECT_DEBUG_DEATH(c.misuse(labels), "");

    EXPECT_EQ(labels.UpperBound(), 2);
    EXPECT_EQ(labels[0].Caption, "123");
    EXPECT_TRUE(labels[0].Visible);
    EXPECT_EQ(labels[1].Caption, "one");
    EXPECT_EQ(labels.ZKey(1), key1);
    EXPECT_FALSE(labels.IsLoaded(9));
    EXPECT_FALSE(labels.IsLoaded(2));
    labels.Load(2);
    EXPECT_EQ(labels[2].Caption, "123");
  }
}

TEST(ControlArrayTest, HighestIndexGivesAWideUpperBound) {
  ControlArray<Label> labels(MakeTemplate());
  labels.Load(32767);
  EXPECT_EQ(labels.UpperBound(), 32768);
  labels.Unload(32767);
  EXPECT_EQ(labels.UpperBound(), 1);
}

}  // namespace
