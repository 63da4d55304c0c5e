#include <gtest/gtest.h>

#include <windows.h>

#include "InteractionFixture.h"

#include <memory>
#include <string>
#include <vector>

using namespace interactiontest;

namespace {

// Three buttons placed anew on a window at run time; the middle one can be destroyed while the
// window lives on.
class ThreeButtonWindow : public Form {
 public:
  ThreeButtonWindow()
      : Form("Begin Form frmOptions\n"
             "   ClientWidth = 6000\n"
             "   ClientHeight = 1500\n"
             "End\n") {}
  ~ThreeButtonWindow() override {
    if (Loaded()) Unload();
  }
  void open() {
    Load();
    Button1.Move(300, 300, 1215, 495);
    middle->Move(1800, 300, 1215, 495);
    Button3.Move(3300, 300, 1215, 495);
    Show();
    hl::runUntilIdle();
  }
  void allOptions() {
    Button1.setMode(ztButtons_H::OptionButton);
    middle->setMode(ztButtons_H::OptionButton);
    Button3.setMode(ztButtons_H::OptionButton);
  }
  ztButtons_H Button1{this, "Button1"};
  std::unique_ptr<ztButtons_H> middle = std::make_unique<ztButtons_H>(this, "Button2");
  ztButtons_H Button3{this, "Button3"};
};

// The group list as the container window holds it: the members by position, after a check that
// the count matches the positions present and that nothing lies beyond them.
std::vector<const ztButtons_H*> groupOf(HWND container) {
  std::vector<const ztButtons_H*> members;
  const auto count = reinterpret_cast<intptr_t>(GetPropA(container, "zt_OptCount"));
  for (intptr_t i = 1; i <= count; ++i) {
    HANDLE entry = GetPropA(container, ("zt_Obj" + std::to_string(i)).c_str());
    EXPECT_NE(entry, nullptr) << "position " << i;
    members.push_back(static_cast<const ztButtons_H*>(entry));
  }
  EXPECT_EQ(GetPropA(container, ("zt_Obj" + std::to_string(count + 1)).c_str()), nullptr);
  return members;
}

std::vector<int16_t> valuesOf(std::initializer_list<const ztButtons_H*> buttons) {
  std::vector<int16_t> values;
  for (const ztButtons_H* b : buttons) values.push_back(b->Value());
  return values;
}

using Values = std::vector<int16_t>;
using Members = std::vector<const ztButtons_H*>;

class OptionGroup : public testing::Test {
 protected:
  void SetUp() override {
    hl::freezeClock(true);
    hl::mouseMove(outside().x, outside().y);
    window.open();
  }
  void TearDown() override {
    if (window.Loaded()) window.Unload();
    hl::runUntilIdle();
    hl::freezeClock(false);
  }
  ThreeButtonWindow window;
  ztButtons_H& b1 = window.Button1;
  ztButtons_H& b2 = *window.middle;
  ztButtons_H& b3 = window.Button3;
  HWND container() const { return window.hWnd(); }
};

}  // namespace

TEST_F(OptionGroup, MembersJoinInOrderAndAtMostOneIsSet) {
  window.allOptions();
  EXPECT_EQ(groupOf(container()), (Members{&b1, &b2, &b3}));

  b2.setValue(vbTrue);
  EXPECT_EQ(valuesOf({&b1, &b2, &b3}), (Values{0, -1, 0}));
  b1.setValue(1);  // any non-zero value is True
  EXPECT_EQ(valuesOf({&b1, &b2, &b3}), (Values{-1, 0, 0}));

  // A click on an unset member moves the choice; a click on the set one changes nothing.
  EventLog log(b3);
  hl::click(centre(b3).x, centre(b3).y);
  hl::runUntilIdle();
  hl::click(centre(b3).x, centre(b3).y);
  hl::runUntilIdle();
  EXPECT_EQ(valuesOf({&b1, &b2, &b3}), (Values{0, 0, -1}));
  int clicks = 0;
  for (const auto& e : log.events) clicks += e == "Click" ? 1 : 0;
  EXPECT_EQ(clicks, 1);

  // Setting False leaves the others alone: a group may have no member set.
  b3.setValue(vbFalse);
  EXPECT_EQ(valuesOf({&b1, &b2, &b3}), (Values{0, 0, 0}));
}

TEST_F(OptionGroup, EachContainerKeepsAGroupOfItsOwn) {
  TwoButtonWindow other;
  other.open();
  window.allOptions();
  other.Button1.setMode(ztButtons_H::OptionButton);
  other.Button2.setMode(ztButtons_H::OptionButton);
  EXPECT_EQ(groupOf(other.hWnd()), (Members{&other.Button1, &other.Button2}));
  EXPECT_EQ(groupOf(container()), (Members{&b1, &b2, &b3}));

  b1.setValue(vbTrue);
  other.Button2.setValue(vbTrue);
  EXPECT_EQ(valuesOf({&b1, &b2, &b3}), (Values{-1, 0, 0}));
  other.Button1.setValue(vbTrue);
  EXPECT_EQ(valuesOf({&other.Button1, &other.Button2}), (Values{-1, 0}));
  EXPECT_EQ(b1.Value(), -1);

  // A command or check button in the window is no member and keeps its own value.
  b3.setMode(ztButtons_H::CheckBox);
  b3.setValue(vbTrue);
  EXPECT_EQ(b1.Value(), -1);
  b2.setValue(vbTrue);
  EXPECT_EQ(valuesOf({&b1, &b2, &b3}), (Values{0, -1, -1}));
  other.Unload();
}

TEST_F(OptionGroup, LeavingCompactsTheListAndTheLastOneTakesTheCountAway) {
  window.allOptions();
  b2.setMode(ztButtons_H::CheckBox);
  EXPECT_EQ(groupOf(container()), (Members{&b1, &b3}));
  EXPECT_EQ(GetPropA(container(), "zt_Obj3"), nullptr);

  b1.setMode(ztButtons_H::CommandButton);
  EXPECT_EQ(groupOf(container()), (Members{&b3}));
  b3.setMode(ztButtons_H::CommandButton);
  EXPECT_EQ(GetPropA(container(), "zt_OptCount"), nullptr);
  EXPECT_EQ(GetPropA(container(), "zt_Obj1"), nullptr);

  // Joining again starts a new list; a mode set to what it already is changes no membership.
  b3.setMode(ztButtons_H::OptionButton);
  b3.setMode(ztButtons_H::OptionButton);
  b1.setMode(ztButtons_H::OptionButton);
  EXPECT_EQ(groupOf(container()), (Members{&b3, &b1}));
}

TEST_F(OptionGroup, ASetButtonThatJoinsReleasesTheMembersBeforeIt) {
  b1.setMode(ztButtons_H::OptionButton);
  b1.setValue(vbTrue);
  b2.setMode(ztButtons_H::CheckBox);
  b2.setValue(vbTrue);
  b2.setMode(ztButtons_H::OptionButton);
  EXPECT_EQ(valuesOf({&b1, &b2}), (Values{0, -1}));
  EXPECT_EQ(groupOf(container()), (Members{&b1, &b2}));
}

TEST_F(OptionGroup, OnlyAMemberCanLeaveAndNoButtonIsListedTwice) {
  window.allOptions();
  ztButtonsInspector in1(b1);
  ztButtonsInspector in2(b2);
  in2.ToggleOptionGroup(ztButtons_H::LeaveGroup);
  ASSERT_EQ(groupOf(container()), (Members{&b1, &b3}));
  // Leaving again, as a button that is no member: the last member must not be dropped instead.
  EXPECT_EQ(in2.ToggleOptionGroup(ztButtons_H::LeaveGroup), 0);
  EXPECT_EQ(groupOf(container()), (Members{&b1, &b3}));
  EXPECT_EQ(in1.ToggleOptionGroup(ztButtons_H::JoinGroup), 0);
  EXPECT_EQ(groupOf(container()), (Members{&b1, &b3}));
  in2.ToggleOptionGroup(ztButtons_H::JoinGroup);
  EXPECT_EQ(groupOf(container()), (Members{&b1, &b3, &b2}));
}

TEST_F(OptionGroup, TheQueryFindsASetMemberAndTheFocusSelectsOnlyInAnEmptyGroup) {
  window.allOptions();
  ztButtonsInspector in1(b1);
  EXPECT_EQ(in1.ToggleOptionGroup(ztButtons_H::QuerySelected), 0);
  b3.setValue(vbTrue);
  EXPECT_EQ(in1.ToggleOptionGroup(ztButtons_H::QuerySelected), -1);
  b3.setValue(vbFalse);

  // A set member in another window's group does not count.
  TwoButtonWindow other;
  other.open();
  other.Button1.setMode(ztButtons_H::OptionButton);
  other.Button1.setValue(vbTrue);

  EventLog log1(b1);
  EventLog log2(b2);
  b1.SetFocus();
  hl::runUntilIdle();
  EXPECT_EQ(b1.Value(), -1);
  EXPECT_EQ(log1.joined(), "Click");
  b2.SetFocus();
  hl::runUntilIdle();
  EXPECT_EQ(b2.Value(), 0);
  EXPECT_EQ(log2.joined(), "");
  EXPECT_EQ(other.Button1.Value(), -1);
  other.Unload();
}

TEST_F(OptionGroup, AWrongContainerTagLeavesTheButtonWorkingWithoutAGroup) {
  window.allOptions();
  const std::string tag = b2.UserControl.Tag();
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "GoneContainer";
  RegisterClassA(&wc);
  HWND gone = CreateWindowExA(0, "GoneContainer", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(gone, nullptr);
  DestroyWindow(gone);
  for (const std::string& bad : {std::string(), std::string("0"), std::string("12abc"), std::string("-7"),
                                std::to_string(reinterpret_cast<intptr_t>(gone))}) {
    b2.UserControl.setTag(bad);
    ztButtonsInspector in2(b2);
    EXPECT_EQ(in2.ToggleOptionGroup(ztButtons_H::QuerySelected), 0) << bad;
    b2.setValue(vbTrue);
    EXPECT_EQ(b2.Value(), -1) << bad;
    b2.setMode(ztButtons_H::CheckBox);
    b2.setMode(ztButtons_H::OptionButton);
    EXPECT_EQ(groupOf(container()), (Members{&b1, &b2, &b3})) << bad;
    b2.UserControl.setTag(tag);
    b2.setValue(vbFalse);
  }
}

TEST_F(OptionGroup, ADestroyedMemberLeavesItsGroupSoTheNextChoiceReachesOnlyLiveButtons) {
  window.allOptions();
  b2.setValue(vbTrue);
  window.middle.reset();
  EXPECT_EQ(groupOf(container()), (Members{&b1, &b3}));
  // Without the leave, this would call into the freed middle button.
  b3.setValue(vbTrue);
  b1.setValue(vbTrue);
  EXPECT_EQ(valuesOf({&b1, &b3}), (Values{-1, 0}));
  ztButtonsInspector in3(b3);
  EXPECT_EQ(in3.ToggleOptionGroup(ztButtons_H::QuerySelected), -1);
}

TEST_F(OptionGroup, UnloadingAWindowOfSetOptionButtonsEndsCleanly) {
  window.allOptions();
  b3.setValue(vbTrue);
  // The members end one after the other; each leaves a list that still names only live ones.
  window.Unload();
  EXPECT_FALSE(window.Loaded());
  EXPECT_EQ(b3.Value(), -1);
  EXPECT_EQ(b1.Value(), 0);
}

namespace {

// Three option buttons as a designer saved them, each with Value True.
class StoredOptionsWindow : public Form {
 public:
  StoredOptionsWindow()
      : Form("Begin Form frmStored\n"
             "   ClientWidth = 6000\n"
             "   ClientHeight = 1500\n"
             "   Begin ztButtons_H Opt1\n"
             "      Left = 300\n"
             "      Top = 300\n"
             "      Width = 1215\n"
             "      Height = 495\n"
             "      caption = \"One\"\n"
             "      mode = 2\n"
             "      value = True\n"
             "      cback = &H8000000F&\n"
             "   End\n"
             "   Begin ztButtons_H Opt2\n"
             "      Left = 1800\n"
             "      Top = 300\n"
             "      Width = 1215\n"
             "      Height = 495\n"
             "      caption = \"Two\"\n"
             "      mode = 2\n"
             "      value = True\n"
             "      cback = &H8000000F&\n"
             "   End\n"
             "   Begin ztButtons_H Check\n"
             "      Left = 3300\n"
             "      Top = 300\n"
             "      Width = 1215\n"
             "      Height = 495\n"
             "      mode = 1\n"
             "      value = True\n"
             "      cback = &H8000000F&\n"
             "   End\n"
             "   Begin ztButtons_H Opt3\n"
             "      Left = 4800\n"
             "      Top = 300\n"
             "      Width = 1215\n"
             "      Height = 495\n"
             "      caption = \"Three\"\n"
             "      mode = 2\n"
             "      value = True\n"
             "      cback = &H8000000F&\n"
             "   End\n"
             "End\n") {}
  ~StoredOptionsWindow() override {
    if (Loaded()) Unload();
  }
  ztButtons_H Opt1{this, "Opt1"};
  ztButtons_H Opt2{this, "Opt2"};
  ztButtons_H Check{this, "Check"};
  ztButtons_H Opt3{this, "Opt3"};
};

}  // namespace

TEST(OptionGroupLoading, OfSeveralStoredAsSetTheOneLoadedLastStaysSet) {
  StoredOptionsWindow w;
  w.Load();
  EXPECT_EQ(groupOf(w.hWnd()), (Members{&w.Opt1, &w.Opt2, &w.Opt3}));
  EXPECT_EQ(valuesOf({&w.Opt1, &w.Opt2, &w.Opt3}), (Values{0, 0, -1}));
  EXPECT_EQ(w.Check.Value(), -1);
  w.Unload();
}
